#pragma once

// The font of a text item as its record stores it: a 60-byte LOGFONTA. Only the face
// name and lfHeight carry meaning here; the other members are kept as read.

#include "base/LittleEndian.h"

#include <QString>

#include <array>
#include <cstdint>

struct LogFont {
    static constexpr int kSize = 60;
    static constexpr int kFaceNameOffset = 28;
    static constexpr int kFaceNameSize = 32;

    std::int32_t lfHeight = 48;
    std::int32_t lfWidth = 0;
    std::int32_t lfEscapement = 0;
    std::int32_t lfOrientation = 0;
    std::int32_t lfWeight = 400;
    std::uint8_t lfItalic = 0;
    std::uint8_t lfUnderline = 0;
    std::uint8_t lfStrikeOut = 0;
    std::uint8_t lfCharSet = 0;
    std::uint8_t lfOutPrecision = 0;
    std::uint8_t lfClipPrecision = 0;
    std::uint8_t lfQuality = 0;
    std::uint8_t lfPitchAndFamily = 0;
    std::array<char, kFaceNameSize> lfFaceName{}; // UTF-8, NUL-terminated

    QString FaceName() const
    {
        std::size_t n = 0;
        while (n < lfFaceName.size() && lfFaceName[n] != '\0')
            ++n;
        return QString::fromUtf8(lfFaceName.data(), static_cast<qsizetype>(n));
    }

    // Stores the name whole when it fits with its terminator; never cuts a character.
    bool SetFaceName(const QString& name)
    {
        const QByteArray bytes = name.toUtf8();
        if (bytes.size() >= kFaceNameSize)
            return false;
        lfFaceName.fill('\0');
        std::copy(bytes.begin(), bytes.end(), lfFaceName.begin());
        return true;
    }

    static LogFont Read(const std::uint8_t* p)
    {
        LogFont f;
        f.lfHeight = le::ReadI32(p + 0);
        f.lfWidth = le::ReadI32(p + 4);
        f.lfEscapement = le::ReadI32(p + 8);
        f.lfOrientation = le::ReadI32(p + 12);
        f.lfWeight = le::ReadI32(p + 16);
        f.lfItalic = p[20];
        f.lfUnderline = p[21];
        f.lfStrikeOut = p[22];
        f.lfCharSet = p[23];
        f.lfOutPrecision = p[24];
        f.lfClipPrecision = p[25];
        f.lfQuality = p[26];
        f.lfPitchAndFamily = p[27];
        std::copy(p + kFaceNameOffset, p + kFaceNameOffset + kFaceNameSize, reinterpret_cast<std::uint8_t*>(f.lfFaceName.data()));
        return f;
    }

    void Write(std::uint8_t* p) const
    {
        le::WriteI32(p + 0, lfHeight);
        le::WriteI32(p + 4, lfWidth);
        le::WriteI32(p + 8, lfEscapement);
        le::WriteI32(p + 12, lfOrientation);
        le::WriteI32(p + 16, lfWeight);
        p[20] = lfItalic;
        p[21] = lfUnderline;
        p[22] = lfStrikeOut;
        p[23] = lfCharSet;
        p[24] = lfOutPrecision;
        p[25] = lfClipPrecision;
        p[26] = lfQuality;
        p[27] = lfPitchAndFamily;
        std::copy(lfFaceName.begin(), lfFaceName.end(), reinterpret_cast<char*>(p + kFaceNameOffset));
    }
};

static_assert(LogFont::kFaceNameOffset + LogFont::kFaceNameSize == LogFont::kSize);
