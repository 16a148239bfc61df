#pragma once

// CropView: the photo of the crop dialog with its crop rectangle. It loads the photo itself
// (LoadForEditing: upright, at most about 1600 x 1200 for drawing, the decoded size kept for
// the result), shows it fitted into the view (never enlarged) and centred, and lets the user
// drag the rectangle: the eight handles resize it (only the corners while an aspect is held),
// a press inside moves it. All rectangle maths is CropGeometry's.
//
// Drawing: white; the photo stretched into its rectangle; the photo outside the crop dimmed
// with (50, 50, 50) at alpha 120; a one-pixel white frame around the crop; each active handle
// filled (150, 200, 255) and framed in black.
//
// The view lays itself out when it gets a photo or a new size: the image rectangle is fitted
// and the crop starts again inset by an eighth (then cut to the aspect held, if any).

#include "editing/CropGeometry.h"
#include "editing/PictureFiles.h"

#include <QImage>
#include <QWidget>

#include <optional>

class CropView : public QWidget {
    Q_OBJECT
public:
    explicit CropView(QWidget* parent = nullptr);
    ~CropView() override;

    // Loads the photo; false (and nothing shown) when it cannot be decoded.
    bool LoadPhoto(const QString& path);
    // Takes a picture already loaded (tests, and a caller that loaded it).
    void SetPicture(EditingPicture picture);
    bool HasPhoto() const { return !picture_.display.isNull(); }

    // a and b both non-zero: hold that aspect (the crop is remade from the current one);
    // otherwise no aspect is held and the crop stays as it is. Redraws.
    void SetAspect(float a, float b);

    const crop::Rect& ImageRect() const { return imageRect_; }
    const crop::Rect& CropRect() const { return cropRect_; }
    const crop::Aspect& Aspect() const { return aspect_; }
    bool Constrained() const { return aspect_.constrained; }
    // The crop in photo pixels of the decoded size; nothing without a photo.
    std::optional<crop::Rect> Result() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum class Drag { None, Resizing, Moving };

    void Layout();

    EditingPicture picture_;
    crop::Rect imageRect_;
    crop::Rect cropRect_;
    crop::Aspect aspect_;
    Drag drag_ = Drag::None;
    int dragHandle_ = crop::kNoHandle;
    QPoint dragStart_;
    crop::Rect savedRect_;
};
