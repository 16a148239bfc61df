#include "editing/RowWriters.h"

#include <QColorSpace>
#include <QIODevice>

#include "base/LittleEndian.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

#include <jpeglib.h>
#include <png.h>

namespace {

// The largest marker body.
constexpr int kMaxMarker = 65533;
// The bytes handed to the device at a time.
constexpr std::size_t kOutputBuffer = std::size_t(1) << 16;

bool Writable(const QImage& picture)
{
    return !picture.isNull() && picture.format() == QImage::Format_RGB888 && picture.textKeys().isEmpty();
}

// --- JPEG ----------------------------------------------------------------------------

struct JpegErrors {
    jpeg_error_mgr standard;
    std::jmp_buf recovery;
};

[[noreturn]] void JpegFail(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->recovery, 1);
}

void JpegQuiet(j_common_ptr) {}

// The destination: a buffer emptied into the device.
struct JpegDestination {
    jpeg_destination_mgr manager;
    QIODevice* device;
    JOCTET buffer[kOutputBuffer];
};

void InitDestination(j_compress_ptr) {}

boolean EmptyBuffer(j_compress_ptr info)
{
    auto* destination = reinterpret_cast<JpegDestination*>(info->dest);
    if (destination->device->write(reinterpret_cast<const char*>(destination->buffer), qint64(kOutputBuffer))
        != qint64(kOutputBuffer))
        (*info->err->error_exit)(reinterpret_cast<j_common_ptr>(info));
    destination->manager.next_output_byte = destination->buffer;
    destination->manager.free_in_buffer = kOutputBuffer;
    return TRUE;
}

void TermDestination(j_compress_ptr info)
{
    auto* destination = reinterpret_cast<JpegDestination*>(info->dest);
    const auto count = qint64(kOutputBuffer - destination->manager.free_in_buffer);
    if (destination->device->write(reinterpret_cast<const char*>(destination->buffer), count) != count)
        (*info->err->error_exit)(reinterpret_cast<j_common_ptr>(info));
}

// What the compressor needs, worked out before the library is called.
struct JpegSettings {
    int width;
    int height;
    int quality;
    int densityUnit;
    int xDensity;
    int yDensity;
    const QByteArray* profile; // empty: none
    const QImage* picture;
    const RowGate* gate;
};

