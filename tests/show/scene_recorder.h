// A recording stand-in for the graphics layer as the show sees it: every
// primitive call, and the device's BeginScene/EndScene and the surface's Flip,
// land in one log in call order.
#pragma once

#include <string>
#include <vector>

#include "gfx/gfx.h"

struct DrawCall {
  std::string name;
  std::vector<float> values;  // the float arguments in order
  std::vector<D3DCOLOR> colours;
  std::string text;  // the string drawn; for DrawGlyph the one character
};

extern std::vector<DrawCall> drawCalls;

// Points renderDevice at a recording device, viewport and surface.
void InstallSceneDevice();
std::vector<DrawCall> CallsNamed(const std::string& name);
std::vector<std::string> CallNames();
// All glyphs drawn, from DrawGlyph, DrawString and DrawRotatedString, as one text.
std::string TextDrawn();
