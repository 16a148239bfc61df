#pragma once

// Project files built byte by byte for the tests, independently of the writer.

#include "base/LittleEndian.h"
#include "canvas/ItemRecords.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>

namespace testfiles {

inline QByteArray I32(std::int32_t v)
{
    QByteArray b(4, '\0');
    le::WriteI32(reinterpret_cast<std::uint8_t*>(b.data()), v);
    return b;
}

// The 280-byte header; the path is written as given and zero-padded to 260 bytes.
inline QByteArray Header(std::int32_t width, std::int32_t height, const QByteArray& path, std::uint32_t color,
                         std::int32_t placement, std::int32_t count)
{
    QByteArray field = path.left(260);
    field.append(QByteArray(260 - field.size(), '\0'));
    return I32(width) + I32(height) + field + I32(static_cast<std::int32_t>(color)) + I32(placement) + I32(count);
}

inline QByteArray Entry(const CanvasItem& item)
{
    QByteArray record(RecordSize(item), '\0');
    WriteRecord(item, reinterpret_cast<std::uint8_t*>(record.data()));
    return I32(static_cast<std::int32_t>(KindOf(item))) + record;
}

inline Photo SamplePhoto()
{
    Photo p;
    p.opacity = 1.0f;
    p.frameLeft = 0.05f;
    p.frameTop = 0.05f;
    p.frameRight = 0.95f;
    p.frameBottom = 0.95f;
    p.cropRight = 640;
    p.cropBottom = 480;
    p.selected = 1;
    p.sourceWidth = 640;
    p.sourceHeight = 480;
    p.baseWidth = 640;
    p.baseHeight = 480;
    p.drawScale = 0.5f;
    p.hitScale = 0.25f;
    p.posX = 12;
    p.posY = 34;
    p.path.Set(QStringLiteral("/photos/sample.jpg"));
    p.regionIndex = 77; // whatever the file says, loading makes new regions
    p.tuning = Tuning::Created();
    return p;
}

inline Text SampleText()
{
    Text t;
    t.font.lfHeight = 48;
    t.font.SetFaceName(QStringLiteral("DejaVu Sans"));
    t.text.Set(QStringLiteral("Happy birthday"));
    t.style = 2;
    t.boxWidth = 301;
    t.boxHeight = 57;
    t.scale = 1.0f;
    t.colour1 = 0x000019C6;
    t.colour2 = 0x00FFFFFF;
    t.posX = 150;
    t.posY = 28;
    t.regionIndex = -5;
    return t;
}

inline ClipArt SampleClipArt()
{
    ClipArt c;
    c.sourceIndex = 2;
    c.sourceWidth = 101;
    c.sourceHeight = 60;
    c.opacity = 0.5f;
    c.scale = 1.5f;
    c.hitScale = 0.5f;
    c.tuning = Tuning::Created();
    return c;
}

inline bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

inline QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace testfiles
