#include "reading/announcement.hpp"

#include <algorithm>
#include <array>
#include <cassert>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "character/item_classes.hpp"
#include "character/reading_state.hpp"
#include "platform/ascii.hpp"
#include "platform/failure.hpp"
#include "reading/formats.hpp"

namespace reading {
namespace {

using character::AnnouncementForm;
using character::ItemClass;
using platform::Item;
using platform::Ref;
using platform::skip_on_failure;
using platform::WithEvents;

// A sentence of the announcement, or nothing when its condition does not hold.
using Sentence = std::optional<std::string>;

[[maybe_unused]] constexpr std::size_t kMaxLines = 25;  // checked by assertions only

// The character takes "|" as the separator of alternative wordings and would speak only part of a subject or a
// name that holds one, so every value taken from an item has its "|" turned into a blank. Fixed phrases are ours
// and hold none.
std::string spoken(std::string value) {
    std::replace(value.begin(), value.end(), '|', ' ');
    return value;
}

platform::LocalTime now(frmAgentCtrl& f) { return f.host.clock().now(); }

// Writes the sentences of one announcement into the form's lines. A sentence whose platform call fails is left
// out; for meeting and task request items the first such failure is taken to mean that the appointment or task
// behind the item is gone, and says so in the line of the sentence that failed.
class Composer {
public:
    Composer(frmAgentCtrl& f, std::string_view missing_message) : f_(f), missing_message_(missing_message) {}

    // A sentence in a fixed line; true when it was written.
    template <class Fn>
    bool line(std::size_t number, Fn&& sentence) {
        assert(number >= 1 && number <= kMaxLines && "an announcement has 25 lines");
        const auto text = compose(sentence);
        if (!text || !*text) return false;
        f_.sAnnLine[number] = **text;
        return true;
    }

    // A sentence in the line after the last one used.
    template <class Fn>
    void next(Fn&& sentence) {
        const auto text = compose(sentence);
        if (!text) {
            if (missing_message_.empty()) return;
            write_next(std::string(missing_message_));
            missing_message_ = {};  // Once is enough: the later sentences fail for the same reason.
            return;
        }
        if (*text) write_next(**text);
    }

private:
    template <class Fn>
    std::optional<Sentence> compose(Fn& sentence) {
        return skip_on_failure([&]() -> Sentence { return sentence(); });
    }

    void write_next(std::string text) {
        assert(f_.lAnnLineCnt < static_cast<std::int32_t>(kMaxLines) && "an announcement has 25 lines");
        f_.sAnnLine[++f_.lAnnLineCnt] = std::move(text);
    }

