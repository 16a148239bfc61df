#pragma once

#include "ToolSupport.h"

#include <vector>

namespace tool {

// The subcommands, in the order --help lists them. Each lives in its own file here.
std::vector<Command> AllCommands();

} // namespace tool
