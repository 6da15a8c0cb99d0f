#pragma once

#include <memory>

#include "platform/outlook.hpp"
#include "win/com.hpp"

namespace win {

// The mail client's application object, late-bound, with everything reached from it.
std::shared_ptr<platform::Application> make_application(ComPtr<IDispatch> application);
std::shared_ptr<platform::NameSpace> make_namespace(ComPtr<IDispatch> name_space);

// The COM object behind an object made here, or null for none.
IDispatch* dispatch_of(const platform::Application* application);
IDispatch* dispatch_of(const platform::NameSpace* name_space);

}  // namespace win
