#include "reading/body.hpp"

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/failure.hpp"
#include "reading/formats.hpp"
#include "reading/text_cleaning.hpp"

namespace reading {
namespace {

using platform::Item;
using platform::Ref;
using platform::skip_on_failure;
using platform::WithEvents;

enum class BodySource {
    Plain,      // the plain body, cleaned of decoration
    HtmlFirst,  // the HTML body when there is one, else the plain body
    NotRead,    // the sentence alone
};

struct BodyClass {
    std::int32_t item_class;
    WithEvents<Item> frmAgentCtrl::*typed;
    Ref<Item> frmAgentCtrl::*plain;  // notes, which raise no events
    BodySource source;
    // Said instead of an empty body, or always for a class whose body is not read.
    std::string_view no_body;
};

constexpr std::string_view kNoMeetingNotes = "This meeting request has no additional notes.";

const auto kBodyClasses = std::to_array<BodyClass>({
    {platform::kOlAppointment, &frmAgentCtrl::oCurAppointItem, nullptr, BodySource::Plain,
     "This Appointment has no note."},
    {platform::kOlContact, &frmAgentCtrl::oCurContItem, nullptr, BodySource::Plain,
     "There is no note for this Contact."},
    {platform::kOlDocument, nullptr, nullptr, BodySource::NotRead, "Sorry, I can not read this document."},
    {platform::kOlMail, &frmAgentCtrl::oCurEmailItem, nullptr, BodySource::HtmlFirst, "What type of message is this?"},
    {platform::kOlNote, nullptr, &frmAgentCtrl::oCurNoteItem, BodySource::Plain, "This note has no nothing to say."},
    {platform::kOlJournal, &frmAgentCtrl::oCurJourlItem, nullptr, BodySource::Plain, "This journal has no message."},
    {platform::kOlPost, &frmAgentCtrl::oCurPostItem, nullptr, BodySource::HtmlFirst, "This post has no message."},
    {platform::kOlMeetingRequest, &frmAgentCtrl::oCurMeetReqItem, nullptr, BodySource::Plain, kNoMeetingNotes},
    {platform::kOlMeetingCancellation, &frmAgentCtrl::oCurMeetReqItem, nullptr, BodySource::Plain, kNoMeetingNotes},
    {platform::kOlMeetingResponseNegative, &frmAgentCtrl::oCurMeetReqItem, nullptr, BodySource::Plain, kNoMeetingNotes},
    {platform::kOlMeetingResponsePositive, &frmAgentCtrl::oCurMeetReqItem, nullptr, BodySource::Plain, kNoMeetingNotes},
    {platform::kOlMeetingResponseTentative, &frmAgentCtrl::oCurMeetReqItem, nullptr, BodySource::Plain,
     kNoMeetingNotes},
    {platform::kOlTask, &frmAgentCtrl::oCurTaskItem, nullptr, BodySource::Plain, "This task has no additional notes."},
    {platform::kOlTaskRequest, &frmAgentCtrl::oCurTaskReqItem, nullptr, BodySource::Plain,
     "This task request has no additional notes."},
    {platform::kOlTaskRequestAccept, &frmAgentCtrl::oCurTaskAccItem, nullptr, BodySource::Plain,
     "This task request accept has no additional notes."},
    {platform::kOlTaskRequestDecline, &frmAgentCtrl::oCurTaskDecItem, nullptr, BodySource::Plain,
     "This task request decline has no additional notes."},
    {platform::kOlTaskRequestUpdate, &frmAgentCtrl::oCurTaskUpdItem, nullptr, BodySource::Plain,
     "This task request update has no additional notes."},
    {platform::kOlRemote, nullptr, nullptr, BodySource::NotRead,
     "This is a remote item that must be downloaded to be read."},
    {platform::kOlReport, &frmAgentCtrl::oCurRptItem, nullptr, BodySource::Plain,
     "This report item has no additional notes."},
});

constexpr std::string_view kUnknownClass = "Uncertainty has set in, about this item.  I don't think I can read it.";

const BodyClass* find_class(std::optional<std::int32_t> item_class) {
    if (!item_class) return nullptr;
    for (const auto& row : kBodyClasses)
        if (row.item_class == *item_class) return &row;
    return nullptr;
}

Ref<Item> reference(frmAgentCtrl& f, const BodyClass& row) {
    if (row.typed) return (f.*row.typed).ptr();
    if (row.plain) return f.*row.plain;
    return {};
}

// A body that cannot be read counts as empty. Emptiness is judged before cleaning: a body of separator rows alone
// is not empty, though nothing of it is left to say.
std::string text_of(const BodyClass& row, const Ref<Item>& item) {
    if (row.source == BodySource::NotRead) return std::string(row.no_body);
    if (row.source == BodySource::HtmlFirst) {
        const auto html = skip_on_failure([&] { return item->html_body(); });
        if (html && !html->empty()) return HtmlToText(*html);
    }
    const auto body = skip_on_failure([&] { return item->body(); });
    if (!body || body->empty()) return std::string(row.no_body);
    return DropDecoration(*body);
}

// Documents, meeting items and task request items never mention their attachments.
bool mentions_attachments(std::optional<std::int32_t> item_class) {
    if (!item_class) return true;
    const auto c = *item_class;
    return c != platform::kOlDocument && !(c >= platform::kOlTaskRequest && c <= platform::kOlMeetingResponseTentative);
}

}  // namespace

void MakeBodyText(frmAgentCtrl& f) {
    f.sBodyText = "";
    const auto item_class = skip_on_failure([&] { return f.oCurReadItem->item_class(); });
    if (const BodyClass* row = find_class(item_class)) {
        f.sBodyText = text_of(*row, reference(f, *row));
    } else {
        skip_on_failure([&] { f.oAgentChar->play("Confused"); });
        f.sBodyText = kUnknownClass;
    }

    if (mentions_attachments(item_class)) {
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
