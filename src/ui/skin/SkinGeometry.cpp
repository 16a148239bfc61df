#include "ui/skin/SkinGeometry.h"

#include "ui/skin/Skin.h"

#include <algorithm>

namespace skin {

namespace {

// Left, stretched middle and right piece of a horizontal strip laid along the window's width.
std::vector<Piece> HorizontalStrip(const StripLayout& strip, int width, int y)
{
    const int h = strip.artThickness;
    const int middle = std::max(0, width - strip.leftPiece - strip.rightPiece);
    std::vector<Piece> pieces;
    pieces.push_back({QRect(0, 0, strip.leftPiece, h), QRect(0, y, strip.leftPiece, h)});
    if (middle > 0)
        pieces.push_back({QRect(strip.middleSource, 0, strip.middleLength, h), QRect(strip.leftPiece, y, middle, h)});
    pieces.push_back({QRect(strip.rightSource, 0, strip.rightPiece, h),
                      QRect(width - strip.rightPiece, y, strip.rightPiece, h)});
    return pieces;
}

} // namespace

std::vector<Piece> ButtonPieces(QSize button)
{
    const int w = button.width();
    const int h = button.height();
    std::vector<Piece> pieces;
    pieces.push_back({QRect(0, 0, kButtonCap, h), QRect(0, 0, kButtonCap, h)});
    constexpr int kMiddle = kButtonRightCapX - kButtonCap;
    for (int x = kButtonCap; x < w - kButtonCap; x += kMiddle) {
        const int run = std::min(kMiddle, w - kButtonCap - x);
        pieces.push_back({QRect(kButtonCap, 0, run, h), QRect(x, 0, run, h)});
    }
    pieces.push_back({QRect(kButtonRightCapX, 0, kButtonCap, h), QRect(w - kButtonCap, 0, kButtonCap, h)});
    return pieces;
}

std::vector<Piece> BottomBorderPieces(QSize window)
{
    return HorizontalStrip(kBottomStrip, window.width(), window.height() - kBottomStrip.artThickness);
}

std::vector<Piece> CaptionBarPieces(QSize window)
{
    return HorizontalStrip(kCaptionStrip, window.width(), 0);
}

std::vector<Piece> SideBorderPieces(QSize window, SideForm form, bool right)
{
    const SideLayout& s = kSideStrip;
    const int x = right ? window.width() - s.artWidth : 0;
    const int w = s.artWidth;
    std::vector<Piece> pieces;
    if (form == SideForm::kStretch) {
        const int height = window.height() - kCaptionHeight;
        if (height > 0)
            pieces.push_back({QRect(0, 0, w, s.stretchSource), QRect(x, kCaptionHeight, w, height)});
        return pieces;
    }
    const int middle = window.height() - s.middleLess;
    int y = s.threeTop;
    pieces.push_back({QRect(0, 0, w, s.topPiece), QRect(x, y, w, s.topPiece)});
    y += s.topPiece;
    if (middle > 0) {
        pieces.push_back({QRect(0, s.middleSource, w, s.middleLength), QRect(x, y, w, middle)});
        y += middle;
    }
    pieces.push_back({QRect(0, s.bottomSource, w, s.bottomPiece), QRect(x, y, w, s.bottomPiece)});
    return pieces;
}

} // namespace skin
