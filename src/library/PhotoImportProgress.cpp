#include "library/PhotoImportProgress.h"

#include "ui/skin/SkinButton.h"

#include <QFontMetrics>
#include <QPainter>

namespace library {

PhotoImportProgress::PhotoImportProgress(QWidget* parent)
    : SkinDialog(parent)
    , stop_(new SkinButton(kImportStopButton, this))
{
    setWindowTitle(tr("Import Photo to Library"));
    setModal(false);
    stop_->SetCaption(tr("Stop"));
    connect(stop_, &SkinAbstractButton::command, this, [this] { emit stopRequested(); });
    resize(sizeHint());
}

QSize PhotoImportProgress::sizeHint() const
{
    return QSize(kImportProgress.width, kImportProgress.height);
}

void PhotoImportProgress::reject()
{
    // Closing the window is a request to stop; the owner hides it.
    emit stopRequested();
}

void PhotoImportProgress::SetProgress(const QString& path, int done, int total)
{
    path_ = path;
    done_ = done;
    total_ = total;
    update();
}

void PhotoImportProgress::resizeEvent(QResizeEvent* event)
{
    SkinDialog::resizeEvent(event);
    const QRect content = ContentRect();
    stop_->setGeometry(content.center().x() - kImportProgress.buttonWidth / 2,
                       content.bottom() + 1 - kImportProgress.buttonBottomGap - kImportProgress.buttonHeight,
                       kImportProgress.buttonWidth, kImportProgress.buttonHeight);
}

void PhotoImportProgress::PaintContent(QPainter& painter)
{
    const QRect content = ContentRect();
    const QFontMetrics metrics(font());
    const QRect textRect(content.left(), kImportProgress.textTop, content.width(), metrics.height());
    painter.setPen(skin::kText);
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(path_, Qt::ElideMiddle, textRect.width()));

    const QRect bar(content.left(), kImportProgress.barTop, content.width(), kImportProgress.barHeight);
    painter.fillRect(bar, skin::kPanelBackground);
    if (total_ > 0) {
        const int filled = int(static_cast<long long>(bar.width() - 2) * std::min(done_, total_) / total_);
        painter.fillRect(QRect(bar.left() + 1, bar.top() + 1, filled, bar.height() - 2), skin::kAccent);
    }
    painter.setPen(skin::kFrameColour);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(bar.adjusted(0, 0, -1, -1));
}

} // namespace library
