#include "character/form.hpp"

#include <cstddef>
#include <iterator>
#include <vector>

#include "character/startup.hpp"
#include "commands/dispatch.hpp"
#include "preview/preview.hpp"
#include "reading/speech_output.hpp"
#include "tracking/mail_events.hpp"
#include "tracking/tracking.hpp"

namespace character {

namespace {

using platform::Subscription;

// Subscription is move-only, so an initializer list cannot build the vector. A braced array binds in
// the order written, which a plain argument list would not promise.
template <std::size_t N>
std::vector<Subscription> subscriptions(Subscription (&&subs)[N]) {
    return {std::make_move_iterator(subs), std::make_move_iterator(subs + N)};
}

// Every typed reference of the current item ends the reading when its item closes; closing is never
// cancelled.
void bind_item_close(frmAgentCtrl& f, WithEvents<platform::Item>& field) {
    field.bind([&f](platform::Item& item) {
        return subscriptions({item.on_close([&f](bool&) { tracking::oCurItem_Close(f); })});
    });
}

}  // namespace

frmAgentCtrl::frmAgentCtrl(platform::Host& h) : host(h), Agent1(h.agent()), Timer1(h.timer()) {
    control_events_.push_back(
        Agent1.on_command([this](const platform::UserInput& input) { commands::Agent1_Command(*this, input); }));
    control_events_.push_back(Agent1.on_request_complete(
        [this](const platform::RequestPtr& request) { reading::Agent1_RequestComplete(*this, request); }));
    control_events_.push_back(
        Agent1.on_listen_start([this](const std::string& id) { reading::Agent1_ListenStart(*this, id); }));
    control_events_.push_back(Agent1.on_listen_complete(
        [this](const std::string& id, std::int32_t cause) { reading::Agent1_ListenComplete(*this, id, cause); }));
    control_events_.push_back(Timer1.on_tick([this] { Timer1_Timer(*this); }));

    oMyCB.bind([this](platform::CommandBarButton& button) {
        return subscriptions({button.on_click([this] { oMyCB_Click(*this); })});
    });
    oMyMB.bind([this](platform::CommandBarButton& button) {
        return subscriptions({button.on_click([this] { oMyMB_Click(*this); })});
    });

    oApp.bind([this](platform::Application& app) {
        return subscriptions(
            {app.on_new_mail([this] { tracking::oApp_NewMail(*this); }),
             app.on_reminder([this](const platform::ItemPtr&) { tracking::oApp_Reminder(*this); }),
             app.on_item_send([this](const platform::ItemPtr&, bool&) { tracking::oApp_ItemSend(*this); })});
    });

    oCurExplorer.bind([this](platform::Explorer& explorer) {
        return subscriptions({explorer.on_close([this] { tracking::oCurExplorer_Close(*this); }),
                              explorer.on_folder_switch([this] { tracking::oCurExplorer_FolderSwitch(*this); }),
                              explorer.on_selection_change([this] { tracking::oCurExplorer_SelectionChange(*this); }),
                              explorer.on_view_switch([this] { tracking::oCurExplorer_ViewSwitch(*this); })});
    });
    oCurInspector.bind([this](platform::Inspector& inspector) {
        return subscriptions({inspector.on_close([this] { tracking::oCurInspector_Close(*this); })});
    });
    oReadInspector.bind([this](platform::Inspector& inspector) {
        return subscriptions({inspector.on_close([this] { tracking::oReadInspector_Close(*this); })});
    });
    oCurNeMInspector.bind([this](platform::Inspector& inspector) {
        return subscriptions({inspector.on_close([this] { tracking::oCurNeMInspector_Close(*this); })});
    });

    for (auto* field : {&oCurAppointItem, &oCurContItem, &oCurDocuItem, &oCurJourlItem, &oCurMeetReqItem, &oCurPostItem,
                        &oCurTaskItem, &oCurTaskReqItem, &oCurTaskAccItem, &oCurTaskDecItem, &oCurTaskUpdItem,
                        &oCurRemoteItem, &oCurRptItem})
        bind_item_close(*this, *field);
    oCurEmailItem.bind([this](platform::Item& item) {
        return subscriptions({item.on_close([this](bool&) { tracking::oCurItem_Close(*this); }),
                              item.on_send([this](bool&) { tracking::oCurEmailItem_Send(*this); })});
    });

    // The folder handed with these events is not used: the handler takes the whole collection again.
    oNSFolders.bind([this](platform::Folders& folders) {
        return subscriptions(
            {folders.on_folder_add([this](const platform::FolderPtr&) { tracking::oNSFolders_FolderEvent(*this); }),
             folders.on_folder_change([this](const platform::FolderPtr&) { tracking::oNSFolders_FolderEvent(*this); }),
             folders.on_folder_remove([this] { tracking::oNSFolders_FolderEvent(*this); })});
    });

    oCurNewMailItems.bind([this](platform::Items& items) {
        return subscriptions(
            {items.on_item_add([this](const platform::ItemPtr&) { preview::oCurNewMailItems_ItemAdd(*this); }),
             items.on_item_remove([this] { preview::oCurNewMailItems_ItemRemove(*this); })});
    });
    // oCurrentItems receives events in the design but handles none.
}

}  // namespace character
