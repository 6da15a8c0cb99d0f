#include "character/item_classes.hpp"

#include <array>

#include "platform/outlook.hpp"

namespace character {

namespace {

using A = AnnouncementForm;
using B = BodySource;

// The field's name and member from one mention, so that the two cannot differ.
#define DEZAROR_TYPED(name) #name, &frmAgentCtrl::name, nullptr
#define DEZAROR_PLAIN(name) #name, nullptr, &frmAgentCtrl::name

constexpr std::string_view kNoMeetingNotes = "This meeting request has no additional notes.";

const auto kItemClasses = std::to_array<ItemClass>({
    {platform::kOlAppointment, "appointment", DEZAROR_TYPED(oCurAppointItem), false, 0, B::Plain,
     "This Appointment has no note.", true, A::Appointment},
    {platform::kOlContact, "contact", DEZAROR_TYPED(oCurContItem), false, 0, B::Plain,
     "There is no note for this Contact.", true, A::Contact},
    {platform::kOlDocument, "office document", DEZAROR_TYPED(oCurDocuItem), false, 0, B::NotRead,
     "Sorry, I can not read this document.", false, A::Document},
    {platform::kOlMail, "message", DEZAROR_TYPED(oCurEmailItem), true, 0, B::HtmlFirst, "What type of message is this?",
     true, A::Message},
    {platform::kOlJournal, "journal", DEZAROR_TYPED(oCurJourlItem), false, 0, B::Plain, "This journal has no message.",
     true, A::Journal},
    {platform::kOlMeetingRequest, "meeting request", DEZAROR_TYPED(oCurMeetReqItem), false, 3, B::Plain,
     kNoMeetingNotes, false, A::MeetingRequest},
    {platform::kOlMeetingCancellation, "meeting cancellation", DEZAROR_TYPED(oCurMeetReqItem), false, 0, B::Plain,
     kNoMeetingNotes, false, A::MeetingCancellation},
    {platform::kOlMeetingResponseNegative, "meeting negative response", DEZAROR_TYPED(oCurMeetReqItem), false, 0,
     B::Plain, kNoMeetingNotes, false, A::MeetingNegative},
    {platform::kOlMeetingResponsePositive, "meeting positive response", DEZAROR_TYPED(oCurMeetReqItem), false, 0,
     B::Plain, kNoMeetingNotes, false, A::MeetingPositive},
    {platform::kOlMeetingResponseTentative, "meeting tentative response", DEZAROR_TYPED(oCurMeetReqItem), false, 0,
     B::Plain, kNoMeetingNotes, false, A::MeetingTentative},
    {platform::kOlNote, "note", DEZAROR_PLAIN(oCurNoteItem), false, 0, B::Plain, "This note has no nothing to say.",
     true, A::Note},
    // Posts get no announcement of their own.
    {platform::kOlPost, "post", DEZAROR_TYPED(oCurPostItem), false, 0, B::HtmlFirst, "This post has no message.", true,
     A::Unknown},
    {platform::kOlRemote, "remote message", DEZAROR_TYPED(oCurRemoteItem), false, 0, B::NotRead,
     "This is a remote item that must be downloaded to be read.", true, A::Message},
    {platform::kOlReport, "report message", DEZAROR_TYPED(oCurRptItem), false, 0, B::Plain,
     "This report item has no additional notes.", true, A::Message},
    {platform::kOlTask, "task", DEZAROR_TYPED(oCurTaskItem), false, 0, B::Plain, "This task has no additional notes.",
     true, A::Task},
    {platform::kOlTaskRequest, "task request", DEZAROR_TYPED(oCurTaskReqItem), false, 2, B::Plain,
     "This task request has no additional notes.", false, A::TaskRequest},
    {platform::kOlTaskRequestAccept, "task request accept", DEZAROR_TYPED(oCurTaskAccItem), false, 0, B::Plain,
     "This task request accept has no additional notes.", false, A::TaskRequestAccept},
    {platform::kOlTaskRequestDecline, "task request decline", DEZAROR_TYPED(oCurTaskDecItem), false, 0, B::Plain,
     "This task request decline has no additional notes.", false, A::TaskRequestDecline},
    {platform::kOlTaskRequestUpdate, "task request update", DEZAROR_TYPED(oCurTaskUpdItem), false, 0, B::Plain,
     "This task request update has no additional notes.", false, A::TaskRequestUpdate},
});

#undef DEZAROR_TYPED
#undef DEZAROR_PLAIN

}  // namespace

std::span<const ItemClass> item_classes() { return kItemClasses; }

const ItemClass* find_item_class(std::int32_t item_class) {
    for (const auto& row : kItemClasses)
        if (row.item_class == item_class) return &row;
    return nullptr;
}

}  // namespace character
