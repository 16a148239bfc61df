#pragma once

// The item records of a collage: fixed-size little-endian byte layouts that the project
// file and the undo history copy byte for byte. Offsets are a file format: every one is
// a constant below with a static_assert on the layout, and every field is read and
// written explicitly (le::Read*/Write*), never by copying a struct.
//
// The 4-byte cache slots of a stored record are always written as 0 and ignored on
// reading; the cached objects themselves live outside the record (CollageModel keeps
// them in a table keyed by the item), because a pointer here is 8 bytes.
//
// Text fields (paths, the text of a text item) keep their bytes as stored: UTF-8,
// NUL-terminated, the rest of the field as it was. A field without a terminator ends
// at the end of the field. The setters store a value whole or refuse it; they never
// cut a character.

#include "editing/LogFont.h"
#include "editing/TuningFields.h"

#include <QRect>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <variant>

enum class ItemKind : std::int32_t {
    ClipArt = 0,
    BrushStamp = 1,
    Text = 4,
    Photo = 10,
};

// Record size of a kind value as stored; 0 for a value that carries no record.
int RecordSize(std::int32_t kind);
bool IsKnownKind(std::int32_t kind);
const char* KindName(ItemKind kind);

// A fixed byte field holding a NUL-terminated UTF-8 string.
template <std::size_t N>
struct TextField {
    std::array<char, N> bytes{};

    // Bytes up to the terminator, or the whole field when it has none.
    QByteArray Bytes() const
    {
        std::size_t n = 0;
        while (n < N && bytes[n] != '\0')
            ++n;
        return QByteArray(bytes.data(), static_cast<qsizetype>(n));
    }
    QString Value() const { return QString::fromUtf8(Bytes()); }

    // Stores the string when it fits with its terminator; the rest becomes zero bytes.
    bool Set(const QString& value) { return SetBytes(value.toUtf8()); }
    bool SetBytes(const QByteArray& value)
    {
        if (value.size() >= static_cast<qsizetype>(N) || value.contains('\0'))
            return false;
        bytes.fill('\0');
        std::copy(value.begin(), value.end(), bytes.begin());
        return true;
    }

    void Read(const std::uint8_t* p) { std::copy(p, p + N, reinterpret_cast<std::uint8_t*>(bytes.data())); }
    void Write(std::uint8_t* p) const { std::copy(bytes.begin(), bytes.end(), reinterpret_cast<char*>(p)); }
    bool operator==(const TextField&) const = default;
};

constexpr int kPathFieldSize = 260;
constexpr int kTextFieldSize = 1000;
using PathField = TextField<kPathFieldSize>;

struct Photo {
    static constexpr int kSize = 400;
    struct Off {
        static constexpr int creationOrder = 0;
        static constexpr int opacity = 4;
        static constexpr int frameIndex = 8;
        static constexpr int frameLeft = 12;
        static constexpr int frameTop = 16;
        static constexpr int frameRight = 20;
        static constexpr int frameBottom = 24;
        static constexpr int cropLeft = 28;
        static constexpr int cropTop = 32;
        static constexpr int cropRight = 36;
        static constexpr int cropBottom = 40;
        static constexpr int maskIndex = 44;
        static constexpr int selected = 48;
        static constexpr int angle = 52;
        static constexpr int sourceWidth = 56;
        static constexpr int sourceHeight = 60;
        static constexpr int baseWidth = 64;
        static constexpr int baseHeight = 68;
        static constexpr int drawScale = 72;
        static constexpr int hitScale = 76;
        static constexpr int posX = 80;
        static constexpr int posY = 84;
        static constexpr int dragX = 88;
        static constexpr int dragY = 92;
        static constexpr int path = 96;
        static constexpr int regionIndex = 356;
        static constexpr int cacheScreenRegion = 360;
        static constexpr int cacheDisplayImage = 364;
        static constexpr int cacheFrameImage = 368;
        static constexpr int tuning = 372; // tuneOn .. tuneGamma, 372..399
    };

