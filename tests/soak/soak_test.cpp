// The soak: a seeded random walk of scenario commands over the sample mailbox, with the add-in's
// invariants checked after every command. DEZAROR_SOAK_COMMANDS sets the length of the walk
// (5,000 by default), DEZAROR_SOAK_SEED its seed; tools/soak runs the long walk.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "character/form.hpp"
#include "cli/inputs.hpp"
#include "cli/session.hpp"
#include "sim/agent.hpp"
#include "sim/dialogs.hpp"
#include "sim/office.hpp"
#include "sim/outlook.hpp"
#include "sim/sim_platform.hpp"
#include "sim/system.hpp"
#include "sweep/message_texts.hpp"

namespace {

std::uint64_t env_number(const char* name, std::uint64_t fallback) {
    if (const char* text = std::getenv(name)) {
        if (const auto value = std::strtoull(text, nullptr, 10); value > 0) return value;
    }
    return fallback;
}

// Resident memory in kilobytes, from the kernel's view of this process.
std::int64_t resident_kb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmRSS:")) return std::strtoll(line.c_str() + 6, nullptr, 10);
    }
    return 0;
}

// What the user says: a phrase of most commands' voice grammars, and some that match none.
const std::vector<std::string> kPhrases = {
    "read this message",
    "read this item",
    "next message",
    "previous message",
    "preview new mail",
    "pause previewing",
    "continue previewing",
    "stop previewing",
    "read again",
    "open this message",
    "open and read this message",
    "pause reading",
    "continue reading",
    "stop reading",
    "close this message",
    "delete this message",
    "copy this message to folder",
    "move this message to folder",
    "forward message",
    "reply to message",
    "reply to all",
    "flag message for follow up",
    "accept meeting request",
    "decline meeting request",
    "tentative",
    "print this message",
    "start new appointment",
    "start new contact",
    "start new journal entry",
    "start new mail",
    "start new note",
    "start new task",
    "change the preview sort order",
    "turn off the intro",
    "play the intro",
    "what a lovely day",
    "read this email",
    "next",
    "previous",
};

// Menu commands by name; some are hidden or greyed at any moment, and the simulator refuses those.
const std::vector<std::string> kMenuNames = {
    "PrevNewMail",  "PauseNewMail", "ContinuNewMail", "StopNewMail",  "PrevItem",     "NextItem",     "ReReadItem",
    "OpenThisItem", "OpenAndRead",  "ReadThisItem",   "PausReadItem", "ContReadItem", "StopReadItem", "CloseItem",
    "DeleteItem",   "CopyItem",     "MoveItem",       "ForwItem",     "ReplyItem",    "ReplyToAll",   "FlagItem",
    "AcceptItem",   "DeclineItem",  "TentativeItem",  "PrtItem",      "StrtNewMail",  "StrtNewTask",  "ChngSortDescent",
    "TurnOffIntro", "TurnOnIntro",  "OLPanel",
};

const std::vector<std::string> kFolders = {"Inbox",        "Calendar", "Contacts",     "Tasks",
                                           "Notes",        "Journal",  "Archive",      "Archive/2001",
                                           "Archive/2000", "Locked",   "Deleted Items"};

// The walk: the simulated user, the mail client and time, with what the checks need to know.
class Walk {
public:
    explicit Walk(std::uint64_t seed)
        : random_(seed), sim_(cli::load_mailbox_input(std::nullopt)), session_(sim_, out_) {
        for (const auto& folder : kFolders) {
            for (const auto& id : folder_ids(folder)) tracked_.insert(id);
        }
        run("start");
        run("click button");
        run("done");
    }

    // One random command; returns its text.
    std::string step() {
        const auto line = next_command();
        run(line);
        return line;
    }

    // Every invariant after a command; the problems found, empty when none.
    std::vector<std::string> check();

    // What the simulator keeps of the walk (every spoken text, every item made), to tell its growth
    // from the add-in's.
    std::string sizes() {
        auto* f = session_.addin().form();
        std::size_t spoken = 0;
        for (const auto& text : sim_.sim_agent().spoken()) spoken += text.size();
        return "the simulator kept " + std::to_string(sim_.sim_agent().spoken().size()) + " spoken texts (" +
               std::to_string(spoken / 1024) + " kB); the form holds texts of " +
               std::to_string(f->sReadText.size() + f->sItmSavedText.size() + f->sNeMSavedText.size() +
                              f->sBodyText.size()) +
               " bytes";
    }

