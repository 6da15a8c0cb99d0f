#include "character/state.hpp"

#include <charconv>
#include <functional>
#include <map>

#include "character/item_classes.hpp"
#include "platform/failure.hpp"
#include "platform/quote.hpp"

namespace character {

namespace {

using platform::quote;
using platform::skip_on_failure;

std::string text_of(bool value) { return value ? "True" : "False"; }
std::string text_of(std::int16_t value) { return std::to_string(value); }
std::string text_of(std::int32_t value) { return std::to_string(value); }
std::string text_of(const std::string& value) { return quote(value); }

std::string describe(platform::Item& item) { return item.entry_id(); }
std::string describe(platform::Folder& folder) { return folder.name(); }
std::string describe(platform::Request& request) { return "#" + std::to_string(request.id()); }
std::string describe(platform::Items& items) { return "items " + std::to_string(items.count()); }
std::string describe(platform::Folders& folders) { return "folders " + std::to_string(folders.count()); }
std::string describe(platform::Application&) { return "application"; }
std::string describe(platform::NameSpace&) { return "namespace"; }
std::string describe(platform::Character& character) { return "character " + quote(character.name()); }
std::string describe(platform::CommandBarButton& button) { return "button " + quote(button.caption()); }

std::string describe(platform::Selection& selection) {
    std::string text = "selection";
    for (std::int32_t i = 1, n = selection.count(); i <= n; ++i) {
        if (auto item = selection.item(i)) text += " " + item->entry_id();
    }
    return text;
}

// An inspector is named by the item it shows, so a test can tell two open windows apart.
std::string describe(platform::Window& window) {
    const auto kind = window.type_name();
    if (kind == "Explorer") return "explorer";
    if (auto* inspector = dynamic_cast<platform::Inspector*>(&window)) {
        auto item = inspector->current_item();
        return item ? "inspector " + item->entry_id() : "inspector";
    }
    return kind;
}

// Objects are described through the platform, which may fail: the field then reads "?".
template <class Field>
std::string text_of(const Field& field) {
    if (!field) return "Nothing";
    return skip_on_failure([&] { return describe(*field.get()); }).value_or("?");
}

using Describe = std::function<std::string(frmAgentCtrl&)>;

// The macro keeps each entry's name and the field it reads the same, so the table cannot drift from
// the form when a field is renamed.
#define DEZAROR_FIELD(name)                                     \
    {                                                           \
#name, [](frmAgentCtrl & f) { return text_of(f.name); } \
    }

const std::map<std::string_view, Describe>& fields() {
    static const std::map<std::string_view, Describe> table = [] {
        std::map<std::string_view, Describe> fields{
            DEZAROR_FIELD(oCurFolder),
            DEZAROR_FIELD(oInboxFolder),
            DEZAROR_FIELD(oCurSelection),
            DEZAROR_FIELD(oTargetItem),
            DEZAROR_FIELD(oNeMItem),
            DEZAROR_FIELD(oCurReadItem),
            DEZAROR_FIELD(oActWindow),
            DEZAROR_FIELD(lCurUnread),
            DEZAROR_FIELD(lItmSavedPos),
            DEZAROR_FIELD(lItmSavedDone),
            DEZAROR_FIELD(bCurInspOpen),
            DEZAROR_FIELD(sCurView),
            DEZAROR_FIELD(bNeMActive),
            DEZAROR_FIELD(bNeMStarted),
            DEZAROR_FIELD(lNeMUnread),
            DEZAROR_FIELD(lNeMSavedPos),
            DEZAROR_FIELD(lNeMSavedDone),
            DEZAROR_FIELD(lReadPos),
            DEZAROR_FIELD(lPieceEnd),
            DEZAROR_FIELD(lNextReadPos),
            DEZAROR_FIELD(bNeMInspOpen),
            DEZAROR_FIELD(bNeMItemGone),
            DEZAROR_FIELD(lAnnLineCnt),
            DEZAROR_FIELD(bReadInspOpen),
            DEZAROR_FIELD(lReadDone),
            DEZAROR_FIELD(iReadMode),
            DEZAROR_FIELD(iLastReadMode),
            DEZAROR_FIELD(oAgentChar),
            DEZAROR_FIELD(oGreetRequest),
            DEZAROR_FIELD(oExitRequest),
            DEZAROR_FIELD(oReadRequest),
            DEZAROR_FIELD(bAgentLoaded),
            DEZAROR_FIELD(bPlayIntro),
            DEZAROR_FIELD(bNeMSortDescend),
            DEZAROR_FIELD(sUserName),
            DEZAROR_FIELD(sNeMEntryID),
            DEZAROR_FIELD(sTargetEntryID),
            DEZAROR_FIELD(sCurItemEntryID),
            DEZAROR_FIELD(sReadPiece),
            DEZAROR_FIELD(sReadText),
            DEZAROR_FIELD(lReadPieces),
            DEZAROR_FIELD(sNeMSavedText),
            DEZAROR_FIELD(sItmSavedText),
            DEZAROR_FIELD(bMailSaid),
            DEZAROR_FIELD(sHeardCmd),
            DEZAROR_FIELD(sBodyText),
            DEZAROR_FIELD(sCurItemRef),
            DEZAROR_FIELD(sCurItemType),
            DEZAROR_FIELD(sGreetLine),
            DEZAROR_FIELD(sExitLine),
            DEZAROR_FIELD(sAckLine),
            DEZAROR_FIELD(oCurNewMailItems),
            DEZAROR_FIELD(oCurrentItems),
            DEZAROR_FIELD(oMyCB),
            DEZAROR_FIELD(oApp),
            DEZAROR_FIELD(oMyMB),
            DEZAROR_FIELD(oNS),
            DEZAROR_FIELD(oNSFolders),
            DEZAROR_FIELD(oCurExplorer),
            DEZAROR_FIELD(oCurInspector),
            DEZAROR_FIELD(oCurNeMInspector),
            DEZAROR_FIELD(oReadInspector),
        };
        // The current item's references, from the item class table; a field shared by several classes once.
        for (const auto& row : item_classes()) {
            if (row.typed)
                fields.emplace(row.field, [member = row.typed](frmAgentCtrl& f) { return text_of(f.*member); });
            if (row.plain)
                fields.emplace(row.field, [member = row.plain](frmAgentCtrl& f) { return text_of(f.*member); });
        }
        return fields;
    }();
    return table;
}

#undef DEZAROR_FIELD

// "sAnnLine(3)": one line of the announcement being composed.
std::optional<std::string> describe_ann_line(frmAgentCtrl& f, std::string_view field) {
    constexpr std::string_view kPrefix = "sAnnLine(";
    if (!field.starts_with(kPrefix) || !field.ends_with(')')) return std::nullopt;
    const auto digits = field.substr(kPrefix.size(), field.size() - kPrefix.size() - 1);
    std::size_t index = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size() || index >= f.sAnnLine.size())
        return std::nullopt;
    return quote(f.sAnnLine[index]);
}

}  // namespace

std::optional<std::string> describe_field(frmAgentCtrl& f, std::string_view field) {
    if (auto it = fields().find(field); it != fields().end()) return it->second(f);
    return describe_ann_line(f, field);
}

}  // namespace character
