#include "ToolCommands.h"

#include "LibraryCommands.h"

namespace tool {

// One entry per subcommand; each subsystem's commands are declared in its own header.
std::vector<Command> AllCommands()
{
    std::vector<Command> commands;
    commands.push_back(LibraryCommand());
    return commands;
}

} // namespace tool