    std::string take_output() {
        auto text = out_.str();
        out_.str("");
        return text;
    }

private:
    template <class T>
    const T& pick(const std::vector<T>& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random_)];
    }
    int roll(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random_); }

    std::vector<std::string> folder_ids(const std::string& path) {
        std::vector<std::string> ids;
        std::istringstream in(sim_.sim_outlook().show_folder(path));
        std::string word;
        in >> word;  // the path itself; no folder path of the sample holds a blank but "Deleted Items"
        if (path == "Deleted Items") in >> word;
        while (in >> word) ids.push_back(word);
        return ids;
    }

    std::string any_item() {
        std::vector<std::string> alive;
        for (const auto& folder : kFolders) {
            for (auto& id : folder_ids(folder)) alive.push_back(std::move(id));
        }
        return alive.empty() ? std::string() : pick(alive);
    }

    std::string next_command();
    void run(const std::string& line);
    void note_output(const std::string& line, const std::string& text);

    std::mt19937_64 random_;
    sim::SimPlatform sim_;
    std::ostringstream out_;
    cli::Session session_;
    std::string folder_ = "Inbox";
    std::set<std::string> tracked_;     // items in folders, as the mailbox, arrivals and copies made them
    std::set<std::string> deleted_;     // items deleted by the add-in or the user
    std::vector<std::string> windows_;  // items the add-in opened in windows of their own
    int arrivals_ = 0;
    int line_ = 0;
    std::int64_t period_ = 0;
    int announcements_in_period_ = 0;
    int explicit_ticks_ = 0;
    std::vector<std::string> problems_;
    // DEZAROR_SOAK_TRANSCRIPT=FILE keeps the whole walk's transcript there, to replay by hand.
    std::unique_ptr<std::ofstream> transcript_ =
        std::getenv("DEZAROR_SOAK_TRANSCRIPT") ? std::make_unique<std::ofstream>(std::getenv("DEZAROR_SOAK_TRANSCRIPT"))
                                               : nullptr;
};

