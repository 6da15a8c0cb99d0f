#pragma once

#include <optional>
#include <string>
#include <vector>

// The character's commands as the add-in adds them, in order, with the default item word: the
// voice texts exactly as the add-in passes them, odd blanks included.
namespace sim_test {

struct CatalogueRow {
    std::string name;
    std::optional<std::string> caption;
    std::optional<std::string> voice;
    bool enabled;
    bool visible;
};

inline const std::string kAnyItem =
    "(item |email |mail |message |contact |task |appointment |journal |post |note |request |meeting request |task "
    "request)";

inline const std::vector<CatalogueRow>& catalogue() {
    static const std::vector<CatalogueRow> kRows{
        {"OLPanel", "Outlook Rivuvuz &Panel", std::nullopt, true, true},
        {"AdvCharOptions", "&Advanced Character Options", std::nullopt, true, true},
        {"CharProperty", "&Character Properties", std::nullopt, true, true},
        {"PrevNewMail", "Preview new messages", "Preview new (email |emails |mail |messages |items)", true, true},
        {"PauseNewMail", "Pause previewing", "Pause previewing [new] [(email |emails |mail |messages |items)]", false,
         false},
        {"ContinuNewMail", "Continue previewing", "Continue previewing [new] [(email |emails |mail |messages |items)]",
         false, false},
        {"StopNewMail", "Stop previewing", "Stop previewing [new] [(email |emails |mail |messages |items)]", false,
         true},
        {"PrevItem", "Previous message", "Previous [(email |mail |message |item)]", true, true},
        {"NextItem", "Next message", "Next [(email |mail |message |item)]", true, true},
        {"ReReadItem", "Read again", "Read again", true, true},
        {"OpenThisItem", "Open this message", "Open [...] " + kAnyItem, true, true},
        {"OpenAndRead", "Open and Read this message", "Open and read [...] " + kAnyItem, true, true},
        {"ReadThisItem", "Read this message", "Read [...] " + kAnyItem, true, true},
        {"PausReadItem", "Pause reading", "Pause reading [...] [(item |email |mail |message)]", true, true},
        {"ContReadItem", "Continue reading", "Continue reading [...] [(item |email |mail |message)]", true, true},
        {"StopReadItem", "Stop reading", "Stop reading [...] [(item |email |mail |message)]", true, true},
        {"CloseItem", "Close message", "Close [...] " + kAnyItem, true, true},
        {"DeleteItem", "Delete message",
         "Delete [...] (item|email|mail|message |contact |task |appointment |journal |post |note |request |meeting "
         "request |task request)",
         true, true},
        {"CopyItem", "Copy message to", "Copy [...] " + kAnyItem + " [to] [folder] ", true, true},
        {"MoveItem", "Move message to", "Move [...] " + kAnyItem + " [to] [folder] ", true, true},
        {"ForwItem", "Forward message to", "Forward (item |email |mail |message) [to]", true, true},
        {"ReplyItem", "Reply to message", "Reply to (item |email |mail |message)", true, true},
        {"ReplyToAll", "Reply to all", "Reply to all", true, true},
        {"FlagItem", "Flag item for follow up",
         "Flag (item|email|mail|message|contact|task|appointment|journal|post|request|meeting request|task request) "
         "for "
         "follow up",
         true, true},
        {"AcceptItem", "Accept request",
         "Accept [...] (item|email|mail|message|task|appointment|meeting|request|meeting request|task request)", false,
         false},
        {"DeclineItem", "Decline request",
         "Decline [...] (item|email|mail|message|task|appointment|meeting|request|meeting request|task request)", false,
         false},
        {"TentativeItem", "mark Tentative", "[mark] Tentative [...]", false, false},
        {"PrtItem", "Print message",
         "Print [...] (item|email|mail|message|contact|task|appointment|journal|post|note|request|meeting request|task "
         "request)",
         true, true},
        {"StrtNewAppoint", "Start new appointment", "Start new appointment", true, true},
        {"StrtNewCont", "Start new contact", "Start new contact", true, true},
        {"StrtNewJourl", "Start new journal", "Start new journal [entry]", true, true},
        {"StrtNewMail", "Start new mail", "Start new (email|mail|message)", true, true},
        {"StrtNewNote", "Start new note", "Start new note", true, true},
        {"StrtNewTask", "Start new task", "Start new task", true, true},
        {"ChngSortDescent", "Change preview sort order", "Change [the] [preview] [sort] order", true, true},
        {"TurnOffIntro", "Turn off intro", "Turn off [the] (intro|introduction)", true, true},
        {"TurnOnIntro", "Play intro", "(Play|Turn on) [the] (intro|introduction)", false, false},
    };
    return kRows;
}

}  // namespace sim_test
