#include "reading/current_item.hpp"

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "character/item_classes.hpp"
#include "platform/failure.hpp"

namespace reading {
namespace {

using character::ItemClass;
using platform::Ref;
using platform::skip_on_failure;

// The character's answers to a request, in the order they are shown. A row shows the first `responses` of them:
// a task request has no tentative answer.
constexpr std::array<std::string_view, 3> kResponseCommands = {"AcceptItem", "DeclineItem", "TentativeItem"};

constexpr std::string_view kUnknownItem = "unknown item";

// Each switch is a statement of its own: a command that cannot be reached leaves the others to be set.
void switch_command(frmAgentCtrl& f, std::string_view name, bool on) {
    skip_on_failure([&] { f.oAgentChar->commands()->item(name)->set_enabled(on); });
    skip_on_failure([&] { f.oAgentChar->commands()->item(name)->set_visible(on); });
}

}  // namespace

void SetCurReadItem(frmAgentCtrl& f) {
    // Without the character there are no commands to switch, and an earlier classification is kept.
    if (!f.bAgentLoaded) return;

    for (auto name : kResponseCommands) switch_command(f, name, false);

    // Unbind every earlier item first, so that only the current one's Close can stop the reading.
    for (const auto& row : character::item_classes()) {
        if (row.typed) (f.*row.typed).reset();
        if (row.plain) (f.*row.plain).reset();
    }
    f.sCurItemType = "";
    if (!f.oCurReadItem) return;

    const auto item_class = skip_on_failure([&] { return f.oCurReadItem->item_class(); });
    const ItemClass* row = item_class ? character::find_item_class(*item_class) : nullptr;
    if (!row) {
        f.sCurItemType = kUnknownItem;
        return;
    }
    if (row->typed) f.*row->typed = f.oCurReadItem;
    if (row->plain) f.*row->plain = f.oCurReadItem;
    f.sCurItemType = row->noun;
    for (auto name : std::span(kResponseCommands).first(row->responses)) switch_command(f, name, true);
}

bool PrepReadItem(frmAgentCtrl& f) {
    SetCurReadItem(f);
    // Emptying the reading state reaches no platform object today; the failure path is the one the reading
    // commands rely on should that change, and they stop when it is taken.
    return platform::with_failure_path(
        [&] {
            f.sReadText = "";
            f.lReadPos = 1;
            f.lReadDone = 0;
            f.lReadPieces = 0;
        },
        [&](const platform::PlatformError& e) {
            // Unlike the other boxes this one carries the default title, not the application's.
            f.host.message_boxes().show(
                "There is an error Preping the document and it can not be read.\r\n" + platform::error_text(e),
                platform::kCritical, "");
        });
}

}  // namespace reading
