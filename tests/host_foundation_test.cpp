// The host's foundation: module entry protocol, callback order, scenario files, scripted input,
// bad input and the command line.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "sim/events.h"
#include "sim/host_stats.h"
#include "sim/runner.h"
#include "sim/scenario.h"
#include "tests/support/sim_fixture.h"

namespace {

namespace fs = std::filesystem;
using test_support::load;
using test_support::scenario;

std::vector<std::string> probe_lines(sim::Simulation& s) {
  std::vector<std::string> out;
  for (const auto& l : s.log())
    if (l.rfind("probe ", 0) == 0) out.push_back(l);
  return out;
}

fs::path temp_dir() {
  fs::path d = fs::temp_directory_path() / ("orbhost_test_" + std::to_string(::getpid()));
  fs::create_directories(d);
  return d;
}

void write(const fs::path& p, const std::string& text) { std::ofstream(p) << text; }

// --- Entry protocol ---

class ModuleExports : public ::testing::TestWithParam<const char*> {};

TEST_P(ModuleExports, ExportsAnswerTheProtocol) {
  const fs::path lib = sim::default_modules_dir() / (std::string(GetParam()) + ".so");
  void* h = dlopen(lib.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(h, nullptr) << dlerror();
  auto init = dlsym(h, "ovcInit");
  auto exit_fn = reinterpret_cast<void (*)(VESSEL*)>(dlsym(h, "ovcExit"));
  auto date = reinterpret_cast<const char* (*)()>(dlsym(h, "ModuleDate"));
  auto version = reinterpret_cast<int (*)()>(dlsym(h, "GetModuleVersion"));
  ASSERT_NE(init, nullptr);
  ASSERT_NE(exit_fn, nullptr);
  ASSERT_NE(date, nullptr);
  ASSERT_NE(version, nullptr);
  // None of the modules exports an exit function of its own.
  EXPECT_EQ(dlsym(h, "ExitModule"), nullptr);
  EXPECT_EQ(dlsym(h, "opcDLLExit"), nullptr);

  exit_fn(nullptr);  // a null vessel is ignored

  // The interface stamp is Date2Int("Aug 28 2016"), asked once and kept.
  const int before = sim::date2int_calls();
  EXPECT_EQ(version(), 20160828);
  EXPECT_EQ(version(), 20160828);
  EXPECT_LE(sim::date2int_calls() - before, 1);

  // A compiler date string: month, day, year separated by blanks.
  EXPECT_TRUE(std::regex_match(date(), std::regex(R"([A-Z][a-z]{2} +\d{1,2} \d{4})"))) << date();
  if (std::string(GetParam()) != "tarvon_kx7") {
    EXPECT_STREQ(date(), "Apr 29 2021");
  }
  dlclose(h);
}

INSTANTIATE_TEST_SUITE_P(AllModules, ModuleExports, ::testing::Values("tarvon_kx7", "velk_pad", "dorrick"));

TEST(ModuleGlue, Date2IntReadsCompilerDates) {
  EXPECT_EQ(Date2Int("Aug 28 2016"), 20160828);
  EXPECT_EQ(Date2Int("Apr 29 2021"), 20210429);
  EXPECT_EQ(Date2Int("Dec  1 2026"), 20261201);
  EXPECT_EQ(Date2Int("Foo 1 2020"), 0);
  EXPECT_EQ(Date2Int(nullptr), 0);
}

// --- Callback order ---

TEST(CallbackOrder, HostCallsModulesInItsOrder) {
  auto s =
      load(scenario("A:probe_vessel\n  STATUS Flying Earth\n  POS 0 0\n  ALT 1000\nEND\n"
                    "B:probe_vessel\n  STATUS Flying Earth\n  POS 1 0\n  ALT 1000\nEND\n"));
  s->step(0.02);
  s->step(0.02);
  // Both vessels are loaded before either's post-creation; then every frame pre-steps all, then
  // post-steps all.
  const std::vector<std::string> expected = {
      "probe A: clbkSetClassCaps", "probe A: clbkLoadStateEx",  "probe B: clbkSetClassCaps",
      "probe B: clbkLoadStateEx",  "probe A: clbkPostCreation", "probe B: clbkPostCreation",
      "probe A: clbkPreStep",      "probe B: clbkPreStep",      "probe A: clbkPostStep",
      "probe B: clbkPostStep",     "probe A: clbkPreStep",      "probe B: clbkPreStep",
      "probe A: clbkPostStep",     "probe B: clbkPostStep"};
  EXPECT_EQ(probe_lines(*s), expected);
}

TEST(CallbackOrder, NavModeChangesAndKeysReachTheFocusVessel) {
  auto s = load(scenario("A:probe_vessel\n  STATUS Flying Earth\n  POS 0 0\n  ALT 1000\nEND\n"));
  s->set_navmode(*s->vessel("A"), NAVMODE_PROGRADE, true);
  s->set_navmode(*s->vessel("A"), NAVMODE_PROGRADE, true);  // no change, no call
  s->set_navmode(*s->vessel("A"), NAVMODE_PROGRADE, false);
  s->press_key(OAPI_KEY_G);
  const auto lines = probe_lines(*s);
  const std::vector<std::string> tail(lines.end() - 3, lines.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"probe A: clbkNavMode 3 on", "probe A: clbkNavMode 3 off",
                                            "probe A: clbkConsumeBufferedKey 34"}));
}

