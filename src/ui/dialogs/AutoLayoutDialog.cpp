#include "ui/dialogs/AutoLayoutDialog.h"

#include "canvas/AutoLayoutPreview.h"
#include "canvas/LibraryReaders.h"
#include "editing/PanelSlider.h"
#include "library/LibraryFiles.h"
#include "library/LibraryPanel.h"
#include "ui/CVelComboBox.h"
#include "ui/skin/SkinButton.h"
#include "ui/skin/SkinFlatButtons.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QRandomGenerator>
#include <QTimer>

#include <algorithm>
#include <numeric>

using namespace autolayoutdlg;

namespace {

// The preview panel: white, framed, the preview image centred in it.
class PreviewView : public QWidget {
public:
    explicit PreviewView(const QImage& image, QWidget* parent) : QWidget(parent), image_(image)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    // Shown instead of an image when there is none.
    void SetEmptyText(const QString& text)
    {
        emptyText_ = text;
        update();
    }
    // The room an image has inside the frame.
    QSize ImageRoom() const { return size() - QSize(2 * kInset, 2 * kInset); }
    QSize sizeHint() const override { return kLayout.preview.size(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), skin::kPreviewBackground);
        if (!image_.isNull()) {
            const QPoint at((width() - image_.width()) / 2, (height() - image_.height()) / 2);
            // A thin shadow lifts the collage off the panel.
            p.fillRect(QRect(at + QPoint(2, 2), image_.size()), skin::kPreviewShadow);
            p.drawImage(at, image_);
        } else if (!emptyText_.isEmpty()) {
            p.setPen(skin::kText);
            p.drawText(rect().adjusted(kInset, kInset, -kInset, -kInset), Qt::AlignCenter | Qt::TextWordWrap,
                       emptyText_);
        }
        p.setPen(skin::kCaptionLine);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }

private:
    static constexpr int kInset = 10;
    const QImage& image_;
    QString emptyText_;
};

} // namespace

