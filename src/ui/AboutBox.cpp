#include "ui/AboutBox.h"

#include "ui/skin/SkinButton.h"

#include <QIcon>
#include <QPainter>

namespace {

// Layout of the box (client pixels).
constexpr QSize kBoxSize{300, 160};
constexpr QRect kIconBox{36, 48, 56, 56};
constexpr int kTextX = 110;
constexpr int kNameY = 52;
constexpr int kVersionY = 84;
constexpr QSize kOkSize{65, 20};
constexpr int kOkRight = 30;  // right edge this far from the window's right edge
constexpr int kOkBottom = 24; // bottom edge this far from the window's bottom edge

} // namespace

AboutBox::AboutBox(QWidget* parent)
    : SkinDialog(parent),
      ok_(new SkinButton(1, this))
{
    setWindowTitle(tr("About %1").arg(QLatin1String(kProductName)));
    ok_->SetCaption(tr("OK"));
    connect(ok_, &SkinButton::command, this, &QDialog::accept);
    resize(kBoxSize);
}

QSize AboutBox::sizeHint() const
{
    return kBoxSize;
}

void AboutBox::resizeEvent(QResizeEvent* event)
{
    SkinDialog::resizeEvent(event);
    ok_->setGeometry(width() - kOkRight - kOkSize.width(), height() - kOkBottom - kOkSize.height(), kOkSize.width(),
                     kOkSize.height());
}

void AboutBox::PaintContent(QPainter& p)
{
    const QIcon icon(QStringLiteral(":/icons/montara.png"));
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    icon.paint(&p, kIconBox);

    QFont name = font();
    name.setPixelSize(22);
    name.setBold(true);
    p.setFont(name);
    p.setPen(skin::kText);
    p.drawText(QRect(kTextX, kNameY, width() - kTextX - 24, 30), Qt::AlignLeft | Qt::AlignVCenter,
               QLatin1String(kProductName));

    QFont version = font();
    version.setPixelSize(13);
    p.setFont(version);
    p.setPen(skin::kDisabledText);
    p.drawText(QRect(kTextX, kVersionY, width() - kTextX - 24, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QLatin1String(kVersion));
}