// --- Scenario files ---

const char* kRoundTrip =
    "BEGIN_DESC\nround trip\nEND_DESC\n"
    "BEGIN_ENVIRONMENT\n  System Sol\n  Date MJD 60000.25\n  WIND 0 2.0 -1.0\n  WIND 10000 15.0 "
    "0.0\nEND_ENVIRONMENT\n"
    "BEGIN_FOCUS\n  Ship Flyer\nEND_FOCUS\n"
    "BEGIN_SHIPS\n"
    "Ground Probe:probe_vessel\n  STATUS Landed Earth\n  POS -80.675 28.52\n  HEADING 30.0\n  PROBE hello "
    "world\nEND\n"
    "Flyer:probe_vessel\n  STATUS Flying Earth\n  POS -80.7 28.54\n  ALT 12000.0\n  ATT 45.0 10.0 -5.0\n"
    "  GSPEED 10.0 -90.0 40.0\n  VROT 1.0 2.0 3.0\n  PRPLEVEL 0:0.5\n  THLEVEL 0:0.25\n  NAVMODE PROGRADE "
    "HOLDALT\n"
    "  AFCMODE 3\n  RCSMODE 2\nEND\n"
    "Rider:probe_vessel\n  STATUS Flying Earth\n  POS -80.7 28.54\n  ALT 11000.0\n  ATTACHED 0:0,Flyer\nEND\n"
    "Sat:probe_vessel\n  STATUS Orbiting Earth\n  RPOS 6771000 0 0\n  RVEL 0 0 7668.6\n  AROT 10 20 30\nEND\n"
    "END_SHIPS\n";

