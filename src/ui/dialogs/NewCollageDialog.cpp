#include "ui/dialogs/NewCollageDialog.h"

#include "base/UserMessage.h"
#include "ui/CVelColourPicker.h"
#include "ui/ColourTable.h"
#include "ui/skin/SkinButton.h"
#include "ui/skin/SkinFlatButtons.h"
#include "ui/skin/ThemeIcon.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStandardPaths>

namespace newcollage {

Layout LayoutFor(QSize window)
{
    Layout l;
    const int w = window.width();
    const int h = window.height();
    const QPoint down(0, kRowStep);
    const QPoint right(kPixelsLabelShift, 0);
    l.widthLabel = kWidthLabel;
    l.widthPixels = kWidthLabel.translated(right);
    l.heightLabel = kWidthLabel.translated(down);
    l.heightPixels = l.widthPixels.translated(down);
    l.widthEdit = kWidthEditRect;
    l.heightEdit = kWidthEditRect.translated(down);

    l.picker = QRect(QPoint(w - kPickerRightInset, kPickerTop), kPickerSize);
    l.colourLabel = QRect(l.picker.left() - kLabelBoxWidth, l.picker.top(), kLabelBoxWidth, l.picker.height());
    l.imageLabel = l.colourLabel.translated(down);
    l.path = QRect(l.picker.left(), l.picker.top() + kRowStep, kPickerSize.width() - kPathNarrower, kPathHeight);
    l.browse = QRect(QPoint(l.path.right() + 1, l.path.top()), kBrowseSize);
    for (int i = 0; i < 3; ++i)
        l.placement[static_cast<std::size_t>(i)] =
            QRect(QPoint(l.colourLabel.left() + i * kPlacementStep, l.path.top() + kRowStep), kPlacementSize);

    l.cancel = QRect(QPoint(w - kCancelRightInset - kButtonSize.width(), h - kCancelBottomInset - kButtonSize.height()),
                     kButtonSize);
    l.ok = l.cancel.translated(-kOkToCancel, 0);
    return l;
}

SideCheck CheckSide(const QString& text, const QString& what)
{
    SideCheck check;
    bool isNumber = false;
    const int value = text.trimmed().toInt(&isNumber);
    if (!isNumber) {
        check.message = QStringLiteral("Please enter the %1 as a whole number from %2 to %3.")
                            .arg(what)
                            .arg(kMinSide)
                            .arg(kMaxSide);
        return check;
    }
    if (value < kMinSide || value > kMaxSide) {
        check.message = QStringLiteral("The %1 must be from %2 to %3 pixels.").arg(what).arg(kMinSide).arg(kMaxSide);
        return check;
    }
    check.ok = true;
    check.value = value;
    return check;
}

QString PictureFilter()
{
    return QStringLiteral("(*.jpg *.jpeg *.gif *.bmp *.png);;(*.jpg);;(*.jpeg);;(*.gif);;(*.bmp);;(*.png)");
}

} // namespace newcollage

using namespace newcollage;

namespace {

QLineEdit* MakeEdit(QWidget* parent, int id, const QString& text)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::number(id));
    return edit;
}

} // namespace

NewCollageDialog::NewCollageDialog(const Values& values, QWidget* parent)
    : SkinDialog(parent),
      values_(values),
      chooseFile_(&dialogs::ChooseFile),
      widthEdit_(MakeEdit(this, kWidthEdit, QString::number(values.width))),
      heightEdit_(MakeEdit(this, kHeightEdit, QString::number(values.height))),
      pathEdit_(MakeEdit(this, kImagePath, values.imagePath)),
      picker_(new CVelColourPicker(kColourPicker, this)),
      browse_(new SkinButton(kBrowse, this)),
      placement_{new SkinCheckButton(kCenter, this), new SkinCheckButton(kTile, this),
                 new SkinCheckButton(kStretch, this)},
      placementGroup_(new QButtonGroup(this)),
      ok_(new SkinButton(kOk, this)),
      cancel_(new SkinButton(kCancel, this))
{
    setWindowTitle(values.caption.isEmpty() ? QStringLiteral("Create New Collage") : values.caption);

    widthEdit_->setMaxLength(10);
    heightEdit_->setMaxLength(10);
    pathEdit_->setFrame(true);

    picker_->setObjectName(QString::number(kColourPicker));
    picker_->SetColourMode(1);
    picker_->SetDefaultText(QStringLiteral("Color"));
    picker_->SetCustomText(QStringLiteral("Custom Color"));
    picker_->SetBackgroundColour(0xFFFFFF);
    picker_->SetColour(values.colour & 0xFFFFFF);

    browse_->SetIcons(skin::ThemeIcon(QStringLiteral("document-open")));
    browse_->setToolTip(QStringLiteral("Browse"));
    connect(browse_, &SkinButton::command, this, [this] { Browse(); });

    static const char* const kCaptions[] = {"Center", "Tile", "Stretch"};
    placementGroup_->setExclusive(true);
    for (int i = 0; i < 3; ++i) {
        SkinCheckButton* button = placement_[static_cast<std::size_t>(i)];
        button->SetCaption(QLatin1String(kCaptions[i]));
        placementGroup_->addButton(button, i);
    }
    const int placement = values.placement >= 0 && values.placement <= 2 ? values.placement : 0;
    placement_[static_cast<std::size_t>(placement)]->setChecked(true);

    ok_->SetCaption(QStringLiteral("OK"));
    cancel_->SetCaption(QStringLiteral("Cancel"));
    connect(ok_, &SkinButton::command, this, [this] { TryAccept(); });
    connect(cancel_, &SkinButton::command, this, &QDialog::reject);

    setTabOrder(widthEdit_, heightEdit_);
    setTabOrder(heightEdit_, picker_);
    setTabOrder(picker_, pathEdit_);
    resize(kDialogSize);
    PlaceControls();
    widthEdit_->setFocus();
    widthEdit_->selectAll();
}

