#pragma once

// Hostile files made at test time: headers that claim sizes far beyond their bytes, and
// valid small files whose headers were changed. Shared by the picture tests, the tool
// tests and the measuring script (bench/hostile_inputs.sh writes them out through
// MONTARA_HOSTILE_OUT).

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace hostile {

QByteArray LittleEndian(std::uint32_t value, int bytes);

// Header-only files claiming width x height (a few bytes of data after the header).
QByteArray PngClaiming(std::uint32_t width, std::uint32_t height);
QByteArray BmpClaiming(std::int32_t width, std::int32_t height);
QByteArray GifClaiming(std::uint16_t width, std::uint16_t height);
QByteArray TgaClaiming(std::uint16_t width, std::uint16_t height);
QByteArray PcxClaiming(std::uint16_t xmax, std::uint16_t ymax);
QByteArray PpmClaiming(std::uint32_t width, std::uint32_t height);
QByteArray PbmClaiming(std::uint32_t width, std::uint32_t height);
// A WBMP of 16 bytes claiming width x height (the pixels would take width/8 x height).
QByteArray WbmpClaiming(std::uint32_t width, std::uint32_t height);
// A GIF of 23 bytes, its signature damaged ("GIF89!"), its logical screen screenWidth x 0
// and its first frame frameWidth x frameHeight with no codes.
QByteArray GifWithoutScreenHeight(std::uint16_t screenWidth, std::uint16_t frameWidth, std::uint16_t frameHeight);
// A run-length (8-bit) bitmap file claiming width x height.
QByteArray RleBmpClaiming(std::int32_t width, std::int32_t height);
// A valid 16 x 16 JPEG (baseline, with camera data) whose frame header claims another size.
QByteArray JpegClaiming(std::uint16_t width, std::uint16_t height);
// The same, progressive (about 1 KB).
QByteArray ProgressiveJpegClaiming(std::uint16_t width, std::uint16_t height);
// A four-component (CMYK) JPEG claiming another size.
QByteArray CmykJpegClaiming(std::uint16_t width, std::uint16_t height);
// An enhanced metafile whose bounds are width x height pixels (284 bytes).
QByteArray EmfClaiming(std::int32_t width, std::int32_t height);
// A placeable Windows metafile whose box is width x height at 96 units per inch.
QByteArray WmfClaiming(std::uint16_t width, std::uint16_t height);
// A real, fully decodable black-and-white PNG of side x side pixels (1 bit a pixel).
QByteArray LargeBilevelPng(int side);
// An uncompressed 24-bit TGA of width x height (real pixels).
QByteArray PlainTga(std::uint16_t width, std::uint16_t height);
// A project file (header only) with the given canvas size.
QByteArray ProjectClaiming(std::int32_t width, std::int32_t height);

struct File {
    QString name;
    QByteArray bytes;
};
// One reproducer of each kind of the measured hostile inputs, named by what it claims.
std::vector<File> Reproducers();

// Writes the files into the folder named by MONTARA_HOSTILE_OUT when it is set (for the
// measuring script); does nothing otherwise.
void KeepWhenAsked(const std::vector<File>& files);

} // namespace hostile