AutoLayoutDialog::AutoLayoutDialog(const CollageModel& collage, std::vector<autolayout::PhotoSource> photos,
                                   const QString& dataFolder, QWidget* parent)
    : SkinDialog(parent),
      preview_(std::make_unique<autolayout::LayoutPreview>(collage, dataFolder)),
      shuffler_(std::make_unique<autolayout::Shuffler>(QRandomGenerator::global()->generate())),
      previewView_(new PreviewView(previewImage_, this)),
      modes_{new SkinCheckButton(kGrid, this), new SkinCheckButton(kMosaic, this), new SkinCheckButton(kFill, this)},
      modeGroup_(new QButtonGroup(this)),
      spacing_(new PanelSlider(kLayout.spacing, this, kSpacing)),
      margin_(new PanelSlider(kLayout.margin, this, kMargin)),
      aspect_(new CVelComboBox(this, 0)),
      frameCheck_(new SkinCheckButton(kFrameCheck, this)),
      frames_(new library::LibraryPanel({.identifier = kFrames,
                                         .category = static_cast<std::int32_t>(library::LibraryCategory::PhotoFrames),
                                         .code = 0,
                                         .buttonCaption = nullptr,
                                         .keepPixels = false,
                                         .draggable = false},
                                        this)),
      shuffle_(new SkinButton(kLayout.shuffle, this, kShuffle)),
      apply_(new SkinButton(kLayout.apply, this, kApply)),
      cancel_(new SkinButton(kLayout.cancel, this, kCancel)),
      timer_(new QTimer(this))
{
    setWindowTitle(QStringLiteral("Auto Layout"));
    setFixedSize(kLayout.dialog);

    preview_->SetFrameOpeningReader(LibraryFrameOpeningReader(dataFolder));
    preview_->SetPhotos(std::move(photos));
    order_.resize(preview_->Photos().size());
    std::iota(order_.begin(), order_.end(), 0);

    previewView_->setGeometry(kLayout.preview);

    modeGroup_->setExclusive(true);
    for (std::size_t i = 0; i < modes_.size(); ++i) {
        modes_[i]->SetCaption(QLatin1String(autolayout::kModeCaptions[i]));
        modes_[i]->setGeometry(kLayout.modes[i]);
        modeGroup_->addButton(modes_[i], static_cast<int>(i));
    }
    modes_[static_cast<std::size_t>(choices_.mode)]->setChecked(true);
    connect(modeGroup_, &QButtonGroup::idClicked, this, [this] {
        ReadControls();
        ScheduleRefresh();
    });

    for (PanelSlider* slider : {spacing_, margin_}) {
        slider->SetRange(0, autolayout::kMaxSpacing);
        slider->installEventFilter(this); // drags follow in the number and the preview
        connect(slider, &PanelSlider::positionReported, this, [this] {
            ReadControls();
            update(kLayout.spacingValue.united(kLayout.marginValue));
            ScheduleRefresh();
        });
    }
    spacing_->SetPosition(choices_.spacing);
    margin_->SetPosition(choices_.margin);

    aspect_->setObjectName(QString::number(kAspect));
    aspect_->setGeometry(kLayout.aspect);
    for (const autolayout::AspectChoice& choice : autolayout::kAspectChoices)
        aspect_->AddItem(QLatin1String(choice.caption));
    aspect_->SetCurSel(choices_.aspect);

    // A list to choose from, not to type into: a click on the text opens the list too.
    aspect_->Edit()->setReadOnly(true);
    aspect_->Edit()->installEventFilter(this);
    connect(aspect_, &CVelComboBox::selectionChanged, this, [this] {
        ReadControls();
        ScheduleRefresh();
        QTimer::singleShot(0, aspect_->Edit(), &QLineEdit::deselect);
    });

    frameCheck_->setCheckable(true);
    frameCheck_->SetCaption(QStringLiteral("Frame every photo"));
    frameCheck_->setGeometry(kLayout.frameCheck);
    // The thumbnails show a selection only while photos are framed: the frame they get.
    connect(frameCheck_, &SkinCheckButton::toggled, this, [this](bool checked) {
        if (!checked)
            frames_->Select(-1);
        else if (frames_->SelectedIndex() < 0)
            frames_->Select(0);
        ReadControls();
        ScheduleRefresh();
    });
    frames_->setObjectName(QString::number(kFrames));
    frames_->setGeometry(kLayout.frames);
    frames_->ReloadFromFile(dataFolder + QLatin1String(library::kPhotoFramesThumbFile));
    frames_->Select(-1);
    frameCheck_->setEnabled(frames_->Count() > 0);
    // Choosing a frame means framing the photos with it.
    const auto frameChosen = [this](std::int32_t, const std::vector<std::int32_t>& chosen) {
        if (chosen.empty())
            return;
        if (!frameCheck_->isChecked())
            frameCheck_->setChecked(true); // reads the controls through toggled
        ReadControls();
        ScheduleRefresh();
    };
    connect(frames_, &library::LibraryPanel::pressed, this, frameChosen);

    shuffle_->SetCaption(QStringLiteral("Shuffle"));
    shuffle_->setToolTip(QStringLiteral("Put the photos in a new random order"));
    shuffle_->setEnabled(order_.size() > 1);
    connect(shuffle_, &SkinButton::command, this, [this] { Shuffle(); });
    apply_->SetCaption(QStringLiteral("Apply"));
    cancel_->SetCaption(QStringLiteral("Cancel"));
    connect(apply_, &SkinButton::command, this, &QDialog::accept);
    connect(cancel_, &SkinButton::command, this, &QDialog::reject);

    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, &AutoLayoutDialog::Refresh);
    timer_->start(0);
}

AutoLayoutDialog::~AutoLayoutDialog() = default;

QSize AutoLayoutDialog::sizeHint() const
{
    return kLayout.dialog;
}

SkinCheckButton* AutoLayoutDialog::ModeButton(autolayout::Mode mode) const
{
    const auto i = static_cast<std::size_t>(mode);
    return i < modes_.size() ? modes_[i] : nullptr;
}

void AutoLayoutDialog::ReadControls()
{
    const int mode = std::max(0, modeGroup_->checkedId());
    choices_.mode = static_cast<autolayout::Mode>(mode);
    choices_.spacing = spacing_->Position();
    choices_.margin = margin_->Position();
    choices_.aspect = std::max(0, aspect_->GetCurSel());
    choices_.frameEntry = frameCheck_->isChecked() && frames_->SelectedIndex() >= 0 ? frames_->SelectedIndex() : -1;
}

std::vector<autolayout::PhotoSource> AutoLayoutDialog::OrderedPhotos() const
{
    std::vector<autolayout::PhotoSource> ordered;
    for (int index : order_)
        ordered.push_back(preview_->Photos()[static_cast<std::size_t>(index)]);
    return ordered;
}

