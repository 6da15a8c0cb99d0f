#include "commands/dispatch.hpp"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "actions/actions.hpp"
#include "character/acts.hpp"
#include "commands/options.hpp"
#include "platform/ascii.hpp"
#include "platform/failure.hpp"
#include "preview/preview.hpp"
#include "reading/reading_commands.hpp"
#include "reading/speech_output.hpp"

namespace commands {

namespace {

using platform::skip_on_failure;

// Printing keeps the character listening; the menu-only commands never reach speech in the first place.
enum class Listening { End, Keep };
// Commands that name an item learn the user's word for items from what was heard first, so that their
// own sentences already use it.
enum class ItemWord { Take, Keep };

struct Route {
    std::string_view name;
    Listening listening;
    ItemWord word;
    void (*run)(frmAgentCtrl&);
};

void show_panel(frmAgentCtrl& f) { f.host.panel().show(); }
void show_options(frmAgentCtrl& f) { f.Agent1.set_property_sheet_visible(true); }
void show_characters(frmAgentCtrl& f) { f.Agent1.show_default_character_properties(); }

using L = Listening;
using W = ItemWord;

constexpr std::array<Route, 37> kRoutes{{
    {"OLPanel", L::Keep, W::Keep, show_panel},
    {"AdvCharOptions", L::Keep, W::Keep, show_options},
    {"CharProperty", L::Keep, W::Keep, show_characters},
    {"StrtNewAppoint", L::End, W::Keep, actions::StrtNewAppoint},
    {"StrtNewCont", L::End, W::Keep, actions::StrtNewCont},
    {"StrtNewJourl", L::End, W::Keep, actions::StrtNewJourl},
    {"StrtNewMail", L::End, W::Keep, actions::StrtNewMail},
    {"StrtNewNote", L::End, W::Keep, actions::StrtNewNote},
    {"StrtNewTask", L::End, W::Keep, actions::StrtNewTask},
    {"PrevNewMail", L::End, W::Take, preview::PrevNewMail},
    {"OpenAndRead", L::End, W::Take, reading::OpenAndRead},
    {"OpenThisItem", L::End, W::Take, reading::OpenThisItem},
    {"ReadThisItem", L::End, W::Take, reading::ReadThisItem},
    {"ReReadItem", L::End, W::Keep, reading::ReReadItem},
    {"PausReadItem", L::End, W::Keep, reading::PausReadItem},
    {"ContReadItem", L::End, W::Keep, reading::ContReadItem},
    {"StopReadItem", L::End, W::Keep, reading::StopReadItem},
    {"ContinuNewMail", L::End, W::Keep, preview::ContinuNewMail},
    {"PauseNewMail", L::End, W::Keep, preview::PauseNewMail},
    {"StopNewMail", L::End, W::Keep, preview::StopNewMail},
    {"CloseItem", L::End, W::Keep, actions::CloseItem},
    {"CopyItem", L::End, W::Keep, actions::CopyItem},
    {"DeleteItem", L::End, W::Take, actions::DeleteItem},
    {"PrtItem", L::Keep, W::Take, actions::PrtItem},
    {"MoveItem", L::End, W::Keep, actions::MoveItem},
    {"NextItem", L::End, W::Keep, preview::NextItem},
    {"PrevItem", L::End, W::Keep, preview::PrevItem},
    {"ForwItem", L::End, W::Keep, actions::ForwItem},
    {"ReplyItem", L::End, W::Keep, actions::ReplyItem},
    {"ReplyToAll", L::End, W::Keep, actions::ReplyToAll},
    {"FlagItem", L::End, W::Keep, actions::FlagItem},
    {"AcceptItem", L::End, W::Take, actions::AcceptItem},
    {"DeclineItem", L::End, W::Take, actions::DeclineItem},
    {"TentativeItem", L::End, W::Keep, actions::TentativeItem},
    {"TurnOffIntro", L::End, W::Keep, TurnOffIntro},
    {"TurnOnIntro", L::End, W::Keep, TurnOnIntro},
    {"ChngSortDescent", L::End, W::Keep, ChngSortDescent},
}};

static_assert(std::ranges::none_of(kRoutes, [](const Route& r) { return r.name.empty(); }),
              "every route names its command");

}  // namespace

// A procedure that fails part way leaves the rest of its work undone; dispatch says nothing about it.
void Agent1_Command(frmAgentCtrl& f, const platform::UserInput& input) {
    f.sHeardCmd = input.name;
    const auto route =
        std::find_if(kRoutes.begin(), kRoutes.end(), [&](const Route& r) { return r.name == input.name; });
    if (route == kRoutes.end()) {
        f.sHeardCmd.clear();
        play(f, "Confused");
        return;
    }
    if (route->listening == Listening::End) EndListen(f);
    if (route->word == ItemWord::Take) SetItemRef(f, input.voice);
    skip_on_failure([&] { route->run(f); });
}

void EndListen(frmAgentCtrl& f) {
    skip_on_failure([&] { f.oAgentChar->listen(false); });
}

// The last word heard, singular, with "mail" said as "email". A command chosen from the menu was not heard,
// so it leaves the word alone.
void SetItemRef(frmAgentCtrl& f, std::string_view heard) {
    const auto blank = heard.rfind(' ');
    if (blank == std::string_view::npos) return;
    std::string word = platform::lower_ascii(heard.substr(blank + 1));
    if (!word.empty() && word.back() == 's') word.pop_back();
    if (word == "mail") word = "email";
    f.sCurItemRef = std::move(word);
}

}  // namespace commands
