#include "ui/CVelComboBox.h"
#include "ui/ComboBoxRules.h"
#include "ui/skin/Skin.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace combo;

namespace {

const QStringList kZoom = {"25%", "50%", "75%", "100%", "150%", "200%", "300%", "400%"};

// Keys go where they go in the program: to the open list (a popup) when there is one,
// otherwise to the edit field.
void Key(CVelComboBox& box, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* target = QApplication::activePopupWidget();
    QTest::keyClick(target ? target : box.Edit(), Qt::Key(key), modifiers);
}

void Type(CVelComboBox& box, const QString& text)
{
    for (QChar c : text) {
        QWidget* target = QApplication::activePopupWidget();
        QTest::keyClicks(target ? target : box.Edit(), QString(c));
    }
}

std::vector<int> Codes(const QSignalSpy& spy)
{
    std::vector<int> codes;
    for (const QList<QVariant>& args : spy)
        codes.push_back(args[0].toInt());
    return codes;
}

struct ComboFixture : ::testing::Test {
    void SetUp() override
    {
        window.resize(300, 200);
        box = new CVelComboBox(&window);
        box->setGeometry(10, 10, 100, box->sizeHint().height());
        for (const QString& text : kZoom)
            box->AddItem(text);
        box->SetCurSel(3);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        box->Edit()->setFocus();
    }
    void TearDown() override { box->ShowDropDown(false); }

    QWidget window;
    CVelComboBox* box = nullptr;
};

} // namespace

TEST(ComboRules, LetterJumpIgnoresCaseCompletionDoesNot)
{
    const QStringList items = {"apple", "Banana", "berry", "Cherry", ""};
    EXPECT_EQ(FirstItemWithInitial(items, 'b'), 1);
    EXPECT_EQ(FirstItemWithInitial(items, 'B'), 1);
    EXPECT_EQ(FirstItemWithInitial(items, 'c'), 3);
    EXPECT_EQ(FirstItemWithInitial(items, 'z'), -1);
    EXPECT_EQ(FirstItemWithPrefix(items, "b"), 2);
    EXPECT_EQ(FirstItemWithPrefix(items, "Ba"), 1);
    EXPECT_EQ(FirstItemWithPrefix(items, "ba"), -1);
    EXPECT_EQ(FirstItemWithPrefix(items, ""), -1);
}

TEST(ComboRules, FacePiecesCoverTheFaceAndKeepTheButton)
{
    for (int width : {200, 96, 40}) {
        const auto pieces = ComboFacePieces(QSize(width, 24));
        EXPECT_EQ(pieces[0].target.left(), 0);
        EXPECT_EQ(pieces[0].target.width() + pieces[1].target.width() + pieces[2].target.width(), width);
        EXPECT_EQ(pieces[1].target.left(), pieces[0].target.right() + 1);
        EXPECT_EQ(pieces[2].target.right(), width - 1);
        EXPECT_EQ(pieces[2].source, QRect(kComboFace.width - kComboFace.button, 0, kComboFace.button, 24));
        EXPECT_EQ(pieces[2].target.width(), kComboFace.button);
    }
    // Narrower than cap and button: the button keeps the right end, the cap what is left.
    const auto narrow = ComboFacePieces(QSize(kComboFace.button + 2, 24));
    EXPECT_EQ(narrow[0].target.width(), 2);
    EXPECT_TRUE(narrow[1].target.isEmpty());
    EXPECT_EQ(ComboEditRect(QSize(120, 24)).right() < ComboButtonRect(QSize(120, 24)).left(), true);
}

TEST(ComboRules, FaceBitmapHoldsFourStatesInSkinColours)
{
    const QImage art = DrawComboFaceBitmap();
    ASSERT_EQ(art.size(), QSize(kComboFace.width, kComboFace.height * kComboFaceStates));
    const QPoint field(kComboFace.width / 3, kComboFace.height / 2);
    const auto at = [&](ComboFaceState state, QPoint p) {
        return art.pixelColor(p + QPoint(0, int(state) * kComboFace.height)).rgb();
    };
    EXPECT_EQ(at(ComboFaceState::Normal, field), skin::kPanelBackground.rgb());
    EXPECT_EQ(at(ComboFaceState::Disabled, field), skin::kComboDisabledField.rgb());
    EXPECT_EQ(at(ComboFaceState::Normal, QPoint(kComboFace.width / 3, 0)), skin::kComboEdge.rgb());
    EXPECT_EQ(at(ComboFaceState::Hover, QPoint(kComboFace.width / 3, 0)), skin::kComboEdgeHover.rgb());
    const QPoint button(kComboFace.width - 3, 4);
    EXPECT_EQ(at(ComboFaceState::Pressed, button), skin::kComboButtonPressed.rgb());
}

