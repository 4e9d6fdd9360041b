// soname: D3D9Client.dll
// Stand-in for a graphics client module that lacks the identifying export.
extern "C" __attribute__((visibility("default"))) int gcSomethingElse() { return 0; }
