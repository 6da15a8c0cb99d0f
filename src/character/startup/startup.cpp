#include "character/startup/startup.hpp"

#include <string>

#include "character/introduction.hpp"
#include "character/settings.hpp"
#include "character/shutdown.hpp"
#include "commands/catalogue.hpp"
#include "platform/failure.hpp"
#include "preview/preview.hpp"
#include "tracking/tracking.hpp"

namespace character {

namespace {

using platform::kButtonDown;
using platform::kButtonUp;
using platform::PlatformError;
using platform::skip_on_failure;

void show_message(frmAgentCtrl& f, std::string_view sentence, const PlatformError& e) {
    f.host.message_boxes().show(std::string(sentence) + platform::error_text(e), platform::kCritical,
                                platform::kAppTitle);
}

// A click while the preview runs or is paused stops the preview; the caption is how the control shows it.
void control_clicked(frmAgentCtrl& f, WithEvents<platform::CommandBarButton>& control, std::string_view running,
                     std::string_view paused) {
    // An unreadable caption cannot show a running preview, so the click toggles the character.
    const auto caption = skip_on_failure([&] { return control->caption(); });
    if (caption && (*caption == running || *caption == paused)) {
        skip_on_failure([&] { preview::StopNewMail(f); });
        return;
    }
    ToggleAgent(f);
}

void release_startup_objects(frmAgentCtrl& f) {
    f.oCurInspector.reset();
    f.oCurExplorer.reset();
    f.oNSFolders.reset();
    f.oNS.reset();
    f.oApp.reset();
}

}  // namespace

void oMyCB_Click(frmAgentCtrl& f) { control_clicked(f, f.oMyCB, "Preview", "Paused"); }

void oMyMB_Click(frmAgentCtrl& f) { control_clicked(f, f.oMyMB, "A&gent Preview", "A&gent Paused"); }

void ToggleAgent(frmAgentCtrl& f) {
    skip_on_failure([&] { f.oMyMB->set_state(kButtonUp); });
    skip_on_failure([&] { f.oMyCB->set_state(kButtonUp); });
    if (f.bAgentLoaded) {
        ExitAgent(f);
        return;
    }
    AgentStartup(f);
    if (!f.bAgentLoaded) return;
    skip_on_failure([&] { f.oMyCB->set_state(kButtonDown); });
    skip_on_failure([&] { f.oMyMB->set_state(kButtonDown); });
}

void AgentStartup(frmAgentCtrl& f) {
    platform::with_failure_path(
        [&] {
            f.oApp = f.host.application();
            f.oNS = f.oApp->get_namespace("MAPI");
            f.oNSFolders = f.oNS->folders();
            f.sUserName = f.oNS->current_user();
            f.oCurExplorer = f.oApp->active_explorer();
            f.oCurInspector = f.oApp->active_inspector();
            // Later procedures pick random wordings and animations.
            f.host.random().randomize();
            f.iReadMode = 0;
            f.iLastReadMode = 0;
            f.sHeardCmd = "";
            InitAgent(f);
            if (!f.bAgentLoaded) {
                release_startup_objects(f);
                return;
            }
            f.oAgentChar->show();
            AgentGreetings(f);
            tracking::SetCurExpItems(f);
        },
        [&](const PlatformError& e) {
            show_message(f, "There is an error with the Agent Startup\r\n", e);
            release_startup_objects(f);
            f.oMyMB->set_state(kButtonUp);
            f.oMyCB->set_state(kButtonUp);
        });
}

void InitAgent(frmAgentCtrl& f) {
    bool loaded = false;
    platform::with_failure_path(
        [&] {
            f.Agent1.set_connected(true);
            if (f.character_left_loaded) unload_character(f);
            f.Agent1.characters_load(kCharacterID);
            f.character_left_loaded = true;
            loaded = true;
            f.oAgentChar = f.Agent1.character(kCharacterID);
            f.bAgentLoaded = true;
            LoadSettings(f);
            commands::LoadCommands(f);
        },
        [&](const PlatformError& e) {
            skip_on_failure([&] { show_message(f, "I had a problem loading the Microsoft Agent.\r\n", e); });
            f.bAgentLoaded = false;
            // A character left loaded here could never be loaded again under its id, so every later
            // click would fail the same way: take it down, and the next click starts afresh.
            if (!loaded) return;
            unload_character(f);
            skip_on_failure([&] { f.Agent1.set_connected(false); });
            f.oAgentChar.reset();
        });
}

}  // namespace character
