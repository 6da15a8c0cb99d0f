#include "preview/preview.hpp"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "character/reading_state.hpp"
#include "platform/failure.hpp"
#include "preview/walk.hpp"
#include "reading/reading_commands.hpp"
#include "reading/speech_output.hpp"

namespace preview {

namespace {

using platform::skip_on_failure;
using walk::Move;

// On and Off set Enabled and Visible; Enable and Disable set Enabled only.
enum class Switch { Untouched, On, Off, Enable, Disable };

struct CommandSwitch {
    std::string_view command;
    Switch to = Switch::Untouched;
};

// What one state of the preview shows. The commands are switched in the order listed, then the
// button caption, the button tooltip and the menu entry caption are set, in that order.
struct StateRow {
    std::array<CommandSwitch, 4> commands;
    std::string_view caption;
    std::string_view tooltip;
    std::string_view menu_caption;
};

constexpr StateRow kStartRow{{{{"PrevNewMail", Switch::Off},
                               {"ContinuNewMail", Switch::Off},
                               {"PauseNewMail", Switch::On},
                               {"StopNewMail", Switch::Enable}}},
                             "Preview",
                             "Outlook Agent - Preview",
                             "A&gent Preview"};
constexpr StateRow kContinueRow{
    {{{"PrevNewMail", Switch::Off}, {"PauseNewMail", Switch::On}, {"ContinuNewMail", Switch::Off}, {}}},
    "Preview",
    "Outlook Agent - Preview",
    "A&gent Preview"};
constexpr StateRow kPauseRow{
    {{{"PrevNewMail", Switch::Off}, {"PauseNewMail", Switch::Off}, {"ContinuNewMail", Switch::On}, {}}},
    "Paused",
    "Outlook Agent - Paused",
    "A&gent Paused"};
constexpr StateRow kStopRow{{{{"PrevNewMail", Switch::On},
                              {"ContinuNewMail", Switch::Off},
                              {"PauseNewMail", Switch::Off},
                              {"StopNewMail", Switch::Disable}}},
                            "Agent",
                            "Open Outlook Dezaror Agent",
                            "Outlook A&gent"};

void set_enabled(frmAgentCtrl& f, std::string_view command, bool on) {
    skip_on_failure([&] { f.oAgentChar->commands()->item(command)->set_enabled(on); });
}

void set_visible(frmAgentCtrl& f, std::string_view command, bool on) {
    skip_on_failure([&] { f.oAgentChar->commands()->item(command)->set_visible(on); });
}

void show(frmAgentCtrl& f, const StateRow& row) {
    for (const auto& [command, to] : row.commands) {
        switch (to) {
            case Switch::Untouched:
                break;
            case Switch::On:
            case Switch::Off:
                set_enabled(f, command, to == Switch::On);
                set_visible(f, command, to == Switch::On);
                break;
            case Switch::Enable:
            case Switch::Disable:
                set_enabled(f, command, to == Switch::Enable);
                break;
        }
    }
    skip_on_failure([&] { f.oMyCB->set_caption(row.caption); });
    skip_on_failure([&] { f.oMyCB->set_tooltip_text(row.tooltip); });
    skip_on_failure([&] { f.oMyMB->set_caption(row.menu_caption); });
}

void say_no_unread(frmAgentCtrl& f) { speak(f, "There are no new unread " + f.sCurItemRef + "s in the Inbox."); }

// With no unread item the preview has nothing to listen to.
void release_inbox(frmAgentCtrl& f) {
    f.oCurNewMailItems = nullptr;
    f.oInboxFolder = nullptr;
}

// The unread count can disagree with the items' flags, so the walk may find nothing; it then ends
// at the end of the collection.
bool walk_to_first_unread(frmAgentCtrl& f) {
    if (!walk::step(f, Move::First)) return false;
    while (!walk::is_unread(f.oNeMItem.ptr()))
        if (!walk::step(f, Move::Next)) return false;
    return true;
}

// A number as the scripting runtime writes it, with a blank in the sign position when it is not negative.
std::string with_sign_position(std::int32_t n) { return (n < 0 ? "" : " ") + std::to_string(n); }

// Whether the preview item is still next to the cursor. The cursor is left on it when it is; when
// it was removed, oNeMItem and the cursor are left on the item that followed it (Nothing when it was
// the last), where the next step starts looking. A failing call leaves oNeMItem as it was.
bool preview_item_still_there(frmAgentCtrl& f) {
    if (const auto before = walk::move_cursor(f, Move::Previous)) f.oNeMItem = *before;
    if (!f.oNeMItem) {
        if (const auto first = walk::move_cursor(f, Move::First)) f.oNeMItem = *first;
        return walk::is_preview_item(f, f.oNeMItem.ptr());
    }
    if (walk::is_preview_item(f, f.oNeMItem.ptr())) return true;
    if (const auto after = walk::move_cursor(f, Move::Next)) f.oNeMItem = *after;
    return walk::is_preview_item(f, f.oNeMItem.ptr());
}

}  // namespace

void PrevNewMail(frmAgentCtrl& f) {
    SetupNewMail(f);
    if (!f.bNeMActive) return;
    f.bNeMStarted = true;
    reading::AnnounceItem(f);
}

void SetupNewMail(frmAgentCtrl& f) {
    f.bNeMActive = false;
    skip_on_failure([&] { f.oInboxFolder = f.oNS->get_default_folder(platform::kOlFolderInbox); });
    skip_on_failure([&] { f.oCurNewMailItems = f.oInboxFolder->items(); });
    skip_on_failure([&] { f.lNeMUnread = f.oInboxFolder->unread_item_count(); });
    if (f.lNeMUnread <= 0) {
        say_no_unread(f);
        release_inbox(f);
        return;
    }
    skip_on_failure([&] { f.oCurNewMailItems->sort("[ReceivedTime]", f.bNeMSortDescend); });
    f.bNeMActive = true;
    speak(f, f.sAckLine);
    show(f, kStartRow);

    f.bNeMItemGone = false;
    if (!walk_to_first_unread(f)) {
        // The count promised unread items that are not there: nothing to preview after all.
        f.bNeMActive = false;
        f.bNeMStarted = false;
        say_no_unread(f);
        show(f, kStopRow);
        release_inbox(f);
        return;
    }
    skip_on_failure([&] { f.sNeMEntryID = f.oNeMItem->entry_id(); });
    f.oCurReadItem = f.oNeMItem;

    play(f, is_reading(f) ? "ReadContinued" : "Read");
    const bool one = f.lNeMUnread == 1;
    speak(f, "You have " + with_sign_position(f.lNeMUnread) + " unread " + f.sCurItemRef + (one ? "" : "s") +
                 " in the Inbox.");
    if (one) {
        speak(f, "The item ");
    } else {
        speak(f, f.bNeMSortDescend ? "I will start with the newest one."
                                   : "I will read starting with the oldest ones first.");
        // The announcement that follows completes this sentence.
        speak(f, "The first " + f.sCurItemRef);
    }
    f.iReadMode = read_mode(character::ReadPart::Announcement, character::ReadingKind::Preview);
}

void PauseNewMail(frmAgentCtrl& f) {
    if (!(f.bNeMStarted && f.bNeMActive)) return;
    f.bNeMActive = false;
    if (is_reading(f)) reading::PausReadItem(f);
    show(f, kPauseRow);
}

void ContinuNewMail(frmAgentCtrl& f) {
    // Drawn at every call, so the random sequence does not depend on the preview's state.
    const auto draw = skip_on_failure([&] { return f.host.random().next(); });
    const int r = draw ? static_cast<int>(*draw * 10 + 1) : 0;
    if (!(f.bNeMStarted && !f.bNeMActive)) return;

    f.bNeMActive = true;
    show(f, kContinueRow);
    if (f.bNeMItemGone) {
        speak(f, "That " + f.sCurItemType + " is no longer in the inbox.");
        speak(f, "Let's continue with the next one.");
        NextItem(f);
        return;
    }
    restore_reading(f, character::ReadingKind::Preview);
    if (static_cast<std::int64_t>(f.lReadPos) >= static_cast<std::int64_t>(f.sReadText.size())) {
        NextItem(f);
        return;
    }
    // iReadMode still holds the mode of the paused reading.
    f.lReadPieces = 6;
    play(f, "Read");
    if (r > 7) play(f, "ReadContinued");
    reading::SpeakNextPiece(f);
}

void StopNewMail(frmAgentCtrl& f) {
    if (f.bNeMStarted) {
        f.bNeMActive = false;
        f.bNeMStarted = false;
        f.bNeMItemGone = false;
        show(f, kStopRow);
    }
    // Without the character (a click on a preview's caption after shutdown) there is no reading to
    // stop or to go on with, and speaking would only fail; the next start clears the reading mode.
    if (!f.bAgentLoaded) return;
    if (is_preview_reading(f)) {
        reading::StopReadItem(f);
    } else if (is_item_reading(f)) {
        // The user's speech input for this command interrupted an ordinary reading: it goes on.
        reading::SpeakNextPiece(f);
    }
}

// New mail is announced by the mail events; the preview only counts it for its next steps.
void oCurNewMailItems_ItemAdd(frmAgentCtrl& f) {
    if (!(f.bAgentLoaded && f.bNeMActive)) return;
    skip_on_failure([&] { f.lNeMUnread = f.oInboxFolder->unread_item_count(); });
}

// Nothing is said here: the user hears of a removed preview item at the next step of the preview.
void oCurNewMailItems_ItemRemove(frmAgentCtrl& f) {
    if (!(f.bAgentLoaded && f.bNeMActive)) return;
    f.bNeMItemGone = false;
    skip_on_failure([&] { f.lNeMUnread = f.oInboxFolder->unread_item_count(); });
    if (f.lNeMUnread == 0) {
        f.oNeMItem = nullptr;
        f.bNeMItemGone = true;
    } else {
        f.bNeMItemGone = !preview_item_still_there(f);
    }
    if (!f.bNeMItemGone) return;

    if (is_preview_reading(f)) reading::StopReadItem(f);
    // The item is gone, so there is nothing left to save.
    if (f.bReadInspOpen) {
        character::close_window_or_skip(f.oReadInspector, platform::kOlDiscard);
        f.bReadInspOpen = false;
    }
    if (f.bNeMInspOpen) {
        character::close_window_or_skip(f.oCurNeMInspector, platform::kOlDiscard);
        f.bNeMInspOpen = false;
    } else if (f.bCurInspOpen) {
        character::close_window_or_skip(f.oCurInspector, platform::kOlDiscard);
        f.bCurInspOpen = false;
    }
}

}  // namespace preview
