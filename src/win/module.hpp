#pragma once

#include <windows.h>

namespace win {

// The DLL's own handle, for its file name and its window classes; set by DllMain. In a program
// that links the platform directly, the program's handle.
HINSTANCE module_instance();
void set_module_instance(HINSTANCE instance);

// Objects alive and server locks held: the module may be unloaded only when both are none.
void module_lock();
void module_unlock();
bool module_in_use();

}  // namespace win
