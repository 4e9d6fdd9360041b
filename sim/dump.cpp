// The JSON dump of the host-side state of every vessel.
#include <algorithm>
#include <cmath>

#include "sim/dynamics.h"
#include "sim/frames.h"
#include "sim/propulsion.h"
#include "sim/scenario.h"
#include "sim/simulation.h"

namespace sim {

namespace {

using nlohmann::json;

// Numbers that are not finite cannot stand in JSON; they show as null.
json num(double x) { return std::isfinite(x) ? json(x) : json(nullptr); }
json vec(const VECTOR3& v) { return json::array({num(v.x), num(v.y), num(v.z)}); }

template <typename T>
json index_of(const std::vector<std::unique_ptr<T>>& list, const T* p) {
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i].get() == p) return json(i);
  return json(nullptr);
}

const char* group_name(THGROUP_TYPE t) {
  switch (t) {
    case THGROUP_MAIN:
      return "MAIN";
    case THGROUP_RETRO:
      return "RETRO";
    case THGROUP_HOVER:
      return "HOVER";
    case THGROUP_ATT_PITCHUP:
      return "ATT_PITCHUP";
    case THGROUP_ATT_PITCHDOWN:
      return "ATT_PITCHDOWN";
    case THGROUP_ATT_YAWLEFT:
      return "ATT_YAWLEFT";
    case THGROUP_ATT_YAWRIGHT:
      return "ATT_YAWRIGHT";
    case THGROUP_ATT_BANKLEFT:
      return "ATT_BANKLEFT";
    case THGROUP_ATT_BANKRIGHT:
      return "ATT_BANKRIGHT";
    case THGROUP_ATT_RIGHT:
      return "ATT_RIGHT";
    case THGROUP_ATT_LEFT:
      return "ATT_LEFT";
    case THGROUP_ATT_UP:
      return "ATT_UP";
    case THGROUP_ATT_DOWN:
      return "ATT_DOWN";
    case THGROUP_ATT_FORWARD:
      return "ATT_FORWARD";
    case THGROUP_ATT_BACK:
      return "ATT_BACK";
    default:
      return "USER";
  }
}

json stream_spec(const PARTICLESTREAMSPEC& s, const Simulation& sim) {
  (void)sim;
  return json{{"flags", s.flags},
              {"srcsize", num(s.srcsize)},
              {"srcrate", num(s.srcrate)},
              {"v0", num(s.v0)},
              {"srcspread", num(s.srcspread)},
              {"lifetime", num(s.lifetime)},
              {"growthrate", num(s.growthrate)},
              {"atmslowdown", num(s.atmslowdown)},
              {"ltype", static_cast<int>(s.ltype)},
              {"levelmap", static_cast<int>(s.levelmap)},
              {"lmin", num(s.lmin)},
              {"lmax", num(s.lmax)},
              {"atmsmap", static_cast<int>(s.atmsmap)},
              {"amin", num(s.amin)},
              {"amax", num(s.amax)},
              {"texture", s.tex != nullptr ? json(s.tex->name) : json(nullptr)}};
}

json colour(const COLOUR4& c) { return json::array({c.r, c.g, c.b, c.a}); }

const char* status_name(const HostVessel& v) {
  if (v.parent() != nullptr) return "attached";
  switch (v.status) {
    case FlightStatus::Landed:
      return "landed";
    case FlightStatus::Orbiting:
      return "orbiting";
    default:
      return "flying";
  }
}

}  // namespace

