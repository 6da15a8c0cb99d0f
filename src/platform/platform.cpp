// The platform interfaces are header-only; this unit keeps the core library non-empty.
#include "platform/failure.hpp"
#include "platform/host.hpp"
#include "platform/object_ref.hpp"
