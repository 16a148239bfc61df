#pragma once

// The two small drawn buttons beside SkinButton; both follow SkinAbstractButton's rules
// (hover, command(Id()) on a release over the button, nothing when disabled).
//
// SkinCheckButton - the check-style bitmap button: a checked and an unchecked bitmap (by
// default the program's 16 x 16 boxes, skin::CheckArt) drawn at the left edge, vertically
// centred, and the caption 5 pixels after it. It is checkable; a click toggles it, and in an
// exclusive QButtonGroup (or with setAutoExclusive) a click checks it and unchecks the others,
// so exactly one of a group stays checked. It draws no background of its own: the parent's
// shows around it.
//
// SkinLabelButton - the flat label button: the dialog colour 221; hovered or pressed, white
// framed in black; the caption 5 pixels from the left, vertically centred, in the button text
// colour (120 grey when disabled); with the emboss flag the caption again one pixel right of
// and below it in 240 grey. An "&" in the caption underlines the letter after it (the
// mnemonic) and is not drawn.

#include "ui/skin/SkinButton.h"

class SkinCheckButton : public SkinAbstractButton {
    Q_OBJECT
public:
    SkinCheckButton(int id, QWidget* parent);
    SkinCheckButton(const QRect& rect, QWidget* parent, int id);

    // Both null (the default) means the program's own boxes.
    void SetBitmaps(const QPixmap& checked, const QPixmap& unchecked);
    void SetCaption(const QString& caption) { setText(caption); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap checked_;
    QPixmap unchecked_;
};

class SkinLabelButton : public SkinAbstractButton {
    Q_OBJECT
public:
    SkinLabelButton(int id, QWidget* parent);
    SkinLabelButton(const QRect& rect, QWidget* parent, int id);

    void SetCaption(const QString& caption) { setText(caption); }
    void SetEmboss(bool on);
    bool Emboss() const { return emboss_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool emboss_ = false;
};
