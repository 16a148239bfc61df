#include "ToolCommands.h"

#include "LibraryCommands.h"
#include "CipherCommands.h"
#include "LanguageCommands.h"
#include "ProjectCommands.h"
#include "PictureCommands.h"
#include "TextCommands.h"
#include "RenderCommands.h"
#include "LayoutCommands.h"

namespace tool {

// One entry per subcommand; each subsystem's commands are declared in its own header.
std::vector<Command> AllCommands()
{
    std::vector<Command> commands;
    commands.push_back(LibraryCommand());
    commands.push_back(PackCommand());
    commands.push_back(CipherCommand());
    commands.push_back(LangCommand());
    commands.push_back(ProjectCommand());
    commands.push_back(ConvertCommand());
    commands.push_back(ThumbnailCommand());
    commands.push_back(InfoCommand());
    commands.push_back(TextCommand());
    commands.push_back(TuneCommand());
    commands.push_back(EffectCommand());
    commands.push_back(RenderCommand());
    commands.push_back(LayoutCommand());
    return commands;
}

} // namespace tool
