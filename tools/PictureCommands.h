#pragma once

#include "ToolSupport.h"

// Picture commands of montara-tool: batch conversion, thumbnails, picture information.
namespace tool {

Command ConvertCommand();   // convert --format jpg|bmp|gif|png|pnm|tga|tif|pcx --out DIR FILE...
Command ThumbnailCommand(); // thumbnail IN OUT.jpg
Command InfoCommand();      // info FILE

} // namespace tool
