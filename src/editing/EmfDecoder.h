#pragma once

// Enhanced metafiles: converted to SVG by libemf2svg and drawn with Qt's SVG renderer.
//
// libemf2svg (through libuemf) and the WMF coder of the picture library (libwmf) both
// export a function named wmf_free; with both in the global symbol scope the WMF coder
// binds to the wrong one and reading a WMF crashes. The converter is therefore loaded
// with dlopen(RTLD_NOW | RTLD_LOCAL): its symbols stay private to it and are bound at
// load time. Internal to src/editing.

#include <QImage>

#include <cstddef>
#include <cstdint>

// Loads the converter once (thread-safe). False when it is not installed.
bool LoadEmfConverter();

// True for the header of an enhanced metafile (record 1 with the " EMF" signature)
// whose bounds hold at least one pixel.
bool IsEnhancedMetafile(const std::uint8_t* data, std::size_t size);

// The size the metafile is drawn at, in pixels, from its header's bounds alone (right -
// left by bottom - top, each side at most 16384), without drawing it. False when the
// records do not tile the file (at most 100,000 records). Drawing it is another matter:
// RenderEnhancedMetafile refuses a size beyond the picture budget.
bool EnhancedMetafileSize(const std::uint8_t* data, std::size_t size, int& width, int& height);

// Draws the metafile on white at its own size (within the picture budget); null on failure.
QImage RenderEnhancedMetafile(const std::uint8_t* data, std::size_t size);
