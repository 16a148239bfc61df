#include "ui/dialogs/BusyDialog.h"

#include "ui/skin/SkinButton.h"

#include <QKeyEvent>
#include <QPainter>
#include <QProgressBar>

namespace {

constexpr QSize kBusySize{340, 100};
constexpr QRect kTextRect{24, 38, 292, 20};
constexpr QRect kBarRect{24, 64, 292, 14};

} // namespace

BusyDialog::BusyDialog(const QString& text, QWidget* parent)
    : SkinDialog(parent),
      text_(text),
      bar_(new QProgressBar(this))
{
    setWindowTitle(QStringLiteral("Montara"));
    setModal(true);
    CloseButton()->hide();
    bar_->setRange(0, 0); // no known end: the bar moves to and fro
    bar_->setTextVisible(false);
    resize(kBusySize);
}

BusyDialog::~BusyDialog() = default;

QSize BusyDialog::sizeHint() const
{
    return kBusySize;
}

void BusyDialog::PaintContent(QPainter& painter)
{
    painter.setFont(font());
    painter.setPen(skin::kText);
    painter.drawText(kTextRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text_);
}

void BusyDialog::resizeEvent(QResizeEvent* event)
{
    SkinDialog::resizeEvent(event);
    bar_->setGeometry(kBarRect);
}

void BusyDialog::keyPressEvent(QKeyEvent* event)
{
    // Esc would reject the dialog while the work goes on; the caller closes it.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    SkinDialog::keyPressEvent(event);
}
