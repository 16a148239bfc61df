#pragma once

// The "ColorPalette" window: a 190 x 150 pop-up with 12 greys and 216 colours in boxes of
// 9 x 9 on a 10-pixel pitch, and a light-grey strip with a preview swatch of the colour under
// the mouse, its "#RRGGBB" text and a small button that asks the owner for the system colour
// dialog. It grabs the mouse while open.
//
// Inside the palette the colour under the mouse is the box's. Outside it the palette is an
// eye-dropper: where the platform lets a program read screen pixels (X11) the colour is the
// screen pixel under the mouse; where it does not (Wayland) the palette picks only inside
// itself and says so in its tooltip (shown over the strip). Signals, with the numbers of the program's message
// table:
//   514  colourChosen(colour, global point)  a button released after a press (anywhere),
//                                             or the palette losing activation
//   1026 dialogRequested()                    the small button; the palette closes first
//   32   pointerOutside()                     the mouse moved outside the palette
// SetColour (1025) sets the colour shown before the mouse moves. Esc closes without a choice.

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <optional>

class QAbstractButton;

class ColorPalette : public QWidget {
    Q_OBJECT

public:
    explicit ColorPalette(QWidget* owner = nullptr);

    // Shows the palette with its top-left corner at `globalPos`, kept on that screen.
    void Popup(QPoint globalPos);

    void SetColour(std::uint32_t colour);
    std::uint32_t Colour() const { return colour_; }
    // The cell under the mouse (column 0 = greys), or (-1, -1).
    QPoint HoverCell() const { return hoverCell_; }

    // Whether screen pixels outside the program can be read on this platform.
    static bool CanReadScreen();
    // The screen pixel at a global point, when the platform allows reading it.
    static std::optional<std::uint32_t> ReadScreenPixel(QPoint globalPos);

    // The help shown over the strip: how to pick, and whether picking works outside.
    static QString HelpText();

    QAbstractButton* DialogButton() const { return dialogButton_; }
    QSize sizeHint() const override;

signals:
    void colourChosen(quint32 colour, QPoint globalPos);
    void dialogRequested();
    void pointerOutside();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Track(QPoint local, QPoint global);
    void Finish(bool post, QPoint globalPos);

    std::uint32_t colour_ = 0xFFFFFF;
    QPoint hoverCell_{-1, -1};
    QPoint lastGlobal_;
    bool pressed_ = false;
    bool finished_ = false;
    bool outside_ = false;
    QAbstractButton* dialogButton_ = nullptr;
};
