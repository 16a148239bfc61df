#pragma once

// The colour picker's drop-down: 40 named colour boxes in 8 columns and 5 rows, an
// "Automatic" box above them and a "More Colours..." box below (each absent when its text is
// empty). It opens under its picker, grabs mouse and keyboard (a Qt popup) and ends once:
//
//   ended(colour, true)   a click inside, Enter or Space - with the current box's colour;
//                         "Automatic" gives 0xFF000000; "More Colours..." first asks the
//                         colour dialog, whose Cancel turns the end into ended(initial, false)
//   ended(initial, false) a click outside, Esc, or the popup closing in any other way
//
// Hovering a box or moving to it with the arrow keys makes it current and emits
// selectionChanged with its colour ("More Colours..." stands for the initial colour). The
// popup deletes itself after ending. Colours are 0x00BBGGRR values (ColourTable.h).

#include "ui/ColourTable.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>

// Asks the user for any colour, starting from `initial`; nothing when cancelled.
using ColourDialogFunction = std::function<std::optional<std::uint32_t>(std::uint32_t initial, QWidget* parent)>;
// The system colour dialog (QColorDialog), modal.
std::optional<std::uint32_t> RunSystemColourDialog(std::uint32_t initial, QWidget* parent);

class ColourPopup : public QWidget {
    Q_OBJECT

public:
    // A popup for a picker at `pickerRect` (global coordinates); it places itself on the
    // picker's screen and shows at once. `dialog` runs the "More Colours..." dialog.
    ColourPopup(const QRect& pickerRect, std::uint32_t initial, const QString& defaultText,
                const QString& customText, ColourDialogFunction dialog, QWidget* parent = nullptr);

    const colours::PopupLayout& Layout() const { return layout_; }
    std::uint32_t InitialColour() const { return initial_; }
    int CurrentBox() const { return current_; }
    int ChosenBox() const { return chosen_; }
    bool HasEnded() const { return ended_; }

    QSize sizeHint() const override { return layout_.size; }

signals:
    void selectionChanged(quint32 colour);
    void ended(quint32 colour, bool withChoice);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void SetCurrent(int box);
    void End(bool withChoice);
    void DrawColourBox(QPainter& painter, int index) const;
    void DrawTextBox(QPainter& painter, const QRect& box, const QString& text, int value) const;

    std::uint32_t initial_;
    QString defaultText_;
    QString customText_;
    ColourDialogFunction dialog_;
    colours::PopupLayout layout_;
    int current_ = colours::kBoxNone;
    int chosen_ = colours::kBoxNone;
    bool ended_ = false;
};
