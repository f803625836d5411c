#pragma once

// The tools of the picture surface, each under its mode number. Adding a tool
// is a class of its own and one line in toollist.cpp.

#include "tools/tool.h"

#include <cstdint>
#include <memory>

enum class ToolMode : std::int16_t { None = 0, Cut = 1, Draw = 2, Text = 3, Erase = 4 };

// The tool of a mode, working on document and showing through view; null for
// a mode that has no tool.
std::unique_ptr<Tool> makeTool(ToolMode mode, PictureDocument& document, ToolView& view);
