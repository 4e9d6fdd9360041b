// A small vessel module for host tests: a 1000 kg body with one main thruster, three touchdown
// points 1 m below its origin, and every callback written to the host log as "probe NAME: CALLBACK".
#include <cstdio>
#include <cstring>
#include <string>

#include "common/module_entry.h"

class probe_vessel final : public VESSEL3 {
 public:
  probe_vessel(OBJHANDLE h, int fmodel) : VESSEL3(h, fmodel) {}
  ~probe_vessel() { note("destroyed"); }

  void clbkSetClassCaps(FILEHANDLE) override {
    note("clbkSetClassCaps");
    SetSize(2.0);
    SetEmptyMass(1000.0);
    SetPMI(_V(1, 1, 1));
    SetCrossSections(_V(1, 1, 1));
    SetCW(0.5, 0.5, 0.5, 0.5);
    static const TOUCHDOWNVTX td[3] = {{{0, -1, 1}, 1e5, 1e4, 1.0, 1.0},
                                       {{-1, -1, -1}, 1e5, 1e4, 1.0, 1.0},
                                       {{1, -1, -1}, 1e5, 1e4, 1.0, 1.0}};
    SetTouchdownPoints(td, 3);
    PROPELLANT_HANDLE ph = CreatePropellantResource(100.0);
    THRUSTER_HANDLE th = CreateThruster(_V(0, 0, 0), _V(0, 0, 1), 20000.0, ph, 3000.0);
    CreateThrusterGroup(&th, 1, THGROUP_MAIN);
  }
  void clbkLoadStateEx(FILEHANDLE scn, void* status) override {
    note("clbkLoadStateEx");
    char* line;
    while (oapiReadScenario_nextline(scn, line)) {
      if (std::strncmp(line, "PROBE", 5) == 0) {
        std::snprintf(value_, sizeof value_, "%s", line + 5 + std::strspn(line + 5, " "));
      } else {
        ParseScenarioLineEx(line, status);
      }
    }
  }
  void clbkSaveState(FILEHANDLE scn) override {
    VESSEL2::clbkSaveState(scn);
    if (value_[0] != '\0') oapiWriteScenario_string(scn, "PROBE", value_);
  }
  void clbkPostCreation() override { note("clbkPostCreation"); }
  void clbkPreStep(double, double, double) override {
    if (pre_++ < 2) note("clbkPreStep");
  }
  void clbkPostStep(double, double, double) override {
    if (post_++ < 2) note("clbkPostStep");
  }
  void clbkNavMode(int mode, bool active) override {
    note(("clbkNavMode " + std::to_string(mode) + (active ? " on" : " off")).c_str());
  }
  int clbkConsumeBufferedKey(DWORD key, bool down, char*) override {
    if (down) note(("clbkConsumeBufferedKey " + std::to_string(key)).c_str());
    return 0;
  }

 private:
  void note(const char* what) { oapiWriteLog((std::string("probe ") + GetName() + ": " + what).c_str()); }
  char value_[64] = {0};
  int pre_ = 0, post_ = 0;
};

VESSEL_MODULE_EXPORTS(probe_vessel, "Jan 01 2024")
