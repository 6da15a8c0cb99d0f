#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "sim/sim_platform.hpp"

// The services the DLL takes from Windows itself, routed to the simulator inside the DLL only:
// its local time is the virtual clock, its message boxes and information panel print their
// transcript lines instead of waiting for a user, and its registry writes of settings print
// theirs; its random numbers are the simulator's seeded ones. Each is an entry of the DLL's import
// table, or of its random source's table of virtual functions, pointed at our own function.
namespace winsim {

// Points the DLL's imports at the simulator. False when an import is not found.
bool route_services(HMODULE dll, sim::SimPlatform& sim);

// The registry lists a key's values in its own order; the store lists them in the order they were
// first written, as the simulator's store does. Every write of a setting is noted here.
void note_setting(const std::string& name);
const std::vector<std::string>& settings_in_order();

}  // namespace winsim
