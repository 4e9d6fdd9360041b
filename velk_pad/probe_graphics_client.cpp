#include <dlfcn.h>

#include "host/oapi.h"
#include "velk_pad/graphics_client.h"

void* graphics_client_module = nullptr;
void* graphics_client_id = nullptr;

namespace {

// The known clients, in the order they are looked for.
constexpr const char* kClientModules[] = {"D3D9Client.dll", "D3D9ClientDebug.dll", "D3D11Client.dll"};

}  // namespace

bool probe_graphics_client() {
  if (graphics_client_module != nullptr) return graphics_client_id != nullptr;

  for (const char* name : kClientModules) {
    // RTLD_NOLOAD only answers for a module already in the process; nothing is loaded here. The
    // extra reference it takes is dropped again: the mount only asks whether the client is there
    // and never calls into it, so it does not keep the client loaded.
    void* handle = dlopen(name, RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr) continue;
    graphics_client_module = handle;
    graphics_client_id = dlsym(handle, "gcClientID");
    dlclose(handle);
    return graphics_client_id != nullptr;
  }
  oapiWriteLog("gcAPI: [Graphics Client Not Found]");
  return false;
}
