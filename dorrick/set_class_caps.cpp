#include "dorrick/dorrick.h"
#include "dorrick/pad_constants.h"

namespace {

// Module-wide, shared by every pad: the beacons' colour and positions (0.7 m above the pad plane
// on a circle of about 70.7 m, 90 degrees apart) and the touchdown points.
VECTOR3 beacon_colour{1.0, 0.0, 0.0};
VECTOR3 beacon_pos[4] = {
    {59.3, 0.7, 38.51},
    {-59.3, 0.7, -38.51},
    {-38.51, 0.7, 59.3},
    {38.51, 0.7, -59.3},
};
const TOUCHDOWNVTX kTouchdown[3] = {
    {{0.0, -0.5, 100.0},
     pad_k::touchdown_stiffness_N_m,
     pad_k::touchdown_damping_N_s_m,
     pad_k::touchdown_mu,
     pad_k::touchdown_mu},
    {{-86.6, -0.5, -50.0},
     pad_k::touchdown_stiffness_N_m,
     pad_k::touchdown_damping_N_s_m,
     pad_k::touchdown_mu,
     pad_k::touchdown_mu},
    {{86.6, -0.5, -50.0},
     pad_k::touchdown_stiffness_N_m,
     pad_k::touchdown_damping_N_s_m,
     pad_k::touchdown_mu,
     pad_k::touchdown_mu},
};

}  // namespace

void dorrick::clbkSetClassCaps(FILEHANDLE) {
  mesh_hidden = 0;

  SetEmptyMass(pad_k::empty_mass_kg);
  SetCW(pad_k::cw, pad_k::cw, pad_k::cw, pad_k::cw);
  SetSize(pad_k::size_m);
  SetCrossSections(pad_k::cross_sections_m2);
  SetPMI(pad_k::pmi_m2);
  SetTouchdownPoints(kTouchdown, 3);
  SetRotDrag(pad_k::rot_drag);

  const UINT mesh = AddMesh(pad_k::mesh_name);
  SetMeshVisibilityMode(mesh, MESHVIS_ALWAYS);
  SetCameraOffset(pad_k::camera_offset_m);

  pad_light = AddSpotLight(pad_k::light_pos_m, pad_k::light_dir, pad_k::light_range_m, pad_k::light_att[0],
                           pad_k::light_att[1], pad_k::light_att[2], pad_k::light_umbra_deg * RAD,
                           pad_k::light_penumbra_deg * RAD, pad_k::light_colour, pad_k::light_colour,
                           pad_k::light_ambient);
  if (pad_light != nullptr) pad_light->Activate(false);

  for (int i = 0; i < 4; ++i) {
    beacon[i].shape = BEACONSHAPE_STAR;
    beacon[i].pos = &beacon_pos[i];
    beacon[i].col = &beacon_colour;
    beacon[i].size = pad_k::beacon_size_m;
    beacon[i].falloff = pad_k::beacon_falloff;
    beacon[i].period = pad_k::beacon_period_s;
    beacon[i].duration = pad_k::beacon_duration_s;
    beacon[i].tofs = pad_k::beacon_tofs_s;
    beacon[i].active = false;
    AddBeacon(&beacon[i]);
  }

  const PROPELLANT_HANDLE tank =
      CreatePropellantResource(pad_k::propellant_max_kg, -1.0, pad_k::propellant_efficiency);
  pad_thruster =
      CreateThruster(pad_k::thruster_pos_m, pad_k::thruster_dir, pad_k::thruster_max_N, tank,
                     pad_k::thruster_isp_m_s, pad_k::thruster_isp_ref_m_s, pad_k::thruster_p_ref_Pa);
  THRUSTER_HANDLE group[1] = {pad_thruster};
  CreateThrusterGroup(group, 1, THGROUP_MAIN);
}
