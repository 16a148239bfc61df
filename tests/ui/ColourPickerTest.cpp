// The colour picker and its popup: the named colours, the popup's size, placement and
// chosen box, the arrow keys, and the five notifications for "Automatic", Esc, clicks
// inside and outside and the "More Colours..." dialog.

#include "ui/CVelColourPicker.h"
#include "ui/ColourPopup.h"
#include "ui/ColourTable.h"

#include <QGuiApplication>
#include <QHelpEvent>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace colours;

namespace {

constexpr int kPickerId = 1203;
constexpr std::uint32_t kRed = 0x0000FF;   // table box 16
constexpr std::uint32_t kOffTable = 0x123456;

// A shown picker with a spy on each notification and a log of their order.
struct PickerFixture {
    QWidget window;
    CVelColourPicker* picker = new CVelColourPicker(kPickerId, &window);
    QSignalSpy selection{picker, &CVelColourPicker::selectionChanged};
    QSignalSpy droppedDown{picker, &CVelColourPicker::droppedDown};
    QSignalSpy closedUp{picker, &CVelColourPicker::closedUp};
    QSignalSpy withChoice{picker, &CVelColourPicker::endedWithChoice};
    QSignalSpy withoutChoice{picker, &CVelColourPicker::endedWithoutChoice};
    std::vector<int> order; // message numbers in the order they came