TEST(ScenarioFiles, StandardLinesRoundTrip) {
  auto s = load(kRoundTrip);
  const std::string saved = s->save_scenario_text();
  auto again = load(saved);

  const nlohmann::json a = s->dump(), b = again->dump();
  ASSERT_EQ(a["vessels"].size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    const auto& va = a["vessels"][i];
    const auto& vb = b["vessels"][i];
    EXPECT_EQ(va["name"], vb["name"]);
    EXPECT_EQ(va["status"], vb["status"]);
    for (const char* k : {"lon", "lat", "heading", "pitch", "bank"})
      EXPECT_NEAR(va[k].get<double>(), vb[k].get<double>(), 1e-6) << va["name"] << " " << k;
    EXPECT_NEAR(va["alt_meanrad"].get<double>(), vb["alt_meanrad"].get<double>(), 1e-4) << va["name"];
    for (int c = 0; c < 3; ++c)
      EXPECT_NEAR(va["groundspeed_horizon"][c].get<double>(), vb["groundspeed_horizon"][c].get<double>(),
                  1e-5);
    EXPECT_EQ(va["navmodes"], vb["navmodes"]);
    EXPECT_EQ(va["afcmode"], vb["afcmode"]);
    EXPECT_EQ(va["rcsmode"], vb["rcsmode"]);
  }
  // What the lines said is what the dump shows.
  const auto& flyer = a["vessels"][1];
  // Global positions carry about 3e-5 m of rounding at Earth's distance from the origin.
  EXPECT_NEAR(flyer["alt_meanrad"].get<double>(), 12000.0, 1e-4);
  EXPECT_NEAR(flyer["heading"].get<double>(), 45.0, 1e-9);
  EXPECT_NEAR(flyer["pitch"].get<double>(), 10.0, 1e-9);
  EXPECT_NEAR(flyer["bank"].get<double>(), -5.0, 1e-9);
  EXPECT_NEAR(flyer["groundspeed_horizon"][1].get<double>(), -90.0, 1e-9);
  EXPECT_NEAR(flyer["propellant"][0]["mass"].get<double>(), 50.0, 1e-9);
  EXPECT_NEAR(flyer["thrusters"][0]["level"].get<double>(), 0.25, 1e-12);
  EXPECT_EQ(flyer["navmodes"], nlohmann::json::array({"PROGRADE", "HOLDALT"}));
  EXPECT_EQ(a["vessels"][2]["status"], "attached");
  EXPECT_EQ(a["vessels"][2]["attachments"][0]["attached"], "Flyer");
  EXPECT_EQ(a["vessels"][0]["status"], "landed");
  // Standing on its three points (1 m below its origin, +y up), turned 30 degrees from north.
  EXPECT_NEAR(a["vessels"][0]["heading"].get<double>(), 30.0, 1e-9);
  EXPECT_NEAR(a["vessels"][0]["pitch"].get<double>(), 0.0, 1e-9);
  EXPECT_NEAR(a["vessels"][0]["alt_meanrad"].get<double>(), 1.0, 1e-3);
  // The module's own line went to it and came back.
  EXPECT_NE(saved.find("  PROBE hello world\n"), std::string::npos);
  EXPECT_NE(saved.find("Ground Probe:probe_vessel\n"), std::string::npos);
  EXPECT_NE(saved.find("  WIND 10000 15 0\n"), std::string::npos);
}

TEST(ScenarioFiles, UnknownLinesAreLoggedAndSkipped) {
  auto s =
      load(scenario("A:probe_vessel\n  STATUS Flying Earth\n  POS 0 0\n  ALT 1000\n  FROBNICATE 3\nEND\n"));
  bool seen = false;
  for (const auto& l : s->log()) seen |= l.find("FROBNICATE 3") != std::string::npos;
  EXPECT_TRUE(seen);
}

struct BadScenario {
  const char* name;
  std::string text;
  int line;  // expected line in the message; 0: no line
  const char* words;
};

class BadScenarios : public ::testing::TestWithParam<BadScenario> {};

