#include "ui/PanelContainer.h"

#include "ui/skin/Skin.h"

#include <QPainter>
#include <QVBoxLayout>

PanelContainer::PanelContainer(const QString& name, QWidget* parent)
    : QWidget(parent)
    , layout_(new QVBoxLayout(this)) // owned by this widget
{
    setObjectName(name);
    setAttribute(Qt::WA_OpaquePaintEvent);
    layout_->setContentsMargins(1, 1, 1, 1);
    layout_->setSpacing(0);
}

void PanelContainer::SetContent(QWidget* content)
{
    if (content_ == content)
        return;
    delete content_; // a Qt child of this box
    content_ = content;
    if (content_) {
        content_->setParent(this);
        layout_->addWidget(content_);
        content_->show();
    }
}

QSize PanelContainer::sizeHint() const
{
    return content_ ? content_->sizeHint() + QSize(2, 2) : QSize(136, 120);
}

void PanelContainer::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), skin::kPanelBackground);
    painter.setPen(skin::kFrameColour);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
