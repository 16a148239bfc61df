#include "ToolCommands.h"

#include "LibraryCommands.h"
#include "CipherCommands.h"
#include "LanguageCommands.h"
#include "ProjectCommands.h"

namespace tool {

// One entry per subcommand; each subsystem's commands are declared in its own header.
std::vector<Command> AllCommands()
{
    std::vector<Command> commands;
    commands.push_back(LibraryCommand());
    commands.push_back(CipherCommand());
    commands.push_back(LangCommand());
    commands.push_back(ProjectCommand());
    return commands;
}

} // namespace tool
