#pragma once

#include "ToolSupport.h"

namespace tool {

// "render PROJECT OUT [--data DIR]": the collage of a project file composed at full size
// and written as a picture by the extension of OUT.
Command RenderCommand();

} // namespace tool
