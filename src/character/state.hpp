#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "character/form.hpp"

namespace character {

// The value of the form's field of that name as text, for inspection: numbers in decimal,
// Booleans "True"/"False", strings quoted and escaped, objects as an item id, a window
// ("explorer", "inspector m1") or "Nothing". Empty when the form has no such field.
std::optional<std::string> describe_field(frmAgentCtrl& f, std::string_view field);

}  // namespace character
