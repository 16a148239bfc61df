#include "support/PictureTestSupport.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>
#include <QTransform>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace testpics {

namespace {

void Put16(QByteArray& out, int value, bool big)
{
    if (big) {
        out.append(char((value >> 8) & 0xFF));
        out.append(char(value & 0xFF));
    } else {
        out.append(char(value & 0xFF));
        out.append(char((value >> 8) & 0xFF));
    }
}

void Put32(QByteArray& out, std::uint32_t value, bool big)
{
    if (big) {
        Put16(out, int(value >> 16), true);
        Put16(out, int(value & 0xFFFF), true);
    } else {
        Put16(out, int(value & 0xFFFF), false);
        Put16(out, int(value >> 16), false);
    }
}

// One IFD entry; values longer than 4 bytes go to `data` at dataOffset.
struct Tag {
    int tag;
    int type;
    std::uint32_t count;
    QByteArray value; // already in the block's byte order
};

QByteArray Ifd(const std::vector<Tag>& tags, std::uint32_t at, bool big, std::uint32_t next = 0)
{
    // Layout: count, entries, next offset, then the long values.
    QByteArray entries;
    QByteArray data;
    const std::uint32_t dataStart = at + 2 + std::uint32_t(tags.size()) * 12 + 4;
    for (const Tag& tag : tags) {
        Put16(entries, tag.tag, big);
        Put16(entries, tag.type, big);
        Put32(entries, tag.count, big);
        if (tag.value.size() <= 4) {
            QByteArray inline4 = tag.value;
            inline4.append(QByteArray(4 - inline4.size(), '\0'));
            entries.append(inline4);
        } else {
            Put32(entries, dataStart + std::uint32_t(data.size()), big);
            data.append(tag.value);
            if (data.size() % 2)
                data.append('\0');
        }
    }
    QByteArray ifd;
    Put16(ifd, int(tags.size()), big);
    ifd.append(entries);
    Put32(ifd, next, big);
    ifd.append(data);
    return ifd;
}

QByteArray Ascii(const char* text)
{
    return QByteArray(text, qsizetype(std::strlen(text) + 1));
}

QByteArray Short(int value, bool big)
{
    QByteArray out;
    Put16(out, value, big);
    return out;
}

QByteArray Long(std::uint32_t value, bool big)
{
    QByteArray out;
    Put32(out, value, big);
    return out;
}

QByteArray Rational(std::uint32_t n, std::uint32_t d, bool big)
{
    QByteArray out;
    Put32(out, n, big);
    Put32(out, d, big);
    return out;
}

} // namespace

QImage Quadrants(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    const int hw = width / 2;
    const int hh = height / 2;
    QPainter painter(&picture);
    painter.fillRect(0, 0, hw, hh, QColor(255, 0, 0));
    painter.fillRect(hw, 0, width - hw, hh, QColor(0, 255, 0));
    painter.fillRect(0, hh, hw, height - hh, QColor(0, 0, 255));
    painter.fillRect(hw, hh, width - hw, height - hh, QColor(255, 255, 255));
    return picture;
}

QRgb QuadrantColour(const QImage& picture, int x, int y)
{
    const bool right = x >= picture.width() / 2;
    const bool bottom = y >= picture.height() / 2;
    if (!bottom)
        return right ? qRgb(0, 255, 0) : qRgb(255, 0, 0);
    return right ? qRgb(255, 255, 255) : qRgb(0, 0, 255);
}

QImage StoredForOrientation(const QImage& upright, int orientation)
{
    const QTransform clockwise = QTransform().rotate(90);
    const QTransform half = QTransform().rotate(180);
    const QTransform counter = QTransform().rotate(270);
    switch (orientation) {
    case 2: return upright.mirrored(true, false);
    case 3: return upright.transformed(half);
    case 4: return upright.mirrored(false, true);
    case 5: return upright.transformed(clockwise).mirrored(true, false); // transpose
    case 6: return upright.transformed(counter);
    case 7: return upright.transformed(clockwise).mirrored(true, false).transformed(half); // transverse
    case 8: return upright.transformed(clockwise);
    default: return upright;
    }
}

