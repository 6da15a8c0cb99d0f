#include <memory>
#include <string>
#include <string_view>

#include "actions/actions.hpp"
#include "actions/item_action.hpp"

namespace actions {

namespace {

using platform::Item;
using platform::ItemPtr;
using platform::Ref;

// Forward, reply and reply to all: everything in which the three differ.
struct ResponseForm {
    Shape shape;
    std::string_view form_sentence;
    ItemPtr (Item::*make)();
};

// In the preview and the reading the user hears the form sentence and no form shows when the mail
// client refuses; only the window branch answers a refusal.
constexpr Shape response_shape(TargetCommand command, std::string_view failure) {
    return {.command = command,
            .before = Before::Leave,
            .after_done = After::Leave,
            .after_cancelled = After::Leave,
            .every_selected = false,
            .read_after_window = false,
            .quiet_outside_window = true,
            .failure = {"GetAttention", failure}};
}

const ResponseForm kForward{
    response_shape(TargetCommand::Forward, "I could not start a forward for this {N}."),
    "Ok! Here is a 'Forward To' form for you to fill out and send."
    "|Ok, fill out this 'Forward To' form and send it."
    "|Forwarding... fill in the email address and any message. Then press Send."
    "|Ok. Fill in this 'Forward To' form and press send.",
    &Item::forward,
};

const ResponseForm kReply{
    response_shape(TargetCommand::Reply, "I could not start a reply for this {N}."),
    "Ok! Here is a 'Reply To' form for you to fill out and send."
    "|Ok, just add your comments in this Reply form and send it."
    "|Replying... add your message. Then press Send."
    "|Ok. Fill in this 'Reply To' form and press send.",
    &Item::reply,
};

const ResponseForm kReplyToAll{
    response_shape(TargetCommand::ReplyToAll, "I could not start a reply to all, for this {N}."),
    "Ok! Here is a 'Reply To All' form for you to fill out and send."
    "|Ok, just add your comments in this Reply form and send it."
    "|Replying... add your message. Then press Send."
    "|Ok. Fill in this 'Reply To All' form and press send.",
    &Item::reply_all,
};

// The new form is the mail client's: the add-in keeps no reference to it.
class OpenResponseForm : public ItemAction {
public:
    OpenResponseForm(frmAgentCtrl& f, const ResponseForm& response) : f_(f), r_(response) {}
    void prelude(Place) override { speak(f_, std::string(r_.form_sentence)); }
    void act(Place, const Ref<Item>& item) override {
        const Ref<Item> form = ((*item).*r_.make)();
        form->display();
    }

private:
    frmAgentCtrl& f_;
    const ResponseForm& r_;
};

void open_form(frmAgentCtrl& f, const ResponseForm& response) {
    OpenResponseForm action(f, response);
    run_item_action(f, response.shape, action);
}

}  // namespace

void ForwItem(frmAgentCtrl& f) { open_form(f, kForward); }
void ReplyItem(frmAgentCtrl& f) { open_form(f, kReply); }
void ReplyToAll(frmAgentCtrl& f) { open_form(f, kReplyToAll); }

}  // namespace actions
