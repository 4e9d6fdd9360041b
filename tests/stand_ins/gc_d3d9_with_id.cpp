// soname: D3D9Client.dll
// Stand-in for a graphics client that identifies itself.
extern "C" __attribute__((visibility("default"))) int gcClientID() { return 1; }
