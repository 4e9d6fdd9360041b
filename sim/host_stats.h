// Counters of the module glue, for checks of the entry protocol.
#pragma once

namespace sim {

// How often modules called Date2Int and InitLib in this process.
int date2int_calls();
int initlib_calls();

}  // namespace sim