QByteArray ExifBlock(int orientation, bool big)
{
    QByteArray block("Exif", 4);
    block.append('\0');
    block.append('\0');
    QByteArray tiff = big ? QByteArray("MM", 2) : QByteArray("II", 2);
    Put16(tiff, 42, big);
    Put32(tiff, 8, big);
    // IFD0 at 8; the EXIF sub-IFD after it.
    std::vector<Tag> ifd0 = {
        {0x010F, 2, 12, Ascii("TestCompany")},
        {0x0110, 2, 10, Ascii("Model 700")},
        {0x0112, 3, 1, Short(orientation, big)},
        {0x8769, 4, 1, Long(0, big)},
    };
    const QByteArray first = Ifd(ifd0, 8, big);
    const std::uint32_t subAt = 8 + std::uint32_t(first.size());
    ifd0[3].value = Long(subAt, big);
    tiff.append(Ifd(ifd0, 8, big));
    const std::vector<Tag> sub = {
        {0x829A, 5, 1, Rational(1, 125, big)},
        {0x829D, 5, 1, Rational(28, 10, big)},
        {0x8827, 3, 1, Short(200, big)},
        {0x9003, 2, 20, Ascii("2021:06:05 14:03:02")},
        {0x920A, 5, 1, Rational(35, 1, big)},
    };
    tiff.append(Ifd(sub, subAt, big));
    block.append(tiff);
    return block;
}

QByteArray JpegWithExif(const QImage& picture, int orientation)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(95);
    writer.write(picture);
    buffer.close();
    if (orientation <= 0)
        return jpeg;
    const QByteArray exif = ExifBlock(orientation, orientation % 2 == 0);
    QByteArray segment;
    segment.append(char(0xFF));
    segment.append(char(0xE1));
    Put16(segment, int(exif.size() + 2), true);
    segment.append(exif);
    // Camera files put the EXIF segment first, straight after the start marker.
    jpeg.insert(2, segment);
    return jpeg;
}

QByteArray Wmf(int width, int height)
{
    return WmfOfRectangles(width, height, 0, 0);
}

QByteArray WmfOfRectangles(int width, int height, int extra, int side)
{
    auto record = [](int function, const QByteArray& params) {
        QByteArray out;
        Put32(out, std::uint32_t(3 + params.size() / 2), false);
        Put16(out, function, false);
        out.append(params);
        return out;
    };
    auto shorts = [](std::initializer_list<int> values) {
        QByteArray out;
        for (int v : values)
            Put16(out, v, false);
        return out;
    };
    auto brush = [&](std::uint32_t colour) {
        QByteArray out = shorts({0}); // solid
        Put32(out, colour, false);    // 0x00BBGGRR
        out += shorts({0});
        return out;
    };
    QByteArray pen = shorts({5, 0, 0}); // null pen
    Put32(pen, 0, false);
    QByteArray body;
    body += record(0x020B, shorts({0, 0}));          // SetWindowOrg (y, x)
    body += record(0x020C, shorts({height, width})); // SetWindowExt (y, x)
    body += record(0x02FC, brush(0x000000FF));       // object 0: red brush
    body += record(0x02FC, brush(0x00FF0000));       // object 1: blue brush
    body += record(0x02FA, pen);                     // object 2: null pen
    body += record(0x012D, shorts({2}));             // SelectObject
    body += record(0x012D, shorts({0}));
    body += record(0x041B, shorts({height / 2, width / 2, 0, 0})); // Rectangle (b, r, t, l)
    body += record(0x012D, shorts({1}));
    body += record(0x041B, shorts({height, width, height / 2, width / 2}));
    for (int i = 0; i < extra; ++i) {
        const int columns = std::max(1, width / std::max(1, side));
        const int left = (i % columns) * side % std::max(1, width);
        const int top = (i / columns) * side % std::max(1, height);
        body += record(0x012D, shorts({i % 2}));
        body += record(0x041B, shorts({top + side, left + side, top, left}));
    }
    body += record(0x0000, {}); // EOF
    QByteArray header;
    Put16(header, 1, false);
    Put16(header, 9, false);
    Put16(header, 0x0300, false);
    Put32(header, std::uint32_t(9 + body.size() / 2), false);
    Put16(header, 3, false);
    Put32(header, 8, false);
    Put16(header, 0, false);
    QByteArray placeable;
    Put32(placeable, 0x9AC6CDD7, false);
    Put16(placeable, 0, false);
    for (int v : {0, 0, width, height})
        Put16(placeable, v, false);
    Put16(placeable, 96, false);
    Put32(placeable, 0, false);
    int checksum = 0;
    for (int i = 0; i < 10; ++i)
        checksum ^= (std::uint8_t(placeable[i * 2]) | std::uint8_t(placeable[i * 2 + 1]) << 8);
    Put16(placeable, checksum, false);
    return placeable + header + body;
}

