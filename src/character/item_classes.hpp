#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "character/form.hpp"

// What each class of item needs, in one row per class: its spoken type noun, the form's field that holds the
// current item of the class and the events bound for it, how many response commands it offers, where its body is
// read from, whether its attachments are mentioned and which announcement it gets. The current item, the body, the
// announcement, the event wiring, the shutdown and the field inspection all read this one table.
namespace character {

enum class BodySource {
    Plain,      // the plain body, cleaned of decoration
    HtmlFirst,  // the HTML body when there is one, else the plain body
    NotRead,    // the no-body sentence alone
};

// The announcement of a class; the meeting and task request forms differ only in their sentences.
enum class AnnouncementForm {
    Unknown,
    Appointment,
    Contact,
    Document,
    Message,
    Journal,
    Note,
    Task,
    MeetingRequest,
    MeetingCancellation,
    MeetingNegative,
    MeetingPositive,
    MeetingTentative,
    TaskRequest,
    TaskRequestUpdate,
    TaskRequestAccept,
    TaskRequestDecline,
};

struct ItemClass {
    std::int32_t item_class;
    std::string_view noun;  // sCurItemType
    // The field holding the current item of this class, by name and as a member: a typed reference, whose Close
    // (and for mail Send) is bound while it holds the item, or for notes, which raise no events, a plain one.
    std::string_view field;
    platform::WithEvents<platform::Item> frmAgentCtrl::*typed;
    platform::Ref<platform::Item> frmAgentCtrl::*plain;
    bool binds_send;
    // How many of the response commands (accept, decline, tentative) are offered: a task request cannot be
    // accepted tentatively.
    std::size_t responses;
    BodySource body;
    std::string_view no_body;  // said instead of an empty body, or always when the body is not read
    bool mentions_attachments;
    AnnouncementForm announcement;
};

// Every class, in the order shutdown releases their fields; a field shared by several classes (the meeting
// items') comes in consecutive rows.
std::span<const ItemClass> item_classes();

// The row of a class, or nullptr for a class not in the table.
const ItemClass* find_item_class(std::int32_t item_class);

}  // namespace character
