#pragma once

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <memory>
#include <vector>

class QApplication;
class QShortcut;
class QWidget;
class MainFrame;
class SingleInstance;

// The application object: starts the program as a single instance, installs the
// program-wide accelerators, runs MainFrame modally for the life of the program and
// owns the few program-wide objects other parts reach through it.
class EditorApp : public QObject {
    Q_OBJECT
public:
    // The editor reads no command line: Qt gets only the program name.
    EditorApp();
    ~EditorApp() override;

    EditorApp(const EditorApp&) = delete;
    EditorApp& operator=(const EditorApp&) = delete;

    // Start-up, the modal run of the main window and exit. Returns the exit status.
    int Run();

    // The one application object, or null (tests and headless programs have none).
    static EditorApp* Current();

    // Ctrl+F, Ctrl+E, Ctrl+N, Ctrl+H -> 11007, 11008, 11009, 11011, whatever has the focus.
    // The shortcuts are children of the frame: destroy the table before the frame.
    static std::vector<std::unique_ptr<QShortcut>> BuildAccelerators(MainFrame& frame);

    // Set by the main window when a caption drag or border resize hands the pointer to
    // the window manager; cleared by the application's event filter on the next event.
    std::int32_t restoreSysMenu = 0;
    std::vector<std::unique_ptr<QShortcut>> acceleratorTable;
    std::unique_ptr<std::uint8_t[]> languageTable; // 65,536 bytes of 260-byte records, or null
    QPointer<QWidget> textEditBox;                 // the text panel's text box, not owned
    std::unique_ptr<std::uint8_t[]> calendarBuffer;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool InitInstance();
    void ExitInstance();

    std::unique_ptr<QApplication> application;
    std::unique_ptr<SingleInstance> instance;
    std::unique_ptr<MainFrame> mainFrame;
};
