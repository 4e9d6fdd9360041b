#include "velk_pad/graphics_client.h"

bool graphics_client_present() { return graphics_client_module != nullptr && graphics_client_id != nullptr; }
