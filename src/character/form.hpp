#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host.hpp"
#include "platform/object_ref.hpp"

namespace character {

using platform::Ref;
using platform::WithEvents;

class frmAgentCtrl;

// The preview sits above reading and target resolution: it starts their readings and they never include
// it. This is the one call back up. When continue-reading finds the preview running or paused, or the
// preview item a command wanted is gone, the preview takes its next step through these. The add-in's
// wiring sets them to preview::NextItem and preview::ContinuNewMail.
struct PreviewSteps {
    void (*NextItem)(frmAgentCtrl&) = nullptr;
    void (*ContinuNewMail)(frmAgentCtrl&) = nullptr;
};

// The host form: all run-time state of the add-in, in the fields the design names, with their
// types and initial values. The procedures live in their subsystems' folders and take the form.
// The form also hosts the character control (Agent1) and the timer (Timer1). It binds no events
// itself: the add-in's wiring (addin/wiring.hpp) binds every handler once, when the form is made.
class frmAgentCtrl {
public:
    explicit frmAgentCtrl(platform::Host& host);
    frmAgentCtrl(const frmAgentCtrl&) = delete;
    frmAgentCtrl& operator=(const frmAgentCtrl&) = delete;

    platform::Host& host;
    platform::AgentControl& Agent1;
    platform::Timer& Timer1;

    // The fields the design names, grouped by the subsystem that owns them. Each group's comment says who
    // writes its fields; everyone may read them.

    // Character lifecycle (character/): written by startup and shutdown, the settings and the introduction.
    Ref<platform::Character> oAgentChar;
    Ref<platform::Request> oGreetRequest;  // and the request completion that ends the greeting
    Ref<platform::Request> oExitRequest;   // and the request completion that ends the goodbye
    bool bAgentLoaded = false;
    bool bPlayIntro = true;  // and the option commands
    std::string sUserName;
    std::string sGreetLine;
    std::string sExitLine;
    std::string sAckLine;
    bool bMailSaid = false;  // set by the new-mail announcement, cleared by Timer1

    // The add-in's controls (addin/): added by the connection; the preview shows its state in their captions.
    WithEvents<platform::CommandBarButton> oMyCB;
    WithEvents<platform::CommandBarButton> oMyMB;

    // The mail client followed (tracking/): taken by AgentStartup, kept current by the tracking handlers.
    WithEvents<platform::Application> oApp;
    Ref<platform::NameSpace> oNS;
    WithEvents<platform::Folders> oNSFolders;
    WithEvents<platform::Explorer> oCurExplorer;
    WithEvents<platform::Inspector> oCurInspector;  // and read, open and target resolution
    Ref<platform::Folder> oCurFolder;
    Ref<platform::Selection> oCurSelection;
    WithEvents<platform::Items> oCurrentItems;
    std::int32_t lCurUnread = 0;
    std::string sCurView;

    // Commands (commands/): written by dispatch; the item word is also a setting.
    std::string sHeardCmd;  // cleared by AgentStartup and by listening
    std::string sCurItemRef = "message";

    // The new-mail preview (preview/).
    Ref<platform::Folder> oInboxFolder;
    WithEvents<platform::Items> oCurNewMailItems;
    Ref<platform::Item> oNeMItem;
    std::string sNeMEntryID;
    bool bNeMActive = false;
    bool bNeMStarted = false;
    std::int32_t lNeMUnread = 0;
    bool bNeMItemGone = false;
    bool bNeMInspOpen = false;                         // and open, and the preview window's Close
    WithEvents<platform::Inspector> oCurNeMInspector;  // opened by open
    bool bNeMSortDescend = true;                       // a setting, switched by an option command

    // The current item (reading/current_item): SetCurReadItem classifies oCurReadItem, which the read,
    // open and preview commands set, into its type noun and its one typed reference.
    Ref<platform::Item> oCurReadItem;
    std::string sCurItemEntryID;
    std::string sCurItemType;
    Ref<platform::Item> oCurNoteItem;  // Notes raise no events.
    WithEvents<platform::Item> oCurAppointItem;
    WithEvents<platform::Item> oCurContItem;
    WithEvents<platform::Item> oCurDocuItem;
    WithEvents<platform::Item> oCurEmailItem;
    WithEvents<platform::Item> oCurJourlItem;
    WithEvents<platform::Item> oCurMeetReqItem;
    WithEvents<platform::Item> oCurPostItem;
    WithEvents<platform::Item> oCurTaskItem;
    WithEvents<platform::Item> oCurTaskReqItem;
    WithEvents<platform::Item> oCurTaskAccItem;
    WithEvents<platform::Item> oCurTaskDecItem;
    WithEvents<platform::Item> oCurTaskUpdItem;
    WithEvents<platform::Item> oCurRemoteItem;
    WithEvents<platform::Item> oCurRptItem;

    // The text composed for reading (reading/announcement, reading/body).
    std::array<std::string, 26> sAnnLine;  // lines 1 to 25 used
    std::int32_t lAnnLineCnt = 0;
    std::string sBodyText;

    // The reading state (reading/speech_output and the reading commands; see character/reading_state.hpp for
    // what iReadMode means and the two saved contexts). The preview sets iReadMode when it starts.
    std::int16_t iReadMode = 0;
    std::int16_t iLastReadMode = 0;
    std::string sReadText;
    std::string sReadPiece;
    std::int32_t lReadPos = 0;
    std::int32_t lPieceEnd = 0;
    std::int32_t lNextReadPos = 0;
    std::int32_t lReadDone = 0;
    std::int32_t lReadPieces = 0;
    Ref<platform::Request> oReadRequest;
    std::int32_t lNeMSavedPos = 0;
    std::int32_t lNeMSavedDone = 0;
    std::string sNeMSavedText;
    std::int32_t lItmSavedPos = 0;
    std::int32_t lItmSavedDone = 0;
    std::string sItmSavedText;

    // The windows the reading commands opened (reading/reading_commands); their Close handlers clear the flags.
    bool bCurInspOpen = false;
    bool bReadInspOpen = false;
    WithEvents<platform::Inspector> oReadInspector;

    // Target resolution (target/): what the last item command found.
    Ref<platform::Item> oTargetItem;
    std::string sTargetEntryID;
    Ref<platform::Window> oActWindow;

    // The preview's steps that reading and target resolution take (see PreviewSteps).
    PreviewSteps preview;

    // Agent1's and Timer1's events, bound for the form's whole life by the wiring.
    std::vector<platform::Subscription> control_events;

    // Whether the character control still holds our character. An unload that failed leaves it
    // loaded under its id, where a second load fails; the next start unloads it first.
    bool character_left_loaded = false;
};

// The preview runs, rather than being idle or paused.
inline bool preview_runs(const frmAgentCtrl& f) { return f.bNeMStarted && f.bNeMActive; }

// Timer1's tick: new mail may be announced again.
void Timer1_Timer(frmAgentCtrl& f);

// Identifier of the loaded character.
inline constexpr std::string_view kCharacterID = "CharacterID";

}  // namespace character
