// Every event the add-in binds, checked against the interface identifier and dispatch identifier
// the platforms publish in their type libraries, written out here as numbers and never taken from
// our own tables. A wrong number binds a handler to some other event when the source does not
// describe itself.
#include <windows.h>

#include <cstdio>
#include <string>

#include "win/events.hpp"

namespace {

struct Published {
    const win::EventMember& member;
    const wchar_t* name;
    const wchar_t* interface_id;
    DISPID id;
};

const Published kPublished[] = {
    {win::events::kItemSend, L"ItemSend", L"{0006304E-0000-0000-C000-000000000046}", 0xF002},
    {win::events::kNewMail, L"NewMail", L"{0006304E-0000-0000-C000-000000000046}", 0xF003},
    {win::events::kReminder, L"Reminder", L"{0006304E-0000-0000-C000-000000000046}", 0xF004},
    {win::events::kQuit, L"Quit", L"{0006304E-0000-0000-C000-000000000046}", 0xF007},
    {win::events::kFolderSwitch, L"FolderSwitch", L"{0006304F-0000-0000-C000-000000000046}", 0xF002},
    {win::events::kViewSwitch, L"ViewSwitch", L"{0006304F-0000-0000-C000-000000000046}", 0xF004},
    {win::events::kSelectionChange, L"SelectionChange", L"{0006304F-0000-0000-C000-000000000046}", 0xF007},
    {win::events::kExplorerClose, L"Close", L"{0006304F-0000-0000-C000-000000000046}", 0xF008},
    {win::events::kInspectorClose, L"Close", L"{0006307D-0000-0000-C000-000000000046}", 0xF008},
    {win::events::kItemClose, L"Close", L"{0006303A-0000-0000-C000-000000000046}", 0xF004},
    {win::events::kItemSendEvent, L"Send", L"{0006303A-0000-0000-C000-000000000046}", 0xF005},
    {win::events::kItemAdd, L"ItemAdd", L"{00063077-0000-0000-C000-000000000046}", 0xF001},
    {win::events::kItemRemove, L"ItemRemove", L"{00063077-0000-0000-C000-000000000046}", 0xF003},
    {win::events::kFolderAdd, L"FolderAdd", L"{00063076-0000-0000-C000-000000000046}", 0xF001},
    {win::events::kFolderChange, L"FolderChange", L"{00063076-0000-0000-C000-000000000046}", 0xF002},
    {win::events::kFolderRemove, L"FolderRemove", L"{00063076-0000-0000-C000-000000000046}", 0xF003},
    {win::events::kClick, L"Click", L"{000C0351-0000-0000-C000-000000000046}", 1},
    {win::events::kRequestComplete, L"RequestComplete", L"{F5BE8BD4-7DE6-11D0-91FE-00C04FD701A5}", 11},
    {win::events::kShutdown, L"Shutdown", L"{F5BE8BD4-7DE6-11D0-91FE-00C04FD701A5}", 12},
    {win::events::kCommand, L"Command", L"{F5BE8BD4-7DE6-11D0-91FE-00C04FD701A5}", 17},
    {win::events::kHelpComplete, L"HelpComplete", L"{F5BE8BD4-7DE6-11D0-91FE-00C04FD701A5}", 26},
    {win::events::kListenStart, L"ListenStart", L"{F5BE8BD4-7DE6-11D0-91FE-00C04FD701A5}", 27},
    {win::events::kListenComplete, L"ListenComplete", L"{F5BE8BD4-7DE6-11D0-91FE-00C04FD701A5}", 28},
};

}  // namespace

int main() {
    int failed = 0;
    for (const auto& p : kPublished) {
        IID published{};
        const bool parsed = SUCCEEDED(IIDFromString(const_cast<LPOLESTR>(p.interface_id), &published));
        const bool ok = parsed && IsEqualIID(p.member.interface_id, published) && p.member.id == p.id &&
                        std::wstring(p.member.name) == p.name;
        if (!ok) {
            ++failed;
            std::printf("FAIL: %ls of %ls: ours is %ls %ld, published %ld\n", p.name, p.interface_id, p.member.name,
                        static_cast<long>(p.member.id), static_cast<long>(p.id));
        }
    }
    std::printf("%d events checked, %d wrong\n", static_cast<int>(std::size(kPublished)), failed);
    return failed == 0 ? 0 : 1;
}
