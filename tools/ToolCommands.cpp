#include "ToolCommands.h"

#include "TextCommands.h"

namespace tool {

// One entry per subcommand; each subsystem's commands are declared in its own header.
std::vector<Command> AllCommands()
{
    std::vector<Command> commands;
    commands.push_back(TextCommand());
    commands.push_back(TuneCommand());
    return commands;
}

} // namespace tool
