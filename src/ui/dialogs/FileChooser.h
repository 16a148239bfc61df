#pragma once

// The file and folder dialogs and the Yes/No question of the commands, behind small
// function types so that callers can be driven without a person (tests hand in functions
// that answer at once). The defaults show the real dialogs.
//
// A FileRequest names a dialog the way the commands describe it: open or save, the filter
// as a Qt filter string ("text (*.a *.b);;text (*.c)"), the initial file name, the suffix
// appended to a name typed without one (empty: none) and, for saving, whether an existing
// file is confirmed before it is replaced. The answer is the chosen full path, or an empty
// string for Cancel.

#include <QString>

#include <functional>

class QWidget;

namespace dialogs {

struct FileRequest {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    QString title;
    QString filter;
    QString initialName;
    QString defaultSuffix;
    bool confirmOverwrite = true;
    // The folder the dialog starts in; empty: the documents folder (the home folder when
    // there is none).
    QString folder;
    // The suffix follows the filter the user picks ("(*.png)" gives "png"); for pictures.
    bool suffixFollowsFilter = false;
};

using FileChooser = std::function<QString(QWidget* parent, const FileRequest& request)>;
// The chosen folder, or an empty string for Cancel.
using FolderChooser = std::function<QString(QWidget* parent, const QString& title)>;
// True for Yes. The box has the caption "Montara", the information icon, Yes and No.
using YesNoQuestion = std::function<bool(QWidget* parent, const QString& text)>;

// The real dialogs: QFileDialog, QFileDialog::getExistingDirectory, QMessageBox.
QString ChooseFile(QWidget* parent, const FileRequest& request);
QString ChooseFolder(QWidget* parent, const QString& title);
bool AskYesNo(QWidget* parent, const QString& text);

// The first pattern's suffix of a Qt filter entry: "(*.jpg)" gives "jpg", "(*.*)" or no
// pattern gives "".
QString SuffixOfFilter(const QString& filterEntry);

} // namespace dialogs
