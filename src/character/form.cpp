#include "character/form.hpp"

namespace character {

frmAgentCtrl::frmAgentCtrl(platform::Host& h) : host(h), Agent1(h.agent()), Timer1(h.timer()) {}

void Timer1_Timer(frmAgentCtrl& f) {
    if (f.bMailSaid) f.bMailSaid = false;
}

}  // namespace character
