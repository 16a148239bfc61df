#pragma once

// The small window shown while photos are imported into the library: the path whose turn
// it is, a drawn bar of how many paths have had their turn, and "Stop" (10603). It is not
// modal: the main window stays usable while the import runs. "Stop", the close button and
// Esc all ask to stop (stopRequested); the owner stops the importer and hides the window.

#include "ui/skin/SkinDialog.h"

namespace library {

inline constexpr int kImportStopButton = 10603;

struct ImportProgressLayout {
    int width = 440;
    int height = 150;
    int textTop = 44;     // the path's line, from the dialog's top
    int barTop = 70;      // the progress bar
    int barHeight = 12;
    int buttonWidth = 90; // "Stop", centred, above the bottom border
    int buttonHeight = 22;
    int buttonBottomGap = 8;
};
inline constexpr ImportProgressLayout kImportProgress{};

class PhotoImportProgress : public SkinDialog {
    Q_OBJECT
public:
    explicit PhotoImportProgress(QWidget* parent = nullptr);

    // The path now being imported and how many of total have had their turn.
    void SetProgress(const QString& path, int done, int total);
    QString CurrentPath() const { return path_; }
    int Done() const { return done_; }
    int Total() const { return total_; }
    SkinButton* StopButton() const { return stop_; }

    QSize sizeHint() const override;

signals:
    void stopRequested();

public slots:
    void reject() override;

protected:
    void PaintContent(QPainter& painter) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    SkinButton* stop_; // child
    QString path_;
    int done_ = 0;
    int total_ = 0;
};

} // namespace library
