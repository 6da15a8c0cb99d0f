#pragma once

#include <windows.h>

namespace win {

// Creates a DezarorAgent.Connect object and gives its interface `iid`.
HRESULT create_connect(REFIID iid, void** out);

// The class object for DezarorAgent.Connect, as DllGetClassObject hands it out.
HRESULT get_connect_class_object(REFIID iid, void** out);

}  // namespace win
