#include "app/MainFrame.h"

#include "app/LanguageTable.h"
#include "app/SingleInstance.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace {

constexpr int kCaptionHeight = 30;
constexpr int kCaptionInset = 13;
constexpr QColor kCaptionColour{0x2B, 0x3A, 0x55};
constexpr QColor kBodyColour{0xE9, 0xEC, 0xF1};
constexpr QColor kCaptionTextColour{0xF4, 0xF6, 0xFA};

struct CaptionButton {
    int command;
    const char* glyph;
    const char* tip;
};

// Right to left: Close, Maximise/Restore, Minimise; 24 x 14 at y = 5, 26 pixels apart.
constexpr CaptionButton kCaptionButtons[] = {
    {MainFrame::kCmdClose, "\u2715", "Close"},
    {MainFrame::kCmdMaximize, "\u25A1", "Maximize"},
    {MainFrame::kCmdMinimize, "\u2013", "Minimize"},
};

} // namespace

MainFrame::MainFrame(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinMaxButtonsHint)
{
    setObjectName(QStringLiteral("MainFrame"));
    setWindowTitle(QStringLiteral("Montara"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/montara.png")));
    setProperty(SingleInstance::kInstanceMarker, 1);
    setAttribute(Qt::WA_OpaquePaintEvent);

    commands[kCmdClose] = [this] { close(); };
    commands[kCmdMinimize] = [this] { showMinimized(); };
    commands[kCmdMaximize] = [this] { isMaximized() ? showNormal() : showMaximized(); };

    CreateCaptionButtons();
    PlaceOnScreen();

    // The language table; the caption band shows its text from now on.
    LoadLanguage();
    captionText = LangText(kLangCaption);
}

MainFrame::~MainFrame() = default;

void MainFrame::OnCommand(int id)
{
    emit commandReceived(id);
    const auto found = commands.find(id);
    if (found != commands.end())
        found->second();
}

QPushButton* MainFrame::CommandButton(int id) const
{
    const auto found = captionButtons.find(id);
    return found == captionButtons.end() ? nullptr : found->second;
}

void MainFrame::CreateCaptionButtons()
{
    for (const CaptionButton& entry : kCaptionButtons) {
        auto* button = new QPushButton(QString::fromUtf8(entry.glyph), this); // owned by this window
        button->setObjectName(QString::number(entry.command));
        button->setToolTip(QString::fromLatin1(entry.tip));
        button->setFlat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setStyleSheet(QStringLiteral(
            "QPushButton { color: #F4F6FA; background: transparent; border: none; font-size: 9px; }"
            "QPushButton:hover { background: #3E5378; }"));
        const int command = entry.command;
        connect(button, &QPushButton::clicked, this, [this, command] { OnCommand(command); });
        captionButtons[command] = button;
    }
}

void MainFrame::PlaceOnScreen()
{
    // At (0, 0) with the screen's width and the height of a maximised window less 10.
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    setGeometry(0, 0, screen->geometry().width(), available.height() - 10);
}

void MainFrame::LayOut()
{
    const int w = width();
    int x = w - 38;
    for (const CaptionButton& entry : kCaptionButtons) {
        captionButtons[entry.command]->setGeometry(x, 5, 24, 14);
        x -= 26;
    }
}

void MainFrame::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    LayOut();
}

void MainFrame::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!shownOnce) {
        shownOnce = true;
        emit windowShown();
    }
}

void MainFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kBodyColour);
    painter.fillRect(QRect(0, 0, width(), kCaptionHeight), kCaptionColour);
    painter.setPen(kCaptionTextColour);
    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(kCaptionInset, 0, width() - 2 * kCaptionInset, kCaptionHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, captionText);
}

void MainFrame::mousePressEvent(QMouseEvent* event)
{
    // The caption band moves the window through the window manager.
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton && p.y() < kCaptionHeight && p.x() >= kCaptionInset
        && p.x() < width() - kCaptionInset && windowHandle()) {
        windowHandle()->startSystemMove();
        return;
    }
    QDialog::mousePressEvent(event);
}

void MainFrame::keyPressEvent(QKeyEvent* event)
{
    // The window never closes on Escape or Return.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
