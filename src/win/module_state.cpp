#include <atomic>

#include "win/module.hpp"

namespace win {

namespace {

HINSTANCE instance = nullptr;
std::atomic<long> locks{0};

}  // namespace

HINSTANCE module_instance() { return instance ? instance : GetModuleHandleW(nullptr); }
void set_module_instance(HINSTANCE module) { instance = module; }
void module_lock() { ++locks; }
void module_unlock() { --locks; }
bool module_in_use() { return locks != 0; }

}  // namespace win