    explicit PickerFixture(QPoint at = {40, 40})
    {
        window.resize(QGuiApplication::primaryScreen()->geometry().size());
        window.move(0, 0);
        picker->setGeometry(QRect(at, QSize(100, 20)));
        QObject::connect(picker, &CVelColourPicker::closedUp, [this] { order.push_back(2027); });
        QObject::connect(picker, &CVelColourPicker::endedWithChoice, [this] { order.push_back(2028); });
        QObject::connect(picker, &CVelColourPicker::endedWithoutChoice, [this] { order.push_back(2029); });
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    ColourPopup* Open()
    {
        QTest::mouseClick(picker, Qt::LeftButton, {}, QPoint(50, 10));
        ColourPopup* popup = picker->Popup();
        EXPECT_NE(popup, nullptr);
        return popup;
    }
    static void Hover(ColourPopup* popup, QPoint at)
    {
        QMouseEvent move(QEvent::MouseMove, at, popup->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(popup, &move);
    }
    static quint32 Colour(const QSignalSpy& spy, int index) { return spy.at(index).at(0).value<quint32>(); }
};

} // namespace

TEST(NamedColours, SpotChecksOfTheTable)
{
    ASSERT_EQ(kNamedColours.size(), 40u);
    EXPECT_STREQ(kNamedColours[0].name, "Black");
    EXPECT_EQ(kNamedColours[0].colour, 0x000000u);
    EXPECT_STREQ(kNamedColours[1].name, "Brown");
    EXPECT_EQ(kNamedColours[1].colour, 0x002AA5u); // 165, 42, 0 with red in the low byte
    EXPECT_STREQ(kNamedColours[9].name, "Orange");
    EXPECT_EQ(kNamedColours[9].colour, 0x2068FFu);
    EXPECT_STREQ(kNamedColours[14].name, "Blue-grey");
    EXPECT_EQ(kNamedColours[14].colour, 0xC07B7Bu);
    EXPECT_STREQ(kNamedColours[23].name, "Grey - 50");
    EXPECT_STREQ(kNamedColours[35].name, "Pale green "); // the trailing space is part of the name
    EXPECT_EQ(kNamedColours[35].colour, 0x98FB98u);
    EXPECT_STREQ(kNamedColours[37].name, "Pale blue");
    EXPECT_EQ(kNamedColours[37].colour, 0x8B8368u);
    EXPECT_STREQ(kNamedColours[39].name, "White");
    EXPECT_EQ(kNamedColours[39].colour, 0xFFFFFFu);
    for (const NamedColour& named : kNamedColours)
        EXPECT_EQ(named.colour & 0xFF000000u, 0u) << named.name;
}

TEST(ColourValues, ConversionAndHexText)
{
    EXPECT_EQ(ToQColor(0x2068FF), QColor(255, 104, 32));
    EXPECT_EQ(FromQColor(QColor(255, 104, 32)), 0x2068FFu);
    EXPECT_EQ(HexText(Rgb(255, 0, 128)), QStringLiteral("#FF0080"));
    EXPECT_EQ(HexText(Rgb(1, 2, 3)).size(), 7);
}

TEST(PopupLayout, SizeFollowsTheTextBoxes)
{
    constexpr int m = kPopupMargin;
    const PopupLayout plain = LayoutPopup(15, 0, 0);
    EXPECT_EQ(plain.size, QSize(2 * m + 8 * 18, 5 * 18 + 2 * m));
    EXPECT_FALSE(plain.hasAutomatic());
    EXPECT_FALSE(plain.hasCustom());

    const PopupLayout both = LayoutPopup(15, 60, 90);
    const int textBox = 15 + 4 * m + 2;
    EXPECT_EQ(both.size, QSize(2 * m + 8 * 18, 5 * 18 + 2 * m + 2 * (textBox + 2 * m)));
    EXPECT_EQ(both.automaticBox.height(), textBox);
    // Grid between the two text boxes, one margin from each, everything inside the popup.
    EXPECT_EQ(BoxRect(both, 0).top(), both.automaticBox.bottom() + 1 + m);
    EXPECT_EQ(both.customBox.top(), BoxRect(both, 39).bottom() + 1 + m);
    EXPECT_TRUE(QRect(QPoint(0, 0), both.size).contains(both.customBox));
    EXPECT_EQ(BoxRect(both, 9), QRect(BoxRect(both, 0).topLeft() + QPoint(18, 18), QSize(18, 18)));

    // A text wider than the grid widens the popup.
    const PopupLayout wide = LayoutPopup(15, 200, 90);
    EXPECT_EQ(wide.size.width(), 200 + 2 * m);
    EXPECT_TRUE(QRect(QPoint(0, 0), wide.size).contains(BoxRect(wide, 39)));

    EXPECT_EQ(BoxAt(both, BoxRect(both, 27).center()), 27);
    EXPECT_EQ(BoxAt(both, both.automaticBox.center()), kBoxAutomatic);
    EXPECT_EQ(BoxAt(both, both.customBox.center()), kBoxCustom);
    EXPECT_EQ(BoxAt(both, QPoint(0, 0)), kBoxNone);
}

TEST(PopupLayout, PlacementKeepsThePopupOnScreen)
{
    const QRect screen(0, 0, 1600, 1000);
    const QSize size(148, 152);
    // Normal: at the picker's bottom-left corner.
    EXPECT_EQ(PlacePopup(size, QRect(100, 100, 80, 20), screen), QPoint(100, 120));
    // Right edge: moved left to end at the edge.
    EXPECT_EQ(PlacePopup(size, QRect(1550, 100, 40, 20), screen), QPoint(1600 - 148, 120));
    // Left edge negative: moved right.
    EXPECT_EQ(PlacePopup(size, QRect(-30, 100, 80, 20), screen), QPoint(0, 120));
    // Bottom-right corner: above the picker and inside the screen.
    const QRect corner(1550, 975, 45, 20);
    const QPoint at = PlacePopup(size, corner, screen);
    EXPECT_EQ(at, QPoint(1600 - 148, 975 - 152));
    EXPECT_TRUE(screen.contains(QRect(at, size)));
    // A screen too short for either side: never above its top.
    EXPECT_EQ(PlacePopup(size, QRect(10, 60, 40, 20), QRect(0, 0, 400, 150)).y(), 0);
}

TEST(PopupLayout, ChosenBoxRule)
{
    const PopupLayout both = LayoutPopup(15, 60, 90);
    const PopupLayout none = LayoutPopup(15, 0, 0);
    const PopupLayout customOnly = LayoutPopup(15, 0, 90);
    EXPECT_EQ(ChosenBox(kAutomaticColour, both), kBoxAutomatic);
    EXPECT_EQ(ChosenBox(kAutomaticColour, customOnly), kBoxCustom);
    EXPECT_EQ(ChosenBox(kRed, both), 16);
    EXPECT_EQ(ChosenBox(0xFFFFFF, none), 39);
    EXPECT_EQ(ChosenBox(kOffTable, both), kBoxCustom);
    EXPECT_EQ(ChosenBox(kOffTable, none), kBoxNone);
    EXPECT_EQ(BoxColour(kBoxAutomatic, kRed), kAutomaticColour);
    EXPECT_EQ(BoxColour(kBoxCustom, kRed), kRed);
    EXPECT_EQ(BoxColour(13, kRed), 0xFF0000u); // "Blue"
}

TEST(PopupKeys, ArrowsWrapThroughRowsAndReachTheTextBoxes)
{
    const PopupLayout both = LayoutPopup(15, 60, 90);
    EXPECT_EQ(MoveBox(7, Arrow::Right, both), 8);  // end of a row: next row
    EXPECT_EQ(MoveBox(8, Arrow::Left, both), 7);   // start of a row: previous row
    EXPECT_EQ(MoveBox(12, Arrow::Down, both), 20);
    EXPECT_EQ(MoveBox(12, Arrow::Up, both), 4);
    EXPECT_EQ(MoveBox(3, Arrow::Up, both), kBoxAutomatic);
    EXPECT_EQ(MoveBox(0, Arrow::Left, both), kBoxAutomatic);
    EXPECT_EQ(MoveBox(kBoxAutomatic, Arrow::Down, both), 0);
    EXPECT_EQ(MoveBox(kBoxAutomatic, Arrow::Right, both), 0);
    EXPECT_EQ(MoveBox(35, Arrow::Down, both), kBoxCustom);
    EXPECT_EQ(MoveBox(39, Arrow::Right, both), kBoxCustom);
    EXPECT_EQ(MoveBox(kBoxCustom, Arrow::Up, both), 32);
    EXPECT_EQ(MoveBox(kBoxCustom, Arrow::Left, both), 39);
    EXPECT_EQ(MoveBox(kBoxCustom, Arrow::Down, both), kBoxAutomatic);
    EXPECT_EQ(MoveBox(kBoxNone, Arrow::Up, both), 0);

    // Without the text boxes the grid wraps onto itself.
    const PopupLayout none = LayoutPopup(15, 0, 0);
    EXPECT_EQ(MoveBox(0, Arrow::Left, none), 39);
    EXPECT_EQ(MoveBox(39, Arrow::Right, none), 0);
    EXPECT_EQ(MoveBox(2, Arrow::Up, none), 34);
    EXPECT_EQ(MoveBox(34, Arrow::Down, none), 2);
}

TEST(ColourPicker, StateAndColourModes)
{
    CVelColourPicker picker(7);
    EXPECT_EQ(picker.ColourMode(), 2);
    EXPECT_EQ(picker.DefaultText(), QStringLiteral("Automatic"));
    EXPECT_EQ(picker.CustomText(), QStringLiteral("More Colours..."));
    EXPECT_FALSE(picker.TrackSelection());
    EXPECT_FALSE(picker.IsActive());

    picker.SetColour(kRed); // mode 2: the background colour
    EXPECT_EQ(picker.BackgroundColour(), kRed);
    EXPECT_NE(picker.SwatchColour(), kRed);
    picker.SetColourMode(1);
    EXPECT_EQ(picker.GetColour(), picker.SwatchColour());
    picker.SetColour(kOffTable);
    EXPECT_EQ(picker.SwatchColour(), kOffTable);
    EXPECT_EQ(picker.BackgroundColour(), kRed);
}

TEST(ColourPicker, OpeningSendsDroppedDownWithTheCurrentColourAndMarksTheChosenBox)
{
    PickerFixture f;
    f.picker->SetColour(kRed);
    ColourPopup* popup = f.Open();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(f.picker->IsActive());
    ASSERT_EQ(f.droppedDown.count(), 1);
    EXPECT_EQ(PickerFixture::Colour(f.droppedDown, 0), kRed);
    EXPECT_EQ(f.droppedDown.at(0).at(1).toInt(), kPickerId);
    EXPECT_EQ(popup->ChosenBox(), 16);
    // The popup opens at the picker's bottom-left corner.
    EXPECT_EQ(popup->geometry().topLeft(), f.picker->mapToGlobal(QPoint(0, f.picker->height())));
    QTest::keyClick(popup, Qt::Key_Escape);
}

TEST(ColourPicker, AutomaticGivesTheAutomaticValueInEveryNotification)
{
    PickerFixture f;
    f.picker->SetColour(kRed);
    ColourPopup* popup = f.Open();
    const QPoint automatic = popup->Layout().automaticBox.center();
    PickerFixture::Hover(popup, automatic);
    ASSERT_EQ(f.selection.count(), 1);
    EXPECT_EQ(PickerFixture::Colour(f.selection, 0), kAutomaticColour);
    QTest::mouseClick(popup, Qt::LeftButton, {}, automatic);

    ASSERT_EQ(f.withChoice.count(), 1);
    EXPECT_EQ(PickerFixture::Colour(f.withChoice, 0), kAutomaticColour);
    EXPECT_EQ(f.withChoice.at(0).at(1).toInt(), kPickerId);
    ASSERT_EQ(f.closedUp.count(), 1);
    EXPECT_EQ(PickerFixture::Colour(f.closedUp, 0), kAutomaticColour);
    EXPECT_EQ(f.withoutChoice.count(), 0);
    EXPECT_EQ((std::vector<int>{2027, 2028}), f.order); // closed up before the end message
    EXPECT_EQ(f.picker->GetColour(), kAutomaticColour);
    EXPECT_FALSE(f.picker->IsActive());
}

TEST(ColourPicker, EscAfterHoveringRestoresTheStartingColour)
{
    PickerFixture f;
    f.picker->SetTrackSelection(true);
    f.picker->SetColour(kOffTable);
    ColourPopup* popup = f.Open();
    PickerFixture::Hover(popup, BoxRect(popup->Layout(), 5).center());
    EXPECT_EQ(f.picker->GetColour(), kNamedColours[5].colour); // the swatch follows
    QTest::keyClick(popup, Qt::Key_Right);
    QTest::keyClick(popup, Qt::Key_Down);
    EXPECT_EQ(f.picker->GetColour(), kNamedColours[14].colour);
    EXPECT_EQ(f.selection.count(), 3);

    QTest::keyClick(popup, Qt::Key_Escape);
    ASSERT_EQ(f.withoutChoice.count(), 1);
    EXPECT_EQ(PickerFixture::Colour(f.withoutChoice, 0), kOffTable);
    EXPECT_EQ(f.withChoice.count(), 0);
    EXPECT_EQ((std::vector<int>{2027, 2029}), f.order);
    EXPECT_EQ(f.picker->GetColour(), kOffTable);
}

TEST(ColourPicker, WithoutTrackSelectionHoverIsPassedOnButTheColourStays)
{
    PickerFixture f;
    f.picker->SetColour(kRed);
    ColourPopup* popup = f.Open();
    PickerFixture::Hover(popup, BoxRect(popup->Layout(), 26).center());
    ASSERT_EQ(f.selection.count(), 1);
    EXPECT_EQ(PickerFixture::Colour(f.selection, 0), kNamedColours[26].colour);
    EXPECT_EQ(f.picker->GetColour(), kRed);
    // Enter chooses the current box.
    QTest::keyClick(popup, Qt::Key_Return);
    ASSERT_EQ(f.withChoice.count(), 1);
    EXPECT_EQ(PickerFixture::Colour(f.withChoice, 0), kNamedColours[26].colour);
    EXPECT_EQ(f.picker->GetColour(), kNamedColours[26].colour);
}

TEST(ColourPicker, ClickOutsideCancels)
{
    PickerFixture f;
    f.picker->SetColour(kRed);
    ColourPopup* popup = f.Open();
    PickerFixture::Hover(popup, BoxRect(popup->Layout(), 3).center());
    QTest::mousePress(popup, Qt::LeftButton, {}, QPoint(-20, -20));
    ASSERT_EQ(f.withoutChoice.count(), 1);
    EXPECT_EQ(PickerFixture::Colour(f.withoutChoice, 0), kRed);
    EXPECT_EQ(f.picker->GetColour(), kRed);
}

TEST(ColourPicker, MoreColoursAsksTheDialogAndItsCancelReportsTheStartingColour)
{
    PickerFixture f;
    std::vector<std::uint32_t> asked;
    std::optional<std::uint32_t> answer; // cancelled first
    f.picker->SetColourDialog([&](std::uint32_t initial, QWidget*) {
        asked.push_back(initial);
        return answer;
    });
    f.picker->SetColour(kRed);

    ColourPopup* popup = f.Open();
    const QPoint custom = popup->Layout().customBox.center();
    PickerFixture::Hover(popup, custom);
    EXPECT_EQ(PickerFixture::Colour(f.selection, 0), kRed); // "More Colours..." stands for the start
    QTest::mouseClick(popup, Qt::LeftButton, {}, custom);
    ASSERT_EQ(asked, (std::vector<std::uint32_t>{kRed}));
    ASSERT_EQ(f.withoutChoice.count(), 1);
    EXPECT_EQ(PickerFixture::Colour(f.withoutChoice, 0), kRed);
    EXPECT_EQ(f.withChoice.count(), 0);
    EXPECT_EQ(f.picker->GetColour(), kRed);

    // OK in the dialog: its colour is the choice.
    answer = kOffTable;
    popup = f.Open();
    QTest::mouseClick(popup, Qt::LeftButton, {}, popup->Layout().customBox.center());
    ASSERT_EQ(f.withChoice.count(), 1);
    EXPECT_EQ(PickerFixture::Colour(f.withChoice, 0), kOffTable);
    EXPECT_EQ(f.picker->GetColour(), kOffTable);
}

TEST(ColourPicker, EmptyTextsRemoveTheirBoxes)
{
    PickerFixture f;
    f.picker->SetDefaultText({});
    f.picker->SetCustomText({});
    f.picker->SetColour(kAutomaticColour);
    ColourPopup* popup = f.Open();
    EXPECT_FALSE(popup->Layout().hasAutomatic());
    EXPECT_FALSE(popup->Layout().hasCustom());
    EXPECT_EQ(popup->size(), QSize(2 * kPopupMargin + 8 * 18, 5 * 18 + 2 * kPopupMargin));
    EXPECT_EQ(popup->ChosenBox(), kBoxNone);
    QTest::keyClick(popup, Qt::Key_Up); // from no box to box 0
    EXPECT_EQ(popup->CurrentBox(), 0);
    QTest::keyClick(popup, Qt::Key_Left); // wraps to the last box
    EXPECT_EQ(popup->CurrentBox(), 39);
    QTest::keyClick(popup, Qt::Key_Space);
    ASSERT_EQ(f.withChoice.count(), 1);
    EXPECT_EQ(PickerFixture::Colour(f.withChoice, 0), 0xFFFFFFu);
}

TEST(ColourPicker, PopupNearTheBottomRightCornerOpensAboveAndStaysOnScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    PickerFixture f(QPoint(screen.width() - 60, screen.height() - 25));
    ColourPopup* popup = f.Open();
    const QRect pickerRect(f.picker->mapToGlobal(QPoint(0, 0)), f.picker->size());
    EXPECT_TRUE(screen.contains(popup->geometry())) << popup->geometry().x() << "," << popup->geometry().y();
    EXPECT_EQ(popup->geometry().bottom() + 1, pickerRect.top());
    EXPECT_EQ(popup->geometry().right(), screen.right());
    QTest::keyClick(popup, Qt::Key_Escape);
}

TEST(ColourPicker, TooltipsNameTheColourBoxes)
{
    PickerFixture f;
    ColourPopup* popup = f.Open();
    const QRect box = BoxRect(popup->Layout(), 35);
    QHelpEvent help(QEvent::ToolTip, box.center(), popup->mapToGlobal(box.center()));
    QCoreApplication::sendEvent(popup, &help);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Pale green "));
    QTest::keyClick(popup, Qt::Key_Escape);
    QToolTip::hideText();
}
