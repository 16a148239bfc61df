#include "ui/skin/SkinFlatButtons.h"

#include "ui/skin/SkinArt.h"

#include <QPainter>

#include <algorithm>

SkinCheckButton::SkinCheckButton(int id, QWidget* parent)
    : SkinAbstractButton(id, parent)
{
    setCheckable(true);
}

SkinCheckButton::SkinCheckButton(const QRect& rect, QWidget* parent, int id)
    : SkinCheckButton(id, parent)
{
    setGeometry(rect);
}

void SkinCheckButton::SetBitmaps(const QPixmap& checked, const QPixmap& unchecked)
{
    checked_ = checked;
    unchecked_ = unchecked;
    update();
}

QSize SkinCheckButton::sizeHint() const
{
    int w = skin::kCheckBoxSize;
    if (!text().isEmpty())
        w += skin::kCheckCaptionGap + fontMetrics().horizontalAdvance(text()) + 2;
    return {w, std::max(skin::kCheckBoxSize, fontMetrics().height()) + 4};
}

void SkinCheckButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QPixmap box = isChecked() ? checked_ : unchecked_;
    if (box.isNull())
        box = skin::CheckArt(isChecked());
    const int boxY = (height() - box.height()) / 2;
    if (!isEnabled())
        p.setOpacity(0.5);
    p.drawPixmap(0, boxY, box);
    p.setOpacity(1.0);
    if (text().isEmpty())
        return;
    const int x = box.width() + skin::kCheckCaptionGap;
    p.setFont(font());
    p.setPen(isEnabled() ? skin::kText : skin::kDisabledText);
    p.drawText(QRect(x, 0, width() - x, height()), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
}

SkinLabelButton::SkinLabelButton(int id, QWidget* parent)
    : SkinAbstractButton(id, parent)
{
}

SkinLabelButton::SkinLabelButton(const QRect& rect, QWidget* parent, int id)
    : SkinLabelButton(id, parent)
{
    setGeometry(rect);
}

void SkinLabelButton::SetEmboss(bool on)
{
    emboss_ = on;
    update();
}

QSize SkinLabelButton::sizeHint() const
{
    const int textWidth = fontMetrics().size(Qt::TextSingleLine | Qt::TextShowMnemonic, text()).width();
    return {2 * skin::kLabelInset + textWidth + 2, fontMetrics().height() + 8};
}

void SkinLabelButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const skin::ButtonState state = State();
    p.fillRect(rect(), skin::kDialogBackground);
    if (state == skin::kStateHover || state == skin::kStatePressed) {
        p.fillRect(rect(), Qt::white);
        p.setPen(Qt::black);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    const QRect textBox = rect().adjusted(skin::kLabelInset, 0, 0, 0);
    // An "&" marks the mnemonic letter, underlined as in the menu bar ("&File").
    constexpr int kFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
    p.setFont(font());
    p.setPen(isEnabled() ? skin::kText : skin::kDisabledText);
    p.drawText(textBox, kFlags, text());
    if (emboss_) {
        p.setPen(skin::kShadowText);
        p.drawText(textBox.translated(1, 1), kFlags, text());
    }
}
