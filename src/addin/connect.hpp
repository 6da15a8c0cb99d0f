#pragma once

#include <memory>

#include "character/form.hpp"
#include "platform/host.hpp"

namespace addin {

// The add-in class the mail client creates and connects at its start.
class Connect : public platform::Extensibility {
public:
    explicit Connect(platform::Host& host);
    ~Connect() override;

    void OnConnection(const std::shared_ptr<platform::Application>& application, std::int32_t connect_mode) override;
    void OnDisconnection(std::int32_t remove_mode) override;
    void OnAddInsUpdate() override;
    void OnStartupComplete() override;
    void OnBeginShutdown() override;

    // The host form, created by the first connection and kept for the add-in's life.
    character::frmAgentCtrl* form() const { return form_.get(); }

    // The application's Quit event; it does nothing.
    void oConApp_Quit();

    platform::Ref<platform::Application> oConApp;
    platform::Ref<platform::NameSpace> oConNS;

private:
    platform::Host& host_;
    std::unique_ptr<character::frmAgentCtrl> form_;
    platform::Subscription quit_;  // oConApp_Quit
};

}  // namespace addin