// Only plain data lives here: the error handler jumps back into this function over
// library frames only.
bool Compress(jpeg_compress_struct& info, JpegErrors& errors, JpegDestination& destination, const JpegSettings& s)
{
    info.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = JpegFail;
    errors.standard.output_message = JpegQuiet;
    if (setjmp(errors.recovery) != 0)
        return false;
    jpeg_create_compress(&info);
    destination.manager.init_destination = InitDestination;
    destination.manager.empty_output_buffer = EmptyBuffer;
    destination.manager.term_destination = TermDestination;
    destination.manager.next_output_byte = destination.buffer;
    destination.manager.free_in_buffer = kOutputBuffer;
    info.dest = &destination.manager;
    info.image_width = JDIMENSION(s.width);
    info.image_height = JDIMENSION(s.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    info.density_unit = UINT8(s.densityUnit);
    info.X_density = UINT16(s.xDensity);
    info.Y_density = UINT16(s.yDensity);
    jpeg_set_quality(&info, s.quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    // The profile in markers of "ICC_PROFILE\0", the marker's number and the count.
    const int profileSize = int(s.profile->size());
    if (profileSize > 0) {
        constexpr int chunk = kMaxMarker - (12 + 2);
        const int markers = (profileSize + chunk - 1) / chunk;
        for (int marker = 1, at = 0; marker <= markers; ++marker, at += chunk) {
            const int length = std::min(profileSize - at, chunk);
            jpeg_write_m_header(&info, JPEG_APP0 + 2, unsigned(12 + 2 + length));
            for (const char c : {'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', '\0'})
                jpeg_write_m_byte(&info, c);
            jpeg_write_m_byte(&info, marker);
            jpeg_write_m_byte(&info, markers);
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(s.profile->constData()) + at;
            for (int i = 0; i < length; ++i)
                jpeg_write_m_byte(&info, bytes[i]);
        }
    }
    while (info.next_scanline < info.image_height) {
        const int y = int(info.next_scanline);
        if (!(*s.gate)(y + 1)) {
            jpeg_abort_compress(&info);
            return false;
        }
        JSAMPROW row = const_cast<JSAMPROW>(s.picture->constScanLine(y));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    return true;
}

// --- PNG -----------------------------------------------------------------------------

struct PngOutput {
    QIODevice* device;
    bool failed;
};

void PngWrite(png_structp png, png_bytep data, png_size_t length)
{
    auto* output = static_cast<PngOutput*>(png_get_io_ptr(png));
    if (output->device->write(reinterpret_cast<const char*>(data), qint64(length)) != qint64(length)) {
        output->failed = true;
        png_error(png, "write failed");
    }
}

void PngFlush(png_structp) {}

void PngWarning(png_structp, png_const_charp) {}

struct PngSettings {
    int width;
    int height;
    int level;
    int xDensity; // dots per metre
    int yDensity;
    const QByteArray* profileName;
    const QByteArray* profile; // empty: none
    const QImage* picture;
    const RowGate* gate;
};

// Only plain data lives here (see Compress).
bool WritePng(png_structp png, png_infop info, PngOutput& output, const PngSettings& s)
{
    if (setjmp(png_jmpbuf(png)) != 0)
        return false;
    png_set_benign_errors(png, 1);
    png_set_compression_level(png, s.level);
    png_set_write_fn(png, &output, PngWrite, PngFlush);
    png_set_IHDR(png, info, png_uint_32(s.width), png_uint_32(s.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    if (!s.profile->isEmpty())
        png_set_iCCP(png, info, s.profileName->constData(), PNG_COMPRESSION_TYPE_BASE,
                     reinterpret_cast<png_const_bytep>(s.profile->constData()), png_uint_32(s.profile->size()));
    if (s.xDensity > 0 || s.yDensity > 0)
        png_set_pHYs(png, info, png_uint_32(s.xDensity), png_uint_32(s.yDensity), PNG_RESOLUTION_METER);
    png_write_info(png, info);
    png_set_packing(png);
    for (int y = 0; y < s.height; ++y) {
        if (!(*s.gate)(y + 1))
            return false;
        png_write_row(png, s.picture->constScanLine(y));
    }
    png_write_end(png, info);
    return true;
}

} // namespace

bool WriteJpegRows(const QImage& picture, int quality, QIODevice& device, const RowGate& gate)
{
    if (!Writable(picture) || !gate)
        return false;
    JpegSettings settings{};
    settings.width = picture.width();
    settings.height = picture.height();
    settings.quality = std::clamp(quality, 0, 100);
    // Whichever unit holds the dots per metre more closely, as the platform chooses.
    const int dpmX = picture.dotsPerMeterX();
    const int dpmY = picture.dotsPerMeterY();
    const qreal diffInch = qAbs(dpmX * 2.54 / 100. - qRound(dpmX * 2.54 / 100.))
        + qAbs(dpmY * 2.54 / 100. - qRound(dpmY * 2.54 / 100.));
    const qreal diffCm = (qAbs(dpmX / 100. - qRound(dpmX / 100.)) + qAbs(dpmY / 100. - qRound(dpmY / 100.))) * 2.54;
    if (diffInch < diffCm) {
        settings.densityUnit = 1;
        settings.xDensity = qRound(dpmX * 2.54 / 100.);
        settings.yDensity = qRound(dpmY * 2.54 / 100.);
    } else {
        settings.densityUnit = 2;
        settings.xDensity = (dpmX + 50) / 100;
        settings.yDensity = (dpmY + 50) / 100;
    }
    const QByteArray profile = picture.colorSpace().iccProfile();
    settings.profile = &profile;
    settings.picture = &picture;
    settings.gate = &gate;
    auto destination = std::make_unique<JpegDestination>();
    destination->device = &device;
    jpeg_compress_struct info{};
    JpegErrors errors{};
    const bool written = Compress(info, errors, *destination, settings);
    jpeg_destroy_compress(&info);
    return written;
}

bool WritePngRows(const QImage& picture, int zlibLevel, QIODevice& device, const RowGate& gate)
{
    if (!Writable(picture) || !gate)
        return false;
    PngSettings settings{};
    settings.width = picture.width();
    settings.height = picture.height();
    settings.level = std::clamp(zlibLevel, 0, 9);
    settings.xDensity = picture.dotsPerMeterX();
    settings.yDensity = picture.dotsPerMeterY();
    const QColorSpace space = picture.colorSpace();
    QByteArray profileName;
    QByteArray profile;
    if (space.isValid()) {
        profileName = space.description().toLatin1();
        if (profileName.isEmpty())
            profileName = QByteArrayLiteral("Custom");
        profile = space.iccProfile();
    }
    settings.profileName = &profileName;
    settings.profile = &profile;
    settings.picture = &picture;
    settings.gate = &gate;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, PngWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    PngOutput output{&device, false};
    const bool written = WritePng(png, info, output, settings) && !output.failed;
    png_destroy_write_struct(&png, &info);
    return written;
}

namespace {

// Bytes gathered and handed to the device in large writes.
class Output {
public:
    explicit Output(QIODevice& device) : device_(device) { bytes_.reserve(int(kOutputBuffer)); }
    void Byte(std::uint8_t value)
    {
        bytes_.append(char(value));
        if (std::size_t(bytes_.size()) >= kOutputBuffer)
            Flush();
    }
    void Bytes(const void* data, std::size_t count)
    {
        bytes_.append(static_cast<const char*>(data), qsizetype(count));
        if (std::size_t(bytes_.size()) >= kOutputBuffer)
            Flush();
    }
    bool Flush()
    {
        if (!bytes_.isEmpty() && device_.write(bytes_) != bytes_.size())
            failed_ = true;
        bytes_.clear();
        return !failed_;
    }
    bool Failed() const { return failed_; }

private:
    QIODevice& device_;
    QByteArray bytes_;
    bool failed_ = false;
};

bool Plain24(const QImage& picture)
{
    return !picture.isNull() && picture.format() == QImage::Format_RGB888;
}

// One row turned into blue-green-red.
void ReversedRow(const std::uint8_t* in, std::uint8_t* out, int width)
{
    for (int x = 0; x < width; ++x) {
        out[x * 3 + 0] = in[x * 3 + 2];
        out[x * 3 + 1] = in[x * 3 + 1];
        out[x * 3 + 2] = in[x * 3 + 0];
    }
}

} // namespace

bool WriteBmpRows(const QImage& picture, QIODevice& device, const RowGate& gate)
{
    if (!Plain24(picture) || !gate || !gate(picture.height()))
        return false;
    const int width = picture.width();
    const int height = picture.height();
    const std::uint32_t stride = (std::uint32_t(width) * 3 + 3) & ~3u;
    const std::uint32_t image = stride * std::uint32_t(height);
    std::uint8_t header[54] = {};
    header[0] = 'B';
    header[1] = 'M';
    le::WriteU32(header + 2, 54 + image);
    le::WriteU32(header + 10, 54);
    le::WriteU32(header + 14, 40);
    le::WriteU32(header + 18, std::uint32_t(width));
    le::WriteU32(header + 22, std::uint32_t(height));
    le::WriteU16(header + 26, 1);
    le::WriteU16(header + 28, 24);
    le::WriteU32(header + 34, image);
    le::WriteU32(header + 38, std::uint32_t(picture.dotsPerMeterX()));
    le::WriteU32(header + 42, std::uint32_t(picture.dotsPerMeterY()));
    Output out(device);
    out.Bytes(header, sizeof header);
    QByteArray row(qsizetype(stride), '\0');
    auto* bytes = reinterpret_cast<std::uint8_t*>(row.data());
    for (int y = height - 1; y >= 0; --y) {
        ReversedRow(picture.constScanLine(y), bytes, width);
        out.Bytes(bytes, stride);
    }
    return out.Flush();
}

bool WritePnmRows(const QImage& picture, QIODevice& device, const RowGate& gate)
{
    if (!Plain24(picture) || !gate)
        return false;
    Output out(device);
    const QByteArray header = QByteArray("P6\n") + QByteArray::number(picture.width()) + ' '
        + QByteArray::number(picture.height()) + "\n255\n";
    out.Bytes(header.constData(), std::size_t(header.size()));
    const std::size_t packed = std::size_t(picture.width()) * 3;
    for (int y = 0; y < picture.height(); ++y) {
        if (!gate(y + 1))
            return false;
        out.Bytes(picture.constScanLine(y), packed);
    }
    return out.Flush();
}

bool WriteTgaRows(const QImage& picture, QIODevice& device, const RowGate& gate)
{
    if (!Plain24(picture) || picture.width() > 0xFFFF || picture.height() > 0xFFFF || !gate)
        return false;
    const int width = picture.width();
    std::uint8_t header[18] = {};
    header[2] = 2; // true colour, no compression
    le::WriteU16(header + 12, std::uint16_t(width));
    le::WriteU16(header + 14, std::uint16_t(picture.height()));
    header[16] = 24;
    header[17] = 0x20; // the top-left origin: the rows follow from the top
    Output out(device);
    out.Bytes(header, sizeof header);
    QByteArray row(qsizetype(width) * 3, '\0');
    auto* bytes = reinterpret_cast<std::uint8_t*>(row.data());
    for (int y = 0; y < picture.height(); ++y) {
        if (!gate(y + 1))
            return false;
        ReversedRow(picture.constScanLine(y), bytes, width);
        out.Bytes(bytes, std::size_t(width) * 3);
    }
    return out.Flush();
}

bool WritePcxRows(const QImage& picture, QIODevice& device, const RowGate& gate)
{
    if (!Plain24(picture) || picture.width() > 0xFFFF || picture.height() > 0xFFFF || !gate)
        return false;
    const int width = picture.width();
    std::uint8_t header[128] = {};
    header[0] = 0x0A; // manufacturer
    header[1] = 5;    // version
    header[2] = 1;    // run-length coded
    header[3] = 8;    // bits a pixel a plane
    le::WriteU16(header + 8, std::uint16_t(width - 1));
    le::WriteU16(header + 10, std::uint16_t(picture.height() - 1));
    header[65] = 3; // planes
    le::WriteU16(header + 66, std::uint16_t(width));
    le::WriteU16(header + 68, 1); // colour
    Output out(device);
    out.Bytes(header, sizeof header);
    for (int y = 0; y < picture.height(); ++y) {
        if (!gate(y + 1))
            return false;
        const std::uint8_t* row = picture.constScanLine(y);
        for (int plane = 0; plane < 3; ++plane) {
            // A run of equal bytes (up to 63), or a single byte below 0xC0, as it stands.
            std::uint8_t previous = row[plane];
            int count = 1;
            auto put = [&] {
                if (count > 1 || (previous & 0xC0) == 0xC0)
                    out.Byte(std::uint8_t(0xC0 | count));
                out.Byte(previous);
            };
            for (int x = 1; x < width; ++x) {
                const std::uint8_t value = row[x * 3 + plane];
                if (value == previous && count < 63) {
                    ++count;
                    continue;
                }
                put();
                previous = value;
                count = 1;
            }
            put();
        }
    }
    return out.Flush();
}
