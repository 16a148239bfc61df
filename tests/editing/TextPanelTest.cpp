// The text panel: its record and notifications, the style gallery, the font list and the
// text box's limits.

#include "editing/PanelSlider.h"
#include "editing/StyleGallery.h"
#include "editing/TextPanel.h"
#include "editing/TextRendering.h"
#include "ui/CVelColourPicker.h"
#include "ui/CVelComboBox.h"
#include "ui/skin/SkinButton.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>
#include <QWheelEvent>

namespace {

constexpr std::uint32_t Rgb(int r, int g, int b)
{
    return std::uint32_t(r) | std::uint32_t(g) << 8 | std::uint32_t(b) << 16;
}

struct Shown {
    Shown()
    {
        panel.resize(900, 123);
        panel.show();
    }
    TextPanel panel;
};

TEST(TextPanel, CreatedWithTheFirstFontStyleZeroAndHeight48)
{
    Shown s;
    const Text& settings = s.panel.Settings();
    EXPECT_EQ(settings.font.lfHeight, 48);
    EXPECT_EQ(settings.style, 0);
    EXPECT_EQ(settings.colour1, Rgb(0, 255, 0));
    EXPECT_EQ(settings.colour2, Rgb(0, 156, 0));
    EXPECT_EQ(settings.transparency, 0.0f);
    EXPECT_EQ(s.panel.Colour1Button()->GetColour(), Rgb(0, 255, 0));
    EXPECT_EQ(s.panel.Colour2Button()->GetColour(), Rgb(0, 156, 0));
    ASSERT_GT(s.panel.FontList()->Count(), 0);
    EXPECT_EQ(s.panel.FontList()->GetCurSel(), 0);
    EXPECT_EQ(settings.font.FaceName(), s.panel.FontList()->ItemText(0));
    EXPECT_EQ(s.panel.Gallery()->Selected(), 0);
    for (CVelColourPicker* picker : {s.panel.Colour1Button(), s.panel.Colour2Button()}) {
        EXPECT_EQ(picker->DefaultText(), QStringLiteral("Color"));
        EXPECT_EQ(picker->CustomText(), QStringLiteral("Custom Color"));
    }
    EXPECT_EQ(s.panel.TransparencySlider()->Minimum(), 0);
    EXPECT_EQ(s.panel.TransparencySlider()->Maximum(), 100);
    EXPECT_EQ(s.panel.AddButton()->text(), QStringLiteral("Add"));
    EXPECT_EQ(s.panel.AddButton()->size(), QSize(76, 20));
}

TEST(TextPanel, ControlsStandWhereTheLayoutPutsThemWithoutOverlap)
{
    Shown s;
    const QSize size = s.panel.size();
    const int y0 = size.height() / 8;
    EXPECT_EQ(s.panel.TransparencySlider()->geometry(), QRect(QPoint(110, y0 + 2), QPoint(239, y0 + 14)));
    EXPECT_EQ(s.panel.FontList()->y(), y0 + 22);
    EXPECT_EQ(s.panel.Colour1Button()->y(), y0 + 47);
    EXPECT_EQ(s.panel.Colour2Button()->y(), y0 + 72);
    EXPECT_EQ(s.panel.Gallery()->geometry(), QRect(260, 20, stylegallery::kWidth, size.height() - 40));
    const std::vector<QWidget*> controls = {s.panel.TransparencySlider(), s.panel.FontList(), s.panel.Colour1Button(),
                                            s.panel.Colour2Button(), s.panel.Gallery(), s.panel.TextBox(),
                                            s.panel.AddButton()};
    for (std::size_t i = 0; i < controls.size(); ++i) {
        EXPECT_TRUE(s.panel.rect().contains(controls[i]->geometry())) << i;
        for (std::size_t j = 0; j < i; ++j)
            EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry())) << i << " " << j;
    }
    // "Add" stands right of the text box, bottoms aligned, 20 from the right edge.
    const QRect box = s.panel.TextBox()->geometry();
    const QRect add = s.panel.AddButton()->geometry();
    EXPECT_EQ(box.left(), 260 + stylegallery::kWidth + 20);
    EXPECT_EQ(box.top(), 20);
    EXPECT_EQ(box.bottom(), size.height() - 21);
    EXPECT_EQ(add.bottom(), box.bottom());
    EXPECT_EQ(add.right(), size.width() - 21);
    EXPECT_GT(add.left(), box.right());
}

