// The main window's Help commands: the program's own user guide in the default browser
// and the About box.

#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "base/UserMessage.h"
#include "ui/AboutBox.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace {

// Where the guide is looked for: beside the program in the build tree, then under the
// installation prefix, then in the data locations of the desktop.
constexpr const char* kHelpBesideProgram = "help/index.html";
constexpr const char* kHelpInstalled = "../share/montara/help/index.html";
constexpr const char* kHelpInDataLocation = "help/index.html";

} // namespace

void MainFrame::RegisterHelpCommands()
{
    Register({cmd::kHelpContent}, [this] { OpenHelpPage(); });
    Register({cmd::kAbout, cmd::kSystemAbout}, [this] { ShowAbout(); });
}

QString MainFrame::HelpPagePath()
{
    const QDir program(QCoreApplication::applicationDirPath());
    for (const char* relative : {kHelpBesideProgram, kHelpInstalled}) {
        const QFileInfo page(program.filePath(QString::fromLatin1(relative)));
        if (page.isFile())
            return page.canonicalFilePath();
    }
    return QStandardPaths::locate(QStandardPaths::AppDataLocation, QString::fromLatin1(kHelpInDataLocation));
}

void MainFrame::OpenHelpPage()
{
    const QString page = HelpPagePath();
    if (page.isEmpty()) {
        ShowUserMessage(QStringLiteral("The user guide is not installed."));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(page)))
        ShowUserMessage(QStringLiteral("No web browser could open the user guide:\n%1").arg(page));
}

void MainFrame::ShowAbout()
{
    AboutBox box(this);
    box.exec();
}
