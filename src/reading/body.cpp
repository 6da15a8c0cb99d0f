#include "reading/body.hpp"

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "character/acts.hpp"
#include "character/item_classes.hpp"
#include "platform/failure.hpp"
#include "reading/formats.hpp"
#include "reading/text_cleaning.hpp"

namespace reading {
namespace {

using character::BodySource;
using character::ItemClass;
using platform::Item;
using platform::Ref;
using platform::skip_on_failure;

constexpr std::string_view kUnknownClass = "Uncertainty has set in, about this item.  I don't think I can read it.";

const ItemClass* find_class(std::optional<std::int32_t> item_class) {
    return item_class ? character::find_item_class(*item_class) : nullptr;
}

Ref<Item> reference(frmAgentCtrl& f, const ItemClass& row) {
    if (row.typed) return (f.*row.typed).ptr();
    if (row.plain) return f.*row.plain;
    return {};
}

// A body that cannot be read counts as empty. Emptiness is judged before cleaning: a body of separator rows alone
// is not empty, though nothing of it is left to say.
std::string text_of(const ItemClass& row, const Ref<Item>& item) {
    if (row.body == BodySource::NotRead) return std::string(row.no_body);
    if (row.body == BodySource::HtmlFirst) {
        const auto html = skip_on_failure([&] { return item->html_body(); });
        if (html && !html->empty()) return HtmlToText(*html);
    }
    const auto body = skip_on_failure([&] { return item->body(); });
    if (!body || body->empty()) return std::string(row.no_body);
    return DropDecoration(*body);
}

// A class that cannot be told, or that the table does not know, has its attachments mentioned.
bool mentions_attachments(const ItemClass* row) { return !row || row->mentions_attachments; }

}  // namespace

void MakeBodyText(frmAgentCtrl& f) {
    f.sBodyText = "";
    const auto item_class = skip_on_failure([&] { return f.oCurReadItem->item_class(); });
    const ItemClass* row = find_class(item_class);
    if (row) {
        f.sBodyText = text_of(*row, reference(f, *row));
    } else {
        play(f, "Confused");
        f.sBodyText = kUnknownClass;
    }

    if (mentions_attachments(row)) {
        const auto count = skip_on_failure([&] { return f.oCurReadItem->attachments_count(); });
        if (count && *count == 1) {
            f.sBodyText += "  There is an attachment.";
        } else if (count && *count > 1) {
            f.sBodyText += "  There are " + format_number(*count) + " attachments.";
        }
    }

    if (f.sBodyText.empty()) f.sBodyText = "This " + f.sCurItemRef + " has nothing to read.";
    f.sReadText += f.sBodyText;
}

}  // namespace reading
