// Module glue: what a vessel module exports and the host services it calls while loading.
#pragma once

#include "host/types.h"

#define DLLCLBK extern "C" __attribute__((visibility("default")))

class VESSEL;

// Registers a module library with the host when it is attached to the process.
__attribute__((visibility("default"))) void InitLib(HINSTANCE hModule);

// Interface version stamp of a compiler date string such as "Aug 28 2016": yyyymmdd as an
// integer (20160828); 0 when the text is not such a date.
__attribute__((visibility("default"))) int Date2Int(const char* date);
