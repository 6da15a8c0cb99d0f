#include <string>
#include <string_view>

#include "actions/actions.hpp"
#include "actions/item_action.hpp"

namespace actions {

namespace {

using platform::Item;
using platform::Ref;

constexpr std::int32_t kOlFlagMarked = 2;

const Shape kFlagShape{.command = TargetCommand::Flag,
                       .before = Before::Pause,
                       .after_done = After::ReadAndContinue,
                       .after_cancelled = After::Leave,
                       .every_selected = true,
                       .read_after_window = false,
                       .quiet_outside_window = false,
                       .failure = {"GetAttention", "The {N} could not be flagged."}};

constexpr std::string_view kFlagSentence =
    "Flagged for follow up, as you requested."
    "|It is flagged for follow up.|I flagged it."
    "|I flagged it, see the little red flag.|Flagged for follow up."
    "|I flagged it for follow up.";

class Flagging : public ItemAction {
public:
    explicit Flagging(frmAgentCtrl& f) : f_(f) {}
    Outcome begin(Place) override {
        play(f_, "Write");
        return Outcome::Done;
    }
    void act(Place, const Ref<Item>& item) override {
        item->set_flag_status(kOlFlagMarked);
        item->set_flag_request("Follow up");
        item->save();
    }
    void finish(Place, std::int32_t) override {
        speak(f_, std::string(kFlagSentence));
        play(f_, "WriteReturn");
    }

private:
    frmAgentCtrl& f_;
};

}  // namespace

void FlagItem(frmAgentCtrl& f) {
    Flagging action(f);
    run_item_action(f, kFlagShape, action);
}

}  // namespace actions
