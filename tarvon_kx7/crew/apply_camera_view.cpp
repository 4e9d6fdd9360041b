#include "tarvon_kx7/tarvon_kx7.h"

namespace {

struct camera_view_setting {
  VECTOR3 offset_m;
  VECTOR3 dir;
};
// Forward, 60 degrees down, aft, canard, wing.
constexpr camera_view_setting camera_views[5] = {
    {{0.0, 0.0, 0.0}, {0.0, 0.0, 1.0}},       {{0.0, 0.0, 0.0}, {0.0, -0.866, 0.5}},
    {{0.0, 4.0, -12.0}, {0.0, -0.5, -0.866}}, {{-5.25, 2.25, 19.0}, {0.0, 0.0, 1.0}},
    {{-6.0, 0.5, 5.0}, {0.0, 0.0, -1.0}},
};

}  // namespace

// Puts the camera at the view camera_view names (any value outside 1..4 is the forward view) and
// has the host take it up, keeping its internal or external mode.
void tarvon_kx7::apply_camera_view() {
  const camera_view_setting& view = camera_views[camera_view >= 1 && camera_view <= 4 ? camera_view : 0];
  SetCameraOffset(view.offset_m);
  SetCameraDefaultDirection(view.dir, 0.0);
  oapiCameraAttach(GetHandle(), CAMERA_KEEPMODE);
}
