#pragma once

// What the Auto Layout dialog lets the user choose, without widgets: the three layouts,
// spacing and margin, the canvas aspect (a fixed list, "Keep" first) and the frame put
// on every photo; how those choices become layout options and a canvas size; the photos
// a layout takes from the collage; and the Shuffle button's reordering, driven by a
// seeded generator so that the same seed always gives the same orders.

#include "canvas/AutoLayout.h"

#include <QSize>

#include <array>
#include <cstdint>
#include <random>
#include <vector>

class CollageModel;

namespace autolayout {

struct AspectChoice {
    const char* caption;
    int width;  // 0: the canvas keeps its aspect
    int height;
};
inline constexpr std::array<AspectChoice, 8> kAspectChoices{{
    {"Keep", 0, 0},
    {"1:1", 1, 1},
    {"4:3", 4, 3},
    {"3:4", 3, 4},
    {"3:2", 3, 2},
    {"2:3", 2, 3},
    {"16:9", 16, 9},
    {"9:16", 9, 16},
}};

inline constexpr std::array<const char*, 3> kModeCaptions{"Grid", "Mosaic", "Fill"};

struct Choices {
    Mode mode = Mode::Grid;
    int spacing = 8;              // 0..kMaxSpacing
    int margin = 8;               // 0..kMaxSpacing
    int aspect = 0;               // index into kAspectChoices
    std::int32_t frameEntry = -1; // frame library entry, -1 for "No frame"

    bool operator==(const Choices&) const = default;
};

// The options Apply takes: spacing and margin clamped to 0..kMaxSpacing.
Options OptionsOf(const Choices& choices);
// The aspect of a choice (0 x 0 for "Keep" and for an index outside the list).
QSize AspectOf(int aspect);
// The canvas the collage gets: CanvasForAspect, then both sides rounded down to multiples
// of 4 as the collage settings store them.
QSize CanvasForChoice(QSize canvas, int aspect);

// Every photo on the collage, bottom first: what the layout from the canvas re-arranges.
std::vector<PhotoSource> PhotosOnCanvas(const CollageModel& model);

// Lays the photos out with these choices (Apply: one undo step with the frame and the
// canvas size).
bool ApplyChoices(CollageModel& model, std::span<const PhotoSource> photos, const Choices& choices);

// Reorders at random. Each call draws from the generator seeded once, so a seed gives
// the same sequence of orders; an order of two or more elements always changes.
class Shuffler {
public:
    explicit Shuffler(std::uint32_t seed) : engine_(seed) {}
    void Shuffle(std::vector<int>& order);

private:
    std::mt19937 engine_;
};

} // namespace autolayout
