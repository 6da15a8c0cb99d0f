#include "addin/connect.hpp"

#include "addin/wiring.hpp"
#include "platform/failure.hpp"

namespace addin {

using platform::skip_on_failure;

namespace {

constexpr std::string_view kButtonBar = "Advanced";
constexpr std::string_view kMenuBar = "Tools";
constexpr std::string_view kButtonCaption = "Agent";
constexpr std::string_view kMenuCaption = "Outlook A&gent";

// A reconnection while the mail client keeps running finds the controls the last connection added,
// since they are only discarded when the client closes. They are looked up by the captions this
// connection gives them, on the bars they were added to, so a reconnection adopts them instead of
// adding a second button and entry. A caption the preview changed ("Preview", "Paused") is not found,
// and then a new control is added, as it is on a first connection.
std::shared_ptr<platform::CommandBarButton> find_or_add(const platform::Ref<platform::Explorer>& explorer,
                                                        std::string_view bar, std::string_view caption) {
    platform::Ref<platform::CommandBarControls> controls = explorer->command_bars()->item(bar)->controls();
    if (auto found = skip_on_failure([&] { return controls->item(caption); }); found && *found) return *found;
    return controls->add(platform::kControlButton, /*temporary=*/true);
}

}  // namespace

Connect::Connect(platform::Host& host) : host_(host) {}

Connect::~Connect() = default;

void Connect::OnConnection(const std::shared_ptr<platform::Application>& application, std::int32_t) {
    // Failures up to the namespace are the mail client's to report: they escape.
    oConApp = application;
    quit_ = oConApp->on_quit([this] { oConApp_Quit(); });
    oConNS = oConApp->get_namespace("MAPI");

    // From here every failing statement is skipped silently.
    if (!form_)
        skip_on_failure([&] {
            auto form = std::make_unique<character::frmAgentCtrl>(host_);
            bind_events(*form);
            form_ = std::move(form);
        });
    if (!form_) return;
    auto& f = *form_;

    skip_on_failure([&] { f.oMyCB = find_or_add(oConApp->active_explorer(), kButtonBar, kButtonCaption); });
    skip_on_failure([&] { f.oMyCB->set_caption(kButtonCaption); });
    skip_on_failure([&] { f.oMyCB->set_begin_group(true); });
    skip_on_failure([&] { f.oMyCB->set_style(platform::kButtonCaption); });
    skip_on_failure([&] { f.oMyCB->set_state(platform::kButtonUp); });
    skip_on_failure([&] { f.oMyCB->set_tooltip_text("Open Outlook Dezaror Agent"); });

    skip_on_failure([&] { f.oMyMB = find_or_add(oConApp->active_explorer(), kMenuBar, kMenuCaption); });
    skip_on_failure([&] { f.oMyMB->set_caption(kMenuCaption); });
    skip_on_failure([&] { f.oMyMB->set_begin_group(true); });
    skip_on_failure([&] { f.oMyMB->set_style(platform::kButtonCaption); });
    skip_on_failure([&] { f.oMyMB->set_state(platform::kButtonUp); });
}

void Connect::OnDisconnection(std::int32_t) {}

void Connect::OnAddInsUpdate() {}

void Connect::OnStartupComplete() {}

void Connect::OnBeginShutdown() {
    oConNS.reset();
    quit_.reset();
    oConApp.reset();
}

// The mail client's Quit needs nothing from the add-in: its explorer's Close has shut the character down.
void Connect::oConApp_Quit() {}

}  // namespace addin
