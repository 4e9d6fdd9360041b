// The crew's switches of the mount.
#pragma once

// K: automatic (0) and off (1) swap; any other mode stays as it is.
inline int toggled_lights_mode(int lights_mode) {
  if (lights_mode == 0) return 1;
  if (lights_mode == 1) return 0;
  return lights_mode;
}

// V: enabled streams (0) are switched off (1); any non-zero value switches them on again (0).
inline int toggled_streams_off(int streams_off) { return streams_off == 0 ? 1 : 0; }