void AutoLayoutDialog::Shuffle()
{
    shuffler_->Shuffle(order_);
    ScheduleRefresh();
}

void AutoLayoutDialog::SetShuffleSeed(std::uint32_t seed)
{
    shuffler_ = std::make_unique<autolayout::Shuffler>(seed);
}

bool AutoLayoutDialog::PreviewScheduled() const
{
    return timer_->isActive();
}

void AutoLayoutDialog::ScheduleRefresh()
{
    // Not restarted by later changes: a burst of changes (a drag) is drawn at most
    // kRefreshDelay after its first one, with the choices as they are then.
    if (!timer_->isActive())
        timer_->start(kRefreshDelay);
}

void AutoLayoutDialog::FlushPreview()
{
    timer_->stop();
    while (preview_->DecodeSome(kDecodeSlice) > 0) {
    }
    Refresh();
}

void AutoLayoutDialog::Refresh()
{
    if (preview_->PendingDecodes() > 0)
        preview_->DecodeSome(kDecodeSlice);
    auto* view = static_cast<PreviewView*>(previewView_);
    previewImage_ = preview_->Render(order_, choices_, view->ImageRoom());
    ++previews_;
    view->SetEmptyText(previewImage_.isNull() ? QString::fromLatin1(kNoRoomText) : QString());
    apply_->setEnabled(!previewImage_.isNull());
    update(kLayout.status);
    emit previewUpdated();
    // More pictures to decode: the next slice as soon as the window has had its events.
    if (preview_->PendingDecodes() > 0 && !timer_->isActive())
        timer_->start(0);
}

void AutoLayoutDialog::PaintContent(QPainter& p)
{
    p.setFont(font());
    p.setPen(skin::kText);
    constexpr int kLeft = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    constexpr int kRight = Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine;
    p.drawText(kLayout.layoutLabel, kLeft, QStringLiteral("Layout"));
    p.drawText(kLayout.spacingLabel, kLeft, QStringLiteral("Spacing"));
    p.drawText(kLayout.marginLabel, kLeft, QStringLiteral("Margin"));
    p.drawText(kLayout.aspectLabel, kLeft, QStringLiteral("Canvas aspect"));
    p.drawText(kLayout.spacingValue, kRight, QStringLiteral("%1 px").arg(spacing_->Position()));
    p.drawText(kLayout.marginValue, kRight, QStringLiteral("%1 px").arg(margin_->Position()));

    // The photo count and the canvas the layout gives, or how far decoding has come.
    const int count = static_cast<int>(order_.size());
    const auto& laidOut = preview_->LastLayout();
    QString status = count == 1 ? QStringLiteral("1 photo") : QStringLiteral("%1 photos").arg(count);
    if (laidOut.canvas.isValid())
        status += QStringLiteral(", canvas %1 x %2").arg(laidOut.canvas.width()).arg(laidOut.canvas.height());
    if (const int pending = preview_->PendingDecodes(); pending > 0)
        status += QStringLiteral(" - loading pictures (%1 left)").arg(pending);
    p.setPen(skin::kText);
    p.drawText(kLayout.status, kLeft, status);
}

bool AutoLayoutDialog::eventFilter(QObject* watched, QEvent* event)
{
    // A slider reports at the press and the release only; while its thumb is dragged the
    // number and the preview follow it too.
    if (event->type() == QEvent::MouseMove && (watched == spacing_ || watched == margin_)) {
        const bool handled = SkinDialog::eventFilter(watched, event);
        QMetaObject::invokeMethod(this, [this] {
            if (!spacing_->IsDragging() && !margin_->IsDragging())
                return;
            const autolayout::Choices before = choices_;
            ReadControls();
            if (choices_ != before) {
                update(kLayout.spacingValue.united(kLayout.marginValue));
                ScheduleRefresh();
            }
        }, Qt::QueuedConnection);
        return handled;
    }
    if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == aspect_->Edit() && aspect_->isEnabled()) {
            aspect_->ToggleDropDown();
            return true;
        }
    }
    return SkinDialog::eventFilter(watched, event);
}

void AutoLayoutDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (apply_->isEnabled())
            accept();
        return;
    }
    SkinDialog::keyPressEvent(event);
}