nlohmann::json Simulation::dump_vessel(const HostVessel& v) const {
  const Simulation& sim = *this;
  json j;
  j["name"] = v.name;
  j["class"] = v.class_name;
  j["module"] = v.module != nullptr ? json(v.module->name) : json(nullptr);
  j["mass"] = num(v.mass());
  j["empty_mass"] = num(v.empty_mass);
  j["size"] = num(v.size);
  j["pmi"] = vec(v.pmi);
  j["cross_sections"] = vec(v.cross_sections);
  j["cw"] = json::array({num(v.cw[0]), num(v.cw[1]), num(v.cw[2]), num(v.cw[3])});
  j["rot_drag"] = vec(v.rot_drag);
  j["status"] = status_name(v);
  j["ground_contact"] = v.ground_contact;

  double lng = 0, lat = 0, rad = 0, h = 0, p = 0, b = 0;
  VECTOR3 gs{0, 0, 0}, as{0, 0, 0};
  if (v.ref != nullptr) {
    global_to_equ(*v.ref, sim.time(), v.pos, lng, lat, rad);
    hpb_from_attitude(vessel_to_horizon(v), h, p, b);
    const MATRIX3 hb = horizon_basis(*v.ref, v.pos);
    gs = tmul(hb, groundspeed_global(v));
    as = tmul(hb, airspeed_global(v, wind_at(const_cast<Simulation&>(sim).wind(), altitude_meanrad(v))));
  }
  j["lon"] = num(lng * DEG);
  j["lat"] = num(lat * DEG);
  j["alt_meanrad"] = num(v.ref != nullptr ? altitude_meanrad(v) : 0.0);
  j["alt_ground"] = num(v.ref != nullptr ? altitude_ground(v) : 0.0);
  j["heading"] = num(h * DEG);
  j["pitch"] = num(p * DEG);
  j["bank"] = num(b * DEG);
  j["groundspeed_horizon"] = vec(gs);
  j["airspeed_horizon"] = vec(as);
  j["angular_velocity_rad"] = vec(v.omega);
  j["atmosphere"] = {{"density", num(v.atm.density)},
                     {"pressure", num(v.atm.pressure)},
                     {"temperature", num(v.atm.temperature)},
                     {"speed_of_sound", num(v.atm.speed_of_sound)}};

  json props = json::array();
  for (const auto& pr : v.propellants)
    props.push_back(
        {{"max", num(pr->max_mass)}, {"mass", num(pr->mass)}, {"efficiency", num(pr->efficiency)}});
  j["propellant"] = props;
  j["default_propellant"] = index_of(v.propellants, static_cast<const HostPropellant*>(v.default_propellant));

  json ths = json::array();
  for (const auto& t : v.thrusters)
    ths.push_back({{"pos", vec(t->pos)},
                   {"dir", vec(t->dir)},
                   {"max0", num(t->max0)},
                   {"max", num(thruster_max_at(*t, v.atm.pressure))},
                   {"isp_vac", num(thruster_isp_vac(*t))},
                   {"isp_ref", num(t->isp_ref)},
                   {"p_ref", num(t->p_ref)},
                   {"isp", num(thruster_isp_at(*t, v.atm.pressure))},
                   {"propellant", index_of(v.propellants, static_cast<const HostPropellant*>(t->res))},
                   {"level", num(t->level)}});
  j["thrusters"] = ths;

  json groups = json::object();
  for (const auto& g : v.groups) {
    json members = json::array();
    for (const HostThruster* t : g->thrusters) members.push_back(index_of(v.thrusters, t));
    // A later group of the same type answers for the type, as the host's look-up by type does.
    groups[group_name(g->type)] = members;
  }
  j["groups"] = groups;

  json afs = json::array();
  for (const auto& a : v.airfoils)
    afs.push_back({{"orientation", a->orientation == LIFT_VERTICAL ? "vertical" : "horizontal"},
                   {"ref", vec(a->ref)},
                   {"chord", num(a->chord)},
                   {"area", num(a->area)},
                   {"aspect", num(a->aspect)}});
  j["airfoils"] = afs;

  json anims = json::array();
  for (const auto& a : v.animations) {
    json comps = json::array();
    for (const HostAnimComponent* c : a.components) {
      json cj;
      cj["state0"] = num(c->state0);
      cj["state1"] = num(c->state1);
      const MGROUP_TRANSFORM* tr = c->trans;
      const bool rotate = tr != nullptr && tr->Type() == MGROUP_TRANSFORM::ROTATE;
      cj["kind"] = rotate ? "rotate" : "translate";
      cj["mesh"] = tr != nullptr ? tr->mesh : 0;
      json grps = json::array();
      for (UINT i = 0; tr != nullptr && tr->grp != nullptr && i < tr->ngrp; ++i) grps.push_back(tr->grp[i]);
      cj["groups"] = grps;
      if (rotate) {
        const auto* r = static_cast<const MGROUP_ROTATE*>(tr);
        cj["ref"] = vec(r->ref);
        cj["axis"] = vec(r->axis);
        cj["angle_rad"] = num(r->angle);
        cj["shift"] = nullptr;
      } else if (tr != nullptr && tr->Type() == MGROUP_TRANSFORM::TRANSLATE) {
        const auto* t = static_cast<const MGROUP_TRANSLATE*>(tr);
        cj["ref"] = nullptr;
        cj["axis"] = nullptr;
        cj["angle_rad"] = nullptr;
        cj["shift"] = vec(t->shift);
      }
      cj["parent"] = c->parent != nullptr
                         ? index_of(v.anim_components, static_cast<const HostAnimComponent*>(c->parent))
                         : json(nullptr);
      comps.push_back(cj);
    }
    anims.push_back({{"state", num(a.state)}, {"components", comps}});
  }
  j["animations"] = anims;

  json tds = json::array();
  for (const auto& t : v.touchdown)
    tds.push_back({{"pos", vec(t.pos)},
                   {"stiffness", num(t.stiffness)},
                   {"damping", num(t.damping)},
                   {"mu", num(t.mu)},
                   {"mu_lng", num(t.mu_lng)}});
  j["touchdown_points"] = tds;

  json meshes = json::array();
  for (const auto& m : v.meshes) meshes.push_back({{"name", m.name}, {"visibility", m.visibility}});
  j["meshes"] = meshes;
  j["camera"] = {
      {"offset", vec(v.camera_offset)}, {"direction", vec(v.camera_dir)}, {"tilt", num(v.camera_tilt)}};
  json docks = json::array();
  for (const auto& d : v.dock_ports)
    docks.push_back({{"pos", vec(d->pos)}, {"dir", vec(d->dir)}, {"rot", vec(d->rot)}});
  j["dock_ports"] = docks;

  json exh = json::array();
  for (const auto& e : v.exhausts)
    exh.push_back({{"id", e.id},
                   {"thruster", index_of(v.thrusters, static_cast<const HostThruster*>(e.thruster))},
                   {"length", num(e.length)},
                   {"width", num(e.width)},
                   {"offset", e.has_offset ? num(e.offset) : json(nullptr)},
                   {"texture", e.tex != nullptr ? json(e.tex->name) : json(nullptr)}});
  j["exhausts"] = exh;
  json es = json::array();
  for (const auto& s : v.exhaust_streams)
    es.push_back({{"thruster", index_of(v.thrusters, static_cast<const HostThruster*>(s->thruster))},
                  {"spec", stream_spec(s->spec, sim)}});
  j["exhaust_streams"] = es;
  json ps = json::array();
  for (const auto& s : v.particle_streams)
    ps.push_back({{"pos", vec(s->pos)},
                  {"dir", vec(s->dir)},
                  {"level", num(s->level())},
                  {"spec", stream_spec(s->spec, sim)}});
  j["particle_streams"] = ps;

  json spots = json::array();
  for (const auto& l : v.lights) {
    const auto* s = dynamic_cast<const SpotLight*>(l.get());
    if (s == nullptr) continue;
    spots.push_back({{"pos", vec(s->GetPosition())},
                     {"dir", vec(s->GetDirection())},
                     {"range", num(s->GetRange())},
                     {"att", json::array({num(s->GetAttenuation()[0]), num(s->GetAttenuation()[1]),
                                          num(s->GetAttenuation()[2])})},
                     {"umbra_rad", num(s->GetUmbra())},
                     {"penumbra_rad", num(s->GetPenumbra())},
                     {"diffuse", colour(s->GetDiffuseColour())},
                     {"specular", colour(s->GetSpecularColour())},
                     {"ambient", colour(s->GetAmbientColour())},
                     {"active", s->IsActive()}});
  }
  j["spotlights"] = spots;
  json beacons = json::array();
  for (const BEACONLIGHTSPEC* bs : v.beacons)
    beacons.push_back({{"shape", bs->shape},
                       {"pos", bs->pos != nullptr ? vec(*bs->pos) : json(nullptr)},
                       {"col", bs->col != nullptr ? vec(*bs->col) : json(nullptr)},
                       {"size", num(bs->size)},
                       {"falloff", num(bs->falloff)},
                       {"period", num(bs->period)},
                       {"duration", num(bs->duration)},
                       {"tofs", num(bs->tofs)},
                       {"active", bs->active}});
  j["beacons"] = beacons;

  json att = json::array();
  for (const auto& a : v.attachments)
    att.push_back({{"toparent", a->toparent},
                   {"pos", vec(a->pos)},
                   {"dir", vec(a->dir)},
                   {"rot", vec(a->rot)},
                   {"id", a->id},
                   {"loose", a->loose},
                   {"attached", a->peer != nullptr ? json(a->peer->owner->name) : json(nullptr)}});
  j["attachments"] = att;

  json nav = json::array();
  for (int m = 1; m <= 7; ++m)
    if (v.navmode[m]) nav.push_back(navmode_name(m));
  j["navmodes"] = nav;
  j["afcmode"] = v.adctrl_mode;
  j["rcsmode"] = v.attitude_mode;
  if (v.touchdown_record) {
    const Touchdown& t = *v.touchdown_record;
    j["touchdown"] = {{"t", num(t.t)},      {"vspeed", num(t.vspeed)}, {"hspeed", num(t.hspeed)},
                      {"lon", num(t.lon)},  {"lat", num(t.lat)},       {"pitch", num(t.pitch)},
                      {"bank", num(t.bank)}};
  } else {
    j["touchdown"] = nullptr;
  }
  return j;
}

nlohmann::json Simulation::dump() const {
  json j;
  j["time"] = num(simt_);
  j["mjd"] = num(mjd());
  j["focus"] = focus_ != nullptr ? json(focus_->name) : json(nullptr);
  j["nonfinite_calls"] = nonfinite_calls_;
  json vs = json::array();
  for (const auto& v : vessels_) vs.push_back(dump_vessel(*v));
  j["vessels"] = vs;
  j["log"] = log_;
  return j;
}

}  // namespace sim
