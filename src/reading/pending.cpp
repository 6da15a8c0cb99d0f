// FIXME: procedures still to come; until they do, each does nothing.
#include "reading/announcement.hpp"
#include "reading/body.hpp"
#include "reading/current_item.hpp"
#include "reading/reading_commands.hpp"

namespace reading {


}  // namespace reading
