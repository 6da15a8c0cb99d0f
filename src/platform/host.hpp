#pragma once

#include <memory>

#include "platform/agent.hpp"
#include "platform/dialogs.hpp"
#include "platform/outlook.hpp"
#include "platform/settings.hpp"
#include "platform/system.hpp"

namespace platform {

// Everything the add-in reaches outside itself: the running mail client, the controls hosted on
// its form, and the services of the runtime. The add-in asks these for time and chance too.
class Host {
public:
    virtual ~Host() = default;
    // The running mail client's application object.
    virtual std::shared_ptr<Application> application() = 0;
    // The character control on the form (Agent1) and the form's timer (Timer1).
    virtual AgentControl& agent() = 0;
    virtual Timer& timer() = 0;
    virtual Panel& panel() = 0;
    virtual SettingsStore& settings() = 0;
    virtual MessageBoxes& message_boxes() = 0;
    virtual Clock& clock() = 0;
    virtual RandomSource& random() = 0;
};

// The mail client's add-in host interface, as the mail client calls it.
class Extensibility {
public:
    virtual ~Extensibility() = default;
    virtual void OnConnection(const std::shared_ptr<Application>& application, std::int32_t connect_mode) = 0;
    virtual void OnDisconnection(std::int32_t remove_mode) = 0;
    virtual void OnAddInsUpdate() = 0;
    virtual void OnStartupComplete() = 0;
    virtual void OnBeginShutdown() = 0;
};

}  // namespace platform
