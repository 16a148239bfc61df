#include "ToolCommands.h"

#include "PictureCommands.h"

namespace tool {

// One entry per subcommand; each subsystem's commands are declared in its own header.
std::vector<Command> AllCommands()
{
    std::vector<Command> commands;
    commands.push_back(ConvertCommand());
    commands.push_back(ThumbnailCommand());
    commands.push_back(InfoCommand());
    return commands;
}

} // namespace tool
