#include "ui/dialogs/BatchConvertDialog.h"

#include "editing/BatchConvertJob.h"
#include "editing/ConvertEngine.h"
#include "ui/CMstListBox.h"
#include "ui/dialogs/BatchConvertLayout.h"
#include "ui/skin/SkinButton.h"

#include <QDir>
#include <QHelpEvent>
#include <QFileDialog>
#include <QMessageBox>
#include <QPainter>
#include <QToolTip>

using namespace batchconvert;

namespace {

QStringList ChoosePictureFiles(QWidget* parent, const QString& filter)
{
    return QFileDialog::getOpenFileNames(parent, QLatin1String(kAddFileText), QString(), filter);
}

QString ChooseOutputFolder(QWidget* parent, const QString& start)
{
    QFileDialog chooser(parent, QLatin1String(kFolderCaption), start);
    chooser.setFileMode(QFileDialog::Directory);
    chooser.setOption(QFileDialog::ShowDirsOnly);
    chooser.setLabelText(QFileDialog::FileName, QLatin1String(kFolderPrompt));
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return {};
    return chooser.selectedFiles().constFirst();
}

bool AskYesNo(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

} // namespace

BatchConvertDialog::BatchConvertDialog(QWidget* parent)
    : SkinDialog(parent, skin::SideForm::kThreePiece),
      job_(new BatchConvertJob(this)),
      pictures_(new CMstListBox(this)),
      formats_(new CMstListBox(this)),
      addFile_(new SkinButton(kAddFileButton, this, kAddFileCommand)),
      convert_(new SkinButton(kConvertButton, this, kConvertCommand)),
      browse_(new SkinButton(kBrowseButton, this, kBrowseCommand)),
      outputFolder_(DefaultOutputFolder()),
      fileChooser_(ChoosePictureFiles),
      folderChooser_(ChooseOutputFolder),
      question_(AskYesNo)
{
    setWindowTitle(QLatin1String(kCaption));
    SetBackground(skin::kStatusBackground);
    setFixedSize(kDialogSize);
    SetCornerRadius(kCornerEllipse / 2);

    pictures_->setGeometry(kPictureList);
    formats_->setGeometry(kFormatList);
    for (const QString& format : ConvertEngine::FormatNames())
        formats_->AddString(format);
    formats_->SetCurSel(0);

    addFile_->SetCaption(QLatin1String(kAddFileText));
    convert_->SetCaption(QLatin1String(kConvertText));
    browse_->SetCaption(QLatin1String(kBrowseText));
    for (SkinButton* button : {addFile_, convert_, browse_})
        connect(button, &SkinButton::command, this, &BatchConvertDialog::OnCommand);

    connect(job_, &BatchConvertJob::progressed, this, qOverload<>(&QWidget::update));
    connect(job_, &BatchConvertJob::finished, this, &BatchConvertDialog::RunEnded);

    QDir().mkpath(outputFolder_);
}

BatchConvertDialog::~BatchConvertDialog() = default;

QSize BatchConvertDialog::sizeHint() const
{
    return kDialogSize;
}

void BatchConvertDialog::OnCommand(int id)
{
    switch (id) {
    case kAddFileCommand:
        AddPictureFile();
        break;
    case kConvertCommand:
        Convert();
        break;
    case kBrowseCommand:
        Browse();
        break;
    case skin::kCloseCommand:
        reject();
        break;
    default:
        break;
    }
}

void BatchConvertDialog::AddPictureFile()
{
    AddFiles(fileChooser_(this, QtFileFilter(kPictureFilter)));
}

void BatchConvertDialog::AddFiles(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    job_->AddFiles(paths);
    for (const QString& path : paths)
        pictures_->AddString(path);
    update(); // the bar's scale changes with the number of files
}

void BatchConvertDialog::Convert()
{
    if (job_->IsConverting())
        return;
    const int format = formats_->GetCurSel();
    if (format < 0 || format >= ConvertEngine::FormatNames().size())
        return;
    job_->Start(ConvertEngine::FormatNames().at(format), outputFolder_);
    update();
}

void BatchConvertDialog::Browse()
{
    QString folder = folderChooser_(this, outputFolder_);
    if (folder.isEmpty())
        return;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    outputFolder_ = folder;
    update();
}

void BatchConvertDialog::reject()
{
    if (stopping_)
        return; // closes by itself when the worker has ended
    if (job_->IsConverting()) {
        if (!question_(this, QLatin1String(kConfirmTitle), QLatin1String(kConfirmText)))
            return;
        // The run may have ended while the question was open.
        if (job_->IsConverting()) {
            stopping_ = true;
            job_->RequestStop();
            return; // RunEnded closes the dialog
        }
    }
    SkinDialog::reject();
}

void BatchConvertDialog::RunEnded()
{
    update();
    if (stopping_) {
        stopping_ = false;
        SkinDialog::reject();
    }
}

bool BatchConvertDialog::event(QEvent* event)
{
    // The folder box may show its text shortened: the whole folder as its tool tip.
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (kFolderBox.contains(help->pos())) {
            QToolTip::showText(help->globalPos(), outputFolder_, this, kFolderBox);
            return true;
        }
    }
    return SkinDialog::event(event);
}

void BatchConvertDialog::PaintContent(QPainter& p)
{
    constexpr int kLabelFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    p.setFont(font());
    p.setPen(skin::kText);
    p.drawText(kPictureLabel, kLabelFlags, QLatin1String(kPictureLabelText));
    p.drawText(kFormatLabel, kLabelFlags, QLatin1String(kFormatLabelText));
    p.drawText(kPathLabel, kLabelFlags, QLatin1String(kPathLabelText));

    // The output folder: on the dialog colour in a thin frame, shortened in the middle when
    // it does not fit, so that both its root and its last folder show.
    p.fillRect(kFolderBox, skin::kStatusBackground);
    p.setPen(skin::kFrameColour);
    p.drawRect(kFolderBox.adjusted(0, 0, -1, -1));
    const QRect text = kFolderBox.adjusted(kFolderTextInset, kFolderTextInset, -kFolderTextInset, -kFolderTextInset);
    p.setPen(skin::kText);
    p.drawText(text, kLabelFlags,
               fontMetrics().elidedText(outputFolder_, Qt::ElideMiddle, text.width()));

    p.setPen(skin::kFrameColour);
    p.drawRect(kProgressBar.adjusted(0, 0, -1, -1));
    const int fill = ProgressFill(job_->DoneCount(), job_->FileCount());
    if (fill > 0)
        p.fillRect(QRect(kProgressBar.topLeft(), QSize(fill, kProgressBar.height())), skin::kFrameColour);
}
