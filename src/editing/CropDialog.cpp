#include "editing/CropDialog.h"

#include "editing/CropView.h"
#include "ui/skin/SkinFlatButtons.h"

#include <QButtonGroup>

CropDialog::CropDialog(QWidget* parent)
    : SkinDialog(parent),
      view_(new CropView(this)),
      presets_(new QButtonGroup(this)),
      crop_(new SkinButton(kCropCommand, this)),
      cancel_(new SkinButton(kCancelCommand, this))
{
    setWindowTitle(QStringLiteral("Crop Photo"));
    presets_->setExclusive(true);
    for (const crop::AspectPreset& preset : crop::kAspectPresets) {
        auto* button = new SkinCheckButton(preset.id, this);
        button->SetCaption(QString::fromLatin1(preset.caption));
        presets_->addButton(button, preset.id);
        connect(button, &SkinCheckButton::command, this, &CropDialog::PresetChosen);
    }
    presets_->button(crop::kAspectPresets.front().id)->setChecked(true);

    crop_->SetCaption(QStringLiteral("Crop"));
    cancel_->SetCaption(QStringLiteral("Cancel"));
    connect(crop_, &SkinButton::command, this, &CropDialog::Accept);
    connect(cancel_, &SkinButton::command, this, &QDialog::reject);
    resize(kCropLayout.dialog);
}

CropDialog::~CropDialog() = default;

bool CropDialog::LoadPhoto(const QString& path)
{
    return view_->LoadPhoto(path);
}

SkinCheckButton* CropDialog::PresetButton(int id) const
{
    return qobject_cast<SkinCheckButton*>(presets_->button(id));
}

QSize CropDialog::sizeHint() const
{
    return kCropLayout.dialog;
}

void CropDialog::resizeEvent(QResizeEvent* event)
{
    SkinDialog::resizeEvent(event);
    const CropLayout& l = kCropLayout;
    const QRect view(QPoint(l.viewLeft, l.viewTop), QPoint(width() - l.viewRight - 1, height() - l.viewBottom - 1));
    view_->setGeometry(view);
    const int step = view.height() / static_cast<int>(crop::kAspectPresets.size());
    int y = l.viewTop;
    for (const crop::AspectPreset& preset : crop::kAspectPresets) {
        presets_->button(preset.id)->setGeometry(QRect(QPoint(l.presetLeft, y), l.preset));
        y += step;
    }
    const int buttonTop = height() - l.buttonFromBottom;
    cancel_->setGeometry(QRect(QPoint(width() - l.cancelFromRight, buttonTop), l.button));
    crop_->setGeometry(QRect(QPoint(width() - l.cropFromRight, buttonTop), l.button));
}

void CropDialog::PresetChosen(int id)
{
    for (const crop::AspectPreset& preset : crop::kAspectPresets) {
        if (preset.id == id)
            view_->SetAspect(static_cast<float>(preset.a), static_cast<float>(preset.b));
    }
}

void CropDialog::Accept()
{
    result_ = view_->Result();
    accept();
}