TEST_F(ComboFixture, ItemsKeepThreeIntegersOfData)
{
    const int index = box->AddItem("Fit", {7, -1, 65536});
    EXPECT_EQ(index, 8);
    EXPECT_EQ(box->GetItemData(index), (CVelComboBox::ItemData{7, -1, 65536}));
    box->SetItemData(0, {1, 2, 3});
    EXPECT_EQ(box->GetItemData(0), (CVelComboBox::ItemData{1, 2, 3}));
    EXPECT_EQ(box->GetItemData(99), (CVelComboBox::ItemData{0, 0, 0}));
    EXPECT_EQ(box->FindItem("150%"), 4);
    EXPECT_EQ(box->Edit()->property("controlId").toInt(), 10009);
    box->ResetContent();
    EXPECT_EQ(box->Count(), 0);
    EXPECT_EQ(box->GetCurSel(), -1);
    EXPECT_EQ(box->Text(), "");
}

TEST_F(ComboFixture, ProgramChangesCompleteNothingAndNotifyNothing)
{
    QSignalSpy spy(box, &CVelComboBox::notify);
    box->SetText("7");
    EXPECT_EQ(box->Text(), "7");
    box->SetCurSel(5);
    EXPECT_EQ(box->Text(), "200%");
    EXPECT_EQ(box->GetCurSel(), 5);
    box->SetCurSel(42);
    EXPECT_EQ(box->GetCurSel(), -1);
    EXPECT_EQ(box->Text(), "");
    EXPECT_EQ(spy.count(), 0);
}

TEST_F(ComboFixture, TypingCompletesAndBackspaceStopsItForOneKey)
{
    box->Edit()->clear();
    QSignalSpy spy(box, &CVelComboBox::notify);
    Type(*box, "7");
    EXPECT_EQ(box->Text(), "75%");
    EXPECT_EQ(box->Edit()->selectedText(), "5%"); // typing on replaces it
    EXPECT_EQ(box->ListCurrentLine(), 2);
    EXPECT_EQ(Codes(spy), (std::vector<int>{6, 5}));

    Key(*box, Qt::Key_Backspace); // removes the completed part, completes nothing
    EXPECT_EQ(box->Text(), "7");
    Type(*box, "5");               // completion is on again
    EXPECT_EQ(box->Text(), "75%");
    EXPECT_EQ(box->Edit()->selectedText(), "%");
    Key(*box, Qt::Key_Delete);
    EXPECT_EQ(box->Text(), "75");
    Key(*box, Qt::Key_Backspace);
    EXPECT_EQ(box->Text(), "7");

    Key(*box, Qt::Key_Right); // caret at the end: completes again
    EXPECT_EQ(box->Text(), "75%");
    EXPECT_EQ(box->Edit()->selectedText(), "5%");

    // Right with the caret elsewhere only moves the caret.
    box->SetText("1");
    box->Edit()->setCursorPosition(0);
    Key(*box, Qt::Key_Right);
    EXPECT_EQ(box->Text(), "1");
    EXPECT_EQ(box->Edit()->cursorPosition(), 1);

    // Completion is case-sensitive and needs a matching item.
    box->Edit()->clear();
    Type(*box, "9");
    EXPECT_EQ(box->Text(), "9");
    EXPECT_EQ(box->GetCurSel(), 3); // typing never changes the selection
}

TEST_F(ComboFixture, LetterJumpsToTheFirstItemIgnoringCase)
{
    box->SetStyleBits(0); // no completion: the jump alone
    box->ResetContent();
    for (const char* text : {"apple", "Banana", "berry", "cherry"})
        box->AddItem(text);
    box->Edit()->clear();
    Type(*box, "b");
    EXPECT_EQ(box->ListCurrentLine(), 1);
    EXPECT_EQ(box->Text(), "b");
    Type(*box, "C");
    EXPECT_EQ(box->ListCurrentLine(), 3);
    Type(*box, "x");
    EXPECT_EQ(box->ListCurrentLine(), 3); // no item: the line stays
    box->ShowDropDown(true);
    Type(*box, "A");
    EXPECT_EQ(box->ListCurrentLine(), 0);
    Key(*box, Qt::Key_Return);
    EXPECT_EQ(box->GetCurSel(), 0);
    EXPECT_EQ(box->Text(), "apple");
}

TEST_F(ComboFixture, EnterChoosesEscClosesWithoutAChoice)
{
    QSignalSpy spy(box, &CVelComboBox::notify);
    QSignalSpy chosen(box, &CVelComboBox::selectionChosen);
    Key(*box, Qt::Key_F4);
    ASSERT_TRUE(box->DroppedDown());
    EXPECT_EQ(box->ListCurrentLine(), 3);
    Key(*box, Qt::Key_Down);
    Key(*box, Qt::Key_Down);
    EXPECT_EQ(box->ListCurrentLine(), 5);
    EXPECT_EQ(box->GetCurSel(), 3); // moving in the open list is no choice yet
    Key(*box, Qt::Key_Return);
    EXPECT_FALSE(box->DroppedDown());
    EXPECT_EQ(box->GetCurSel(), 5);
    EXPECT_EQ(box->Text(), "200%");
    EXPECT_EQ(Codes(spy), (std::vector<int>{7, 1, 9, 8}));
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen[0][0].toInt(), 5);

    spy.clear();
    Key(*box, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(box->DroppedDown());
    Key(*box, Qt::Key_Up);
    Key(*box, Qt::Key_Escape);
    EXPECT_FALSE(box->DroppedDown());
    EXPECT_EQ(box->GetCurSel(), 5);
    EXPECT_EQ(box->Text(), "200%");
    EXPECT_EQ(box->ListCurrentLine(), 5); // back on the selection
    EXPECT_EQ(Codes(spy), (std::vector<int>{7, 10, 8}));

    // Choosing the line that is already selected: no selection change.
    spy.clear();
    Key(*box, Qt::Key_F4);
    Key(*box, Qt::Key_Enter);
    EXPECT_EQ(Codes(spy), (std::vector<int>{7, 9, 8}));
}

