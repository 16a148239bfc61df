#pragma once

// The colour picker: a push button showing the current colour on its own drawn face that
// drops down a ColourPopup when clicked. Colours are 0x00BBGGRR values; 0xFF000000 is
// "automatic" (ColourTable.h).
//
// State: a swatch colour and a background colour; the colour mode says which of them is
// the current colour (mode 1: the swatch colour; any other mode: the background colour; new
// pickers are in mode 2). The face always shows the current colour. The popup's texts
// (default "Automatic" and "More Colours...") can be changed; an empty text removes that box.
// With track-selection the current colour follows the colour under the mouse in the popup.
//
// Notifications, each with the colour and the picker's id (the numbers are those of the
// program's message table):
//   2025 selectionChanged    the popup's hovered colour changed (the colour follows only
//                            with track-selection)
//   2026 droppedDown         right after the popup opened, with the current colour
//   2027 closedUp            the popup ended, before one of the two below
//   2028 endedWithChoice     the user chose a colour
//   2029 endedWithoutChoice  the user cancelled; the colour the popup started with
// The picker sets its colour from the popup's value before it notifies, for 2029 too, so a
// cancel restores the starting colour.

#include "ui/ColourPopup.h"

#include <QPointer>
#include <QPushButton>

#include <cstdint>

class CVelColourPicker : public QPushButton {
    Q_OBJECT

public:
    explicit CVelColourPicker(int id, QWidget* parent = nullptr);
    CVelColourPicker(const QRect& rect, QWidget* parent, int id);

    int Id() const { return id_; }

    // The current colour (by the mode) and setting it; repaints at once.
    std::uint32_t GetColour() const;
    void SetColour(std::uint32_t colour);
    void SetSwatchColour(std::uint32_t colour);
    std::uint32_t SwatchColour() const { return swatch_; }
    void SetBackgroundColour(std::uint32_t colour);
    std::uint32_t BackgroundColour() const { return background_; }
    void SetColourMode(int mode);
    int ColourMode() const { return mode_; }

    void SetDefaultText(const QString& text) { defaultText_ = text; }
    QString DefaultText() const { return defaultText_; }
    void SetCustomText(const QString& text) { customText_ = text; }
    QString CustomText() const { return customText_; }
    void SetTrackSelection(bool on) { trackSelection_ = on; }
    bool TrackSelection() const { return trackSelection_; }

    // The dialog behind "More Colours..." (default: the system colour dialog).
    void SetColourDialog(ColourDialogFunction dialog) { dialog_ = std::move(dialog); }

    // True while the popup is open; the open popup, if any.
    bool IsActive() const { return active_; }
    ColourPopup* Popup() const { return popup_; }
    // Opens the popup (what a click does); nothing while it is open.
    void OpenPopup();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void selectionChanged(quint32 colour, int id);
    void droppedDown(quint32 colour, int id);
    void closedUp(quint32 colour, int id);
    void endedWithChoice(quint32 colour, int id);
    void endedWithoutChoice(quint32 colour, int id);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnPopupSelection(quint32 colour);
    void OnPopupEnded(quint32 colour, bool withChoice);

    int id_;
    std::uint32_t swatch_;
    std::uint32_t background_;
    int mode_ = 2;
    QString defaultText_;
    QString customText_;
    bool trackSelection_ = false;
    bool active_ = false;
    ColourDialogFunction dialog_;
    QPointer<ColourPopup> popup_;
};
