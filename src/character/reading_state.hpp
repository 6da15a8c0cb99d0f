#pragma once

#include <cstdint>
#include <string>

#include "character/form.hpp"

// What the reading state on the form means, by name. iReadMode is 0 while nothing is read, 1 to 3 for a
// reading started while the preview ran unpaused and 4 to 6 for any other; within each three, 1 reads the
// announcement only, 2 the body only, 3 both. Each kind of reading keeps its own saved context, so the
// preview and an ordinary reading can interrupt each other and each resume where it was.
namespace character {

enum class ReadPart : std::int16_t { Announcement = 1, Body = 2, Both = 3 };
enum class ReadingKind { Preview, Item };

inline bool is_reading(const frmAgentCtrl& f) { return f.iReadMode != 0; }
inline bool is_preview_reading(const frmAgentCtrl& f) { return f.iReadMode >= 1 && f.iReadMode <= 3; }
inline bool is_item_reading(const frmAgentCtrl& f) { return f.iReadMode >= 4 && f.iReadMode <= 6; }
inline bool is_announcement_only(const frmAgentCtrl& f) { return f.iReadMode == 1 || f.iReadMode == 4; }

// The mode of a reading of `part`, of the kind given.
inline std::int16_t read_mode(ReadPart part, ReadingKind kind) {
    const auto mode = static_cast<std::int16_t>(part);
    return static_cast<std::int16_t>(kind == ReadingKind::Preview ? mode : mode + 3);
}

// The kind of the reading in iReadMode; a mode of 0 counts as an ordinary reading.
inline ReadingKind reading_kind(const frmAgentCtrl& f) {
    return is_preview_reading(f) ? ReadingKind::Preview : ReadingKind::Item;
}

// One saved reading context, as fields of the form: lNeMSavedPos, lNeMSavedDone and sNeMSavedText for the
// preview's readings, lItmSavedPos, lItmSavedDone and sItmSavedText for the others.
struct SavedReading {
    std::int32_t& pos;
    std::int32_t& done;
    std::string& text;
};

inline SavedReading saved_reading(frmAgentCtrl& f, ReadingKind kind) {
    if (kind == ReadingKind::Preview) return {f.lNeMSavedPos, f.lNeMSavedDone, f.sNeMSavedText};
    return {f.lItmSavedPos, f.lItmSavedDone, f.sItmSavedText};
}

// The reading in progress into its kind's context; nothing is saved while nothing is read.
inline void save_reading(frmAgentCtrl& f) {
    if (!is_reading(f)) return;
    const SavedReading saved = saved_reading(f, reading_kind(f));
    saved.pos = f.lReadPos;
    saved.done = f.lReadDone;
    saved.text = f.sReadText;
}

// The reading position, count and text taken back from a saved context.
inline void restore_reading(frmAgentCtrl& f, ReadingKind kind) {
    const SavedReading saved = saved_reading(f, kind);
    f.lReadPos = saved.pos;
    f.lReadDone = saved.done;
    f.sReadText = saved.text;
}

}  // namespace character
