// soname: D3D11Client.dll
// Stand-in for the third client the probe looks for, identifying itself.
extern "C" __attribute__((visibility("default"))) int gcClientID() { return 11; }
