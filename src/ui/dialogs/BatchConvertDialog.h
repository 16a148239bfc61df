#pragma once

// BatchConvertDialog: the "Batch Convert" dialog (command 11996 of the main window). It
// converts a list of picture files into one format, writing the results into an output
// folder, on a worker (BatchConvertJob) so that the window stays responsive.
//
// The window is the skinned frame (three-piece side borders) on 230 grey with rounded
// corners, 560 x 375, centred on its owner; every position is in BatchConvertLayout.h. The
// labels, the output folder box and the progress bar are drawn; the two lists are
// CMstListBox: the picture files in the order added, and the eight formats with "JPG"
// selected at the start.
//
// Commands (OnCommand, also from the buttons):
//   10750 "Add Picture File": the multi-select file chooser with the picture filter; every
//         chosen path is appended to the list (no duplicate check), also during a run.
//   10751 "Convert": starts a run with the selected format into the output folder, unless a
//         run goes on or no format is selected.
//   10752 "Browse...": the folder chooser "Select Output Directory", opened at the output
//         folder; the chosen folder, with a "/" appended when missing, becomes the output
//         folder for the runs started from then on.
// The output folder starts as the documents folder + "Montara/Convert/", made when the
// dialog is created; the folder box shortens it in the middle when it does not fit and
// shows it whole as its tool tip.
//
// The progress bar fills done x 520 / files pixels, advanced after each file and empty
// again when a run ends. Closing (the close button 10010, Esc or the window manager) while
// no run goes on closes at once; during a run it asks "Are you sure to stop converting?"
// ("Confirm", Yes / No). On Yes the worker finishes the file it is converting and starts no
// other, and the dialog closes when it has ended; the window keeps working meanwhile. On No
// nothing changes.
//
// The choosers and the question are functions, replaceable by tests.

#include "ui/skin/SkinDialog.h"

#include <QStringList>

#include <functional>

class BatchConvertJob;
class CMstListBox;
class SkinButton;

class BatchConvertDialog : public SkinDialog {
    Q_OBJECT
public:
    using FileChooser = std::function<QStringList(QWidget* parent, const QString& filter)>;
    using FolderChooser = std::function<QString(QWidget* parent, const QString& start)>;
    using Question = std::function<bool(QWidget* parent, const QString& title, const QString& text)>;

    explicit BatchConvertDialog(QWidget* parent = nullptr);
    ~BatchConvertDialog() override;

    void SetFileChooser(FileChooser chooser) { fileChooser_ = std::move(chooser); }
    void SetFolderChooser(FolderChooser chooser) { folderChooser_ = std::move(chooser); }
    void SetQuestion(Question question) { question_ = std::move(question); }

    void OnCommand(int id);
    // What "Add Picture File" does with the chosen paths.
    void AddFiles(const QStringList& paths);

    QString OutputFolder() const { return outputFolder_; }
    BatchConvertJob& Job() const { return *job_; }
    CMstListBox* PictureList() const { return pictures_; }
    CMstListBox* FormatList() const { return formats_; }
    // True from a confirmed stop until the dialog closes.
    bool Stopping() const { return stopping_; }

    QSize sizeHint() const override;

public slots:
    // The close button, Esc and the window manager's close come here.
    void reject() override;

protected:
    bool event(QEvent* event) override;
    void PaintContent(QPainter& painter) override;

private:
    void AddPictureFile();
    void Convert();
    void Browse();
    void RunEnded();

    BatchConvertJob* job_;      // children
    CMstListBox* pictures_;
    CMstListBox* formats_;
    SkinButton* addFile_;
    SkinButton* convert_;
    SkinButton* browse_;
    QString outputFolder_;      // always ends in "/"
    bool stopping_ = false;
    FileChooser fileChooser_;
    FolderChooser folderChooser_;
    Question question_;
};