    frmAgentCtrl& f_;
    std::string_view missing_message_;
};

Sentence opening(frmAgentCtrl& f, std::string_view long_form, std::string_view short_form, const std::string& name) {
    // During the preview the preview has spoken the first words already, and the short form continues them.
    return std::string(is_item_reading(f) ? long_form : short_form) + spoken(name);
}

// Phrases chosen by a property's value; an empty phrase, or a value past the end, says nothing.
template <std::size_t N>
Sentence phrase_for(const std::array<std::string_view, N>& phrases, std::int32_t value) {
    if (value < 0 || static_cast<std::size_t>(value) >= N || phrases[value].empty()) return {};
    return std::string(phrases[value]);
}

constexpr std::array<std::string_view, 5> kStatus = {"It has not been started yet", "It is in progress",
                                                     "This task has been completed", "This task is on hold and waiting",
                                                     "It has been deferred"};
constexpr std::array<std::string_view, 3> kImportance = {"The Task is low priority", "", "It is a high priority Task"};
// A plain task's private lacks its verb, unlike a request's: users know the sentences as they are, so both stay.
constexpr std::array<std::string_view, 4> kTaskSensitivity = {"", "The Task is marked personal", "The Task private",
                                                              "The Task is confidential"};
constexpr std::array<std::string_view, 4> kRequestSensitivity = {"", "The Task is marked personal",
                                                                 "The Task is private", "The Task is confidential"};
constexpr std::array<std::string_view, 5> kNoteColours = {"and, it is blue", "and, it is green", "and, it is pink",
                                                          "and, it is yellow", "and, it is white"};
constexpr std::int32_t kStatusNotStarted = 0;
constexpr std::int32_t kStatusComplete = 2;

void announce_appointment(frmAgentCtrl& f, Composer& c) {
    auto& item = f.oCurAppointItem;
    c.line(1, [&] { return "This appointment's subject is: " + spoken(item->subject()); });
    c.line(2, [&] {
        if (item->all_day_event()) return std::string("It is an all day event");
        return "It is set for " + format_date_time(item->start());
    });
    f.lAnnLineCnt = 2;
    c.next([&]() -> Sentence {
        if (!is_earlier(item->start(), now(f))) return {};
        return "and, it is past due.";
    });
}

void announce_contact(frmAgentCtrl& f, Composer& c) {
    auto& item = f.oCurContItem;
    c.line(1, [&] {
        if (const auto full_name = item->full_name(); !full_name.empty()) return "This is " + spoken(full_name);
        if (const auto company = item->company_name(); !company.empty()) return "This is " + spoken(company);
        return std::string("This contact has no name");
    });
    const bool with_company = c.line(2, [&]() -> Sentence {
        if (item->full_name().empty()) return {};
        const auto company = item->company_name();
        if (company.empty()) return {};
        return "with " + spoken(company);
    });
    f.lAnnLineCnt = with_company ? 2 : 1;
    c.next([&]() -> Sentence {
        const auto phone = item->home_telephone_number();
        if (phone.empty()) return {};
        return "Their home phone number is " + spoken(phone);
    });
    c.next([&]() -> Sentence {
        const auto phone = item->business_telephone_number();
        if (phone.empty()) return {};
        return "and their business number is " + spoken(phone);
    });
}

void announce_document(frmAgentCtrl& f, Composer& c) {
    auto& item = f.oCurDocuItem;
    c.line(1,
           [&] { return std::string(is_item_reading(f) ? "This is an Office document " : "is an Office document"); });
    c.line(2, [&] { return "The subject is " + spoken(item->subject()); });
    c.line(3, [&] { return "It was last modified on " + format_date_time(item->last_modification_time()); });
    f.lAnnLineCnt = 3;
}

// Mail, remote items and reports are announced alike, each through its own reference.
void announce_message(frmAgentCtrl& f, Composer& c, WithEvents<Item>& item) {
    c.line(1, [&] { return opening(f, "This message is from ", "is a message from ", item->sender_name()); });
    c.line(2, [&] { return "It was received on " + format_date_time(item->received_time()); });
    c.line(3, [&] { return "Subject: " + spoken(item->subject()); });
    f.lAnnLineCnt = 3;
}

void announce_journal(frmAgentCtrl& f, Composer& c) {
    auto& item = f.oCurJourlItem;
    c.line(1, [&] { return "This journal entry's subject is: " + spoken(item->subject()); });
    c.line(2, [&] { return "The entry type is " + spoken(item->type()); });
    c.line(3, [&] { return "It was started on " + format_date_time(item->start()); });
    f.lAnnLineCnt = 3;
}

void announce_note(frmAgentCtrl& f, Composer& c) {
    auto& item = f.oCurNoteItem;
    c.line(1, [&] {
        const auto subject = item->subject();
        if (subject.empty()) return std::string("The note has no subject");
        return "The subject is: " + spoken(subject);
    });
    c.line(2, [&] { return "It was last modified on " + format_date_time(item->last_modification_time()); });
    c.line(3, [&] { return phrase_for(kNoteColours, item->color()); });
    f.lAnnLineCnt = 3;
}

void announce_task(frmAgentCtrl& f, Composer& c) {
    auto& item = f.oCurTaskItem;
    c.line(1, [&] {
        if (const auto delegator = item->delegator(); !delegator.empty())
            return "This task is delegated from " + spoken(delegator);
        return "This task is owned by: " + spoken(item->owner());
    });
    c.line(2, [&] { return "It was last updated on " + format_date_time(item->last_modification_time()); });
    c.line(3, [&] { return "The subject is: " + spoken(item->subject()); });
    c.line(4, [&] { return "It is due on " + format_date(item->due_date()); });
    f.lAnnLineCnt = 4;
    c.next([&] { return phrase_for(kTaskSensitivity, item->sensitivity()); });
    c.next([&] { return phrase_for(kImportance, item->importance()); });
    c.next([&] { return phrase_for(kStatus, item->status()); });
    c.next([&]() -> Sentence {
        const auto status = item->status();
        if (status == kStatusComplete || status == kStatusNotStarted) return {};
        return "And it is about " + format_number(item->percent_complete()) + " percent complete";
    });
    c.next([&]() -> Sentence {
        if (item->status() == kStatusComplete || !is_earlier(item->due_date(), now(f))) return {};
        return "plus, it is past due";
    });
}

// Meeting items: every sentence in the next line, those about the meeting itself asking the appointment behind the
// item afresh. The five classes differ only in their wording and in which sentences they have.
enum class MeetingPart {
    Opening,           // text is the long form, otherwise the short one; the item's sender follows
    Received,          // text + the item's received date and time
    OwnSubject,        // text + the item's own subject
    AppointmentText,   // text + an appointment's text property, or otherwise when that is empty and otherwise is set
    AppointmentStart,  // text + the appointment's start, or otherwise when it has no date
};

struct MeetingSentence {
    MeetingPart part;
    std::string_view text;
    std::string_view otherwise = {};
    std::string (Item::*property)() = nullptr;
};

constexpr MeetingSentence kRequired{MeetingPart::AppointmentText,
                                    "The required attendees are: ", "There are no required attendees",
                                    &Item::required_attendees};
constexpr MeetingSentence kOptional{MeetingPart::AppointmentText,
                                    "The optional attendees are: ", "There are no optional attendees",
                                    &Item::optional_attendees};

constexpr auto kMeetingRequest = std::to_array<MeetingSentence>({
    {MeetingPart::Opening, "This meeting request is from ", "is a meeting request from "},
    {MeetingPart::Received, "Received on "},
    {MeetingPart::AppointmentText, "The meeting organizer is ", {}, &Item::organizer},
    kRequired,
    kOptional,
    {MeetingPart::AppointmentText, "and the meeting's subject is: ", {}, &Item::subject},
    {MeetingPart::AppointmentText, "The location is: ", "No location has been set for this meeting", &Item::location},
    {MeetingPart::AppointmentStart, "This meeting is scheduled for ", "No date has been set for this meeting"},
});
constexpr auto kMeetingCancellation = std::to_array<MeetingSentence>({
    {MeetingPart::Opening, "This meeting cancellation is from ", "is a meeting cancellation from "},
    {MeetingPart::Received, "It was received on "},
    {MeetingPart::OwnSubject, "This canellation's subject is: "},
    {MeetingPart::AppointmentText, "The meeting subject was ", {}, &Item::subject},
    {MeetingPart::AppointmentStart, "This meeting was scheduled for ", "No date was set for this meeting"},
});
constexpr auto kMeetingNegative = std::to_array<MeetingSentence>({
    {MeetingPart::Opening, "This negative response to a meeting request is from ",
     "is a negative response to a meeting request, from "},
    {MeetingPart::Received, "It was received on "},
    kRequired,
    kOptional,
    {MeetingPart::OwnSubject, "The response's subject line is: "},
});
constexpr auto kMeetingPositive = std::to_array<MeetingSentence>({
    {MeetingPart::Opening, "This positive response to a meeting request is from ",
     "is a positive response to a meeting request, from "},
    {MeetingPart::Received, "It was received on "},
    kRequired,
    kOptional,
    {MeetingPart::OwnSubject, "The response's subject: "},
});
constexpr auto kMeetingTentative = std::to_array<MeetingSentence>({
    {MeetingPart::Opening, "This tentative response to a meeting request is from ",
     "is a tentative response to a meeting request, from "},
    {MeetingPart::Received, "Received on "},
    kRequired,
    kOptional,
    {MeetingPart::OwnSubject, "The Response's subject line says: "},
});

constexpr std::string_view kMissingAppointment =
    "The associated appointment is missing, so, I'm sorry, but, I do not have any additional information about "
    "this meeting request";

Sentence meeting_sentence(frmAgentCtrl& f, const MeetingSentence& s) {
    auto& item = f.oCurMeetReqItem;
    // An empty answer is the same failure as a gone appointment.
    const auto appointment = [&] { return platform::Ref<Item>(item->get_associated_appointment(false)); };
    switch (s.part) {
        case MeetingPart::Opening:
            return opening(f, s.text, s.otherwise, item->sender_name());
        case MeetingPart::Received:
            return std::string(s.text) + format_date_time(item->received_time());
        case MeetingPart::OwnSubject:
            return std::string(s.text) + spoken(item->subject());
        case MeetingPart::AppointmentText: {
            const auto value = ((*appointment()).*s.property)();
            if (value.empty() && !s.otherwise.empty()) return std::string(s.otherwise);
            return std::string(s.text) + spoken(value);
        }
        case MeetingPart::AppointmentStart: {
            const auto start = appointment()->start();
            if (!is_date(start)) return std::string(s.otherwise);
            return std::string(s.text) + format_date_time(start);
        }
    }
    return {};
}

// Task request items: every sentence in the next line, those about the task asking the task behind the item afresh.
// The four classes differ only in their wording and in which sentences they have.
enum class TaskPart {
    DelegatorOpening,  // text long, otherwise short; the task's delegator in lower case follows
    SenderOpening,     // text long, otherwise short; the item's sender follows
    Updated,           // text + the task's last modification date and time
    OwnSubject,        // text + the item's own subject
    DueDate,           // text + the date of the task's due date
    OwnImportance,     // the item's own importance
    TaskImportance,    // the task's importance
    Status,            // the task's status, for the values in `statuses` only
    Progress,          // the percent complete, then past due, unless the task is complete
    Sensitivity,       // the task's sensitivity
};

struct TaskSentence {
    TaskPart part;
    std::string_view text = {};
    std::string_view otherwise = {};
    unsigned statuses = 0;  // bit n: status n is spoken
};

constexpr unsigned status_bits(std::initializer_list<std::int32_t> values) {
    unsigned bits = 0;
    for (auto v : values) bits |= 1U << v;
    return bits;
}

constexpr auto kTaskRequest = std::to_array<TaskSentence>({
    {TaskPart::DelegatorOpening, "This task request is delegated from ", "is a task request, delegated from "},
    {TaskPart::Updated, "It was last updated on "},
    {TaskPart::OwnSubject, "The subject: "},
    {TaskPart::DueDate, "It is due on "},
    {TaskPart::OwnImportance},
    {TaskPart::Status, {}, {}, status_bits({2, 3, 4})},
    {TaskPart::Progress},
    {TaskPart::Sensitivity},
});
constexpr auto kTaskRequestUpdate = std::to_array<TaskSentence>({
    {TaskPart::DelegatorOpening, "This task request update is delegated from ",
     "is a task request update, delegated from "},
    {TaskPart::OwnSubject, "The subject: "},
    {TaskPart::DueDate, "It is due on "},
    {TaskPart::OwnImportance},
    {TaskPart::Status, {}, {}, status_bits({0, 2, 3, 4})},
    {TaskPart::Progress},
    {TaskPart::Sensitivity},
});
constexpr auto kTaskRequestAccept = std::to_array<TaskSentence>({
    {TaskPart::SenderOpening, "This task request acceptance is from ", "is a task request acceptance from "},
    {TaskPart::Updated, "It was last updated on "},
    {TaskPart::OwnSubject, "The subject is: "},
    {TaskPart::DueDate, "And the due date is "},
    {TaskPart::TaskImportance},
    {TaskPart::Sensitivity},
});
// The decline follows the acceptance, sentence for sentence.
constexpr auto kTaskRequestDecline = std::to_array<TaskSentence>({
    {TaskPart::SenderOpening, "This task request decline is from ", "is a task request decline from "},
    {TaskPart::Updated, "It was last updated on "},
    {TaskPart::OwnSubject, "The subject is: "},
    {TaskPart::DueDate, "And the due date is "},
    {TaskPart::TaskImportance},
    {TaskPart::Sensitivity},
});

constexpr std::string_view kMissingTask =
    "The associated task is missing.  so, I'm sorry, but, I do not have any additional information about this task "
    "request";

void announce_task_request(frmAgentCtrl& f, Composer& c, WithEvents<Item>& item,
                           std::span<const TaskSentence> sentences) {
    const auto task = [&] { return platform::Ref<Item>(item->get_associated_task(false)); };
    for (const auto& s : sentences) {
        switch (s.part) {
            case TaskPart::DelegatorOpening:
                c.next([&] { return opening(f, s.text, s.otherwise, platform::lower_ascii(task()->delegator())); });
                break;
            case TaskPart::SenderOpening:
                c.next([&] { return opening(f, s.text, s.otherwise, item->sender_name()); });
                break;
            case TaskPart::Updated:
                c.next([&] { return std::string(s.text) + format_date_time(task()->last_modification_time()); });
                break;
            case TaskPart::OwnSubject:
                c.next([&] { return std::string(s.text) + spoken(item->subject()); });
                break;
            case TaskPart::DueDate:
                c.next([&] { return std::string(s.text) + format_date(task()->due_date()); });
                break;
            case TaskPart::OwnImportance:
                c.next([&] { return phrase_for(kImportance, item->importance()); });
                break;
            case TaskPart::TaskImportance:
                c.next([&] { return phrase_for(kImportance, task()->importance()); });
                break;
            case TaskPart::Status:
                c.next([&]() -> Sentence {
                    const auto status = task()->status();
                    if (status < 0 || status >= 32 || !(s.statuses & (1U << status))) return {};
                    return phrase_for(kStatus, status);
                });
                break;
            case TaskPart::Progress:
                c.next([&]() -> Sentence {
                    const auto status = task()->status();
                    if (status == kStatusComplete || status == kStatusNotStarted) return {};
                    return "And it is about " + format_number(task()->percent_complete()) + " percent complete";
                });
                c.next([&]() -> Sentence {
                    if (task()->status() == kStatusComplete || !is_earlier(task()->due_date(), now(f))) return {};
                    return "plus, it is past due";
                });
                break;
            case TaskPart::Sensitivity:
                c.next([&] { return phrase_for(kRequestSensitivity, task()->sensitivity()); });
                break;
        }
    }
}

// Every class not listed here, posts included.
void announce_unknown(frmAgentCtrl& f) {
    f.sAnnLine[1] = "I am not sure about this " + f.sCurItemRef;
    f.lAnnLineCnt = 1;
}

void announce_meeting(frmAgentCtrl& f, std::span<const MeetingSentence> sentences) {
    Composer c(f, kMissingAppointment);
    for (const auto& s : sentences) c.next([&] { return meeting_sentence(f, s); });
}

void announce_task_request(frmAgentCtrl& f, WithEvents<Item>& item, std::span<const TaskSentence> sentences) {
    Composer c(f, kMissingTask);
    announce_task_request(f, c, item, sentences);
}

void compose_lines(frmAgentCtrl& f, const ItemClass* row) {
    if (!row) return announce_unknown(f);
    // The class's typed reference, for the forms that read through it (notes have none).
    const auto typed = [&]() -> WithEvents<Item>& { return f.*row->typed; };
    Composer c(f, {});
    switch (row->announcement) {
        case AnnouncementForm::Unknown:
            return announce_unknown(f);
        case AnnouncementForm::Appointment:
            return announce_appointment(f, c);
        case AnnouncementForm::Contact:
            return announce_contact(f, c);
        case AnnouncementForm::Document:
            return announce_document(f, c);
        case AnnouncementForm::Message:
            return announce_message(f, c, typed());
        case AnnouncementForm::Journal:
            return announce_journal(f, c);
        case AnnouncementForm::Note:
            return announce_note(f, c);
        case AnnouncementForm::Task:
            return announce_task(f, c);
        case AnnouncementForm::MeetingRequest:
            return announce_meeting(f, kMeetingRequest);
        case AnnouncementForm::MeetingCancellation:
            return announce_meeting(f, kMeetingCancellation);
        case AnnouncementForm::MeetingNegative:
            return announce_meeting(f, kMeetingNegative);
        case AnnouncementForm::MeetingPositive:
            return announce_meeting(f, kMeetingPositive);
        case AnnouncementForm::MeetingTentative:
            return announce_meeting(f, kMeetingTentative);
        case AnnouncementForm::TaskRequest:
            return announce_task_request(f, typed(), kTaskRequest);
        case AnnouncementForm::TaskRequestUpdate:
            return announce_task_request(f, typed(), kTaskRequestUpdate);
        case AnnouncementForm::TaskRequestAccept:
            return announce_task_request(f, typed(), kTaskRequestAccept);
        case AnnouncementForm::TaskRequestDecline:
            return announce_task_request(f, typed(), kTaskRequestDecline);
    }
}

void add_attachment_sentence(frmAgentCtrl& f, const ItemClass* row) {
    // Only an announcement on its own mentions them: with the body the body text does.
    if (!is_announcement_only(f)) return;
    // A class that cannot be told, or that the table does not know, has its attachments mentioned.
    if (row && !row->mentions_attachments) return;
    const auto count = skip_on_failure([&] { return f.oCurReadItem->attachments_count(); });
    if (!count || *count <= 0) return;
    Composer c(f, {});
    c.next([&] {
        if (*count == 1) return std::string("There is an attachment");
        return "There are " + format_number(*count) + " attachments";
    });
}

}  // namespace

void MakeAnnounceText(frmAgentCtrl& f) {
    for (auto& line : f.sAnnLine) line.clear();
    f.lAnnLineCnt = 0;

    const auto item_class = skip_on_failure([&] { return f.oCurReadItem->item_class(); });
    const ItemClass* row = item_class ? character::find_item_class(*item_class) : nullptr;
    compose_lines(f, row);
    add_attachment_sentence(f, row);

    for (std::int32_t k = 1; k <= f.lAnnLineCnt; ++k) {
        if (f.sAnnLine[k].empty()) continue;
        f.sReadText += f.sAnnLine[k];
        f.sReadText += ". ";
    }
}

}  // namespace reading
