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

// A run of `count` items of `unit` bytes at `offset` from a record's start lies inside the
// record (64-bit arithmetic: the fields are a file's).
bool RunInside(std::uint64_t offset, std::uint64_t count, std::uint64_t unit, std::uint64_t from,
               std::uint64_t recordLength)
{
    return count == 0 || (offset >= from && offset <= recordLength && count * unit <= recordLength - offset);
}

// A 16-bit zero at or after `offset`, on a 2-byte step, inside the record.
bool TerminatedInside(const std::uint8_t* record, std::uint64_t offset, std::uint64_t recordLength)
{
    if (offset < kEmfHeaderMinimum)
        return false;
    for (std::uint64_t at = offset; at + 2 <= recordLength; at += 2) {
        if (record[at] == 0 && record[at + 1] == 0)
            return true;
    }
    return false;
}

// The strings and arrays the converter reads from where a record says they are must lie
// inside that record: the header's description and pixel format, and the text records'
// characters and spacing. The converter trusts these offsets and would read past the file.
bool RecordContentsInside(const std::uint8_t* data, std::size_t size)
{
    constexpr std::uint32_t kHeader = 1;
    constexpr std::uint32_t kTextAnsi = 83;
    constexpr std::uint32_t kTextWide = 84;
    std::size_t at = 0;
    while (at + kRecordHeaderSize <= size) {
        const std::uint8_t* record = data + at;
        const std::uint32_t type = le::ReadU32(record);
        const std::uint32_t length = le::ReadU32(record + 4);
        if (type == kHeader) {
            if (length < kEmfHeaderMinimum)
                return false;
            // The description: its characters inside the header and, as the converter reads
            // it up to a terminating zero, that zero too.
            const std::uint32_t description = le::ReadU32(record + 64);
            if (!RunInside(description, le::ReadU32(record + 60), 2, kEmfHeaderMinimum, length))
                return false;
            if (description != 0 && !TerminatedInside(record, description, length))
                return false;
            if (length >= 100 && !RunInside(le::ReadU32(record + 92), le::ReadU32(record + 88), 1, 100, length))
                return false;
        } else if (type == kTextAnsi || type == kTextWide) {
            if (length < 76)
                return false;
            const std::uint32_t chars = le::ReadU32(record + 44);
            if (!RunInside(le::ReadU32(record + 48), chars, type == kTextWide ? 2 : 1, 76, length))
                return false;
            const std::uint32_t spacing = le::ReadU32(record + 72);
            if (spacing != 0 && !RunInside(spacing, chars, 4, 76, length))
                return false;
        }
        at += length;
    }
    return true;
}

QByteArray ToSvg(const std::uint8_t* data, std::size_t size)
{
    if (!LoadEmfConverter() || !IsEnhancedMetafile(data, size) || !RecordsAreSound(data, size)
        || !RecordContentsInside(data, size))
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