    std::int32_t creationOrder = 0;
    float opacity = 0;
    std::int32_t frameIndex = 0;
    float frameLeft = 0;
    float frameTop = 0;
    float frameRight = 0;
    float frameBottom = 0;
    std::int32_t cropLeft = 0;
    std::int32_t cropTop = 0;
    std::int32_t cropRight = 0;
    std::int32_t cropBottom = 0;
    std::int32_t maskIndex = 0;
    std::int32_t selected = 0;
    float angle = 0;
    std::int32_t sourceWidth = 0;
    std::int32_t sourceHeight = 0;
    std::int32_t baseWidth = 0;
    std::int32_t baseHeight = 0;
    float drawScale = 0;
    float hitScale = 0;
    std::int32_t posX = 0;
    std::int32_t posY = 0;
    std::int32_t dragX = 0;
    std::int32_t dragY = 0;
    PathField path;
    std::int32_t regionIndex = 0;
    Tuning tuning;

    static Photo Read(const std::uint8_t* p);
    void Write(std::uint8_t* p) const;
    bool operator==(const Photo&) const = default;
};

struct ClipArt {
    static constexpr int kSize = 96;
    struct Off {
        static constexpr int reserved = 0;
        static constexpr int angle = 4;
        static constexpr int sourceIndex = 8;
        static constexpr int sourceWidth = 12;
        static constexpr int sourceHeight = 16;
        static constexpr int opacity = 20;
        static constexpr int selected = 24;
        static constexpr int fromMemory = 28;
        static constexpr int scale = 32;
        static constexpr int hitScale = 36;
        static constexpr int posX = 40;
        static constexpr int posY = 44;
        static constexpr int dragX = 48;
        static constexpr int dragY = 52;
        static constexpr int regionIndex = 56;
        static constexpr int cacheScreenRegion = 60;
        static constexpr int cachePicture = 64;
        static constexpr int tuning = 68; // 68..95
    };

    std::int32_t reserved = 0;
    float angle = 0;
    std::int32_t sourceIndex = 0;
    std::int32_t sourceWidth = 0;
    std::int32_t sourceHeight = 0;
    float opacity = 0;
    std::int32_t selected = 0;
    std::int32_t fromMemory = 0;
    float scale = 0;
    float hitScale = 0;
    std::int32_t posX = 0;
    std::int32_t posY = 0;
    std::int32_t dragX = 0;
    std::int32_t dragY = 0;
    std::int32_t regionIndex = 0;
    Tuning tuning;

    static ClipArt Read(const std::uint8_t* p);
    void Write(std::uint8_t* p) const;
    bool operator==(const ClipArt&) const = default;
};

// Same size as ClipArt; offsets 4..52 are used differently.
struct BrushStamp {
    static constexpr int kSize = 96;
    struct Off {
        static constexpr int reserved = 0;
        static constexpr int angle = 4;
        static constexpr int sourceIndex = 8;
        static constexpr int sourceWidth = 12;
        static constexpr int sourceHeight = 16;
        static constexpr int opacity = 20;
        static constexpr int selected = 24;
        static constexpr int scale = 28;
        static constexpr int hitScale = 32;
        static constexpr int posX = 36;
        static constexpr int posY = 40;
        static constexpr int dragX = 44;
        static constexpr int dragY = 48;
        static constexpr int tintColor = 52;
        static constexpr int regionIndex = 56;
        static constexpr int cacheScreenRegion = 60;
        static constexpr int cachePicture = 64;
        static constexpr int tuning = 68; // 68..95
    };

    std::int32_t reserved = 0;
    float angle = 0;
    std::int32_t sourceIndex = 0;
    std::int32_t sourceWidth = 0;
    std::int32_t sourceHeight = 0;
    float opacity = 0;
    std::int32_t selected = 0;
    float scale = 0;
    float hitScale = 0;
    std::int32_t posX = 0;
    std::int32_t posY = 0;
    std::int32_t dragX = 0;
    std::int32_t dragY = 0;
    std::uint32_t tintColor = 0; // COLORREF 0x00BBGGRR
    std::int32_t regionIndex = 0;
    Tuning tuning;

    static BrushStamp Read(const std::uint8_t* p);
    void Write(std::uint8_t* p) const;
    bool operator==(const BrushStamp&) const = default;
};

