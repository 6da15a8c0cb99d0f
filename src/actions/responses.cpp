#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "actions/actions.hpp"
#include "actions/item_action.hpp"
#include "platform/failure.hpp"

namespace actions {

namespace {

using platform::Item;
using platform::Ref;
using platform::skip_on_failure;

struct Answer {
    TargetCommand command;
    std::string_view acknowledgement;
    std::int32_t meeting_response;
    std::optional<std::int32_t> task_response;  // a task request cannot be accepted tentatively
};

constexpr Answer kAccept{TargetCommand::Accept, "Ok, accepted.", platform::kOlMeetingAccepted, platform::kOlTaskAccept};
constexpr Answer kDecline{TargetCommand::Decline, "It will be declined.", platform::kOlMeetingDeclined,
                          platform::kOlTaskDecline};
constexpr Answer kTentative{TargetCommand::Tentative, "I will return it marked tentative.",
                            platform::kOlMeetingTentative, std::nullopt};

constexpr std::array<std::string_view, 3> kResponseCommands{"AcceptItem", "DeclineItem", "TentativeItem"};

// With the mail client's own dialogs (no_ui False), where the user may add a text.
void respond(const Ref<Item>& request, std::int32_t response) { request->respond(response, false, true); }

void answer(frmAgentCtrl& f, const Answer& a) {
    if (target::ResolveTarget(f, target_row(a.command)).kind == target::TargetKind::Nothing) return;
    // Said before the mail client is asked, so it is heard even when the item turns out to be no request.
    speak(f, std::string(a.acknowledgement));
    const auto item_class = skip_on_failure([&] { return f.oCurReadItem->item_class(); });
    if (item_class == platform::kOlMeetingRequest) {
        skip_on_failure([&] { respond(f.oCurMeetReqItem->get_associated_appointment(true), a.meeting_response); });
    } else if (item_class == platform::kOlTaskRequest && a.task_response) {
        skip_on_failure([&] { respond(f.oCurTaskReqItem->get_associated_task(true), *a.task_response); });
    }
    // Answered or not, the request is done with; each switch is a statement of its own.
    for (const auto name : kResponseCommands) {
        skip_on_failure([&] { f.oAgentChar->commands()->item(name)->set_enabled(false); });
        skip_on_failure([&] { f.oAgentChar->commands()->item(name)->set_visible(false); });
    }
}

}  // namespace

void AcceptItem(frmAgentCtrl& f) { answer(f, kAccept); }
void DeclineItem(frmAgentCtrl& f) { answer(f, kDecline); }
void TentativeItem(frmAgentCtrl& f) { answer(f, kTentative); }

}  // namespace actions
