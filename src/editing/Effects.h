#pragma once

// The whole-collage effect commands: one filter of the picture library run over the
// collage picture's pixels.

#include <QImage>

#include <cstdint>
#include <mutex>
#include <vector>

class CxImage;

// Command ids of the effects (11983, 11987 are not effects).
enum EffectCommand : int {
    kEffectErode = 11980,     // Erode (2)
    kEffectDilate = 11981,    // Dilate (2)
    kEffectNoise = 11982,     // Noise (50)
    kEffectJitter = 11984,    // Jitter (2)
    kEffectMedian = 11985,    // Median (3)
    kEffectContour = 11986,   // Contour
    kEffectEmboss = 11988,    // 3 x 3 (0, 0, -1; 0, 0, 0; 1, 0, 0), divisor 0, offset 127
    kEffectEdge = 11989,      // Edge (2)
    kEffectSharpen = 11990,   // 3 x 3 (-1 around 15), divisor 7
    kEffectGaussian5 = 11991, // 5 x 5 Gaussian-like, divisor 52
    kEffectGaussian3 = 11992, // 3 x 3 (1, 2, 1; 2, 4, 2; 1, 2, 1), divisor 16
    kEffectBlur = 11993,      // 3 x 3 ones, divisor 9
    kEffectSoften = 11994,    // 3 x 3 (1 around 8), divisor 16
};

bool IsEffectCommand(int commandId);

// A 24-bit collage picture as the canvas holds it for the effects: width x height
// pixels of blue, green, red, bottom row first, rows of width x 3 bytes, no padding.
struct CollagePicture {
    std::vector<std::uint8_t> pixels;
    int width = 0;
    int height = 0;
};

// Runs the effect of the command on the picture: the pixels go to the library through
// PictureLoader::FromPixels, the filter runs with SetProgress (0) and SetEscape (0)
// before and SetProgress (100) after, and the library's rows come back, row i to row i
// of a new buffer of the library's width x height. False, with the picture untouched,
// for an id that is no effect, a picture whose buffer does not match its size, or a
// filter that fails or is stopped.
bool ApplyEffect(int commandId, CollagePicture& picture);

// Progress and stop of an effect running on another thread. The thread that runs the
// effect hands its monitor to ApplyEffect; any other thread may read Progress() and call
// Stop() at any time, before, during or after the filter.
class EffectMonitor {
public:
    // 0..100: the running filter's progress; 100 once it ended.
    long Progress() const;
    // Asks the filter to stop at its next row; the effect then fails and leaves the
    // picture untouched. A stop before the filter starts keeps it from running.
    void Stop();
    bool Stopped() const;

private:
    friend bool ApplyEffect(int, CollagePicture&, EffectMonitor*);
    void Attach(CxImage* image);
    void Detach();

    mutable std::mutex mutex_;
    CxImage* image_ = nullptr;
    long progress_ = 0;
    bool stopped_ = false;
};

// ApplyEffect watched by a monitor (null: none).
bool ApplyEffect(int commandId, CollagePicture& picture, EffectMonitor* monitor);

// The picture as a collage picture (any alpha dropped), and back as a top-down RGB32
// picture (null when the buffer does not match the size).
CollagePicture CollagePictureFromImage(const QImage& image);
QImage ImageFromCollagePicture(const CollagePicture& picture);
