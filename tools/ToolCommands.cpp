#include "ToolCommands.h"

namespace tool {

// One entry per subcommand; each subsystem's commands are declared in its own header.
std::vector<Command> AllCommands()
{
    std::vector<Command> commands;
    return commands;
}

} // namespace tool
