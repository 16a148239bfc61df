#include "base/UserMessage.h"
#include "ui/CVelColourPicker.h"
#include "ui/ColourTable.h"
#include "ui/dialogs/NewCollageDialog.h"
#include "ui/skin/SkinButton.h"
#include "ui/skin/SkinFlatButtons.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Collects the messages shown to the user while it lives.
class MessageCatcher {
public:
    MessageCatcher()
        : previous_(SetMessageHandler([this](MessageKind, const QString& text) { messages.push_back(text); }))
    {
    }
    ~MessageCatcher() { SetMessageHandler(previous_); }
    QStringList messages;

private:
    MessageHandler previous_;
};

newcollage::Values SettingsValues()
{
    newcollage::Values v;
    v.caption = QStringLiteral("Collage Setting");
    v.width = 1600;
    v.height = 900;
    v.colour = 0x00336699;
    v.imagePath = QStringLiteral("/pictures/sky.png");
    v.placement = 2;
    return v;
}

void Click(QWidget* w)
{
    ASSERT_NE(w, nullptr);
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
}

} // namespace

TEST(NewCollageDialog, WidthAndHeightFrom10To3200AreAccepted)
{
    for (const auto& [width, height] : {std::pair{"10", "3200"}, std::pair{"3200", "10"}, std::pair{" 640 ", "480"}}) {
        MessageCatcher catcher;
        NewCollageDialog dialog({});
        dialog.WidthEdit()->setText(QLatin1String(width));
        dialog.HeightEdit()->setText(QLatin1String(height));
        EXPECT_TRUE(dialog.TryAccept()) << width << " x " << height;
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.Result().width, QString::fromLatin1(width).trimmed().toInt());
        EXPECT_EQ(dialog.Result().height, QString::fromLatin1(height).toInt());
        EXPECT_TRUE(catcher.messages.isEmpty());
    }
}

TEST(NewCollageDialog, OutOfRangeOrNonNumericSidesAreRefusedAndTheEditKeepsTheFocus)
{
    struct Case {
        const char* width;
        const char* height;
        bool widthAtFault;
    };
    for (const Case& c : {Case{"9", "768", true}, Case{"3201", "768", true}, Case{"abc", "768", true},
                          Case{"", "768", true}, Case{"12.5", "768", true}, Case{"1024", "9", false},
                          Case{"1024", "3201", false}, Case{"1024", "abc", false}}) {
        MessageCatcher catcher;
        NewCollageDialog dialog({});
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        dialog.WidthEdit()->setText(QLatin1String(c.width));
        dialog.HeightEdit()->setText(QLatin1String(c.height));
        dialog.PathEdit()->setFocus();
        EXPECT_FALSE(dialog.TryAccept()) << c.width << " x " << c.height;
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        ASSERT_EQ(catcher.messages.size(), 1);
        EXPECT_TRUE(catcher.messages[0].contains(QLatin1String("10")) && catcher.messages[0].contains(QLatin1String("3200")))
            << catcher.messages[0].toStdString();
        EXPECT_TRUE(catcher.messages[0].contains(c.widthAtFault ? QLatin1String("width") : QLatin1String("height")));
        QLineEdit* faulty = c.widthAtFault ? dialog.WidthEdit() : dialog.HeightEdit();
        EXPECT_EQ(dialog.focusWidget(), faulty);
        EXPECT_EQ(faulty->selectedText(), faulty->text());
        // The values the caller gave are not touched by a refused OK.
        EXPECT_EQ(dialog.Result().width, 1024);
        EXPECT_EQ(dialog.Result().height, 768);
    }
}

TEST(NewCollageDialog, EmptyCaptionShowsCreateNewCollageWithTheDefaults)
{
    NewCollageDialog dialog({});
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Create New Collage"));
    EXPECT_EQ(dialog.WidthEdit()->text(), QStringLiteral("1024"));
    EXPECT_EQ(dialog.HeightEdit()->text(), QStringLiteral("768"));
    EXPECT_TRUE(dialog.PathEdit()->text().isEmpty());
    EXPECT_EQ(dialog.ColourPicker()->GetColour(), 0xFFFFFFu);
    EXPECT_TRUE(dialog.PlacementButton(0)->isChecked());
    EXPECT_FALSE(dialog.PlacementButton(1)->isChecked());
    EXPECT_FALSE(dialog.PlacementButton(2)->isChecked());
}