TEST_F(ComboFixture, F4AndAltArrowsToggleTheList)
{
    Key(*box, Qt::Key_F4);
    EXPECT_TRUE(box->DroppedDown());
    Key(*box, Qt::Key_F4);
    EXPECT_FALSE(box->DroppedDown());
    Key(*box, Qt::Key_Up, Qt::AltModifier);
    EXPECT_TRUE(box->DroppedDown());
    Key(*box, Qt::Key_Up, Qt::AltModifier);
    EXPECT_FALSE(box->DroppedDown());
    box->ToggleDropDown(); // message 1174
    EXPECT_TRUE(box->DroppedDown());
    Key(*box, Qt::Key_Down, Qt::AltModifier);
    EXPECT_FALSE(box->DroppedDown());
    // A disabled box does not open.
    box->setEnabled(false);
    box->ToggleDropDown();
    EXPECT_FALSE(box->DroppedDown());
}

TEST_F(ComboFixture, UpAndDownOnAClosedBoxChangeTheSelection)
{
    QSignalSpy spy(box, &CVelComboBox::notify);
    Key(*box, Qt::Key_Down);
    EXPECT_EQ(box->GetCurSel(), 4);
    EXPECT_EQ(box->Text(), "150%");
    Key(*box, Qt::Key_Up);
    Key(*box, Qt::Key_Up);
    EXPECT_EQ(box->GetCurSel(), 2);
    EXPECT_EQ(Codes(spy), (std::vector<int>{1, 1, 1}));
    box->SetCurSel(0);
    spy.clear();
    Key(*box, Qt::Key_Up); // already at the top: nothing changes
    EXPECT_EQ(box->GetCurSel(), 0);
    EXPECT_EQ(spy.count(), 0);
}

TEST_F(ComboFixture, ClickingALineChoosesItClickingOutsideCancels)
{
    QSignalSpy spy(box, &CVelComboBox::notify);
    box->ShowDropDown(true);
    QWidget* list = QApplication::activePopupWidget();
    ASSERT_NE(list, nullptr);
    const QPoint line6(list->width() / 2, 1 + 6 * kComboFace.listLine + kComboFace.listLine / 2);
    QTest::mouseMove(list, line6);
    EXPECT_EQ(box->ListCurrentLine(), 6);
    QTest::mouseClick(list, Qt::LeftButton, {}, line6);
    EXPECT_FALSE(box->DroppedDown());
    EXPECT_EQ(box->GetCurSel(), 6);
    EXPECT_EQ(box->Text(), "300%");
    EXPECT_EQ(Codes(spy), (std::vector<int>{7, 1, 9, 8}));

    spy.clear();
    box->ShowDropDown(true);
    QApplication::activePopupWidget()->close(); // what a click elsewhere does
    EXPECT_FALSE(box->DroppedDown());
    EXPECT_EQ(box->GetCurSel(), 6);
    EXPECT_EQ(Codes(spy), (std::vector<int>{7, 10, 8}));
}

TEST_F(ComboFixture, FocusIsReportedButNotForItsOwnList)
{
    QLineEdit other(&window);
    other.move(10, 100);
    other.show();
    QSignalSpy spy(box, &CVelComboBox::notify);
    other.setFocus();
    box->Edit()->setFocus();
    box->ShowDropDown(true);
    box->ShowDropDown(false);
    other.setFocus();
    EXPECT_EQ(Codes(spy), (std::vector<int>{4, 3, 7, 10, 8, 4}));
}

TEST_F(ComboFixture, SuggestionListOpensWhileTyping)
{
    box->SetStyleBits(CVelComboBox::kAutoComplete | CVelComboBox::kSuggestionList);
    box->Edit()->clear();
    Type(*box, "2");
    EXPECT_TRUE(box->DroppedDown());
    EXPECT_EQ(box->ListCurrentLine(), 0);
    Type(*box, "0"); // typing goes on into the field while the list is open
    EXPECT_EQ(box->Text(), "200%");
    Key(*box, Qt::Key_Return);
    EXPECT_EQ(box->GetCurSel(), 5);
    EXPECT_FALSE(box->DroppedDown());
}