TEST(TextPanel, PickingStyleFourInTheGallerySetsItsColours)
{
    Shown s;
    QSignalSpy changed(&s.panel, &TextPanel::settingsChanged);
    StyleGallery* gallery = s.panel.Gallery();
    const QRect cell = stylegallery::CellRect(4, 0);
    gallery->SetSelected(4); // scrolled into view
    QTest::mouseClick(gallery, Qt::LeftButton, {}, QPoint(40, cell.center().y() - gallery->Scroll()));
    ASSERT_EQ(changed.count(), 1);
    const Text sent = changed.at(0).at(0).value<Text>();
    EXPECT_EQ(sent.style, 4);
    EXPECT_EQ(sent.colour1, Rgb(198, 25, 0));
    EXPECT_EQ(sent.colour2, Rgb(255, 255, 0));
    EXPECT_EQ(s.panel.Settings().style, 4);
    EXPECT_EQ(s.panel.Colour1Button()->GetColour(), Rgb(198, 25, 0));
    EXPECT_EQ(s.panel.Colour2Button()->GetColour(), Rgb(255, 255, 0));

    // A colour of the user's own, then another style: the style's colours come back.
    s.panel.Colour1Button()->SetColour(Rgb(1, 2, 3));
    emit s.panel.Colour1Button()->endedWithChoice(Rgb(1, 2, 3), textpanel::kColour1Id);
    EXPECT_EQ(s.panel.Settings().colour1, Rgb(1, 2, 3));
    EXPECT_EQ(changed.count(), 2);
    QTest::keyClick(gallery, Qt::Key_Down);
    EXPECT_EQ(s.panel.Settings().style, 5);
    EXPECT_EQ(s.panel.Settings().colour1, Rgb(88, 66, 214));
    EXPECT_EQ(s.panel.Settings().colour2, Rgb(255, 255, 255));
    EXPECT_EQ(changed.count(), 3);
}

TEST(TextPanel, TransparencyFontAndAddUpdateTheRecordAndNotify)
{
    Shown s;
    QSignalSpy changed(&s.panel, &TextPanel::settingsChanged);
    PanelSlider* slider = s.panel.TransparencySlider();
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() / 2, 6));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_FLOAT_EQ(s.panel.Settings().transparency, static_cast<float>(slider->Position()) / 100.0f);
    EXPECT_NEAR(slider->Position(), 50, 1);

    CVelComboBox* fonts = s.panel.FontList();
    if (fonts->Count() > 1) {
        fonts->ChooseLine(fonts->Count() - 1);
        EXPECT_EQ(s.panel.Settings().font.FaceName(), fonts->ItemText(fonts->Count() - 1));
        EXPECT_EQ(changed.count(), 2);
    }
    EXPECT_FALSE(s.panel.PickFont(QStringLiteral("No Such Family 123")));

    QSignalSpy add(&s.panel, &TextPanel::addRequested);
    s.panel.PickStyle(6);
    QTest::mouseClick(s.panel.AddButton(), Qt::LeftButton);
    ASSERT_EQ(add.count(), 1);
    EXPECT_EQ(add.at(0).at(0).toInt(), 6);
}

