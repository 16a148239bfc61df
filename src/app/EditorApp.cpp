#include "app/EditorApp.h"

#include "app/CommandIds.h"

#include "app/LanguageTable.h"
#include "app/MainFrame.h"
#include "app/SingleInstance.h"
#include "base/UserMessage.h"
#include "editing/CxImage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QShortcut>
#include <QThread>

Q_LOGGING_CATEGORY(lcStartup, "montara.startup", QtWarningMsg)

namespace {

EditorApp* currentApp = nullptr;

// QApplication keeps references to these for its whole life.
int fakeArgc = 1;
char programName[] = "montara";
char* fakeArgv[] = {programName, nullptr};

struct Accelerator {
    Qt::Key key;
    int command;
};

constexpr Accelerator kAccelerators[] = {
    {Qt::Key_F, cmd::kOpenFileMenu},
    {Qt::Key_E, cmd::kOpenEditMenu},
    {Qt::Key_N, cmd::kOpenLibraryMenu},
    {Qt::Key_H, cmd::kOpenHelpMenu},
};

} // namespace

EditorApp::EditorApp()
    : application(std::make_unique<QApplication>(fakeArgc, fakeArgv))
{
    QApplication::setApplicationName(QStringLiteral("montara"));
    QApplication::setApplicationDisplayName(QStringLiteral("Montara"));
    currentApp = this;
    SetLanguageTableOwner(&languageTable);
}

EditorApp::~EditorApp()
{
    acceleratorTable.clear();
    mainFrame.reset();
    instance.reset();
    SetLanguageTableOwner(nullptr);
    currentApp = nullptr;
}

EditorApp* EditorApp::Current()
{
    return currentApp;
}

std::vector<std::unique_ptr<QShortcut>> EditorApp::BuildAccelerators(MainFrame& frame)
{
    std::vector<std::unique_ptr<QShortcut>> table;
    for (const Accelerator& entry : kAccelerators) {
        auto shortcut = std::make_unique<QShortcut>(QKeySequence(Qt::CTRL | entry.key), &frame);
        shortcut->setContext(Qt::ApplicationShortcut);
        const int command = entry.command;
        QObject::connect(shortcut.get(), &QShortcut::activated, &frame,
                         [&frame, command] { frame.OnCommand(command); });
        table.push_back(std::move(shortcut));
    }
    return table;
}

bool EditorApp::InitInstance()
{
    QElapsedTimer started;
    started.start();

    instance = std::make_unique<SingleInstance>();
    if (!instance->Acquire()) {
        instance->AskRunningInstanceToShow();
        return false;
    }

    SetMessageHandler([](MessageKind kind, const QString& text) {
        const auto show = [kind, text] {
            if (kind == MessageKind::JpegFatal)
                QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("JPEG Fatal Error"), text);
            else
                QMessageBox::information(QApplication::activeWindow(), QStringLiteral("Montara"), text);
        };
        // Workers (photo import, batch convert) report through here too; message boxes
        // live on the interface thread, and the worker waits until the box is closed.
        if (QThread::currentThread() == qApp->thread())
            show();
        else
            QMetaObject::invokeMethod(qApp, show, Qt::BlockingQueuedConnection);
    });
    application->installEventFilter(this);
    // The graphics libraries: the picture library and its policy. A failure is not
    // fatal; pictures the library would decode then fail to load.
    StartImageLibrary();

    mainFrame = std::make_unique<MainFrame>();
    acceleratorTable = BuildAccelerators(*mainFrame);
    connect(instance.get(), &SingleInstance::showRequested, mainFrame.get(), [this] {
        mainFrame->showNormal();
        mainFrame->raise();
        mainFrame->activateWindow();
    });
    connect(mainFrame.get(), &MainFrame::windowShown, this, [started] {
        qCInfo(lcStartup, "window shown after %lld ms", static_cast<long long>(started.elapsed()));
    });

    mainFrame->exec();
    // The shortcuts are bound to the window: they go with it.
    acceleratorTable.clear();
    mainFrame.reset();
    return false;
}

void EditorApp::ExitInstance()
{
    application->removeEventFilter(this);
    acceleratorTable.clear();
    calendarBuffer.reset();
    languageTable.reset();
    StopImageLibrary();
    SetMessageHandler(nullptr);
}

int EditorApp::Run()
{
    InitInstance();
    ExitInstance();
    return 0;
}

bool EditorApp::eventFilter(QObject* watched, QEvent* event)
{
    if (restoreSysMenu && event->type() != QEvent::NonClientAreaMouseButtonPress)
        restoreSysMenu = 0;
    return QObject::eventFilter(watched, event);
}