std::string Walk::next_command() {
    const int r = roll(100);
    if (r < 22) return "say " + pick(kPhrases);
    if (r < 32) return "menu " + pick(kMenuNames);
    if (r < 48) return roll(3) == 0 ? "done " + std::to_string(roll(4)) : "done";
    if (r < 50) return roll(2) == 0 ? "click button" : "click menu";
    if (r < 58) {
        const auto& ids = folder_ids(folder_);
        if (ids.empty() || roll(8) == 0) return "select none";
        auto line = "select " + pick(ids);
        if (roll(5) == 0) line += " " + pick(ids);
        return line;
    }
    if (r < 61) {
        folder_ = roll(2) == 0 ? "Inbox" : pick(kFolders);
        return "folder " + folder_;
    }
    if (r < 65) {
        if (auto id = any_item(); !id.empty()) return "open " + id;
        return "tick";
    }
    if (r < 69) {
        // Windows the add-in opened (new items, replies, forwards) and those the walk opened.
        if (!windows_.empty() && roll(2) == 0) {
            auto id = windows_.back();
            windows_.pop_back();
            return "close " + id;
        }
        if (auto id = any_item(); !id.empty()) return "close " + id;
        return "tick";
    }
    if (r < 73) {
        switch (roll(4)) {
            case 0:
                return "activate explorer";
            case 1:
                return "activate none";
            case 2:
                return "activate other";
            default:
                if (auto id = any_item(); !id.empty()) return "activate " + id;
                return "activate explorer";
        }
    }
    if (r < 78) {
        // New mail, with the Inbox and the deleted items kept bounded so the walk's own growth does
        // not hide the add-in's.
        if (const auto bin = folder_ids("Deleted Items"); bin.size() > 20) return "remove " + pick(bin);
        if (folder_ids("Inbox").size() > 40) return "remove " + pick(folder_ids("Inbox"));
        const auto id = "s" + std::to_string(++arrivals_);
        tracked_.insert(id);
        if (roll(4) == 0) {
            return "arrive {\"EntryID\": \"" + id +
                   "\", \"Class\": 53, \"SenderName\": \"Grace Hopper\", \"Subject\": \"Review " + id +
                   "\", \"ReceivedTime\": \"2001-03-06T15:0" + std::to_string(roll(10)) +
                   ":00\", \"UnRead\": true, \"Body\": \"Shall we meet?\", \"appointment\": {\"Organizer\": "
                   "\"Grace Hopper\", \"Subject\": \"Review\", \"Location\": \"Room 2\", \"Start\": "
                   "\"2001-03-07T10:00:00\"}}";
        }
        return "arrive {\"EntryID\": \"" + id +
               "\", \"Class\": 43, \"SenderName\": \"Alan Turing\", \"Subject\": \"Note " + id +
               "\", \"ReceivedTime\": \"2001-03-06T15:0" + std::to_string(roll(10)) +
               ":00\", \"UnRead\": true, \"Body\": \"Hello there. This is note " + id +
               ".\\nIt has two lines!\", \"HTMLBody\": \"\"}";
    }
    if (r < 81) {
        if (auto id = any_item(); !id.empty()) {
            if (sim_.sim_outlook().folder_of(id)) return "remove " + id;
        }
        return "tick";
    }
    if (r < 84) {
        if (auto id = any_item(); !id.empty()) return "mark " + id + (roll(2) == 0 ? " read" : " unread");
        return "tick";
    }
    if (r < 88) return roll(4) == 0 ? "pick cancel" : "pick " + pick(kFolders);
    if (r < 94) return roll(3) == 0 ? "tick" : "wait " + std::to_string(roll(140));
    if (r < 96) {
        if (auto id = any_item(); !id.empty()) return "reminder " + id;
        return "tick";
    }
    if (r < 98) {
        if (auto id = any_item(); !id.empty()) return "send " + id;
        return "tick";
    }
    return "view " + std::string(roll(2) == 0 ? "Messages" : "By Sender");
}

void Walk::run(const std::string& line) {
    ++line_;
    if (line == "tick") ++explicit_ticks_;
    if (line.starts_with("remove ")) deleted_.insert(line.substr(7));
    session_.execute(line, cli::Place{"soak", line_});
    const auto text = take_output();
    if (transcript_) *transcript_ << text;
    note_output(line, text);
}

// Follows the transcript: items the add-in made, deleted and opened, new-mail announcements and
// lines that must never appear.
void Walk::note_output(const std::string& line, const std::string& text) {
    std::istringstream in(text);
    const auto period = [&] {
        auto& clock = dynamic_cast<sim::VirtualClock&>(sim_.clock());
        return clock.elapsed().count() / (sim::SimTimer::kIntervalMs / 1000) + explicit_ticks_;
    };
    if (period() != period_) {
        period_ = period();
        announcements_in_period_ = 0;
    }
    for (std::string out; std::getline(in, out);) {
        if (out.starts_with("error: ")) problems_.push_back(out);
        if (out.starts_with("! ") && line.starts_with("done")) problems_.push_back(out);
        if (out.starts_with("msgbox: ")) problems_.push_back("a message box without any fault: " + out);
        if (out.starts_with("outlook: Delete ")) deleted_.insert(out.substr(16));
        if (out.starts_with("outlook: Copy ")) {
            if (auto arrow = out.find(" -> "); arrow != std::string::npos) tracked_.insert(out.substr(arrow + 4));
        }
        if (out.starts_with("outlook: Display ") || out.starts_with("outlook: Activate "))
            windows_.push_back(out.substr(out.find(' ', 9) + 1));
        if (out.starts_with("agent: speak ") && out.find("New mail has arrived.") != std::string::npos &&
            ++announcements_in_period_ > 1)
            problems_.push_back("a second new-mail announcement in one timer period: " + out);
    }
    if (windows_.size() > 64) windows_.erase(windows_.begin(), windows_.begin() + 32);
}

