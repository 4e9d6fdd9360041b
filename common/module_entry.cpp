#include "common/module_entry.h"

#include <dlfcn.h>

namespace {

constexpr const char* kInterfaceDate = "Aug 28 2016";

HINSTANCE g_instance = nullptr;
using ExitFunction = void (*)(HINSTANCE);
ExitFunction g_exit_function = nullptr;
int g_version = 0;
bool g_version_known = false;

// Runs when the library is attached to the process: registers it with the host, then looks for an
// exit function of the module itself, "ExitModule" first, then "opcDLLExit".
__attribute__((constructor)) void module_attach() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&module_attach), &info) != 0 && info.dli_fname != nullptr) {
    // RTLD_NOLOAD only finds the already-loaded library; the extra reference is dropped at once
    // and the handle stays valid while the library is loaded.
    g_instance = dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
    if (g_instance != nullptr) dlclose(g_instance);
  }
  InitLib(g_instance);
  if (g_instance != nullptr) {
    void* fn = dlsym(g_instance, "ExitModule");
    if (fn == nullptr) fn = dlsym(g_instance, "opcDLLExit");
    g_exit_function = reinterpret_cast<ExitFunction>(fn);
  }
}

// Runs when the library is detached: calls the exit function found at load, if any.
__attribute__((destructor)) void module_detach() {
  if (g_exit_function != nullptr) g_exit_function(g_instance);
}

}  // namespace

namespace common {

int module_version() {
  if (!g_version_known) {
    g_version = Date2Int(kInterfaceDate);
    g_version_known = true;
  }
  return g_version;
}

HINSTANCE module_instance() { return g_instance; }

bool module_has_exit_function() { return g_exit_function != nullptr; }

}  // namespace common
