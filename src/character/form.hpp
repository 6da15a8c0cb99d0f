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

    // Fields in declaration order.
    Ref<platform::Folder> oCurFolder;
    Ref<platform::Folder> oInboxFolder;
    Ref<platform::Selection> oCurSelection;
    Ref<platform::Item> oTargetItem;
    Ref<platform::Item> oNeMItem;
    Ref<platform::Item> oCurReadItem;
    Ref<platform::Window> oActWindow;
    Ref<platform::Item> oCurNoteItem;  // Notes raise no events.
    std::int32_t lCurUnread = 0;
    std::int32_t lItmSavedPos = 0;
    std::int32_t lItmSavedDone = 0;
    bool bCurInspOpen = false;
    std::string sCurView;
    bool bNeMActive = false;
    bool bNeMStarted = false;
    std::int32_t lNeMUnread = 0;
    std::int32_t lNeMSavedPos = 0;
    std::int32_t lNeMSavedDone = 0;
    std::int32_t lReadPos = 0;
    std::int32_t lPieceEnd = 0;
    std::int32_t lNextReadPos = 0;
    bool bNeMInspOpen = false;
    bool bNeMItemGone = false;
    std::int32_t lAnnLineCnt = 0;
    bool bReadInspOpen = false;
    std::int32_t lReadDone = 0;
    std::int16_t iReadMode = 0;
    std::int16_t iLastReadMode = 0;
    Ref<platform::Character> oAgentChar;
    Ref<platform::Request> oGreetRequest;
    Ref<platform::Request> oExitRequest;
    Ref<platform::Request> oReadRequest;
    bool bAgentLoaded = false;
    bool bPlayIntro = true;
    bool bNeMSortDescend = true;
    std::string sUserName;
    std::string sNeMEntryID;
    std::string sTargetEntryID;
    std::string sCurItemEntryID;
    std::string sReadPiece;
    std::string sReadText;
    std::int32_t lReadPieces = 0;
    std::string sNeMSavedText;
    std::string sItmSavedText;
    std::array<std::string, 26> sAnnLine;  // lines 1 to 25 used
    bool bMailSaid = false;
    std::string sHeardCmd;
    std::string sBodyText;
    std::string sCurItemRef = "message";
    std::string sCurItemType;
    std::string sGreetLine;
    std::string sExitLine;
    std::string sAckLine;

    // Object fields that receive events.
    WithEvents<platform::Items> oCurNewMailItems;
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
    WithEvents<platform::Items> oCurrentItems;
    WithEvents<platform::CommandBarButton> oMyCB;
    WithEvents<platform::Application> oApp;
    WithEvents<platform::CommandBarButton> oMyMB;
    Ref<platform::NameSpace> oNS;
    WithEvents<platform::Folders> oNSFolders;
    WithEvents<platform::Explorer> oCurExplorer;
    WithEvents<platform::Inspector> oCurInspector;
    WithEvents<platform::Inspector> oCurNeMInspector;
    WithEvents<platform::Inspector> oReadInspector;

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