QByteArray Emf(int width, int height)
{
    QByteArray records;
    auto add = [&](std::initializer_list<std::uint32_t> values) {
        for (std::uint32_t v : values)
            Put32(records, v, false);
    };
    const auto w = std::uint32_t(width);
    const auto h = std::uint32_t(height);
    add({39, 24, 1, 0, 0x0000FF00, 0});        // CreateBrushIndirect 1: solid green
    add({39, 24, 2, 0, 0x00FF0000, 0});        // CreateBrushIndirect 2: solid blue
    add({37, 12, 0x80000008});                 // SelectObject: stock null pen
    add({37, 12, 1});                          // SelectObject
    add({43, 24, 0, 0, w / 2, h / 2});         // Rectangle
    add({37, 12, 2});
    add({43, 24, w / 2, h / 2, w, h});
    add({14, 20, 0, 16, 20});                  // EOF
    QByteArray header;
    const std::uint32_t headerSize = 108;
    for (std::uint32_t v : {1u, headerSize}) Put32(header, v, false);
    for (int v : {0, 0, width - 1, height - 1}) Put32(header, std::uint32_t(v), false);       // bounds
    for (int v : {0, 0, width * 2646 / 10, height * 2646 / 10}) Put32(header, std::uint32_t(v), false); // frame, 0.01 mm
    Put32(header, 0x464D4520, false);
    Put32(header, 0x10000, false);
    Put32(header, headerSize + std::uint32_t(records.size()), false);
    Put32(header, 9, false); // records
    Put16(header, 3, false);
    Put16(header, 0, false);
    for (std::uint32_t v : {0u, 0u, 0u}) Put32(header, v, false); // description, palette
    for (std::uint32_t v : {1024u, 768u, 271u, 203u}) Put32(header, v, false); // device px, mm
    for (std::uint32_t v : {0u, 0u, 0u}) Put32(header, v, false);
    for (std::uint32_t v : {271000u, 203000u}) Put32(header, v, false);
    return header + records;
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool RunProgram(const QString& program, const QStringList& arguments, QByteArray* out, QByteArray* err)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000))
        return false;
    if (out)
        *out = process.readAllStandardOutput();
    if (err)
        *err = process.readAllStandardError();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QRgb Decoded::At(int x, int y) const
{
    const qsizetype at = (qsizetype(y) * width + x) * 3;
    return qRgb(std::uint8_t(rgb[at]), std::uint8_t(rgb[at + 1]), std::uint8_t(rgb[at + 2]));
}

bool DecodeIndependently(const QString& path, Decoded& decoded)
{
    QByteArray info;
    QByteArray err;
    if (!RunProgram(QStringLiteral("identify"), {QStringLiteral("-format"), QStringLiteral("%w %h %m\\n"), path + "[0]"}, &info, &err)) {
        qWarning("identify %s: %s", qPrintable(path), err.constData());
        return false;
    }
    const QList<QByteArray> fields = info.split('\n').first().split(' ');
    if (fields.size() < 3)
        return false;
    decoded.width = fields[0].toInt();
    decoded.height = fields[1].toInt();
    decoded.format = QString::fromLatin1(fields[2]);
    if (!RunProgram(QStringLiteral("convert"), {path + "[0]", QStringLiteral("-depth"), QStringLiteral("8"), QStringLiteral("rgb:-")},
             &decoded.rgb))
        return false;
    return decoded.rgb.size() == qsizetype(decoded.width) * decoded.height * 3;
}

int Distance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

} // namespace testpics
