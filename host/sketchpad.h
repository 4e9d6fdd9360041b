// Drawing surface handed to the HUD callback. The host decides how it renders.
#pragma once

#include "host/types.h"

class Sketchpad {
 public:
  virtual ~Sketchpad() = default;
  // Sets the text colour (0x00BBGGRR) and returns the previous one.
  virtual DWORD SetTextColor(DWORD col) = 0;
  // Draws len characters of str at pixel (x, y).
  virtual bool Text(int x, int y, const char* str, int len) = 0;
};
