#include "commands/catalogue.hpp"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/failure.hpp"

namespace commands {

namespace {

using platform::PlatformError;

// Which switches a command is added with. Defaults gives none, so the control's own apply.
enum class Switches { Defaults, On, Off, Greyed, WhileIntroPlays, WhileIntroSilent };

// One command as it is added. In a caption, kWord stands for the user's word for a mail item as it is when
// the catalogue is built; an empty voice means the command cannot be said.
struct Row {
    std::string_view name;
    std::string_view caption;
    std::string_view voice;
    Switches switches;
};

constexpr std::string_view kWord = "{word}";

// The blanks inside the alternatives, the missing ones in some lists and the blank that ends the copy and
// move grammars are what the recogniser has always been given; they stay exactly so.
constexpr std::array<Row, 37> kCatalogue{{
    {"OLPanel", "Outlook Rivuvuz &Panel", "", Switches::Defaults},
    {"AdvCharOptions", "&Advanced Character Options", "", Switches::Defaults},
    {"CharProperty", "&Character Properties", "", Switches::Defaults},
    {"PrevNewMail", "Preview new {word}s", "Preview new (email |emails |mail |messages |items)", Switches::On},
    {"PauseNewMail", "Pause previewing", "Pause previewing [new] [(email |emails |mail |messages |items)]",
     Switches::Off},
    {"ContinuNewMail", "Continue previewing", "Continue previewing [new] [(email |emails |mail |messages |items)]",
     Switches::Off},
    {"StopNewMail", "Stop previewing", "Stop previewing [new] [(email |emails |mail |messages |items)]",
     Switches::Greyed},
    {"PrevItem", "Previous {word}", "Previous [(email |mail |message |item)]", Switches::On},
    {"NextItem", "Next {word}", "Next [(email |mail |message |item)]", Switches::On},
    {"ReReadItem", "Read again", "Read again", Switches::On},
    {"OpenThisItem", "Open this {word}",
     "Open [...] (item |email |mail |message |contact |task |appointment |journal |post |note |request |meeting "
     "request |task request)",
     Switches::On},
    {"OpenAndRead", "Open and Read this {word}",
     "Open and read [...] (item |email |mail |message |contact |task |appointment |journal |post |note |request "
     "|meeting request |task request)",
     Switches::On},
    {"ReadThisItem", "Read this {word}",
     "Read [...] (item |email |mail |message |contact |task |appointment |journal |post |note |request |meeting "
     "request |task request)",
     Switches::On},
    {"PausReadItem", "Pause reading", "Pause reading [...] [(item |email |mail |message)]", Switches::On},
    {"ContReadItem", "Continue reading", "Continue reading [...] [(item |email |mail |message)]", Switches::On},
    {"StopReadItem", "Stop reading", "Stop reading [...] [(item |email |mail |message)]", Switches::On},
    {"CloseItem", "Close {word}",
     "Close [...] (item |email |mail |message |contact |task |appointment |journal |post |note |request |meeting "
     "request |task request)",
     Switches::On},
    {"DeleteItem", "Delete {word}",
     "Delete [...] (item|email|mail|message |contact |task |appointment |journal |post |note |request |meeting "
     "request |task request)",
     Switches::On},
    {"CopyItem", "Copy {word} to",
     "Copy [...] (item |email |mail |message |contact |task |appointment |journal |post |note |request |meeting "
     "request |task request) [to] [folder] ",
     Switches::On},
    {"MoveItem", "Move {word} to",
     "Move [...] (item |email |mail |message |contact |task |appointment |journal |post |note |request |meeting "
     "request |task request) [to] [folder] ",
     Switches::On},
    {"ForwItem", "Forward {word} to", "Forward (item |email |mail |message) [to]", Switches::On},
    {"ReplyItem", "Reply to {word}", "Reply to (item |email |mail |message)", Switches::On},
    {"ReplyToAll", "Reply to all", "Reply to all", Switches::On},
    {"FlagItem", "Flag item for follow up",
     "Flag (item|email|mail|message|contact|task|appointment|journal|post|request|meeting request|task request) "
     "for follow up",
     Switches::On},
    {"AcceptItem", "Accept request",
     "Accept [...] (item|email|mail|message|task|appointment|meeting|request|meeting request|task request)",
     Switches::Off},
    {"DeclineItem", "Decline request",
     "Decline [...] (item|email|mail|message|task|appointment|meeting|request|meeting request|task request)",
     Switches::Off},
    {"TentativeItem", "mark Tentative", "[mark] Tentative [...]", Switches::Off},
    {"PrtItem", "Print {word}",
     "Print [...] (item|email|mail|message|contact|task|appointment|journal|post|note|request|meeting "
     "request|task request)",
     Switches::On},
    {"StrtNewAppoint", "Start new appointment", "Start new appointment", Switches::On},
    {"StrtNewCont", "Start new contact", "Start new contact", Switches::On},
    {"StrtNewJourl", "Start new journal", "Start new journal [entry]", Switches::On},
    {"StrtNewMail", "Start new mail", "Start new (email|mail|message)", Switches::On},
    {"StrtNewNote", "Start new note", "Start new note", Switches::On},
    {"StrtNewTask", "Start new task", "Start new task", Switches::On},
    {"ChngSortDescent", "Change preview sort order", "Change [the] [preview] [sort] order", Switches::On},
    {"TurnOffIntro", "Turn off intro", "Turn off [the] (intro|introduction)", Switches::WhileIntroPlays},
    {"TurnOnIntro", "Play intro", "(Play|Turn on) [the] (intro|introduction)", Switches::WhileIntroSilent},
}};

static_assert(std::ranges::none_of(kCatalogue, [](const Row& row) { return row.name.empty(); }),
              "every row of the catalogue names its command");

// The menu-only commands come before the set is named; the rest after.
constexpr std::size_t kMenuOnly = 3;

std::string caption_of(const Row& row, std::string_view word) {
    std::string caption(row.caption);
    if (const auto at = caption.find(kWord); at != std::string::npos) caption.replace(at, kWord.size(), word);
    return caption;
}

struct SwitchValues {
    std::optional<bool> enabled;
    std::optional<bool> visible;
};

SwitchValues switches_of(Switches switches, bool play_intro) {
    switch (switches) {
        case Switches::Defaults:
            return {};
        case Switches::On:
            return {true, true};
        case Switches::Off:
            return {false, false};
        case Switches::Greyed:
            return {false, true};
        case Switches::WhileIntroPlays:
            return {play_intro, play_intro};
        case Switches::WhileIntroSilent:
            return {!play_intro, !play_intro};
    }
    return {};
}

void add_all(frmAgentCtrl& f, platform::AgentCommands& commands, std::span<const Row> rows) {
    for (const Row& row : rows) {
        const auto [enabled, visible] = switches_of(row.switches, f.bPlayIntro);
        std::optional<std::string> voice;
        if (!row.voice.empty()) voice = std::string(row.voice);
        commands.add(row.name, caption_of(row, f.sCurItemRef), std::move(voice), enabled, visible);
    }
}

}  // namespace

// A refused command ends the building there: the commands before it stay, the rest are never offered.
void LoadCommands(frmAgentCtrl& f) {
    platform::with_failure_path(
        [&] {
            const auto commands = f.oAgentChar->commands();
            if (!commands) platform::throw_object_not_set();
            const std::span<const Row> rows(kCatalogue);
            add_all(f, *commands, rows.first(kMenuOnly));
            commands->set_caption(platform::kAppTitle);
            commands->set_voice_caption(platform::kAppTitle);
            commands->set_voice(platform::kAppTitle);
            add_all(f, *commands, rows.subspan(kMenuOnly));
        },
        [&](const PlatformError&) {
            f.host.message_boxes().show("I had a problem loading one of your commands", platform::kCritical,
                                        platform::kAppTitle);
        });
}

}  // namespace commands