TEST(StyleGallery, CellsScrollingAndTheScrollBar)
{
    using namespace stylegallery;
    EXPECT_EQ(CellRect(0, 0), QRect(QPoint(3, 3), QPoint(156, 44)));
    EXPECT_EQ(CellRect(2, 10), QRect(QPoint(3, 2 * 48 + 3 - 10), QPoint(156, 3 * 48 - 3 - 10 - 1)));
    EXPECT_EQ(RowAt(0, 0), 0);
    EXPECT_EQ(RowAt(47, 0), 0);
    EXPECT_EQ(RowAt(48, 0), 1);
    EXPECT_EQ(RowAt(10, 100), 2);
    EXPECT_EQ(RowAt(384, 0), -1);
    EXPECT_EQ(ScrollRange(83), 384 - 83);
    EXPECT_EQ(ScrollRange(384), 0);
    EXPECT_EQ(ScrollRange(500), 0);
    EXPECT_EQ(WheelScroll(0, -120, 83), 100);  // down
    EXPECT_EQ(WheelScroll(250, -120, 83), 301); // stops at the end
    EXPECT_EQ(WheelScroll(250, 120, 83), 150);  // up
    EXPECT_EQ(WheelScroll(50, 120, 83), 0);

    StyleGallery gallery;
    gallery.resize(kWidth, 83);
    gallery.show();
    EXPECT_TRUE(gallery.ScrollBar()->isVisible());
    EXPECT_EQ(gallery.ScrollBar()->geometry(), QRect(kWidth - 17, 0, 17, 83));
    QWheelEvent down(QPointF(20, 20), gallery.mapToGlobal(QPointF(20, 20)), {}, QPoint(0, -120), Qt::NoButton, {},
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(&gallery, &down);
    EXPECT_EQ(gallery.Scroll(), 100);
    EXPECT_EQ(gallery.ScrollBar()->value(), 100);
    gallery.resize(kWidth, kContentHeight);
    EXPECT_FALSE(gallery.ScrollBar()->isVisible());
    EXPECT_EQ(gallery.Scroll(), 0);

    // Arrow keys stop at the ends; a click below the last cell selects nothing.
    QSignalSpy selected(&gallery, &StyleGallery::selectionChanged);
    QTest::keyClick(&gallery, Qt::Key_Up);
    EXPECT_EQ(selected.count(), 0);
    gallery.SetSelected(7);
    QTest::keyClick(&gallery, Qt::Key_Down);
    EXPECT_EQ(selected.count(), 0);
    gallery.resize(kWidth, kContentHeight + 40);
    QTest::mouseClick(&gallery, Qt::LeftButton, {}, QPoint(40, kContentHeight + 10));
    EXPECT_EQ(selected.count(), 0);
    EXPECT_EQ(gallery.Selected(), 7);
}

TEST(StyleGallery, EachCellShowsItsPresetAndTheSelectionFrame)
{
    StyleGallery gallery;
    gallery.resize(stylegallery::kWidth, stylegallery::kContentHeight);
    gallery.show();
    const QImage shot = gallery.grab().toImage();
    // The selected cell 0 is framed in 200 grey; cell 1 is not.
    const QRect cell0 = stylegallery::CellRect(0, 0);
    EXPECT_EQ(QColor(shot.pixel(cell0.left() + 20, cell0.top())), QColor(200, 200, 200));
    EXPECT_EQ(QColor(shot.pixel(cell0.left() + 20, cell0.top() - 1)), QColor(200, 200, 200));
    const QRect cell1 = stylegallery::CellRect(1, 0);
    EXPECT_EQ(QColor(shot.pixel(cell1.left() + 20, cell1.top())), QColor(255, 255, 255));
    // Every cell holds the word in its colours: a pixel of colour 1's hue family somewhere.
    for (int row = 0; row < stylegallery::kStyleCount; ++row) {
        const QRect cell = stylegallery::CellRect(row, 0).adjusted(2, 2, -2, -2);
        int inked = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                inked += shot.pixel(x, y) != qRgb(255, 255, 255);
        EXPECT_GT(inked, 200) << row;
    }
}

TEST(FontList, SortedWithoutAtNamesAharoniLongNamesAndUnusableFamilies)
{
    const QStringList installed = {QStringLiteral("Zed"),
                                   QStringLiteral("@Vertical"),
                                   QStringLiteral("alpha"),
                                   QStringLiteral("Aharoni"),
                                   QStringLiteral("Beta"),
                                   QStringLiteral("Broken"),
                                   QStringLiteral("Beta"),
                                   QString(31, QLatin1Char('n')),
                                   QString(32, QLatin1Char('x'))};
    const QStringList kept = textpanel::UsableFontFamilies(
        installed, [](const QString& family) { return family != QLatin1String("Broken"); });
    EXPECT_EQ(kept, (QStringList{QStringLiteral("alpha"), QStringLiteral("Beta"), QString(31, QLatin1Char('n')),
                                 QStringLiteral("Zed")}));
    EXPECT_EQ(textpanel::FamilyWithoutFoundry(QStringLiteral("C059 [UKWN]")), QStringLiteral("C059"));
    EXPECT_EQ(textpanel::FamilyWithoutFoundry(QStringLiteral("Plain")), QStringLiteral("Plain"));
    for (const QString& family : textpanel::InstalledFontFamilies()) {
        EXPECT_FALSE(family.endsWith(QLatin1Char(']'))) << family.toStdString();
        LogFont font;
        EXPECT_TRUE(font.SetFaceName(family)) << family.toStdString();
    }
}

TEST(TextBox, HoldsAtMost1000CharactersAndTheRecordTheFirst999)
{
    using textpanel::FitTextField;
    EXPECT_EQ(FitTextField(QString(1000, QLatin1Char('a'))), QString(999, QLatin1Char('a')));
    EXPECT_EQ(FitTextField(QString(999, QLatin1Char('a'))).size(), 999);
    EXPECT_EQ(FitTextField(QStringLiteral("two\nlines")), QStringLiteral("two\nlines"));
    // Two bytes a character: as many whole characters as fit 999 bytes.
    const QString accents(999, QChar(0x00E9));
    EXPECT_EQ(FitTextField(accents), QString(499, QChar(0x00E9)));
    // A character outside the basic plane is never cut in two.
    QString emoji = QString(998, QLatin1Char('a')) + QString::fromUcs4(U"\U0001F600");
    EXPECT_EQ(FitTextField(emoji), QString(998, QLatin1Char('a')));

    Shown s;
    QSignalSpy typed(&s.panel, &TextPanel::textChanged);
    TextEditBox* box = s.panel.TextBox();
    box->setPlainText(QString(990, QLatin1Char('b')));
    box->moveCursor(QTextCursor::End);
    QTest::keyClicks(box, QStringLiteral("0123456789AB")); // two beyond the limit
    EXPECT_EQ(box->toPlainText().size(), 1000);
    EXPECT_EQ(box->toPlainText().right(10), QStringLiteral("0123456789"));
    ASSERT_GT(typed.count(), 0);
    EXPECT_EQ(typed.last().at(0).toString().size(), 1000);
    EXPECT_EQ(s.panel.Settings().text.Value(), box->toPlainText().left(999));

    // Text put into the box by the program without signals is in the next record sent.
    QSignalSpy changed(&s.panel, &TextPanel::settingsChanged);
    {
        const QSignalBlocker blocker(box);
        box->setPlainText(QStringLiteral("from the canvas"));
    }
    s.panel.PickStyle(2);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).value<Text>().text.Value(), QStringLiteral("from the canvas"));

    // Enter starts a new line.
    box->clear();
    QTest::keyClicks(box, QStringLiteral("one"));
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClicks(box, QStringLiteral("two"));
    EXPECT_EQ(box->toPlainText(), QStringLiteral("one\ntwo"));
    EXPECT_EQ(s.panel.Settings().text.Value(), QStringLiteral("one\ntwo"));
}

} // namespace

TEST(TextPanelText, TextBoxTextFitsTheFieldWithoutCuttingACharacter)
{
    using textpanel::FitTextField;
    EXPECT_EQ(FitTextField(QString(1500, QLatin1Char('a'))).toUtf8().size(), 999);
    EXPECT_EQ(FitTextField(QStringLiteral("short")), QStringLiteral("short"));
    // 500 two-byte characters: 499 fit (998 bytes), the 500th would need 1000.
    const QString umlauts(500, QChar(0x00E4));
    EXPECT_EQ(FitTextField(umlauts).size(), 499);
    // A four-byte character is never split from its surrogate pair.
    const QString emoji = QString(997, QLatin1Char('x')) + QString::fromUtf8("\xF0\x9F\x98\x80");
    EXPECT_EQ(FitTextField(emoji), QString(997, QLatin1Char('x')));
}
