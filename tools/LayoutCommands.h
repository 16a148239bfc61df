#pragma once

#include "ToolSupport.h"

namespace tool {

// "layout --mode grid|mosaic|fill [--spacing N] [--margin N] [--aspect W:H] [--width N]
// OUT.vmz PICTURE...": a new collage with the pictures laid out automatically, saved as
// a project file (render it with "render").
Command LayoutCommand();

} // namespace tool
