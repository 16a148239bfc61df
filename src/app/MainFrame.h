#pragma once

#include <QDialog>

#include <functional>
#include <unordered_map>

class QPushButton;

// The program's only top-level window: a frameless dialog that draws its own caption
// and routes every command number through OnCommand.
class MainFrame : public QDialog {
    Q_OBJECT
public:
    // Command numbers are the control identifiers; they are a user-visible interface.
    enum Command : int {
        kCmdClose = 10010,
        kCmdMinimize = 10011,
        kCmdMaximize = 10012,
        kCmdOpenFileMenu = 11007,
        kCmdOpenEditMenu = 11008,
        kCmdOpenLibraryMenu = 11009,
        kCmdOpenHelpMenu = 11011,
    };

    explicit MainFrame(QWidget* parent = nullptr);
    ~MainFrame() override;

    // The one routing table for every command number; unknown numbers do nothing.
    void OnCommand(int id);

    // The caption button with this command number, or null.
    QPushButton* CommandButton(int id) const;

    // The text drawn in the caption band: language text 23, empty without a table.
    QString CaptionText() const { return captionText; }

signals:
    // Every command that reaches OnCommand, before it is handled.
    void commandReceived(int id);
    void windowShown();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void PlaceOnScreen();
    void LayOut();
    void CreateCaptionButtons();

    std::unordered_map<int, std::function<void()>> commands;
    std::unordered_map<int, QPushButton*> captionButtons; // children of this window
    bool shownOnce = false;
    QString captionText;
};
