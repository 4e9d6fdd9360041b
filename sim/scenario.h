// Scenario files: parsing the sections, the vessel blocks handed to the modules, and the host's
// standard vessel lines (read by the default parser, written by the base clbkSaveState).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/records.h"
#include "sim/simulation.h"

namespace sim {

struct ScenarioLine {
  int number;  // line number in the file
  std::string text;
};

struct VesselBlock {
  std::string name, class_name;
  int line = 0;
  std::vector<ScenarioLine> lines;
};

struct ScenarioData {
  std::string file;
  std::string description;
  double mjd = 51544.5;
  std::string focus;
  std::vector<WindLayer> wind;
  std::vector<VesselBlock> vessels;
};

// Throws InputError naming the file and line for a section or block not closed, an unknown
// section, or a number that does not parse.
ScenarioData parse_scenario(std::string_view text, const std::string& file);

// The standard vessel lines as the default parser collects them.
struct VesselStatus {
  std::optional<FlightStatus> status;
  std::string body;
  std::optional<double> lon_deg, lat_deg, heading_deg, alt_m;
  std::optional<VECTOR3> att_deg, gspeed, rpos, rvel, arot_deg, vrot_deg;
  std::map<int, double> prplevel, thlevel;
  std::vector<int> navmodes;
  std::optional<int> afcmode, rcsmode;
  struct Attached {
    int child_point = 0, parent_point = 0;
    std::string parent;
    int line = 0;
  };
  std::optional<Attached> attached;
  // The first malformed standard line: reported by the host after the module's load returns.
  std::optional<InputError> error;
};

// A scenario file handle while a vessel block is read.
struct ScenarioReader : HostScenarioFile {
  ScenarioReader(const VesselBlock& b, std::string f) : block(&b), file(std::move(f)) {}
  const VesselBlock* block;
  std::string file;
  size_t next = 0;
  int current_line = 0;
  std::string buffer;  // the line handed out last (the module may write into it)
};

// A scenario file handle while a vessel writes its lines.
struct ScenarioWriter : HostScenarioFile {
  explicit ScenarioWriter(HostVessel& v) : vessel(&v) {}
  HostVessel* vessel;
  std::string out;
};

// Parses one standard line into the status; false if the line is not a standard one.
bool parse_standard_line(const char* line, VesselStatus& st, const std::string& file, int line_number);

// Writes the standard lines of a vessel's present state.
void write_standard_lines(Simulation& sim, HostVessel& v, ScenarioWriter& w);

// Navigation mode names of the NAVMODE line, index 1..7.
const char* navmode_name(int mode);
int navmode_from_name(std::string_view name);

}  // namespace sim
