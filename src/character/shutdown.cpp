#include "character/shutdown.hpp"

#include "character/acts.hpp"
#include "character/item_classes.hpp"
#include "character/settings.hpp"
#include "platform/failure.hpp"

namespace character {

using platform::skip_on_failure;

void unload_character(frmAgentCtrl& f) {
    if (skip_on_failure([&] { f.Agent1.characters_unload(kCharacterID); })) f.character_left_loaded = false;
}

void ExitAgent(frmAgentCtrl& f) {
    if (!f.bAgentLoaded) return;
    skip_on_failure([&] { f.oAgentChar->stop_all(); });
    play(f, "Wave");
    speak(f, f.sExitLine);
    skip_on_failure([&] { f.oExitRequest = f.oAgentChar->hide(); });
}

void AgentShutdown(frmAgentCtrl& f) {
    skip_on_failure([&] {
        if (f.bAgentLoaded) CloseAgent(f);
    });

    // Each release reports its own failure and the next one still runs, so nothing stays held.
    const auto release = [&](auto& field) {
        platform::report_each_failure(f.host.message_boxes(),
                                      "There was an error unloading the Agent in Shutdown: ", [&] { field.reset(); });
    };
    release(f.oGreetRequest);
    release(f.oExitRequest);
    release(f.oReadRequest);
    // The current item's references, each field once.
    for (const ItemClass* previous = nullptr; const auto& row : item_classes()) {
        if (previous && previous->field == row.field) continue;
        previous = &row;
        if (row.typed) release(f.*row.typed);
        if (row.plain) release(f.*row.plain);
    }
    release(f.oTargetItem);
    release(f.oNeMItem);
    release(f.oCurReadItem);
    release(f.oActWindow);
    release(f.oCurrentItems);
    release(f.oCurNewMailItems);
    release(f.oCurFolder);
    release(f.oInboxFolder);
    release(f.oCurSelection);
    release(f.oCurExplorer);
    release(f.oCurInspector);
    release(f.oCurNeMInspector);
    release(f.oReadInspector);
    release(f.oNSFolders);
    release(f.oNS);
    release(f.oApp);
}

void CloseAgent(frmAgentCtrl& f) {
    if (!f.bAgentLoaded) return;
    skip_on_failure([&] { f.oAgentChar->stop_all(); });
    // The position is written while the character is still loaded.
    SaveAgent(f);
    unload_character(f);
    skip_on_failure([&] { f.Agent1.set_connected(false); });
    f.bAgentLoaded = false;
    f.oAgentChar.reset();
}

}  // namespace character
