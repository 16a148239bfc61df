#pragma once

#include "ToolSupport.h"

namespace tool {

// "library dump FILE [--layout thumbnail|image|frame]": the entries of a library file as JSON;
// "library photos FILE": the records of the photo library file "VelMedia" as JSON.
Command LibraryCommand();

} // namespace tool
