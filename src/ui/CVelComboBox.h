#pragma once

// CVelComboBox: the program's drawn combo box. An edit field (identifier 10009, in the
// default GUI font) on a face drawn from bitmap 131 (ComboBoxRules.h), and a drop-down list
// that the box draws itself. Items are an ordered list of texts, each with three integers of
// item data. The main window's zoom box is one ("75%", "100%", ...).
//
// Keys, in the edit field or in the open list:
//   - a letter A-Z / a-z moves the list's current line to the first item whose first
//     character is that letter, ignoring case (the letter is typed into the field as well);
//   - Enter chooses the list's current line, Esc closes the list without a choice;
//   - Up and Down move the list's current line while the list is open, and the selection
//     while it is closed; F4, Alt+Up and Alt+Down open or close the list;
//   - Backspace and Delete switch completion off for that keystroke, any other key on;
//   - with auto-complete (style bit 8), each change the user types completes the field with
//     the first item that begins with the typed text (same letter case), the completed part
//     selected so that typing on replaces it; Right with the caret at the end completes again.
//     Completion never runs while the program sets the text (SetText, SetCurSel).
//   - with the suggestion list (style bit 16), typing opens the list on the completed item.
//
// Notifications go out as notify(code), the codes of a standard combo box, in this order:
//   choosing a line: 1 (only when the selection changes), 9, 8;
//   Esc, a click outside or hiding the open list: 10, 8;   opening: 7;
//   a user edit: 6 (text about to show), 5 (text changed); focus: 3 gained, 4 lost.
// A selection change made by the program sends nothing.

#include "ui/ComboBoxRules.h"

#include <QPixmap>
#include <QWidget>

#include <array>
#include <vector>

class QLineEdit;
class ComboDropList;

class CVelComboBox : public QWidget {
    Q_OBJECT
public:
    static constexpr int kEditId = 10009;
    static constexpr int kToggleMessage = 1174; // ToggleDropDown
    static constexpr int kChooseMessage = 1025; // ChooseLine

    enum StyleBit : int { kAutoComplete = 8, kSuggestionList = 16 };
    enum Notification : int {
        kSelChange = 1,
        kSetFocus = 3,
        kKillFocus = 4,
        kEditChange = 5,
        kEditUpdate = 6,
        kDropDown = 7,
        kCloseUp = 8,
        kSelEndOk = 9,
        kSelEndCancel = 10,
    };
    using ItemData = std::array<int, 3>;

    explicit CVelComboBox(QWidget* parent = nullptr, int styleBits = kAutoComplete);
    ~CVelComboBox() override;

    int StyleBits() const { return styleBits_; }
    void SetStyleBits(int bits) { styleBits_ = bits; }

    // Items. AddItem returns the new item's index.
    int AddItem(const QString& text, ItemData data = {0, 0, 0});
    void ResetContent();
    int Count() const { return int(items_.size()); }
    QString ItemText(int index) const;
    ItemData GetItemData(int index) const; // zeros for an index out of range
    void SetItemData(int index, ItemData data);
    int FindItem(const QString& text) const; // exact text, -1 when none

    // Selection: -1 is none. SetCurSel puts the item's text into the field and notifies nothing.
    int GetCurSel() const { return curSel_; }
    void SetCurSel(int index);

    // The field's text; SetText is the program's change: no completion, no notification.
    QString Text() const;
    void SetText(const QString& text);

    // The drop-down list.
    bool DroppedDown() const;
    void ShowDropDown(bool show);
    void ToggleDropDown();                 // message 1174
    void ChooseLine(int line);             // message 1025: select, notify, close
    int ListCurrentLine() const { return listLine_; }
    void SetListLine(int line); // -1 for none

    QLineEdit* Edit() const { return edit_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void notify(int code);
    void selectionChanged(int index); // with notification 1
    void selectionChosen(int index);  // with notification 9

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class ComboDropList;

    // Handles the keys of both the field and the open list; true when the key was used up.
    bool HandleKey(QKeyEvent* event);
    void OnTextEdited(const QString& text);
    void RunCompletion();
    void SetTextSilently(const QString& text);
    void SelectByUser(int index);
    void CloseList(bool chosen);
    void OnListHidden();
    QStringList Texts() const;
    combo::ComboFaceState FaceState() const;
    void Notify(int code);

    struct Item {
        QString text;
        ItemData data;
    };

    QLineEdit* edit_ = nullptr;      // child
    ComboDropList* list_ = nullptr;  // child (a popup window)
    QPixmap face_;                   // bitmap 131
    std::vector<Item> items_;
    int styleBits_ = kAutoComplete;
    int curSel_ = -1;
    int listLine_ = -1;
    bool completionOn_ = true;
    bool settingText_ = false;
    bool hover_ = false;
    bool closing_ = false;
};