TEST_P(BadScenarios, AreRejectedNamingFileAndLine) {
  const BadScenario& c = GetParam();
  sim::Simulation s(test_support::build_options());
  try {
    s.load_scenario_text(c.text, "bad.scn");
    FAIL() << "accepted";
  } catch (const sim::InputError& e) {
    EXPECT_EQ(e.file, "bad.scn");
    EXPECT_EQ(e.line, c.line) << e.what();
    EXPECT_NE(std::string(e.what()).find(c.words), std::string::npos) << e.what();
  }
  EXPECT_TRUE(s.vessels().empty());  // nothing half-created
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadScenarios,
    ::testing::Values(
        BadScenario{"unclosed_block", "BEGIN_SHIPS\nA:probe_vessel\n  STATUS Flying Earth\nEND_SHIPS\n", 2,
                    "not closed"},
        BadScenario{"unclosed_at_end", "BEGIN_SHIPS\nA:probe_vessel\n  STATUS Flying Earth\n", 2,
                    "not closed"},
        BadScenario{"unclosed_section", "BEGIN_ENVIRONMENT\n  Date MJD 60000\n", 1, "not closed"},
        BadScenario{"bad_date",
                    "BEGIN_ENVIRONMENT\n  Date MJD soon\nEND_ENVIRONMENT\nBEGIN_SHIPS\nEND_SHIPS\n", 2,
                    "number"},
        BadScenario{"no_config", "BEGIN_SHIPS\nA:no_such_class\n  STATUS Flying Earth\nEND\nEND_SHIPS\n", 2,
                    "no_such_class.cfg"},
        BadScenario{"bad_alt",
                    "BEGIN_SHIPS\nA:probe_vessel\n  STATUS Flying Earth\n  ALT high\nEND\nEND_SHIPS\n", 4,
                    "ALT"},
        BadScenario{"bad_body", "BEGIN_SHIPS\nA:probe_vessel\n  STATUS Flying Mars\nEND\nEND_SHIPS\n", 2,
                    "Mars"},
        BadScenario{"no_status", "BEGIN_SHIPS\nA:probe_vessel\n  POS 0 0\nEND\nEND_SHIPS\n", 2, "STATUS"},
        BadScenario{
            "bad_parent",
            "BEGIN_SHIPS\nA:probe_vessel\n  STATUS Flying Earth\n  ATTACHED 0:0,Nobody\nEND\nEND_SHIPS\n", 4,
            "Nobody"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Scripted input ---

TEST(Events, ParseEveryVerb) {
  const auto ev = sim::parse_events(
      "# comment\n"
      "5 key K\n"
      "1 hold NUMPAD_PLUS 2.5 +ctrl\n"
      "2 type Boca Chica # not a comment here\n"
      "3 focus Mount\n"
      "4 navmode KILLROT on\n"
      "4 joystick 0.5 -1 0\n"
      "4 timeaccel 10\n"
      "4 afcmode 0\n"
      "6 hud\n"
      "7 save out.scn\n"
      "7 dump out.json\n"
      "8 key 0x9C +shift +alt\n",
      "ev.txt");
  ASSERT_EQ(ev.size(), 12u);
  using K = sim::Event::Kind;
  EXPECT_EQ(ev[0].kind, K::Hold);  // sorted by time, file order kept for equal times
  EXPECT_EQ(ev[0].key, OAPI_KEY_ADD);
  EXPECT_TRUE(ev[0].ctrl);
  EXPECT_DOUBLE_EQ(ev[0].seconds, 2.5);
  EXPECT_EQ(ev[1].kind, K::Type);
  EXPECT_EQ(ev[1].text, "Boca Chica # not a comment here");
  EXPECT_EQ(ev[2].text, "Mount");
  EXPECT_EQ(ev[3].mode, NAVMODE_KILLROT);
  EXPECT_TRUE(ev[3].on);
  EXPECT_EQ(ev[4].kind, K::Joystick);
  EXPECT_DOUBLE_EQ(ev[4].values[1], -1.0);
  EXPECT_EQ(ev[5].kind, K::TimeAccel);
  EXPECT_EQ(ev[6].kind, K::AfcMode);
  EXPECT_EQ(ev[7].kind, K::Key);
  EXPECT_EQ(ev[7].key, OAPI_KEY_K);
  EXPECT_EQ(ev[8].kind, K::Hud);
  EXPECT_EQ(ev[9].text, "out.scn");
  EXPECT_EQ(ev[10].kind, K::Dump);
  EXPECT_EQ(ev[11].key, 0x9Cu);
  EXPECT_TRUE(ev[11].shift && ev[11].alt);
}

TEST(Events, KeyNames) {
  EXPECT_EQ(sim::key_code("a"), static_cast<int>(OAPI_KEY_A));
  EXPECT_EQ(sim::key_code("0"), static_cast<int>(OAPI_KEY_0));
  EXPECT_EQ(sim::key_code("1"), static_cast<int>(OAPI_KEY_1));
  EXPECT_EQ(sim::key_code("NUMPAD5"), static_cast<int>(OAPI_KEY_NUMPAD5));
  EXPECT_EQ(sim::key_code("NUMPAD_ENTER"), static_cast<int>(OAPI_KEY_NUMPADENTER));
  EXPECT_EQ(sim::key_code("DELETE"), static_cast<int>(OAPI_KEY_DELETE));
  EXPECT_EQ(sim::key_code("F13"), -1);
  EXPECT_EQ(sim::key_code("0xZZ"), -1);
}

TEST(Events, BadLinesNameFileAndLine) {
  const std::pair<const char*, int> cases[] = {
      {"1 key\n", 1},        {"# c\nsoon key K\n", 2},  {"1 key F13\n", 1},
      {"1 hold K\n", 1},     {"1 navmode FOO on\n", 1}, {"1 joystick 1 2\n", 1},
      {"1 launch\n", 1},     {"1 key K +meta\n", 1},    {"-1 key K\n", 1},
      {"1 timeaccel 0\n", 1}};
  for (const auto& [text, line] : cases) {
    try {
      sim::parse_events(text, "ev.txt");
      ADD_FAILURE() << "accepted: " << text;
    } catch (const sim::InputError& e) {
      EXPECT_EQ(e.file, "ev.txt");
      EXPECT_EQ(e.line, line) << text;
    }
  }
}

// --- Command line ---

int run(const std::vector<std::string>& args, std::string* out_text = nullptr,
        std::string* err_text = nullptr) {
  std::ostringstream out, err;
  std::vector<std::string> full{"orbhost"};
  full.insert(full.end(), args.begin(), args.end());
  const int rc = sim::orbhost_main(full, out, err);
  if (out_text) *out_text = out.str();
  if (err_text) *err_text = err.str();
  return rc;
}

TEST(CommandLine, RunsSavesAndDumps) {
  const fs::path d = temp_dir();
  write(d / "a.scn", scenario("A:probe_vessel\n  STATUS Flying Earth\n  POS 0 0\n  ALT 100000\nEND\n"
                              "B:probe_vessel\n  STATUS Landed Earth\n  POS 0.1 0\n  HEADING 0\nEND\n"));
  write(d / "ev.txt", "0.5 dump " + (d / "mid.json").string() + "\n1 hud\n");
  std::string out;
  ASSERT_EQ(run({"run", (d / "a.scn").string(), "--duration", "1", "--quiet", "--events",
                 (d / "ev.txt").string(), "--save", (d / "s.scn").string(), "--dump", (d / "d.json").string(),
                 "--trace", (d / "t.csv").string(), "--trace-every", "0.25"},
                &out),
            0);
  EXPECT_NE(out.find("hud t=1.00 vessel=A size=1024x768"), std::string::npos) << out;
  EXPECT_NE(out.find("summary: "), std::string::npos);

  std::ifstream dj(d / "d.json");
  const auto j = nlohmann::json::parse(dj);
  for (const char* k : {"time", "mjd", "focus", "nonfinite_calls", "vessels", "log"})
    EXPECT_TRUE(j.contains(k)) << k;
  EXPECT_NEAR(j["time"].get<double>(), 1.0, 1e-9);
  for (const char* k : {"name",
                        "class",
                        "module",
                        "mass",
                        "empty_mass",
                        "size",
                        "pmi",
                        "cross_sections",
                        "cw",
                        "rot_drag",
                        "status",
                        "ground_contact",
                        "lon",
                        "lat",
                        "alt_meanrad",
                        "alt_ground",
                        "heading",
                        "pitch",
                        "bank",
                        "groundspeed_horizon",
                        "airspeed_horizon",
                        "angular_velocity_rad",
                        "atmosphere",
                        "propellant",
                        "default_propellant",
                        "thrusters",
                        "groups",
                        "airfoils",
                        "animations",
                        "touchdown_points",
                        "meshes",
                        "camera",
                        "dock_ports",
                        "exhausts",
                        "exhaust_streams",
                        "particle_streams",
                        "spotlights",
                        "beacons",
                        "attachments",
                        "navmodes",
                        "afcmode",
                        "rcsmode",
                        "touchdown"})
    EXPECT_TRUE(j["vessels"][0].contains(k)) << k;
  EXPECT_TRUE(fs::exists(d / "mid.json"));

  std::ifstream tr(d / "t.csv");
  std::string header;
  std::getline(tr, header);
  EXPECT_EQ(header.rfind("t,alt_ground,", 0), 0u);
  int rows = 0;
  for (std::string l; std::getline(tr, l);) ++rows;
  EXPECT_EQ(rows, 5);  // t = 0, 0.25, 0.5, 0.75, 1

  // The saved scenario loads again.
  EXPECT_EQ(run({"run", (d / "s.scn").string(), "--duration", "0", "--quiet"}), 0);
}

TEST(CommandLine, BadInputExitsWithTwo) {
  const fs::path d = temp_dir();
  write(d / "unclosed.scn", "BEGIN_SHIPS\nA:probe_vessel\n  STATUS Flying Earth\nEND_SHIPS\n");
  write(d / "noclass.scn", "BEGIN_SHIPS\nA:nothing_here\n  STATUS Flying Earth\nEND\nEND_SHIPS\n");
  write(d / "ok.scn", scenario("A:probe_vessel\n  STATUS Flying Earth\n  POS 0 0\n  ALT 1000\nEND\n"));
  write(d / "bad_events.txt", "1 key\n");
  std::string err;
  EXPECT_EQ(run({"run", (d / "unclosed.scn").string()}, nullptr, &err), 2);
  EXPECT_NE(err.find("unclosed.scn:2"), std::string::npos) << err;
  EXPECT_EQ(run({"run", (d / "noclass.scn").string()}, nullptr, &err), 2);
  EXPECT_NE(err.find("noclass.scn"), std::string::npos) << err;
  EXPECT_NE(err.find("nothing_here.cfg"), std::string::npos) << err;
  EXPECT_EQ(run({"run", (d / "missing.scn").string()}, nullptr, &err), 2);
  EXPECT_NE(err.find("missing.scn"), std::string::npos) << err;
  EXPECT_EQ(run({"run", (d / "ok.scn").string(), "--frobnicate"}, nullptr, &err), 2);
  EXPECT_EQ(run({"run", (d / "ok.scn").string(), "--events", (d / "bad_events.txt").string()}, nullptr, &err),
            2);
  EXPECT_NE(err.find("bad_events.txt:1"), std::string::npos) << err;
  EXPECT_EQ(run({"run", (d / "ok.scn").string(), "--until", "dawn"}, nullptr, &err), 2);
  EXPECT_EQ(run({"run", (d / "ok.scn").string(), "--modules", (d / "nowhere").string()}, nullptr, &err), 2);
  EXPECT_NE(err.find("probe_vessel.cfg"), std::string::npos) << err;
  EXPECT_EQ(run({}, nullptr, &err), 2);

  // A class configuration naming a module that is not there.
  fs::create_directories(d / "mods");
  write(d / "mods" / "ghost.cfg", "Module = ghost\n");
  write(d / "ghost.scn", "BEGIN_SHIPS\nA:ghost\n  STATUS Flying Earth\nEND\nEND_SHIPS\n");
  EXPECT_EQ(run({"run", (d / "ghost.scn").string(), "--modules", (d / "mods").string()}, nullptr, &err), 2);
  EXPECT_NE(err.find("ghost.so"), std::string::npos) << err;
}

}  // namespace
