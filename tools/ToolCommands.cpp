#include "ToolCommands.h"

#include "ProjectCommands.h"

namespace tool {

// One entry per subcommand; each subsystem's commands are declared in its own header.
std::vector<Command> AllCommands()
{
    std::vector<Command> commands;
    commands.push_back(ProjectCommand());
    return commands;
}

} // namespace tool
