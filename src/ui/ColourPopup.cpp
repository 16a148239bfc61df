#include "ui/ColourPopup.h"

#include "ui/skin/Skin.h"

#include <QApplication>
#include <QColorDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>

using namespace colours;

namespace {

constexpr int kSwatchInsetInBox = 3; // a colour box shows its colour 3 pixels inside its edge

QRect ScreenRectFor(const QRect& pickerRect, const QWidget* parent)
{
    QScreen* screen = QGuiApplication::screenAt(pickerRect.center());
    if (!screen && parent)
        screen = parent->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1 << 16, 1 << 16);
}

} // namespace

std::optional<std::uint32_t> RunSystemColourDialog(std::uint32_t initial, QWidget* parent)
{
    QColorDialog dialog(ToQColor(initial), parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return FromQColor(dialog.selectedColor());
}

ColourPopup::ColourPopup(const QRect& pickerRect, std::uint32_t initial, const QString& defaultText,
                         const QString& customText, ColourDialogFunction dialog, QWidget* parent)
    : QWidget(parent, Qt::Popup)
    , initial_(initial)
    , defaultText_(defaultText)
    , customText_(customText)
    , dialog_(dialog ? std::move(dialog) : ColourDialogFunction(RunSystemColourDialog))
{
    // A press on the picker closes the popup and must not open it again at once.
    setAttribute(Qt::WA_NoMouseReplay);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setFont(QApplication::font());

    const QFontMetrics metrics(font());
    const int automaticWidth = defaultText_.isEmpty() ? 0 : metrics.horizontalAdvance(defaultText_);
    const int customWidth = customText_.isEmpty() ? 0 : metrics.horizontalAdvance(customText_);
    layout_ = LayoutPopup(metrics.height(), automaticWidth, customWidth);
    chosen_ = colours::ChosenBox(initial_, layout_);
    current_ = chosen_;

    const QPoint at = PlacePopup(layout_.size, pickerRect, ScreenRectFor(pickerRect, parent));
    setGeometry(QRect(at, layout_.size));
    setFixedSize(layout_.size);
    show();
    setFocus(Qt::PopupFocusReason);
}

void ColourPopup::SetCurrent(int box)
{
    if (box == kBoxNone || box == current_)
        return;
    current_ = box;
    update();
    emit selectionChanged(BoxColour(box, initial_));
}

void ColourPopup::End(bool withChoice)
{
    if (ended_)
        return;
    ended_ = true;
    releaseMouse();
    releaseKeyboard();
    hide();

    std::uint32_t colour = initial_;
    if (withChoice) {
        if (current_ == kBoxCustom) {
            const std::optional<std::uint32_t> picked = dialog_(initial_, parentWidget());
            withChoice = picked.has_value();
            colour = picked.value_or(initial_);
        } else {
            colour = BoxColour(current_, initial_);
        }
    }
    emit ended(colour, withChoice);
    deleteLater();
}

bool ColourPopup::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const int box = BoxAt(layout_, help->pos());
        if (box >= 0)
            QToolTip::showText(help->globalPos(), QString::fromUtf8(kNamedColours[std::size_t(box)].name), this,
                               BoxRect(layout_, box));
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void ColourPopup::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (rect().contains(at))
        SetCurrent(BoxAt(layout_, at));
}

void ColourPopup::mousePressEvent(QMouseEvent* event)
{
    // Inside: the release chooses. Outside: the popup ends without a choice (the base class
    // is not called, so Qt does not close the popup behind our back).
    if (!rect().contains(event->position().toPoint()))
        End(false);
}

void ColourPopup::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (!rect().contains(at))
        return;
    SetCurrent(BoxAt(layout_, at));
    End(true);
}

void ColourPopup::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
        SetCurrent(MoveBox(current_, Arrow::Left, layout_));
        break;
    case Qt::Key_Right:
        SetCurrent(MoveBox(current_, Arrow::Right, layout_));
        break;
    case Qt::Key_Up:
        SetCurrent(MoveBox(current_, Arrow::Up, layout_));
        break;
    case Qt::Key_Down:
        SetCurrent(MoveBox(current_, Arrow::Down, layout_));
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        End(true);
        break;
    case Qt::Key_Escape:
        End(false);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ColourPopup::closeEvent(QCloseEvent* event)
{
    // Closed by the window system (deactivation, another popup): no choice.
    End(false);
    QWidget::closeEvent(event);
}

void ColourPopup::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), skin::kPanelBackground);
    painter.setPen(skin::kPopupOutline);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    if (layout_.hasAutomatic())
        DrawTextBox(painter, layout_.automaticBox, defaultText_, kBoxAutomatic);
    for (int i = 0; i < kNamedColourCount; ++i)
        DrawColourBox(painter, i);
    if (layout_.hasCustom())
        DrawTextBox(painter, layout_.customBox, customText_, kBoxCustom);
}

void ColourPopup::DrawColourBox(QPainter& painter, int index) const
{
    const QRect box = BoxRect(layout_, index);
    const QRect frame = box.adjusted(0, 0, -1, -1);
    if (index == current_) {
        painter.fillRect(box, skin::kAccentTint);
        painter.setPen(index == chosen_ ? skin::kAccentDark : skin::kAccent);
        painter.drawRect(frame);
    } else if (index == chosen_) {
        painter.setPen(skin::kAccentDark);
        painter.drawRect(frame);
    }
    const QRect swatch = box.adjusted(kSwatchInsetInBox, kSwatchInsetInBox, -kSwatchInsetInBox, -kSwatchInsetInBox);
    painter.fillRect(swatch, ToQColor(kNamedColours[std::size_t(index)].colour));
    painter.setPen(skin::kSwatchEdge);
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
}

void ColourPopup::DrawTextBox(QPainter& painter, const QRect& box, const QString& text, int value) const
{
    const QRect frame = box.adjusted(0, 0, -1, -1);
    if (value == current_) {
        painter.fillRect(box, skin::kAccentTint);
        painter.setPen(value == chosen_ ? skin::kAccentDark : skin::kAccent);
        painter.drawRect(frame);
    } else if (value == chosen_) {
        painter.setPen(skin::kAccentDark);
        painter.drawRect(frame);
    } else {
        painter.setPen(skin::kFrameColour);
        painter.drawRect(frame);
    }
    painter.setPen(skin::kText);
    painter.drawText(box, Qt::AlignCenter, text);
}
