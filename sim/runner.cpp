#include "sim/runner.h"

#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <ostream>
#include <sstream>

#include "sim/events.h"
#include "sim/frames.h"
#include "sim/simulation.h"

namespace sim {

namespace {

std::string read_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw InputError(path, 0, "cannot read the file");
  std::ostringstream os;
  os << in.rdbuf();
  return os.str();
}

// HUD texts are 8-bit (Latin-1); the print is UTF-8.
std::string latin1_to_utf8(const std::string& s) {
  std::string out;
  for (unsigned char c : s) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

struct RunOptions {
  std::string scenario;
  double dt = 0.02;
  double duration = 600.0;
  std::string until;
  std::string events_file, save_file, dump_file, trace_file, log_file, modules_dir;
  double trace_every = 0.5;
  std::string hud = "1024x768";
  std::uint64_t seed = 1;
  bool quiet = false;
};

// Trace columns, one row every --trace-every seconds.
constexpr const char* kTraceHeader =
    "t,alt_ground,lon,lat,vspeed,hspeed,heading,pitch,bank,mass,main_level,ground_contact,status";

void write_trace_row(std::ostream& os, Simulation& sim, HostVessel& v) {
  const nlohmann::json vj = sim.dump_vessel(v);
  const HostThrusterGroup* main_group = v.group_of_type(THGROUP_MAIN);
  const auto& gs = vj["groundspeed_horizon"];
  char buf[512];
  std::snprintf(buf, sizeof buf, "%.3f,%.3f,%.7f,%.7f,%.3f,%.3f,%.3f,%.3f,%.3f,%.1f,%.4f,%d,%s\n", sim.time(),
                vj["alt_ground"].get<double>(), vj["lon"].get<double>(), vj["lat"].get<double>(),
                gs[1].get<double>(), std::hypot(gs[0].get<double>(), gs[2].get<double>()),
                vj["heading"].get<double>(), vj["pitch"].get<double>(), vj["bank"].get<double>(),
                vj["mass"].get<double>(), main_group != nullptr ? main_group->level() : 0.0,
                v.ground_contact ? 1 : 0, vj["status"].get<std::string>().c_str());
  os << buf;
}

void write_dump(Simulation& sim, const std::string& file) {
  std::ofstream out(file);
  if (!out) throw std::runtime_error("cannot write " + file);
  out << sim.dump().dump(2) << "\n";
}

void print_hud(Simulation& sim, std::ostream& out, int W, int H) {
  HostVessel* v = sim.focus();
  if (v == nullptr) return;
  char head[256];
  std::snprintf(head, sizeof head, "hud t=%.2f vessel=%s size=%dx%d", sim.time(), v->name.c_str(), W, H);
  out << head << "\n";
  for (const HudText& t : sim.draw_hud(*v, W, H)) {
    char pre[64];
    std::snprintf(pre, sizeof pre, "%d %d 0x%06x ", t.x, t.y, static_cast<unsigned>(t.colour));
    out << pre << latin1_to_utf8(t.text) << "\n";
  }
}

void apply_event(Simulation& sim, const Event& e, std::ostream& out, int W, int H) {
  switch (e.kind) {
    case Event::Kind::Key:
      sim.press_key(e.key, e.ctrl, e.shift, e.alt);
      break;
    case Event::Kind::Hold:
      sim.hold_key(e.key, e.seconds, e.ctrl, e.shift);
      break;
    case Event::Kind::Type:
      sim.type_text(e.text);
      break;
    case Event::Kind::Focus:
      sim.set_focus(e.text);
      break;
    case Event::Kind::Navmode:
      if (sim.focus() != nullptr) sim.set_navmode(*sim.focus(), e.mode, e.on);
      break;
    case Event::Kind::Joystick:
      sim.set_joystick(e.values[0], e.values[1], e.values[2]);
      break;
    case Event::Kind::TimeAccel:
      sim.set_time_acceleration(e.values[0]);
      break;
    case Event::Kind::AfcMode:
      if (sim.focus() != nullptr) sim.set_afcmode(*sim.focus(), static_cast<DWORD>(e.mode));
      break;
    case Event::Kind::Hud:
      print_hud(sim, out, W, H);
      break;
    case Event::Kind::Save:
      sim.save_scenario_file(e.text);
      break;
    case Event::Kind::Dump:
      write_dump(sim, e.text);
      break;
  }
}

void print_summary(Simulation& sim, std::ostream& out) {
  HostVessel* v = sim.focus();
  if (v == nullptr) return;
  const nlohmann::json vj = sim.dump_vessel(*v);
  const auto& gs = vj["groundspeed_horizon"];
  char buf[512];
  std::snprintf(
      buf, sizeof buf,
      "summary: t=%.2f s vessel=%s status=%s alt=%.2f m lon=%.6f lat=%.6f vspeed=%.2f m/s hspeed=%.2f m/s "
      "mass=%.1f kg ground_contact=%s",
      sim.time(), v->name.c_str(), vj["status"].get<std::string>().c_str(), vj["alt_ground"].get<double>(),
      vj["lon"].get<double>(), vj["lat"].get<double>(), gs[1].get<double>(),
      std::hypot(gs[0].get<double>(), gs[2].get<double>()), vj["mass"].get<double>(),
      v->ground_contact ? "yes" : "no");
  out << buf << "\n";
  if (v->touchdown_record) {
    const Touchdown& t = *v->touchdown_record;
    std::snprintf(
        buf, sizeof buf,
        "touchdown: t=%.2f s vspeed=%.2f m/s hspeed=%.2f m/s lon=%.6f lat=%.6f pitch=%.2f bank=%.2f", t.t,
        t.vspeed, t.hspeed, t.lon, t.lat, t.pitch, t.bank);
    out << buf << "\n";
  } else {
    out << "touchdown: none\n";
  }
}

int run(const RunOptions& o, std::ostream& out, std::ostream& err) {
  int W = 1024, H = 768;
  if (std::sscanf(o.hud.c_str(), "%dx%d", &W, &H) != 2 || W <= 0 || H <= 0) {
    err << "orbhost: --hud expects WxH, got '" << o.hud << "'\n";
    return 2;
  }
  if (!(o.dt > 0.0) || !(o.dt <= 10.0)) {
    err << "orbhost: --dt must be in (0, 10]\n";
    return 2;
  }
  if (!(o.duration >= 0.0) || !(o.trace_every > 0.0)) {
    err << "orbhost: --duration must be >= 0 and --trace-every > 0\n";
    return 2;
  }
  if (!o.until.empty() && o.until != "landed") {
    err << "orbhost: --until takes only 'landed'\n";
    return 2;
  }
  Options opts;
  if (!o.modules_dir.empty()) opts.modules_dir = o.modules_dir;
  opts.seed = o.seed;
  Simulation sim(opts);
  std::vector<Event> events;
  try {
    if (!o.events_file.empty()) events = parse_events(read_text(o.events_file), o.events_file);
    sim.load_scenario_file(o.scenario);
  } catch (const InputError& e) {
    err << "orbhost: " << e.what() << "\n";
    return 2;
  }

  std::ofstream trace;
  if (!o.trace_file.empty()) {
    trace.open(o.trace_file);
    if (!trace) {
      err << "orbhost: cannot write " << o.trace_file << "\n";
      return 2;
    }
    trace << kTraceHeader << "\n";
    if (sim.focus() != nullptr) write_trace_row(trace, sim, *sim.focus());
  }
  if (!o.quiet) out << "orbhost: loaded " << o.scenario << " (" << sim.vessels().size() << " vessels)\n";

  size_t next_event = 0;
  double next_trace = o.trace_every;
  double next_progress = o.duration / 10.0;
  double still_since = -1.0;
  const double eps = 1e-9;
  while (sim.time() < o.duration - eps) {
    while (next_event < events.size() && events[next_event].t <= sim.time() + eps)
      apply_event(sim, events[next_event++], out, W, H);
    sim.step(o.dt);
    if (trace.is_open() && sim.time() >= next_trace - eps) {
      write_trace_row(trace, sim, *sim.focus());
      next_trace += o.trace_every;
    }
    if (!o.quiet && sim.time() >= next_progress - eps) {
      HostVessel* f = sim.focus();
      char buf[256];
      std::snprintf(buf, sizeof buf, "t=%8.2f s  %s alt=%.1f m", sim.time(),
                    f != nullptr ? f->name.c_str() : "-",
                    f != nullptr && f->ref != nullptr ? altitude_ground(*f) : 0.0);
      out << buf << "\n";
      next_progress += o.duration / 10.0;
    }
    if (o.until == "landed" && sim.focus() != nullptr) {
      HostVessel& f = *sim.focus();
      const bool still = f.ground_contact && length(groundspeed_global(f)) < 0.05 && length(f.omega) < 0.01;
      if (!still)
        still_since = -1.0;
      else if (still_since < 0.0)
        still_since = sim.time();
      if (still && sim.time() - still_since >= 1.0 - eps) {
        if (!o.quiet) out << "orbhost: " << f.name << " stands still on the ground\n";
        break;
      }
    }
  }
  // Events due at the very end (a final dump or save) still apply.
  while (next_event < events.size() && events[next_event].t <= sim.time() + eps)
    apply_event(sim, events[next_event++], out, W, H);

  if (!o.save_file.empty()) sim.save_scenario_file(o.save_file);
  if (!o.dump_file.empty()) write_dump(sim, o.dump_file);
  if (!o.log_file.empty()) {
    std::ofstream log(o.log_file);
    for (const auto& l : sim.log()) log << l << "\n";
  }
  print_summary(sim, out);
  return 0;
}

}  // namespace

int orbhost_main(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app{"orbhost: headless host for the vessel modules", "orbhost"};
  app.require_subcommand(1);
  RunOptions o;
  CLI::App* run_cmd = app.add_subcommand("run", "Fly a scenario");
  run_cmd->add_option("SCENARIO", o.scenario, "Scenario file")->required();
  run_cmd->add_option("--dt", o.dt, "Frame length in seconds");
  run_cmd->add_option("--duration", o.duration, "Simulated seconds to run");
  run_cmd->add_option("--until", o.until, "Stop early: 'landed'");
  run_cmd->add_option("--events", o.events_file, "Scripted crew input");
  run_cmd->add_option("--save", o.save_file, "Write the scenario at the end");
  run_cmd->add_option("--dump", o.dump_file, "Write the JSON state dump at the end");
  run_cmd->add_option("--trace", o.trace_file, "CSV time series of the focus vessel");
  run_cmd->add_option("--trace-every", o.trace_every, "Trace interval in seconds");
  run_cmd->add_option("--hud", o.hud, "HUD size WxH for hud events");
  run_cmd->add_option("--log", o.log_file, "Write the host log");
  run_cmd->add_option("--seed", o.seed, "Seed of the random generator");
  run_cmd->add_option("--modules", o.modules_dir, "Folder of the modules and class configurations");
  run_cmd->add_flag("--quiet", o.quiet, "No progress output");

  std::vector<std::string> rev(args.rbegin(), args.rend());
  if (!rev.empty()) rev.pop_back();  // program name
  try {
    app.parse(rev);
  } catch (const CLI::CallForHelp& e) {
    out << app.help() << (run_cmd->parsed() ? run_cmd->help() : std::string());
    return 0;
  } catch (const CLI::ParseError& e) {
    err << "orbhost: " << e.what() << "\n"
        << "usage: orbhost run SCENARIO [options] (orbhost --help)\n";
    return 2;
  }
  try {
    return run(o, out, err);
  } catch (const InputError& e) {
    err << "orbhost: " << e.what() << "\n";
    return 2;
  } catch (const std::exception& e) {
    err << "orbhost: internal failure: " << e.what() << "\n";
    return 1;
  }
}

}  // namespace sim
