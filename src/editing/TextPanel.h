#pragma once

// The text panel: the strip panel in which the user edits the current text settings and
// adds text items. It holds its own Text record (1140 bytes, the canvas's current text
// settings as the panel sees them) and tells its owner of every change:
//
//   signal            meaning
//   settingsChanged   transparency, font, a colour or the style changed: the record
//   textChanged       the user edited the text box: its whole text (at most 1000
//                     characters); the owner cuts it to the text field and updates the
//                     selected text item live
//   addRequested      "Add" was pressed, with the style selected in the gallery
//
// Every record sent carries the text box's current text (cut as FitTextField cuts it),
// also when the owner put it there with the box's signals blocked.
//
// Controls, from the top (y0 = height / 8): the "Transparency" panel slider 0..100 with
// its value printed above its right end, the "Font" list (installed families, see
// UsableFontFamilies), the "1st Color" and "2nd Color" colour buttons (popup captions
// "Color" and "Custom Color"), the style gallery labelled "Style", the multi-line text
// box (Enter starts a new line, at most 1000 characters; it takes the focus, and the
// owner keeps a pointer to it: TextBox()) and "Add". At creation the first font is chosen,
// style 0 and its colours are applied and lfHeight is 48. Picking a style puts its
// default colours into both buttons and the record.

#include "canvas/ItemRecords.h"

#include <QPlainTextEdit>
#include <QStringList>
#include <QWidget>

#include <functional>

class CVelColourPicker;
class CVelComboBox;
class PanelSlider;
class SkinButton;
class StyleGallery;

namespace textpanel {
// Control ids.
inline constexpr int kTransparencyId = 10020;
inline constexpr int kColour1Id = 10021;
inline constexpr int kColour2Id = 10022;
inline constexpr int kAddId = 10023;

// The most characters the text box holds.
inline constexpr int kTextBoxMaxChars = 1000;

// Layout, x from the panel's left edge; rows from y0 = height / 8.
inline constexpr int kLabelX = 20;
inline constexpr int kControlLeft = 110;
inline constexpr int kControlRight = 240;
inline constexpr int kSliderTop = 2;     // below y0; 13 high
inline constexpr int kSliderBottom = 15;
inline constexpr int kFontTop = kSliderTop + 20;
inline constexpr int kColour1Top = kFontTop + 25;
inline constexpr int kColour2Top = kColour1Top + 25;
inline constexpr int kRowHeight = 20;
inline constexpr int kGalleryLeft = 260;
inline constexpr int kGalleryTop = 20;   // and 20 above the bottom
inline constexpr int kTextBoxGap = 20;   // between the gallery and the text box
inline constexpr int kTextBoxTop = 20;
inline constexpr int kRightMargin = 20;
inline constexpr int kAddWidth = 76;
inline constexpr int kAddHeight = 20;
inline constexpr int kAddGap = 8;        // between the text box and "Add"

QRect SliderRect(QSize panel);
QRect FontRect(QSize panel);
QRect Colour1Rect(QSize panel);
QRect Colour2Rect(QSize panel);
QRect GalleryRect(QSize panel);
QRect TextBoxRect(QSize panel);
QRect AddRect(QSize panel);

// The font list: the families sorted without regard to case, each once, without names
// beginning with "@", "Aharoni", names that do not fit the 32-byte face name field and
// families `usable` refuses.
QStringList UsableFontFamilies(const QStringList& families, const std::function<bool(const QString&)>& usable);
// "Family [Foundry]", as Qt names a family several foundries make, without the foundry.
QString FamilyWithoutFoundry(const QString& family);
// The installed families Qt can draw with (not private, with at least one style), each
// by its plain name.
QStringList InstalledFontFamilies();

// The text as the 1000-byte text field keeps it: at most its first 999 characters, and
// no more whole characters than fit in 999 bytes of UTF-8 (a character is never cut).
QString FitTextField(const QString& text);
} // namespace textpanel

// The multi-line text box: plain text, Enter starts a new line, at most 1000 characters
// (typing or pasting beyond that keeps the first 1000).
class TextEditBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TextEditBox(QWidget* parent = nullptr);
    QSize sizeHint() const override;

private:
    void Limit();
};

class TextPanel : public QWidget {
    Q_OBJECT

public:
    explicit TextPanel(QWidget* parent = nullptr);

    const Text& Settings() const { return settings_; }

    PanelSlider* TransparencySlider() const { return transparency_; }
    CVelComboBox* FontList() const { return fonts_; }
    CVelColourPicker* Colour1Button() const { return colour1_; }
    CVelColourPicker* Colour2Button() const { return colour2_; }
    StyleGallery* Gallery() const { return gallery_; }
    TextEditBox* TextBox() const { return textBox_; }
    SkinButton* AddButton() const { return add_; }

    // What picking a style in the gallery does.
    void PickStyle(int style);
    // What choosing a font does; false for a name not in the list.
    bool PickFont(const QString& family);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void settingsChanged(const Text& settings);
    void textChanged(const QString& text);
    void addRequested(int style);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayOut();
    void Notify();

    Text settings_;
    PanelSlider* transparency_ = nullptr;
    CVelComboBox* fonts_ = nullptr;
    CVelColourPicker* colour1_ = nullptr;
    CVelColourPicker* colour2_ = nullptr;
    StyleGallery* gallery_ = nullptr;
    TextEditBox* textBox_ = nullptr;
    SkinButton* add_ = nullptr;
};
