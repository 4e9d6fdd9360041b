#include "velk_pad/graphics_client.h"
#include "velk_pad/mount_constants.h"
#include "velk_pad/stream_descriptions.h"
#include "velk_pad/velk_pad.h"

namespace {

// Module-wide: the three touchdown points, an equilateral triangle of radius 50 m.
const TOUCHDOWNVTX kTouchdown[3] = {
    {{0.0, -3.05, 50.0},
     mount_k::touchdown_stiffness_N_m,
     mount_k::touchdown_damping_N_s_m,
     mount_k::touchdown_mu,
     mount_k::touchdown_mu},
    {{-43.3, -3.05, -25.0},
     mount_k::touchdown_stiffness_N_m,
     mount_k::touchdown_damping_N_s_m,
     mount_k::touchdown_mu,
     mount_k::touchdown_mu},
    {{43.3, -3.05, -25.0},
     mount_k::touchdown_stiffness_N_m,
     mount_k::touchdown_damping_N_s_m,
     mount_k::touchdown_mu,
     mount_k::touchdown_mu},
};

}  // namespace

void velk_pad::clbkSetClassCaps(FILEHANDLE) {
  hold_point = nullptr;
  lights_mode = 0;
  streams_off = 0;
  hold_state = 0;
  flood_light[0] = flood_light[1] = nullptr;
  stream_level = 0.0;
  release_timer = 0.0;
  local_gravity = mount_k::start_local_gravity_m_s2;
  burst_level = 0.0;
  burst_timer = 0.0;
  burst_chance_offset = 0.0;

  probe_graphics_client();

  SetEmptyMass(mount_k::empty_mass_kg);
  SetCW(mount_k::cw, mount_k::cw, mount_k::cw, mount_k::cw);
  SetSize(mount_k::size_m);
  SetCrossSections(mount_k::cross_sections_m2);
  SetPMI(mount_k::pmi_m2);
  SetTouchdownPoints(kTouchdown, 3);
  SetRotDrag(mount_k::rot_drag);

  const UINT mesh = AddMesh(mount_k::mesh_name);
  SetMeshVisibilityMode(mesh, MESHVIS_ALWAYS);
  SetCameraOffset(mount_k::camera_offset_m);

  // The host reads the levels through these pointers every frame: they are fields of this object.
  const bool client = graphics_client_present();
  for (const mount_stream_slot& slot : mount_stream_slots) {
    const PARTICLESTREAMSPEC description = mount_stream_description(slot.kind, client);
    AddParticleStream(&description, slot.pos_m, slot.dir, slot.burst ? &burst_level : &stream_level);
  }
  if (client) burst_chance_offset = mount_k::burst_threshold_client;

  for (int i = 0; i < 2; ++i) {
    flood_light[i] = AddSpotLight(mount_k::flood_pos_m[i], mount_k::flood_dir[i], mount_k::flood_range_m,
                                  mount_k::flood_att[0], mount_k::flood_att[1], mount_k::flood_att[2],
                                  mount_k::flood_umbra_deg * RAD, mount_k::flood_penumbra_deg * RAD,
                                  mount_k::flood_colour, mount_k::flood_colour, mount_k::flood_ambient);
    if (flood_light[i] != nullptr) flood_light[i]->Activate(false);
  }

  hold_point = CreateAttachment(false, mount_k::hold_point_pos_m, mount_k::hold_point_dir,
                                mount_k::hold_point_rot, mount_k::hold_point_id, false);
}
