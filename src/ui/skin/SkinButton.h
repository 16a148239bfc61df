#pragma once

// The drawn buttons of every window: a common base with the hover and command rules, and
// the bitmap push button SkinButton. (The check-style and flat label buttons are in
// SkinFlatButtons.h.)
//
// Rules shared by every drawn button (SkinAbstractButton):
// - The state is one of normal (32), hover (16), pressed (1) and disabled (4) (skin::ButtonState).
//   Moving the mouse onto the button sets hover, leaving it sets normal, a left press sets
//   pressed; the release sets normal and, when it happens over the button, emits
//   command(Id()) once. A release outside the button sends nothing. A disabled button shows
//   the disabled state and ignores the mouse; enabling it again shows normal.
// - The command number is the button's identifier; it is also its objectName (decimal), so a
//   parent finds the button with findChild<SkinAbstractButton*>("10010"). Parents connect
//   command(int) to their one command routing function.
// - Buttons take no keyboard focus (the dialogs handle Enter and Esc themselves).
//
// SkinButton paints, in one pass: the dialog colour 221; the state bitmap (by default the
// program's own artwork drawn at the button's height, in the push or the tool-bar style, or
// four bitmaps given with SetBitmaps); the 16 x 16 icon centred (the disabled icon when disabled); the caption in the
// widget font (the application's GUI font), centred and moved by the text offset, in the text
// colour or 120 grey when disabled. With the three-piece flag (the default) the bitmap is laid
// as 12-pixel caps and a middle (skin::ButtonPieces); a button 24 pixels wide or less shows
// only its caps. Without it the bitmap is copied unscaled from its top-left corner.

#include "ui/skin/Skin.h"

#include <QAbstractButton>
#include <QIcon>
#include <QPixmap>

class SkinAbstractButton : public QAbstractButton {
    Q_OBJECT
public:
    SkinAbstractButton(int id, QWidget* parent);

    int Id() const { return id_; }
    skin::ButtonState State() const;

signals:
    // The button was pressed and released over itself while enabled.
    void command(int id);

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int id_;
    bool hover_ = false;
};

class SkinButton : public SkinAbstractButton {
    Q_OBJECT
public:
    SkinButton(int id, QWidget* parent);
    // Created with a rectangle in the parent, a parent and an identifier.
    SkinButton(const QRect& rect, QWidget* parent, int id);

    // The four state bitmaps; all null (the default) means the program's own artwork.
    void SetBitmaps(const QPixmap& normal, const QPixmap& hover, const QPixmap& pressed, const QPixmap& disabled);
    void SetCaption(const QString& caption) { setText(caption); }
    // Icons drawn 16 x 16; a null disabled icon is made from the enabled one, greyed.
    void SetIcons(const QPixmap& enabled, const QPixmap& disabled = {});
    void SetIcons(const QIcon& icon);
    void SetTextColour(const QColor& colour);
    void SetTextOffset(const QPoint& offset);
    void SetThreePiece(bool on);
    // Which of the program's own artworks it shows when it has no bitmaps of its own.
    void SetArtStyle(skin::ButtonArtStyle style);

    QColor TextColour() const { return textColour_; }
    QPoint TextOffset() const { return textOffset_; }
    bool ThreePiece() const { return threePiece_; }
    // The bitmap shown in the current state.
    QPixmap StateBitmap() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap bitmaps_[4]; // normal, hover, pressed, disabled
    QPixmap icon_;
    QPixmap disabledIcon_;
    QColor textColour_ = skin::kText;
    QPoint textOffset_;
    bool threePiece_ = true;
    skin::ButtonArtStyle artStyle_ = skin::ButtonArtStyle::kPush;
};
