#include "addin/wiring.hpp"

#include <cstddef>
#include <iterator>
#include <vector>

#include "character/item_classes.hpp"
#include "character/startup/startup.hpp"
#include "commands/dispatch.hpp"
#include "preview/preview.hpp"
#include "reading/speech_output.hpp"
#include "tracking/mail_events.hpp"
#include "tracking/tracking.hpp"

namespace addin {

using character::frmAgentCtrl;
using platform::WithEvents;

namespace {

using platform::Subscription;

// Subscription is move-only, so an initializer list cannot build the vector. A braced array binds in
// the order written, which a plain argument list would not promise.
template <std::size_t N>
std::vector<Subscription> subscriptions(Subscription (&&subs)[N]) {
    return {std::make_move_iterator(subs), std::make_move_iterator(subs + N)};
}

// Every typed reference of the current item ends the reading when its item closes (closing is never
// cancelled); the mail item's also tells of its sending.
void bind_item_events(frmAgentCtrl& f, const character::ItemClass& row) {
    if (!row.binds_send) {
        (f.*row.typed).bind([&f](platform::Item& item) {
            return subscriptions({item.on_close([&f](bool&) { tracking::oCurItem_Close(f); })});
        });
        return;
    }
    (f.*row.typed).bind([&f](platform::Item& item) {
        return subscriptions({item.on_close([&f](bool&) { tracking::oCurItem_Close(f); }),
                              item.on_send([&f](bool&) { tracking::oCurEmailItem_Send(f); })});
    });
}

}  // namespace

void bind_events(frmAgentCtrl& f) {
    f.control_events.push_back(
        f.Agent1.on_command([&f](const platform::UserInput& input) { commands::Agent1_Command(f, input); }));
    f.control_events.push_back(f.Agent1.on_request_complete(
        [&f](const platform::RequestPtr& request) { reading::Agent1_RequestComplete(f, request); }));
    f.control_events.push_back(
        f.Agent1.on_listen_start([&f](const std::string& id) { reading::Agent1_ListenStart(f, id); }));
    f.control_events.push_back(f.Agent1.on_listen_complete(
        [&f](const std::string& id, std::int32_t cause) { reading::Agent1_ListenComplete(f, id, cause); }));
    f.control_events.push_back(f.Timer1.on_tick([&f] { character::Timer1_Timer(f); }));

    f.oMyCB.bind([&f](platform::CommandBarButton& button) {
        return subscriptions({button.on_click([&f] { character::oMyCB_Click(f); })});
    });
    f.oMyMB.bind([&f](platform::CommandBarButton& button) {
        return subscriptions({button.on_click([&f] { character::oMyMB_Click(f); })});
    });

    f.oApp.bind([&f](platform::Application& app) {
        return subscriptions({app.on_new_mail([&f] { tracking::oApp_NewMail(f); }),
                              app.on_reminder([&f](const platform::ItemPtr&) { tracking::oApp_Reminder(f); }),
                              app.on_item_send([&f](const platform::ItemPtr&, bool&) { tracking::oApp_ItemSend(f); })});
    });

    f.oCurExplorer.bind([&f](platform::Explorer& explorer) {
        return subscriptions({explorer.on_close([&f] { tracking::oCurExplorer_Close(f); }),
                              explorer.on_folder_switch([&f] { tracking::oCurExplorer_FolderSwitch(f); }),
                              explorer.on_selection_change([&f] { tracking::oCurExplorer_SelectionChange(f); }),
                              explorer.on_view_switch([&f] { tracking::oCurExplorer_ViewSwitch(f); })});
    });
    f.oCurInspector.bind([&f](platform::Inspector& inspector) {
        return subscriptions({inspector.on_close([&f] { tracking::oCurInspector_Close(f); })});
    });
    f.oReadInspector.bind([&f](platform::Inspector& inspector) {
        return subscriptions({inspector.on_close([&f] { tracking::oReadInspector_Close(f); })});
    });
    f.oCurNeMInspector.bind([&f](platform::Inspector& inspector) {
        return subscriptions({inspector.on_close([&f] { tracking::oCurNeMInspector_Close(f); })});
    });

    // A field shared by several classes is bound again with the same handlers.
    for (const auto& row : character::item_classes())
        if (row.typed) bind_item_events(f, row);

    // The folder handed with these events is not used: the handler takes the whole collection again.
    f.oNSFolders.bind([&f](platform::Folders& folders) {
        return subscriptions(
            {folders.on_folder_add([&f](const platform::FolderPtr&) { tracking::oNSFolders_FolderEvent(f); }),
             folders.on_folder_change([&f](const platform::FolderPtr&) { tracking::oNSFolders_FolderEvent(f); }),
             folders.on_folder_remove([&f] { tracking::oNSFolders_FolderEvent(f); })});
    });

    f.oCurNewMailItems.bind([&f](platform::Items& items) {
        return subscriptions(
            {items.on_item_add([&f](const platform::ItemPtr&) { preview::oCurNewMailItems_ItemAdd(f); }),
             items.on_item_remove([&f] { preview::oCurNewMailItems_ItemRemove(f); })});
    });
    // oCurrentItems receives events in the design but handles none.

    f.preview = {.NextItem = preview::NextItem, .ContinuNewMail = preview::ContinuNewMail};
}

}  // namespace addin
