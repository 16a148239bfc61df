#pragma once

// The Auto Layout dialog's preview, without widgets: a scratch copy of the collage (its
// settings, background, picture buffers and items, copied once; the collage itself is
// never touched) on which a layout is applied, drawn by the canvas renderer in preview
// mode at the zoom that fits a box, and undone again, so every preview starts from the
// collage as it was.
//
// Photos are drawn from small pictures decoded once per file (the whole picture, its
// longer side PictureSide(count) for count photos: the more photos, the smaller each is
// shown and kept) and cut and scaled for each preview, so a change of the choices
// decodes nothing. Decoding is done in slices (DecodeSome) so the dialog
// stays responsive with many photos; a photo whose picture is not decoded yet shows as
// a grey box. Photos with a mask or shape are left to the renderer, which draws them
// from their files as the canvas does.

#include "canvas/AutoLayoutChoices.h"
#include "canvas/CollageModel.h"

#include <QHash>
#include <QImage>
#include <QSize>
#include <QString>

#include <memory>
#include <span>
#include <vector>

class CanvasRenderer;

namespace autolayout {

class LayoutPreview {
public:
    // The longest side of a photo's preview picture: kPictureSide for one photo, less for
    // more (about twice what a photo gets in a grid of them), never under kMinPictureSide.
    static constexpr int kPictureSide = 384;
    static constexpr int kMinPictureSide = 64;
    static int PictureSide(int count);
    // The grey of a photo whose picture is not decoded yet.
    static constexpr QRgb kPendingGrey = 0xFFB4B4B4;

    LayoutPreview(const CollageModel& collage, const QString& dataFolder);
    ~LayoutPreview();
    LayoutPreview(const LayoutPreview&) = delete;
    LayoutPreview& operator=(const LayoutPreview&) = delete;

    // What the frame option reads (as the collage's reader does).
    void SetFrameOpeningReader(CollageModel::FrameOpeningReader reader);

    // The photos the layout places, as Apply takes them (item indexes name items of the
    // collage given at construction). Their pictures are queued for decoding.
    void SetPhotos(std::vector<PhotoSource> photos);
    const std::vector<PhotoSource>& Photos() const { return photos_; }

    // Decodes up to `count` queued pictures; returns how many are still queued.
    int DecodeSome(int count);
    int PendingDecodes() const { return static_cast<int>(pending_.size()); }
    // Files decoded so far (each file once).
    int Decodes() const { return decodes_; }

    // The collage laid out with these choices, the photos in this order (indexes into
    // Photos()), drawn at the largest zoom that fits `box`. Null when nothing could be
    // laid out.
    QImage Render(std::span<const int> order, const Choices& choices, QSize box);
    // The zoom of the last Render.
    float Zoom() const { return zoom_; }
    // What the last Render drew: the canvas size and every item's record (an invalid
    // canvas and no items when it drew nothing).
    struct Layout {
        QSize canvas;
        std::vector<CanvasItem> items;
    };
    const Layout& LastLayout() const { return laidOut_; }

private:
    void FillPhotoPictures();

    std::unique_ptr<CollageModel> model_;
    std::unique_ptr<CanvasRenderer> renderer_;
    Layout laidOut_;
    std::vector<PhotoSource> photos_;
    QHash<QString, QImage> pictures_; // by path; a null picture could not be read
    std::vector<QString> pending_;
    int decodes_ = 0;
    int pictureSide_ = kPictureSide;
    float zoom_ = 1.0f;
};

} // namespace autolayout
