#include "Gallery.h"

#include "ui/skin/Skin.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QTextStream>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kTitleHeight = 26;
constexpr QColor kLabelText{96, 96, 96};

} // namespace

GallerySection::GallerySection(const QString& title, QWidget* parent)
    : QWidget(parent),
      title_(title),
      grid_(new QGridLayout(this))
{
    grid_->setContentsMargins(12, kTitleHeight + 6, 12, 10);
    grid_->setHorizontalSpacing(22);
    grid_->setVerticalSpacing(6);
    grid_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void GallerySection::AddSample(QWidget* control, const QString& label)
{
    const int row = (count_ / columns_) * 2;
    const int column = count_ % columns_;
    ++count_;
    control->setParent(this);
    grid_->addWidget(control, row, column, Qt::AlignLeft | Qt::AlignBottom);
    auto* text = new QLabel(label, this);
    QPalette palette = text->palette();
    palette.setColor(QPalette::WindowText, kLabelText);
    text->setPalette(palette);
    QFont small = text->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    text->setFont(small);
    grid_->addWidget(text, row + 1, column, Qt::AlignLeft | Qt::AlignTop);
}

void GallerySection::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), skin::kDialogBackground);
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(skin::kText);
    p.drawText(QRect(12, 4, width() - 24, kTitleHeight - 6), Qt::AlignLeft | Qt::AlignVCenter, title_);
    p.fillRect(12, kTitleHeight, width() - 24, 1, skin::kFrameColour);
}

Gallery::Gallery()
    : column_(new QVBoxLayout(this))
{
    setWindowTitle(QStringLiteral("Montara controls"));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, skin::kDialogBackground);
    setPalette(palette);
    column_->setContentsMargins(8, 8, 8, 8);
    column_->setSpacing(4);
}

GallerySection* Gallery::AddSection(const QString& title)
{
    auto* section = new GallerySection(title, this);
    column_->addWidget(section);
    return section;
}

void Gallery::AddProbe(QWidget* widget, QPoint local, QColor expected, const QString& name)
{
    probes_.push_back({widget, local, expected, name});
}

void Gallery::Finish(const QString& probePath)
{
    column_->addStretch(1);
    QTimer::singleShot(200, this, [this, probePath] {
        for (const auto& step : afterShow_)
            step();
        if (probePath.isEmpty())
            return;
        // Written once the forced states are painted.
        QTimer::singleShot(300, this, [this, probePath] {
            QFile file(probePath + QStringLiteral(".part"));
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                return;
            QTextStream out(&file);
            for (const Probe& probe : probes_) {
                const QPoint at = probe.widget->mapToGlobal(probe.local);
                out << at.x() << ' ' << at.y() << ' '
                    << probe.expected.name(QColor::HexRgb).mid(1).toUpper() << ' ' << probe.name << '\n';
            }
            out.flush();
            file.close();
            QFile::remove(probePath);
            file.rename(probePath);
        });
    });
}

void ForceHover(QWidget* control)
{
    const QPointF local(control->width() / 2.0, control->height() / 2.0);
    QEnterEvent event(local, local, control->mapToGlobal(local));
    QApplication::sendEvent(control, &event);
}
