#pragma once

// Events of COM objects, received through their connection points. Each subscription is one
// sink advised on the source's connection point for the event interface; dropping the
// subscription unadvises it, so no handler runs for an object the form no longer holds.

#include <functional>

#include "platform/subscription.hpp"
#include "win/com.hpp"

namespace win {

// The arguments of one event call, in the order of the event's parameter list.
class EventArgs {
public:
    explicit EventArgs(DISPPARAMS& params) : params_(params) {}
    unsigned count() const { return params_.cArgs; }
    Variant at(unsigned index) const;
    // Sets a Boolean out-parameter such as Cancel.
    void set_bool(unsigned index, bool value) const;

private:
    VARIANT& slot(unsigned index) const;
    DISPPARAMS& params_;
};

using EventHandler = std::function<void(const EventArgs&)>;

// One event: its interface, its name there, and the dispatch identifier the interface's type
// library gives it, used when the source cannot tell its own.
struct EventMember {
    IID interface_id;
    const wchar_t* name;
    DISPID id;
};

// Binds `handler` to the event `member` of `source`. The event's identifier is looked up by name in
// the source's own type information when it offers it. Fails with a platform error when the source
// has no connection point for the interface. Any exception escaping the handler is dropped here,
// at the edge: the source learns nothing of it.
platform::Subscription advise(const ComPtr<IDispatch>& source, const EventMember& member, EventHandler handler);

// The event interfaces of the mail client, Office's command bar button and the character control.
namespace events {
inline constexpr IID kApplicationEvents = {0x0006304E, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID kExplorerEvents = {0x0006304F, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID kInspectorEvents = {0x0006307D, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID kItemEvents = {0x0006303A, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID kItemsEvents = {0x00063077, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID kFoldersEvents = {0x00063076, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID kButtonEvents = {0x000C0351, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID kAgentEvents = {0xF5BE8BD4, 0x7DE6, 0x11D0, {0x91, 0xFE, 0x00, 0xC0, 0x4F, 0xD7, 0x01, 0xA5}};

inline constexpr EventMember kItemSend{kApplicationEvents, L"ItemSend", 0xF002};
inline constexpr EventMember kNewMail{kApplicationEvents, L"NewMail", 0xF003};
inline constexpr EventMember kReminder{kApplicationEvents, L"Reminder", 0xF004};
inline constexpr EventMember kQuit{kApplicationEvents, L"Quit", 0xF007};
inline constexpr EventMember kFolderSwitch{kExplorerEvents, L"FolderSwitch", 0xF002};
inline constexpr EventMember kViewSwitch{kExplorerEvents, L"ViewSwitch", 0xF004};
inline constexpr EventMember kSelectionChange{kExplorerEvents, L"SelectionChange", 0xF007};
inline constexpr EventMember kExplorerClose{kExplorerEvents, L"Close", 0xF008};
inline constexpr EventMember kInspectorClose{kInspectorEvents, L"Close", 0xF008};
inline constexpr EventMember kItemClose{kItemEvents, L"Close", 0xF004};
inline constexpr EventMember kItemSendEvent{kItemEvents, L"Send", 0xF005};
inline constexpr EventMember kItemAdd{kItemsEvents, L"ItemAdd", 0xF001};
inline constexpr EventMember kItemRemove{kItemsEvents, L"ItemRemove", 0xF003};
inline constexpr EventMember kFolderAdd{kFoldersEvents, L"FolderAdd", 0xF001};
inline constexpr EventMember kFolderChange{kFoldersEvents, L"FolderChange", 0xF002};
inline constexpr EventMember kFolderRemove{kFoldersEvents, L"FolderRemove", 0xF003};
inline constexpr EventMember kClick{kButtonEvents, L"Click", 1};
inline constexpr EventMember kRequestComplete{kAgentEvents, L"RequestComplete", 11};
inline constexpr EventMember kShutdown{kAgentEvents, L"Shutdown", 12};
inline constexpr EventMember kCommand{kAgentEvents, L"Command", 17};
inline constexpr EventMember kHelpComplete{kAgentEvents, L"HelpComplete", 26};
inline constexpr EventMember kListenStart{kAgentEvents, L"ListenStart", 27};
inline constexpr EventMember kListenComplete{kAgentEvents, L"ListenComplete", 28};
}  // namespace events

}  // namespace win
