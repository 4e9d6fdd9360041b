// The headless host: a world of celestial bodies and vessels, the vessel modules that drive them,
// and the frame loop that flies them.
//
// One Simulation is the current host at a time (the interface's free functions act on it). Tests
// and the runner use this API; modules only see the vessel interface.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "sim/records.h"

namespace sim {

// Bad input (scenario, events, configuration, missing module): names the file and, where it
// applies, the line. The runner reports it with exit status 2.
class InputError : public std::runtime_error {
 public:
  InputError(const std::string& file, int line, const std::string& what);
  std::string file;
  int line;  // 0: no line
};

struct Module {
  std::string name;
  std::filesystem::path path;
  void* handle = nullptr;
  VESSEL* (*ovcInit)(OBJHANDLE, int) = nullptr;
  void (*ovcExit)(VESSEL*) = nullptr;
  const char* (*ModuleDate)() = nullptr;
  int (*GetModuleVersion)() = nullptr;
};

// One wind layer: altitude (m) and the wind towards east and north (m/s).
struct WindLayer {
  double alt, east, north;
};

// The input box the crew has open, if any.
struct InputBox {
  std::string title;
  KeyFunc callback = nullptr;
  void* usrdata = nullptr;
  int vislen = 0;
  bool open = false;
};

// One text the vessel drew on its HUD.
struct HudText {
  int x, y;
  DWORD colour;
  std::string text;  // as drawn (8-bit)
};

struct Options {
  std::filesystem::path modules_dir;  // modules (*.so) and class configurations (*.cfg)
  std::filesystem::path config_dir;   // planet and base data
  std::uint64_t seed = 1;
};

// Default folders of this build.
std::filesystem::path default_modules_dir();
std::filesystem::path default_config_dir();

class Simulation {
 public:
  explicit Simulation(Options opts = {});
  ~Simulation();
  Simulation(const Simulation&) = delete;
  Simulation& operator=(const Simulation&) = delete;

  // The simulation the interface's free functions act on.
  static Simulation* current();

  // --- Loading ---
  // Parses a scenario, loads its modules, creates its vessels (class caps, saved state), restores
  // attachments and runs post-creation. Throws InputError; nothing is left half-created.
  void load_scenario_file(const std::filesystem::path& file);
  void load_scenario_text(std::string_view text, const std::string& filename = "<scenario>");

  // Creates a vessel whose interface object comes from make(handle) instead of a module (test
  // vessels), at rest in the global frame at pos, and runs its clbkSetClassCaps. destroy deletes
  // the object when the simulation ends.
  HostVessel& create_vessel(const std::string& name, Body* ref, const VECTOR3& global_pos,
                            const std::function<VESSEL*(OBJHANDLE)>& make,
                            const std::function<void(VESSEL*)>& destroy);

  // --- Running ---
  // One frame of length dt: input, navigation modes, clbkPreStep, integration, clbkPostStep.
  void step(double dt);
  double time() const { return simt_; }
  double mjd() const;
  double start_mjd() const { return mjd0_; }
  double last_dt() const { return last_dt_; }

  // --- Crew input (applied to the focus vessel) ---
  // Press and release a key: clbkConsumeBufferedKey, host default handling when not consumed.
  void press_key(DWORD key, bool ctrl = false, bool shift = false, bool alt = false);
  // Hold a key down in the direct key state for the given simulated time.
  void hold_key(DWORD key, double seconds, bool ctrl = false, bool shift = false);
  // Confirm the open input box with text; false if no box was open or the callback refused it.
  bool type_text(const std::string& text);
  void set_focus(const std::string& vessel_name);
  void set_joystick(double pitch, double yaw, double bank);
  void set_time_acceleration(double x) { time_accel_ = x; }
  void set_navmode(HostVessel& v, int mode, bool on);
  void set_afcmode(HostVessel& v, DWORD mode);
  // Draws the vessel's HUD on a W x H surface and returns what it drew.
  std::vector<HudText> draw_hud(HostVessel& v, int W, int H);