TEST(NewCollageDialog, CollageSettingShowsTheGivenValuesAndOkReturnsThem)
{
    NewCollageDialog dialog(SettingsValues());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Collage Setting"));
    EXPECT_EQ(dialog.WidthEdit()->text(), QStringLiteral("1600"));
    EXPECT_EQ(dialog.HeightEdit()->text(), QStringLiteral("900"));
    EXPECT_EQ(dialog.PathEdit()->text(), QStringLiteral("/pictures/sky.png"));
    EXPECT_EQ(dialog.ColourPicker()->GetColour(), 0x00336699u);
    EXPECT_TRUE(dialog.PlacementButton(2)->isChecked());

    // Clearing the path removes the background picture.
    dialog.PathEdit()->clear();
    ASSERT_TRUE(dialog.TryAccept());
    EXPECT_TRUE(dialog.Result().imagePath.isEmpty());
    EXPECT_EQ(dialog.Result().colour, 0x00336699u);
    EXPECT_EQ(dialog.Result().placement, 2);
}

TEST(NewCollageDialog, TileThenCenterLeavesOnlyCenterChecked)
{
    NewCollageDialog dialog({});
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    Click(dialog.PlacementButton(1));
    EXPECT_TRUE(dialog.PlacementButton(1)->isChecked());
    EXPECT_FALSE(dialog.PlacementButton(0)->isChecked());
    EXPECT_EQ(dialog.Placement(), 1);
    Click(dialog.PlacementButton(0));
    EXPECT_TRUE(dialog.PlacementButton(0)->isChecked());
    EXPECT_FALSE(dialog.PlacementButton(1)->isChecked());
    EXPECT_FALSE(dialog.PlacementButton(2)->isChecked());
    // A second click on the checked one keeps it checked: one is always on.
    Click(dialog.PlacementButton(0));
    EXPECT_TRUE(dialog.PlacementButton(0)->isChecked());
    Click(dialog.findChild<SkinButton*>(QStringLiteral("1")));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Result().placement, 0);
}

TEST(NewCollageDialog, ControlsCarryTheirIdentifiersAndStandWhereTheLayoutSays)
{
    NewCollageDialog dialog({});
    const QSize size = dialog.size();
    EXPECT_EQ(size, newcollage::kDialogSize);
    const newcollage::Layout l = newcollage::LayoutFor(size);
    auto geometryOf = [&](int id) {
        QWidget* w = dialog.findChild<QWidget*>(QString::number(id));
        EXPECT_NE(w, nullptr) << id;
        return w ? w->geometry() : QRect();
    };
    EXPECT_EQ(geometryOf(newcollage::kWidthEdit), l.widthEdit);
    EXPECT_EQ(geometryOf(newcollage::kHeightEdit), l.heightEdit);
    EXPECT_EQ(geometryOf(newcollage::kColourPicker), l.picker);
    EXPECT_EQ(geometryOf(newcollage::kImagePath), l.path);
    EXPECT_EQ(geometryOf(newcollage::kBrowse), l.browse);
    EXPECT_EQ(geometryOf(newcollage::kCenter), l.placement[0]);
    EXPECT_EQ(geometryOf(newcollage::kTile), l.placement[1]);
    EXPECT_EQ(geometryOf(newcollage::kStretch), l.placement[2]);
    EXPECT_EQ(geometryOf(newcollage::kOk), l.ok);
    EXPECT_EQ(geometryOf(newcollage::kCancel), l.cancel);
    EXPECT_NE(dialog.findChild<QWidget*>(QStringLiteral("10010")), nullptr);

    // The numbers of the layout: picker 165 from the right, 35 down, 145 x 18; the path 34
    // lower and 20 narrower; the placement buttons 34 lower again, 80 apart; Cancel 75 from
    // the right and 10 from the bottom, OK 230 to its left; "Height" 34 under "Width".
    EXPECT_EQ(l.picker, QRect(size.width() - 165, 35, 145, 18));
    EXPECT_EQ(l.path.top(), l.picker.top() + 34);
    EXPECT_EQ(l.path.width(), l.picker.width() - 20);
    EXPECT_EQ(l.browse.left(), l.path.right() + 1);
    EXPECT_EQ(l.placement[1].left() - l.placement[0].left(), 80);
    EXPECT_EQ(l.placement[2].left() - l.placement[1].left(), 80);
    EXPECT_EQ(l.placement[0].top(), l.path.top() + 34);
    EXPECT_EQ(l.cancel, QRect(size.width() - 75 - 65, size.height() - 10 - 20, 65, 20));
    EXPECT_EQ(l.ok, l.cancel.translated(-230, 0));
    EXPECT_EQ(l.widthLabel, QRect(QPoint(16, 38), QPoint(99, 57)));
    EXPECT_EQ(l.widthPixels, l.widthLabel.translated(80, 0));
    EXPECT_EQ(l.heightLabel, l.widthLabel.translated(0, 34));
    EXPECT_EQ(l.colourLabel.right() + 1, l.picker.left());
    EXPECT_EQ(l.colourLabel.width(), 100);
    EXPECT_EQ(l.imageLabel, l.colourLabel.translated(0, 34));
    // Nothing overlaps on the left half, and everything is inside the window.
    EXPECT_LT(l.widthPixels.left() + 40, l.colourLabel.left());
    EXPECT_TRUE(QRect(QPoint(), size).contains(l.placement[2]));
    EXPECT_TRUE(QRect(QPoint(), size).contains(l.browse));
}