NewCollageDialog::~NewCollageDialog() = default;

QSize NewCollageDialog::sizeHint() const
{
    return kDialogSize;
}

SkinCheckButton* NewCollageDialog::PlacementButton(int placement) const
{
    return placement >= 0 && placement <= 2 ? placement_[static_cast<std::size_t>(placement)] : nullptr;
}

int NewCollageDialog::Placement() const
{
    const int id = placementGroup_->checkedId();
    return id >= 0 ? id : 0;
}

void NewCollageDialog::PlaceControls()
{
    const Layout l = LayoutFor(size());
    widthEdit_->setGeometry(l.widthEdit);
    heightEdit_->setGeometry(l.heightEdit);
    picker_->setGeometry(l.picker);
    pathEdit_->setGeometry(l.path);
    browse_->setGeometry(l.browse);
    for (std::size_t i = 0; i < 3; ++i)
        placement_[i]->setGeometry(l.placement[i]);
    ok_->setGeometry(l.ok);
    cancel_->setGeometry(l.cancel);
}

void NewCollageDialog::resizeEvent(QResizeEvent* event)
{
    SkinDialog::resizeEvent(event);
    PlaceControls();
}

void NewCollageDialog::PaintContent(QPainter& painter)
{
    const Layout l = LayoutFor(size());
    painter.setFont(font());
    painter.setPen(skin::kText);
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    const QMargins pixelsInset(kPixelsTextInset, 0, 0, 0);
    painter.drawText(l.widthLabel, flags, QStringLiteral("Width"));
    painter.drawText(l.widthPixels - pixelsInset, flags, QStringLiteral("pixels"));
    painter.drawText(l.heightLabel, flags, QStringLiteral("Height"));
    painter.drawText(l.heightPixels - pixelsInset, flags, QStringLiteral("pixels"));
    // The two background labels end at their boxes' right edge, next to their controls; a
    // font wider than the box spills to the left, where there is room, never under them.
    const int right = Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip;
    painter.drawText(l.colourLabel.adjusted(0, 0, -kLabelGap, 0), right, QStringLiteral("Background Color"));
    painter.drawText(l.imageLabel.adjusted(0, 0, -kLabelGap, kPathHeight - kPickerSize.height()), right,
                     QStringLiteral("Background Image"));
}

void NewCollageDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        TryAccept();
        return;
    }
    SkinDialog::keyPressEvent(event);
}

void NewCollageDialog::Browse()
{
    dialogs::FileRequest request;
    request.mode = dialogs::FileRequest::Mode::Open;
    request.title = QStringLiteral("Background Image");
    request.filter = PictureFilter();
    request.folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    const QString path = chooseFile_ ? chooseFile_(this, request) : QString();
    if (path.isEmpty())
        return;
    pathEdit_->setText(path);
}

bool NewCollageDialog::TryAccept()
{
    const SideCheck width = CheckSide(widthEdit_->text(), QStringLiteral("width"));
    const SideCheck height = width.ok ? CheckSide(heightEdit_->text(), QStringLiteral("height")) : SideCheck{};
    if (!width.ok || !height.ok) {
        QLineEdit* edit = width.ok ? heightEdit_ : widthEdit_;
        ShowUserMessage(width.ok ? height.message : width.message);
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
        return false;
    }
    values_.width = width.value;
    values_.height = height.value;
    values_.imagePath = pathEdit_->text();
    const std::uint32_t colour = picker_->GetColour();
    // "Color", the picker's default box, stands for the default white.
    values_.colour = colour == colours::kAutomaticColour ? 0xFFFFFFu : (colour & 0xFFFFFFu);
    values_.placement = Placement();
    accept();
    return true;
}