  // --- Output ---
  std::string save_scenario_text();
  void save_scenario_file(const std::filesystem::path& file);
  nlohmann::json dump() const;
  // One vessel's object of the dump.
  nlohmann::json dump_vessel(const HostVessel& v) const;

  // --- World ---
  std::vector<std::unique_ptr<Body>>& bodies() { return bodies_; }
  Body* body(std::string_view name);
  std::vector<std::unique_ptr<HostVessel>>& vessels() { return vessels_; }
  HostVessel* vessel(std::string_view name);
  HostVessel* focus() { return focus_; }
  std::vector<WindLayer>& wind() { return wind_; }
  const InputBox& input_box() const { return input_box_; }
  std::vector<std::string>& log() { return log_; }
  void write_log(const std::string& line);
  // Counts and logs (once per vessel and operation) a non-finite number handed to the host.
  void report_nonfinite(const HostVessel* v, const char* operation);
  int nonfinite_calls() const { return nonfinite_calls_; }
  double time_acceleration() const { return time_accel_; }
  double rand_uniform();
  const Options& options() const { return opts_; }

  // Host-side helpers used by the interface implementation.
  HostVessel& vessel_of(OBJHANDLE h) const;
  HostVessel& vessel_of(const VESSEL* v) const;
  void open_input_box(const char* title, KeyFunc cb, int vislen, void* usrdata);
  SURFHANDLE texture(const std::string& name, bool particle);
  void notify_navmode(HostVessel& v, int mode, bool active);
  // Manual control level of an attitude group from the joystick or held keys.
  double manual_level(const HostVessel& v, THGROUP_TYPE t, DWORD mode, DWORD device) const;
  // Attaches child's point to parent's point and places the child; false if either is taken.
  bool attach(HostVessel& parent, HostAttachment* parent_point, HostVessel& child,
              HostAttachment* child_point);
  bool detach(HostVessel& parent, HostAttachment* parent_point, double vel);

  // File and line of the scenario line a vessel is reading now (for error messages).
  std::string current_scenario_file() const {
    return reading_file_ != nullptr ? *reading_file_ : std::string();
  }
  int current_scenario_line() const { return reading_line_ != nullptr ? *reading_line_ : 0; }

  // Direct key state of this frame (256 bytes, bit 0x80 down).
  const std::array<char, 256>& key_state() const { return keys_; }

 private:
  struct HeldKey {
    DWORD key;
    double until;
    bool ctrl, shift;
  };

  void create_world();
  void unload();
  Module& load_module(const std::string& module_name, const std::string& cfg_file, int cfg_line);
  void build_key_state();
  void apply_input(double dt);

  Options opts_;
  std::vector<std::unique_ptr<Body>> bodies_;
  std::vector<std::unique_ptr<HostVessel>> vessels_;
  std::vector<std::unique_ptr<Module>> modules_;
  std::vector<std::unique_ptr<HostTexture>> textures_;
  std::vector<WindLayer> wind_;
  HostVessel* focus_ = nullptr;
  double simt_ = 0.0;
  double simt_carry_ = 0.0;  // rounding carried by the compensated time sum
  double mjd0_ = 51544.5;
  double last_dt_ = 0.0;
  double time_accel_ = 1.0;
  std::mt19937_64 rng_;
  std::vector<std::string> log_;
  std::vector<std::string> nonfinite_seen_;
  int nonfinite_calls_ = 0;
  InputBox input_box_;
  std::vector<HeldKey> held_keys_;
  std::array<char, 256> keys_{};
  double joystick_[3] = {0, 0, 0};  // pitch, yaw, bank
  std::string description_;
  const std::string* reading_file_ = nullptr;
  const int* reading_line_ = nullptr;

  friend class ScenarioLoader;
};

}  // namespace sim
