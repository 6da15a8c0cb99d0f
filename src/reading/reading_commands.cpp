#include "reading/reading_commands.hpp"

#include <string>
#include <string_view>

#include "character/acts.hpp"
#include "character/reading_state.hpp"
#include "platform/failure.hpp"
#include "reading/announcement.hpp"
#include "reading/body.hpp"
#include "reading/current_item.hpp"
#include "reading/speech_output.hpp"
#include "target/target.hpp"

namespace reading {

namespace {

using character::ReadingKind;
using platform::Inspector;
using platform::ItemPtr;
using platform::skip_on_failure;
using target::Target;
using target::TargetKind;

bool heard_open_and_read(const frmAgentCtrl& f) { return f.sHeardCmd == "OpenAndRead"; }

using Part = character::ReadPart;

// The three ways of starting a reading of oCurReadItem differ only in what they compose and in the
// mode they set; the preview's readings keep their own context apart from ordinary ones.
void start_reading(frmAgentCtrl& f, Part part) {
    if (is_reading(f)) {
        // A new announcement may follow a reading that is still queued; a new body replaces it.
        if (part != Part::Announcement) StopReadItem(f);
        play(f, "ReadContinued");
    } else {
        play(f, "Read");
    }
    if (!PrepReadItem(f)) return;
    f.iReadMode = read_mode(part, preview_runs(f) ? ReadingKind::Preview : ReadingKind::Item);
    if (part != Part::Body) MakeAnnounceText(f);
    if (part != Part::Announcement) MakeBodyText(f);
    SpeakNextPiece(f);
}

// Heard means read. An item that refuses the change is read all the same.
void mark_read(const ItemPtr& item) {
    if (!item) return;
    skip_on_failure([&] { item->set_unread(false); });
    skip_on_failure([&] { item->save(); });
}

// Activating raises no Close, but holding our own reference keeps the call independent of the field.
void activate(const std::shared_ptr<Inspector>& inspector) {
    if (inspector) skip_on_failure([&] { inspector->activate(); });
}

std::shared_ptr<Inspector> inspector_of(const ItemPtr& item) {
    if (!item) return nullptr;
    return skip_on_failure([&] { return item->get_inspector(); }).value_or(nullptr);
}

// The preview's window stays up when "next" moves the preview on, so the flag alone would bring up
// the window of the item before. A window whose item cannot be told is taken to be the preview
// item's, as the flag says.
bool preview_window_open(frmAgentCtrl& f) {
    if (!f.bNeMInspOpen) return false;
    const auto inspector = f.oCurNeMInspector.ptr();
    if (!inspector) return false;
    const auto shown = skip_on_failure([&] { return inspector->current_item(); });
    if (!shown) return true;
    if (!*shown) return false;
    const auto shown_id = skip_on_failure([&] { return (*shown)->entry_id(); });
    return !shown_id || *shown_id == f.sNeMEntryID;
}

void open_preview_item(frmAgentCtrl& f) {
    if (!preview_window_open(f)) {
        speak(f, f.sAckLine);
        // A window that could not be had must not leave an older preview item's window in the field.
        f.oCurNeMInspector = inspector_of(f.oNeMItem.ptr());
    } else {
        speak(f, "It is already open.");
    }
    if (f.oCurNeMInspector) {
        activate(f.oCurNeMInspector.ptr());
        f.bNeMInspOpen = true;
    }
    if (heard_open_and_read(f)) {
        f.oCurReadItem = f.oNeMItem.ptr();
        if (f.oCurNeMInspector) {
            f.oReadInspector = f.oCurNeMInspector.ptr();
            f.bReadInspOpen = true;
        }
        ReadThisItem(f);
        return;
    }
    // The spoken command cut the piece being read short; take it up again.
    if (is_reading(f)) SpeakNextPiece(f);
}

// Read stops a reading before it looks into the window, even when the window turns out empty.
void stop_reading(frmAgentCtrl& f) {
    if (is_reading(f)) StopReadItem(f);
}

}  // namespace

// Read and open say these while looking for their item. A member left out of a row is a test the
// command does not make, so the warning about left-out members is off here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
const target::TargetRow kReadTarget{.follow_up = "Let's read the next one.",
                                    .uses_item_being_read = false,
                                    .no_window = "There is no active window to read from.",
                                    .selection_object_first = true,
                                    .nothing_here = "Sorry, there is nothing here that I can read.",
                                    .none_selected_before = "There are no ",
                                    .none_selected_after = "s selected to read.",
                                    .several = "I will read the first one.",
                                    .several_quiet_while_insp_open = true,
                                    .acknowledges = true,
                                    .before_inspector = stop_reading,
                                    .empty_inspector = "There is nothing here to read.",
                                    .inspector_ack = target::InspectorAck::AckLine};
// Open has no no-window test and no empty-inspector test.
const target::TargetRow kOpenTarget{.follow_up = "Let's preview the next one.",
                                    .uses_item_being_read = false,
                                    .nothing_here = "There is nothing here that I can open.",
                                    .none_selected_before = "There are no ",
                                    .none_selected_after = "s selected.",
                                    .several = "I will open the first one.",
                                    .acknowledges = true,
                                    .inspector_ack = target::InspectorAck::ItsOpen};
#pragma GCC diagnostic pop

void AnnounceItem(frmAgentCtrl& f) { start_reading(f, Part::Announcement); }
void AnnounceAndRead(frmAgentCtrl& f) { start_reading(f, Part::Both); }
void ReadItemBody(frmAgentCtrl& f) { start_reading(f, Part::Body); }

void ReadThisItem(frmAgentCtrl& f) {
    const Target target = target::ResolveTarget(f, kReadTarget);
    switch (target.kind) {
        case TargetKind::PreviewItem:
            if (!heard_open_and_read(f) && !is_reading(f)) speak(f, f.sAckLine);
            f.oCurReadItem = target.item;
            ReadItemBody(f);
            mark_read(target.item);
            return;
        case TargetKind::Selection:
            if (is_reading(f)) StopReadItem(f);
            f.oCurReadItem = target.item;
            AnnounceAndRead(f);
            mark_read(target.item);
            return;
        case TargetKind::Inspector:
            // The user opened it to look at it: its read state is the mail client's business.
            f.oReadInspector = f.oCurInspector.ptr();
            f.oCurReadItem = target.item;
            ReadItemBody(f);
            return;
        case TargetKind::ItemBeingRead:
        case TargetKind::Nothing:
            return;
    }
}

void OpenThisItem(frmAgentCtrl& f) {
    const bool and_read = heard_open_and_read(f);
    const Target target = target::ResolveTarget(f, kOpenTarget);
    switch (target.kind) {
        case TargetKind::PreviewItem:
            open_preview_item(f);
            return;
        case TargetKind::Selection: {
            // A window that could not be had is not open, and an older one is not the reading's window.
            const auto inspector = inspector_of(target.item);
            if (inspector) {
                f.oCurInspector = inspector;
                activate(inspector);
                f.bCurInspOpen = true;
            }
            if (and_read) {
                f.oCurReadItem = target.item;
                if (inspector) {
                    f.oReadInspector = f.oCurInspector.ptr();
                    f.bReadInspOpen = true;
                }
                AnnounceAndRead(f);
            }
            break;
        }
        case TargetKind::Inspector:
            f.bCurInspOpen = true;
            if (and_read && target.item) {
                f.oReadInspector = f.oCurInspector.ptr();
                f.oCurReadItem = target.item;
                f.bReadInspOpen = true;
                ReadItemBody(f);
            }
            break;
        case TargetKind::ItemBeingRead:
        case TargetKind::Nothing:
            if (target.answered) return;
            break;
    }
    // The spoken command cut the piece being read short; take it up again.
    if (!and_read && is_reading(f)) SpeakNextPiece(f);
}

void OpenAndRead(frmAgentCtrl& f) { OpenThisItem(f); }

void ReReadItem(frmAgentCtrl& f) {
    if (f.iLastReadMode == 0 && !is_reading(f)) {
        speak(f, "I have not read anything yet, this session. So, there is nothing to re-read.");
        return;
    }
    speak(f, f.sAckLine);
    if (is_reading(f)) {
        play(f, "ReadContinued");
    } else {
        f.iReadMode = f.iLastReadMode;
        f.sReadText = saved_reading(f, reading_kind(f)).text;
        play(f, "Read");
    }
    f.lReadDone = 0;
    f.lReadPieces = 0;
    f.lReadPos = 1;
    SpeakNextPiece(f);
}

void ContReadItem(frmAgentCtrl& f) {
    // Drawn first, every time, so that the random sequence does not depend on the branch taken.
    const double x = skip_on_failure([&] { return f.host.random().next(); }).value_or(0.0);
    const int r = static_cast<int>(10 * x) + 1;
    const bool paused = f.bNeMStarted && !f.bNeMActive;

    if (!is_reading(f)) {
        if (preview_runs(f)) {
            f.preview.NextItem(f);
        } else if (paused) {
            f.preview.ContinuNewMail(f);
        } else {
            play(f, "Confused");
            speak(f, "I was not reading anything.");
        }
        return;
    }
    if (is_preview_reading(f)) {
        if (paused) {
            f.preview.ContinuNewMail(f);
            return;
        }
        play(f, "Read");
        if (r > 6) play(f, "ReadContinued");
        restore_reading(f, ReadingKind::Preview);
        f.lReadPieces = 6;
        SpeakNextPiece(f);
        return;
    }
    play(f, "Read");
    if (r > 5) play(f, "ReadContinued");
    restore_reading(f, ReadingKind::Item);
    f.lReadPieces = 7;
    SpeakNextPiece(f);
}

void StopReadItem(frmAgentCtrl& f) {
    if (!f.oReadRequest) {
        speak(f, "I am not reading anything right now.");
        return;
    }
    skip_on_failure([&] { f.oAgentChar->stop(f.oReadRequest.ptr()); });
    InterupReading(f);
    f.iLastReadMode = f.iReadMode;
    f.iReadMode = 0;
    f.lReadPieces = 0;
}

}  // namespace reading
