#pragma once

// Whole files as bytes and little-endian 32-bit fields inside them, for the tests of the
// program's binary files (library files, packs, the photo library, the install journal).

#include "base/LittleEndian.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <cstdint>

namespace testbytes {

// The file's bytes; empty when it cannot be read.
inline QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Replaces the file with the bytes (a test failure when it cannot).
inline void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

inline std::int32_t I32At(const QByteArray& bytes, qsizetype offset)
{
    return le::ReadI32(reinterpret_cast<const std::uint8_t*>(bytes.constData()) + offset);
}

inline void AppendI32(QByteArray& bytes, std::int32_t value)
{
    std::uint8_t raw[4];
    le::WriteI32(raw, value);
    bytes.append(reinterpret_cast<const char*>(raw), 4);
}

} // namespace testbytes
