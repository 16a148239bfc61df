#pragma once

#include "ToolSupport.h"

namespace tool {

// "library dump FILE [--layout thumbnail|image|frame]": the entries of a library file as JSON.
Command LibraryCommand();

} // namespace tool