std::vector<std::string> Walk::check() {
    auto problems = std::exchange(problems_, {});
    auto* f = session_.addin().form();
    if (!f) return {"the add-in has no form"};

    if (f->bAgentLoaded && sim_.sim_agent().loaded()) {
        int intro = 0;
        for (const auto& entry : sim_.sim_agent().menu_lines())
            intro += entry == "menu: Turn off intro" || entry == "menu: Play intro";
        if (intro != 1) problems.push_back("the menu offers " + std::to_string(intro) + " introduction commands");
    }
    if (!f->bNeMStarted && f->bNeMActive) problems.push_back("the preview is active but not started");
    if (f->iReadMode < 0 || f->iReadMode > 6) problems.push_back("iReadMode is " + std::to_string(f->iReadMode));
    if (f->iReadMode != 0 && (f->lReadPos < 1 || f->lReadPos > static_cast<std::int64_t>(f->sReadText.size()) + 1)) {
        problems.push_back("the read position " + std::to_string(f->lReadPos) + " is outside a text of " +
                           std::to_string(f->sReadText.size()));
    }

    const bool running = f->bNeMStarted && f->bNeMActive;
    const bool paused = f->bNeMStarted && !f->bNeMActive;
    const std::string button = running ? "Preview" : paused ? "Paused" : "Agent";
    const std::string menu = running ? "A&gent Preview" : paused ? "A&gent Paused" : "Outlook A&gent";
    const auto buttons = sim_.sim_office().captions("Advanced");
    const auto entries = sim_.sim_office().captions("Tools");
    if (buttons.empty() || buttons.back() != button)
        problems.push_back("the button reads \"" + (buttons.empty() ? "" : buttons.back()) + "\", not \"" + button +
                           "\"");
    if (entries.empty() || entries.back() != menu)
        problems.push_back("the menu entry reads \"" + (entries.empty() ? "" : entries.back()) + "\", not \"" + menu +
                           "\"");

    std::map<std::string, int> seen;
    for (const auto& folder : kFolders) {
        for (const auto& id : folder_ids(folder)) ++seen[id];
    }
    for (const auto& [id, count] : seen) {
        if (count > 1) problems.push_back("the item " + id + " is in " + std::to_string(count) + " places");
    }
    for (auto it = tracked_.begin(); it != tracked_.end();) {
        if (seen.contains(*it)) {
            ++it;
        } else if (deleted_.contains(*it)) {
            // Gone for good: no longer followed, so the checks stay as cheap as the mailbox is small.
            deleted_.erase(*it);
            it = tracked_.erase(it);
        } else {
            problems.push_back("the item " + *it + " left every folder without being deleted");
            ++it;
        }
    }
    return problems;
}

TEST(Soak, RandomWalkKeepsTheInvariants) {
    const auto commands = env_number("DEZAROR_SOAK_COMMANDS", 5000);
    const auto seed = env_number("DEZAROR_SOAK_SEED", 1);
    Walk walk(seed);
    ASSERT_TRUE(walk.check().empty());
    std::deque<std::string> recent;
    const auto started = std::chrono::steady_clock::now();
    std::int64_t rss_quarter = 0;
    for (std::uint64_t i = 1; i <= commands; ++i) {
        recent.push_back(walk.step());
        if (recent.size() > 40) recent.pop_front();
        if (const auto problems = walk.check(); !problems.empty()) {
            std::string replay;
            for (const auto& line : recent) replay += "  " + line + '\n';
            FAIL() << "after command " << i << " of seed " << seed << ": " << problems.front() << " ("
                   << problems.size() << " problems)\nthe last commands:\n"
                   << replay;
        }
        if (i == commands / 4) rss_quarter = resident_kb();
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    const auto rss_end = resident_kb();
    std::cout << "soak: " << commands << " commands in " << took.count() << " s, "
              << static_cast<std::int64_t>(static_cast<double>(commands) / took.count()) << " commands/s, resident "
              << rss_quarter << " kB after a quarter, " << rss_end << " kB at the end; " << walk.sizes() << std::endl;
#if !defined(__SANITIZE_ADDRESS__)
    // The sanitizer's quarantine holds freed memory, so growth is only measured without it.
    EXPECT_LT(rss_end - rss_quarter, 8 * 1024) << "memory grows with the number of commands";
#endif
}

}  // namespace
