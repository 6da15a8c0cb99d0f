#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "character/acts.hpp"
#include "character/form.hpp"
#include "platform/failure.hpp"

// What the preview's procedures share: the Inbox cursor they walk.
namespace preview::walk {

using character::frmAgentCtrl;
using platform::ItemPtr;
using platform::skip_on_failure;

enum class Move { First, Next, Previous, Last };

// The item at the collection's new cursor position (nullptr past either end), or nothing when the
// call failed, so that a walk can tell a failed step from the end of the list.
inline std::optional<ItemPtr> move_cursor(frmAgentCtrl& f, Move move) {
    return skip_on_failure([&] {
        switch (move) {
            case Move::First:
                return f.oCurNewMailItems->get_first();
            case Move::Next:
                return f.oCurNewMailItems->get_next();
            case Move::Previous:
                return f.oCurNewMailItems->get_previous();
            case Move::Last:
                return f.oCurNewMailItems->get_last();
        }
        return ItemPtr{};
    });
}

// Moves oNeMItem with the cursor. A walk that kept retrying a failing step would never end, so a
// failed step counts as the end of the list.
inline bool step(frmAgentCtrl& f, Move move) {
    f.oNeMItem = move_cursor(f, move).value_or(nullptr);
    return static_cast<bool>(f.oNeMItem);
}

// An unreadable flag is not an unread item: the walk goes past it.
inline bool is_unread(const ItemPtr& item) {
    return item && skip_on_failure([&] { return item->unread(); }).value_or(false);
}

// Nothing, or an item whose identity cannot be read, is not the preview item.
inline bool is_preview_item(frmAgentCtrl& f, const ItemPtr& item) {
    if (!item) return false;
    const auto id = skip_on_failure([&] { return item->entry_id(); });
    return id && *id == f.sNeMEntryID;
}

}  // namespace preview::walk