TEST(NewCollageDialog, ColourPickerInModeOneWithItsTextsAndTheDefaultBoxGivesWhite)
{
    NewCollageDialog dialog(SettingsValues());
    CVelColourPicker* picker = dialog.ColourPicker();
    EXPECT_EQ(picker->ColourMode(), 1);
    EXPECT_EQ(picker->DefaultText(), QStringLiteral("Color"));
    EXPECT_EQ(picker->CustomText(), QStringLiteral("Custom Color"));
    picker->SetColour(colours::kAutomaticColour);
    ASSERT_TRUE(dialog.TryAccept());
    EXPECT_EQ(dialog.Result().colour, 0xFFFFFFu);
}

TEST(NewCollageDialog, BrowseAsksWithThePictureFilterAndShowsTheChosenPath)
{
    NewCollageDialog dialog({});
    QList<dialogs::FileRequest> requests;
    QString answer = QStringLiteral("/photos/beach.jpg");
    dialog.SetFileChooser([&](QWidget*, const dialogs::FileRequest& r) {
        requests << r;
        return answer;
    });
    Click(dialog.findChild<QWidget*>(QStringLiteral("10470")));
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].mode, dialogs::FileRequest::Mode::Open);
    EXPECT_EQ(requests[0].filter, newcollage::PictureFilter());
    EXPECT_TRUE(requests[0].filter.startsWith(QLatin1String("(*.jpg *.jpeg *.gif *.bmp *.png)")));
    EXPECT_EQ(dialog.PathEdit()->text(), answer);
    // Cancel in the file dialog keeps the path.
    answer.clear();
    dialog.Browse();
    EXPECT_EQ(dialog.PathEdit()->text(), QStringLiteral("/photos/beach.jpg"));
    ASSERT_TRUE(dialog.TryAccept());
    EXPECT_EQ(dialog.Result().imagePath, QStringLiteral("/photos/beach.jpg"));
}

TEST(NewCollageDialog, CancelCloseAndEscChangeNothingAndReturnIsOk)
{
    for (const char* id : {"2", "10010"}) {
        NewCollageDialog dialog(SettingsValues());
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        dialog.WidthEdit()->setText(QStringLiteral("400"));
        Click(dialog.findChild<QWidget*>(QLatin1String(id)));
        EXPECT_EQ(dialog.result(), QDialog::Rejected) << id;
        EXPECT_EQ(dialog.Result().width, 1600) << id;
    }
    {
        NewCollageDialog dialog(SettingsValues());
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    {
        NewCollageDialog dialog(SettingsValues());
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        dialog.WidthEdit()->setText(QStringLiteral("400"));
        QTest::keyClick(dialog.WidthEdit(), Qt::Key_Return);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.Result().width, 400);
    }
}
