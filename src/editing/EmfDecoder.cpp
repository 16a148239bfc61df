#include "editing/EmfDecoder.h"

#include "base/LittleEndian.h"
#include "base/PictureBudget.h"

#include <QByteArray>
#include <QPainter>
#include <QSvgRenderer>

#include <dlfcn.h>

#include <cstdlib>
#include <mutex>

namespace {

// The converter's interface (emf2svg.h), resolved at run time.
struct GeneratorOptions {
    char* nameSpace;
    bool verbose;
    bool emfplus;
    bool svgDelimiter;
    double imgHeight;
    double imgWidth;
};
using Emf2SvgFunction = int (*)(char* contents, std::size_t length, char** out, std::size_t* outLength,
                                GeneratorOptions* options);

constexpr std::uint32_t kEmfSignature = 0x464D4520; // " EMF"
constexpr std::size_t kEmfHeaderMinimum = 88;
constexpr int kLargestSide = 16384;
// The most records the converter is given: each becomes an element that the renderer
// draws over the whole picture at worst.
constexpr std::uint32_t kMostRecords = 100000;
constexpr std::uint32_t kRecordHeaderSize = 8;

Emf2SvgFunction converter = nullptr;

// The records must tile the file: each a multiple of 4 bytes, at least 8, inside the
// file, at most kMostRecords of them.
bool RecordsAreSound(const std::uint8_t* data, std::size_t size)
{
    std::size_t at = 0;
    std::uint32_t count = 0;
    while (at + kRecordHeaderSize <= size) {
        const std::uint32_t length = le::ReadU32(data + at + 4);
        if (length < kRecordHeaderSize || length % 4 != 0 || length > size - at || ++count > kMostRecords)
            return false;
        at += length;
    }
    return count > 0;
}

QByteArray ToSvg(const std::uint8_t* data, std::size_t size)
{
    if (!LoadEmfConverter() || !IsEnhancedMetafile(data, size) || !RecordsAreSound(data, size))
        return {};
    // The converter takes a non-const buffer; give it a copy.
    QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    char nameSpace[] = "svg";
    GeneratorOptions options{nameSpace, false, true, true, 0.0, 0.0};
    char* out = nullptr;
    std::size_t outLength = 0;
    const int ok = converter(input.data(), std::size_t(input.size()), &out, &outLength, &options);
    QByteArray svg;
    if (ok && out && outLength > 0)
        svg = QByteArray(out, qsizetype(outLength));
    std::free(out);
    return svg;
}

// A size the renderer may draw at: sides up to kLargestSide, the picture and its copy
// within the picture budget.
bool UsableSize(const QSize& size)
{
    return size.width() > 0 && size.height() > 0 && size.width() <= kLargestSide && size.height() <= kLargestSide
        && budget::DecodeFits(size, size, budget::kMetafileBytesPerPixel);
}

// The size the converter draws at: the header's bounds, right - left by bottom - top.
QSize HeaderSize(const std::uint8_t* data, std::size_t size)
{
    if (!IsEnhancedMetafile(data, size))
        return {};
    const std::int64_t width = std::int64_t(le::ReadI32(data + 16)) - le::ReadI32(data + 8);
    const std::int64_t height = std::int64_t(le::ReadI32(data + 20)) - le::ReadI32(data + 12);
    if (width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide)
        return {};
    return QSize(int(width), int(height));
}

} // namespace

bool LoadEmfConverter()
{
    static std::once_flag once;
    std::call_once(once, [] {
        void* module = dlopen("libemf2svg.so.1", RTLD_NOW | RTLD_LOCAL);
        if (!module)
            module = dlopen("libemf2svg.so", RTLD_NOW | RTLD_LOCAL);
        if (!module)
            return;
        converter = reinterpret_cast<Emf2SvgFunction>(dlsym(module, "emf2svg"));
        // The module stays loaded for the life of the process.
    });
    return converter != nullptr;
}

bool IsEnhancedMetafile(const std::uint8_t* data, std::size_t size)
{
    if (!data || size < kEmfHeaderMinimum || le::ReadU32(data) != 1 || le::ReadU32(data + 40) != kEmfSignature)
        return false;
    // Bounds (inclusive) that hold no pixel mean there is nothing to draw.
    const std::int64_t left = le::ReadI32(data + 8);
    const std::int64_t top = le::ReadI32(data + 12);
    const std::int64_t right = le::ReadI32(data + 16);
    const std::int64_t bottom = le::ReadI32(data + 20);
    return right >= left && bottom >= top;
}

bool EnhancedMetafileSize(const std::uint8_t* data, std::size_t size, int& width, int& height)
{
    const QSize drawn = HeaderSize(data, size);
    if (drawn.isEmpty() || !RecordsAreSound(data, size))
        return false;
    width = drawn.width();
    height = drawn.height();
    return true;
}

QImage RenderEnhancedMetafile(const std::uint8_t* data, std::size_t size)
{
    // Nothing is converted or drawn for a size beyond the budget.
    if (!UsableSize(HeaderSize(data, size)))
        return {};
    const QByteArray svg = ToSvg(data, size);
    if (svg.isEmpty())
        return {};
    QSvgRenderer renderer(svg);
    if (!renderer.isValid() || !UsableSize(renderer.defaultSize()))
        return {};
    QImage picture(renderer.defaultSize(), QImage::Format_RGB32);
    if (picture.isNull())
        return {};
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    return picture;
}
