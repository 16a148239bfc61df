// montara-tool: the headless companion of the editor. It renders projects, converts
// pictures, builds and installs resource packs, enciphers and deciphers data files and
// dumps the program's files, using the same libraries as the editor, with no display.

#include "ToolCommands.h"
#include "ToolSupport.h"

#include "editing/CxImage.h"

#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>
#include <cstring>

namespace {

void PrintHelp(const std::vector<tool::Command>& commands)
{
    std::printf("usage: montara-tool COMMAND [ARGS...]\n"
                "       montara-tool --help | --version\n\ncommands:\n");
    for (const tool::Command& command : commands)
        std::printf("  %s\n", command.synopsis);
    std::printf("\nexit status: 0 success, 1 failure, 2 bad usage\n");
}

// Only the tool's own lines reach stderr; Qt's start-up chatter (such as the missing
// XDG_RUNTIME_DIR of a service account) would break the one-line rule.
void ToolMessages(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    const bool own = context.category && std::strncmp(context.category, "montara.", 8) == 0;
    if (type == QtCriticalMsg || type == QtFatalMsg || own)
        std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}

} // namespace

int main(int argc, char** argv)
{
    // Text and picture code needs a QGuiApplication; a headless one by default.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(ToolMessages);
    // Qt takes options such as --style, --platform, --reverse and --session out of the
    // arguments it is given; the tool's own options must reach the commands, so Qt sees
    // only the program name.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QGuiApplication app(qtArgc, qtArgv);
    QGuiApplication::setApplicationName(QStringLiteral("montara-tool"));
    QGuiApplication::setApplicationVersion(QStringLiteral(MONTARA_VERSION));

    StartImageLibrary();
    struct LibraryGuard {
        ~LibraryGuard() { StopImageLibrary(); }
    } libraryGuard;

    const std::vector<tool::Command> commands = tool::AllCommands();
    if (args.isEmpty())
        return tool::Usage(QStringLiteral("no command given (try --help)"));

    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help")) {
        PrintHelp(commands);
        return tool::kOk;
    }
    if (name == QLatin1String("--version")) {
        std::printf("montara-tool %s\n", MONTARA_VERSION);
        return tool::kOk;
    }
    // Files named on the command line are regular files or folders: a pipe, socket or
    // device would block the first read or write for good.
    for (const QString& arg : args) {
        const QFileInfo named(arg);
        if (!arg.startsWith(QLatin1String("--")) && named.exists() && !named.isFile() && !named.isDir())
            return tool::Failure(QStringLiteral("'%1' is not a regular file").arg(arg));
    }
    for (const tool::Command& command : commands) {
        if (name == QLatin1String(command.name))
            return command.run(args);
    }
    return tool::Usage(QStringLiteral("unknown command '%1' (try --help)").arg(name));
}
