#pragma once

// The rules of the drawn combo box that need no widget: which item a typed letter jumps to,
// which item completes a typed text, and how the face bitmap (number 131) is cut into three
// pieces over a face of any width. CVelComboBox applies them; the tests call them directly.
//
// Bitmap 131 holds the four faces of the combo box one under the other, in the order of
// ComboFaceState, each kComboFace.width x kComboFace.height: a left cap, a middle that is
// stretched, and the drop-down button on the right, which is copied unscaled.

#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>

#include <array>

namespace combo {

struct ComboFaceLayout {
    int width;        // of one face in the bitmap
    int height;       // of one face, and the control's natural height
    int leftCap;      // copied unscaled from x 0
    int button;       // copied unscaled from x width - button
    int editLeft;     // the edit field starts here ...
    int editTop;      // ... and this far from the top and bottom
    int listLine;     // height of one line of the drop-down list
    int listVisible;  // lines the drop-down shows before it scrolls
    int listTextInset;
};

inline constexpr ComboFaceLayout kComboFace{
    .width = 96,
    .height = 24,
    .leftCap = 4,
    .button = 22,
    .editLeft = 6,
    .editTop = 3,
    .listLine = 22,
    .listVisible = 12,
    .listTextInset = 7,
};

enum class ComboFaceState : int { Normal = 0, Hover = 1, Pressed = 2, Disabled = 3 };
inline constexpr int kComboFaceStates = 4;

// Draws bitmap 131: four faces, flat, in the colours of Skin.h.
QImage DrawComboFaceBitmap();

// One piece of the face: copy source (inside the state's face) to target.
struct FacePiece {
    QRect source;
    QRect target;
};

// The three pieces for a face of the given size. A face no wider than the cap and the button
// shows only those two, the button keeping the right end.
std::array<FacePiece, 3> ComboFacePieces(const QSize& face);

// The edit field's place in a face of the given size.
QRect ComboEditRect(const QSize& face);
// The drop-down button's place (a press there or on the face toggles the list).
QRect ComboButtonRect(const QSize& face);

// The first item whose first character is the letter, ignoring case; -1 when none.
int FirstItemWithInitial(const QStringList& items, QChar letter);

// The first item that begins with the typed text, same letter case; -1 when none or when
// the text is empty.
int FirstItemWithPrefix(const QStringList& items, const QString& typed);

} // namespace combo
