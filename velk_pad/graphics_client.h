// Whether an external graphics client runs in the host process. The answer is kept once per
// loaded module, shared by every mount.
#pragma once

// Looks for an already-loaded client module by name (never loads one) and its gcClientID export.
// Once a client module has been found the answer is fixed and no new search is made; while none
// has been found every call searches again and logs that none was found. True when a client
// with gcClientID is present.
bool probe_graphics_client();

// True when a client module was found and it exports gcClientID.
bool graphics_client_present();

// Module-wide state of the probe: the client module's handle and its gcClientID export.
extern void* graphics_client_module;
extern void* graphics_client_id;