struct Text {
    static constexpr int kSize = 1140;
    struct Off {
        static constexpr int font = 0; // 60-byte LOGFONTA
        static constexpr int text = 60;
        static constexpr int style = 1060;
        static constexpr int creationOrder = 1064;
        static constexpr int angle = 1068;
        static constexpr int boxWidth = 1072;
        static constexpr int boxHeight = 1076;
        static constexpr int scale = 1080;
        static constexpr int colour1 = 1084;
        static constexpr int colour2 = 1088;
        static constexpr int selected = 1092;
        static constexpr int screenBox = 1096; // left, top, right, bottom
        static constexpr int transparency = 1112;
        static constexpr int posX = 1116;
        static constexpr int posY = 1120;
        static constexpr int dragX = 1124;
        static constexpr int dragY = 1128;
        static constexpr int regionIndex = 1132;
        static constexpr int cacheScreenRegion = 1136;
    };

    LogFont font = ZeroFont();
    TextField<kTextFieldSize> text;
    std::int32_t style = 0;
    std::int32_t creationOrder = 0;
    float angle = 0;
    std::int32_t boxWidth = 0;
    std::int32_t boxHeight = 0;
    float scale = 0;
    std::uint32_t colour1 = 0; // COLORREF
    std::uint32_t colour2 = 0;
    std::int32_t selected = 0;
    std::array<std::int32_t, 4> screenBox{};
    float transparency = 0;
    std::int32_t posX = 0;
    std::int32_t posY = 0;
    std::int32_t dragX = 0;
    std::int32_t dragY = 0;
    std::int32_t regionIndex = 0;

    static LogFont ZeroFont(); // every member 0, as a zeroed record holds it
    static Text Read(const std::uint8_t* p);
    void Write(std::uint8_t* p) const;
    bool operator==(const Text& other) const;
};

// One layer of the collage. The kind follows from the alternative held.
using CanvasItem = std::variant<ClipArt, BrushStamp, Text, Photo>;

ItemKind KindOf(const CanvasItem& item);
int RecordSize(const CanvasItem& item);

// Reads a record of the given kind from RecordSize(kind) bytes; nothing for a kind that
// carries no record.
std::optional<CanvasItem> ReadRecord(std::int32_t kind, const std::uint8_t* p);
// Writes RecordSize(item) bytes, cache slots 0.
void WriteRecord(const CanvasItem& item, std::uint8_t* p);

// False when any float of the record is a NaN or an infinity.
bool AllFloatsFinite(const CanvasItem& item);

// The fields every kind has, under the names the drawing code uses: w, h the unscaled
// size, s the draw scale, k the hit scale (1 for text), opacity (1 - transparency for
// text).
struct DrawFields {
    std::int32_t w = 0;
    std::int32_t h = 0;
    float s = 0;
    float k = 0;
    float angle = 0;
    std::int32_t left = 0;
    std::int32_t top = 0;
    float opacity = 0;
};
DrawFields DrawFieldsOf(const CanvasItem& item);

bool IsSelected(const CanvasItem& item);
void SetSelected(CanvasItem& item, bool selected);
std::int32_t RegionIndexOf(const CanvasItem& item);
void SetRegionIndex(CanvasItem& item, std::int32_t index);
void SetPosition(CanvasItem& item, std::int32_t x, std::int32_t y);
QPoint DragStartOf(const CanvasItem& item);
void SetDragStart(CanvasItem& item, std::int32_t x, std::int32_t y);
void SetAngle(CanvasItem& item, float angle);
void SetDrawScale(CanvasItem& item, float scale); // the draw scale s only

// The hit region of an item in its own unscaled frame: the rectangle from (0, 0) with
// the item's size times its hit scale, each side truncated (Photo: baseWidth x hitScale
// by baseHeight x hitScale; ClipArt, BrushStamp: sourceWidth x hitScale by
// sourceHeight x hitScale; Text: boxWidth by boxHeight).
QRect LocalRegionRect(const CanvasItem& item);

// trunc() of a float/double into an int32: values beyond the range saturate, NaN is 0.
// Every conversion of computed geometry goes through this, so a hostile record cannot
// cause an undefined conversion.
std::int32_t TruncToInt(double value);
