#pragma once

// Pictures, library files and collages made at test time for the rendering tests.

#include "canvas/CollageModel.h"
#include "library/LibraryFiles.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace rendertest {

constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kGreen = 0xFF00FF00;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kYellow = 0xFFFFFF00;
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kGrey = 0xFFDDDDDD;

inline QImage Solid(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(QColor::fromRgba(colour));
    return image;
}

// Top-left red, top-right green, bottom-left blue, bottom-right yellow.
inline QImage Quadrants(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(0, 0, width / 2, height / 2, QColor::fromRgba(kRed));
    p.fillRect(width / 2, 0, width - width / 2, height / 2, QColor::fromRgba(kGreen));
    p.fillRect(0, height / 2, width / 2, height - height / 2, QColor::fromRgba(kBlue));
    p.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, QColor::fromRgba(kYellow));
    return image;
}

inline QString Save(const QTemporaryDir& dir, const QString& name, const QImage& image, int quality = -1)
{
    const QString path = dir.filePath(name);
    EXPECT_TRUE(image.save(path, nullptr, quality)) << path.toStdString();
    return path;
}

inline QByteArray Encoded(const QImage& image, const char* format = "PNG")
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// An image library file ("photomasks", "shape", "photoframes") of PNG entries.
inline void WriteImageLibrary(const QString& path, library::LibraryLayout layout, const std::vector<QImage>& pictures,
                              library::FrameOpening opening = {})
{
    std::vector<library::ImageEntryData> entries;
    for (const QImage& picture : pictures)
        entries.push_back({picture.width(), picture.height(), Encoded(picture), opening});
    QString error;
    ASSERT_TRUE(library::WriteImageFile(path, layout, entries, &error)) << error.toStdString();
}

inline void WriteThumbnailLibrary(const QString& path, const std::vector<QImage>& pictures)
{
    QString error;
    ASSERT_TRUE(library::WriteThumbnailFile(path, pictures, &error)) << error.toStdString();
}

// A photo of a picture file of `size` at canvas position (x, y) with draw and hit scale
// `scale`; returns its index.
inline int AddPhotoAt(CollageModel& model, const QString& path, QSize size, int x, int y, float scale)
{
    EXPECT_TRUE(model.AddPhoto(path, size.width(), size.height(), 0, 0));
    const int index = model.ItemCount() - 1;
    Photo& photo = std::get<Photo>(model.ItemAt(index));
    photo.posX = x;
    photo.posY = y;
    photo.drawScale = scale;
    photo.hitScale = scale;
    model.RebuildRegion(index);
    return index;
}

inline Photo& PhotoAt(CollageModel& model, int index)
{
    return std::get<Photo>(model.ItemAt(index));
}

// Largest difference of the red, green and blue channels.
inline int Distance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

inline QRgb At(const QImage& image, int x, int y)
{
    return image.pixel(x, y);
}

#define EXPECT_COLOUR_NEAR(image, x, y, expected, tolerance)                                              \
    EXPECT_LE(::rendertest::Distance(::rendertest::At(image, x, y), expected), tolerance)                 \
        << "at (" << (x) << ", " << (y) << "): " << std::hex << ::rendertest::At(image, x, y) << " vs " \
        << (expected)

// Number of pixels in which two pictures of the same size differ, and the largest
// channel difference.
struct Difference {
    long pixels = 0;
    int largest = 0;
};
inline Difference Compare(const QImage& a, const QImage& b)
{
    Difference d;
    if (a.size() != b.size()) {
        d.pixels = -1;
        return d;
    }
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            if (p[col] != q[col]) {
                ++d.pixels;
                d.largest = std::max({d.largest, Distance(p[col], q[col]), std::abs(qAlpha(p[col]) - qAlpha(q[col]))});
            }
        }
    }
    return d;
}

} // namespace rendertest
