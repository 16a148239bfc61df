#include "ui/skin/SkinArt.h"
#include "ui/skin/SkinButton.h"
#include "ui/skin/SkinFlatButtons.h"
#include "ui/skin/SkinGeometry.h"

#include <QButtonGroup>
#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

void Enter(QWidget& w)
{
    const QPointF local(w.width() / 2.0, w.height() / 2.0);
    QEnterEvent event(local, local, w.mapToGlobal(local));
    QApplication::sendEvent(&w, &event);
}

void Leave(QWidget& w)
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(&w, &event);
}

QImage Grab(QWidget& w)
{
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// A state bitmap whose three parts are told apart by colour: caps red and blue, middle green.
QPixmap MarkedBitmap(int height)
{
    QImage image(skin::kButtonArtWidth, height, QImage::Format_RGB32);
    image.fill(Qt::green);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < skin::kButtonCap; ++x) {
            image.setPixelColor(x, y, Qt::red);
            image.setPixelColor(skin::kButtonRightCapX + x, y, Qt::blue);
        }
    }
    return QPixmap::fromImage(image);
}

QColor Solid(Qt::GlobalColor c)
{
    return QColor(c);
}

QPixmap Square(Qt::GlobalColor colour)
{
    QPixmap pixmap(skin::kIconSize, skin::kIconSize);
    pixmap.fill(colour);
    return pixmap;
}

int DarkestGrey(const QImage& image)
{
    int darkest = 255;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            darkest = std::min(darkest, qGray(image.pixel(x, y)));
    return darkest;
}

struct Fixture {
    QWidget parent;
    Fixture() { parent.resize(400, 200); }
};

// The rules every drawn button shares, run on each kind.
void CheckStateRules(SkinAbstractButton& button)
{
    QSignalSpy commands(&button, &SkinAbstractButton::command);
    EXPECT_EQ(button.State(), skin::kStateNormal);

    Enter(button);
    EXPECT_EQ(button.State(), skin::kStateHover);
    Leave(button);
    EXPECT_EQ(button.State(), skin::kStateNormal);

    const QPoint inside(button.width() / 2, button.height() / 2);
    QTest::mousePress(&button, Qt::LeftButton, {}, inside);
    EXPECT_EQ(button.State(), skin::kStatePressed);
    EXPECT_EQ(commands.count(), 0) << "nothing is sent on the press";
    QTest::mouseRelease(&button, Qt::LeftButton, {}, inside);
    EXPECT_EQ(button.State(), skin::kStateNormal) << "the release shows normal";
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.at(0).at(0).toInt(), button.Id());

    // Moving again over the button shows hover again.
    QMouseEvent move(QEvent::MouseMove, QPointF(inside), button.mapToGlobal(QPointF(inside)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&button, &move);
    EXPECT_EQ(button.State(), skin::kStateHover);

    // Dragged off with the button held: neither pressed nor hover; back over it: pressed.
    const QPoint outside(button.width() + 30, button.height() + 30);
    QTest::mousePress(&button, Qt::LeftButton, {}, inside);
    QMouseEvent off(QEvent::MouseMove, QPointF(outside), button.mapToGlobal(QPointF(outside)), Qt::NoButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&button, &off);
    EXPECT_EQ(button.State(), skin::kStateNormal);
    QMouseEvent back(QEvent::MouseMove, QPointF(inside), button.mapToGlobal(QPointF(inside)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&button, &back);
    EXPECT_EQ(button.State(), skin::kStatePressed);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, inside);
    ASSERT_EQ(commands.count(), 2);
    Leave(button);

    // Pressed, then released away from the button: no command.
    QTest::mousePress(&button, Qt::LeftButton, {}, inside);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, outside);
    EXPECT_EQ(commands.count(), 2);
    EXPECT_EQ(button.State(), skin::kStateNormal);

    // Disabled: the disabled state, whatever the mouse does, and no command.
    button.setEnabled(false);
    EXPECT_EQ(button.State(), skin::kStateDisabled);
    Enter(button);
    EXPECT_EQ(button.State(), skin::kStateDisabled);
    QTest::mouseClick(&button, Qt::LeftButton, {}, inside);
    EXPECT_EQ(button.State(), skin::kStateDisabled);
    EXPECT_EQ(commands.count(), 2);

    // Enabling shows normal, even with the mouse still over it.
    button.setEnabled(true);
    EXPECT_EQ(button.State(), skin::kStateNormal);
}

} // namespace

TEST(SkinButton, StatesAndCommandOfEveryKindOfButton)
{
    Fixture f;
    SkinButton push(QRect(10, 10, 80, 20), &f.parent, 10551);
    push.SetCaption(QStringLiteral("OK"));
    SkinLabelButton label(QRect(10, 40, 80, 20), &f.parent, 10552);
    label.SetCaption(QStringLiteral("File"));
    SkinCheckButton check(QRect(10, 70, 80, 20), &f.parent, 10471);
    check.SetCaption(QStringLiteral("Center"));
    f.parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.parent));

    for (SkinAbstractButton* button : {static_cast<SkinAbstractButton*>(&push), static_cast<SkinAbstractButton*>(&label),
                                       static_cast<SkinAbstractButton*>(&check)}) {
        SCOPED_TRACE(button->metaObject()->className());
        CheckStateRules(*button);
    }
    EXPECT_EQ(f.parent.findChild<SkinAbstractButton*>(QStringLiteral("10551")), &push);
}

TEST(SkinButton, ShowsTheBitmapOfItsState)
{
    Fixture f;
    SkinButton button(QRect(0, 0, 80, 24), &f.parent, 1);
    // Without bitmaps of its own it shows the program's artwork at its height.
    EXPECT_EQ(button.StateBitmap().toImage(), skin::ButtonArt(skin::kStateNormal, 24).toImage());
    Enter(button);
    EXPECT_EQ(button.StateBitmap().toImage(), skin::ButtonArt(skin::kStateHover, 24).toImage());

    const QPixmap normal = MarkedBitmap(24);
    QPixmap hover(skin::kButtonArtWidth, 24), pressed(skin::kButtonArtWidth, 24), disabled(skin::kButtonArtWidth, 24);
    hover.fill(Qt::yellow);
    pressed.fill(Qt::cyan);
    disabled.fill(Qt::magenta);
    button.SetBitmaps(normal, hover, pressed, disabled);
    const QPoint middle(40, 12);
    EXPECT_EQ(Grab(button).pixelColor(middle), Solid(Qt::yellow));
    QTest::mousePress(&button, Qt::LeftButton, {}, middle);
    EXPECT_EQ(Grab(button).pixelColor(middle), Solid(Qt::cyan));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, middle);
    EXPECT_EQ(Grab(button).pixelColor(middle), Solid(Qt::green));
    button.setEnabled(false);
    EXPECT_EQ(Grab(button).pixelColor(middle), Solid(Qt::magenta));
}

TEST(SkinButton, DisabledButtonShowsDisabledBitmapIconAndGreyText)
{
    Fixture f;
    SkinButton button(QRect(0, 0, 100, 24), &f.parent, 5);
    button.SetIcons(Square(Qt::red), Square(Qt::blue));
    const QPoint centre(50, 12);
    EXPECT_EQ(Grab(button).pixelColor(centre), Solid(Qt::red));
    button.setEnabled(false);
    EXPECT_EQ(Grab(button).pixelColor(centre), Solid(Qt::blue));

    // Caption only: the darkest pixel is the text, black when enabled and 120 grey disabled.
    button.SetIcons(QPixmap(), QPixmap());
    button.SetCaption(QStringLiteral("Disabled"));
    EXPECT_EQ(DarkestGrey(Grab(button)), 120);
    button.setEnabled(true);
    EXPECT_LT(DarkestGrey(Grab(button)), 40);

    // The disabled look is the disabled artwork: its face in the middle, left of the text.
    button.SetCaption(QString());
    button.setEnabled(false);
    const QImage disabledArt = skin::DrawButtonArt(skin::kStateDisabled, 24).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(Grab(button).pixelColor(30, 12), disabledArt.pixelColor(30, 12));
}

TEST(SkinButton, ThreePieceCapsAndMiddle)
{
    Fixture f;
    const auto columns = [&f](int width) {
        SkinButton button(QRect(0, 0, width, 20), &f.parent, 1);
        button.SetBitmaps(MarkedBitmap(20), MarkedBitmap(20), MarkedBitmap(20), MarkedBitmap(20));
        const QImage image = Grab(button);
        QString seen;
        for (int x = 0; x < width; ++x) {
            const QColor c = image.pixelColor(x, 10);
            seen += c == Solid(Qt::red) ? QLatin1Char('L') : c == Solid(Qt::blue) ? QLatin1Char('R')
                  : c == Solid(Qt::green) ? QLatin1Char('M') : QLatin1Char('?');
        }
        return seen;
    };
    // 24 pixels or less: only the caps, the right one drawn over the left where they meet.
    EXPECT_EQ(columns(24), QString(12, QLatin1Char('L')) + QString(12, QLatin1Char('R')));
    EXPECT_EQ(columns(20), QString(8, QLatin1Char('L')) + QString(12, QLatin1Char('R')));
    EXPECT_EQ(columns(25), QString(12, QLatin1Char('L')) + QLatin1Char('M') + QString(12, QLatin1Char('R')));
    // Exactly the bitmap's width, and wider: the middle repeats, nothing is left undrawn.
    EXPECT_EQ(columns(118), QString(12, QLatin1Char('L')) + QString(94, QLatin1Char('M')) + QString(12, QLatin1Char('R')));
    EXPECT_EQ(columns(300), QString(12, QLatin1Char('L')) + QString(276, QLatin1Char('M')) + QString(12, QLatin1Char('R')));

    // The pieces never read outside the 118-pixel bitmap.
    for (const int width : {1, 12, 24, 25, 118, 119, 500}) {
        for (const skin::Piece& piece : skin::ButtonPieces(QSize(width, 20))) {
            EXPECT_TRUE(QRect(0, 0, skin::kButtonArtWidth, 20).contains(piece.source)) << width;
            EXPECT_EQ(piece.source.size(), piece.target.size()) << "copied unscaled";
        }
    }

    // Without the three-piece flag the bitmap is copied from its top-left corner.
    SkinButton plain(QRect(0, 0, 60, 20), &f.parent, 1);
    plain.SetThreePiece(false);
    plain.SetBitmaps(MarkedBitmap(20), MarkedBitmap(20), MarkedBitmap(20), MarkedBitmap(20));
    const QImage image = Grab(plain);
    EXPECT_EQ(image.pixelColor(11, 10), Solid(Qt::red));
    EXPECT_EQ(image.pixelColor(59, 10), Solid(Qt::green));
}

TEST(SkinButton, CaptionMovesByTheTextOffset)
{
    Fixture f;
    SkinButton button(QRect(0, 0, 118, 30), &f.parent, 1);
    button.SetCaption(QStringLiteral("I"));
    const auto darkColumn = [&button] {
        const QImage image = Grab(button);
        int darkest = 255;
        int column = -1;
        for (int x = 0; x < image.width(); ++x) {
            for (int y = 0; y < image.height(); ++y) {
                if (qGray(image.pixel(x, y)) < darkest) {
                    darkest = qGray(image.pixel(x, y));
                    column = x;
                }
            }
        }
        return column;
    };
    const int centred = darkColumn();
    ASSERT_GT(centred, 40);
    button.SetTextOffset(QPoint(20, 0));
    EXPECT_EQ(darkColumn(), centred + 20);
}

TEST(SkinCheckButton, ExactlyOneOfAnExclusiveGroupStaysChecked)
{
    Fixture f;
    SkinCheckButton center(QRect(10, 10, 70, 20), &f.parent, 10471);
    SkinCheckButton tile(QRect(90, 10, 70, 20), &f.parent, 10472);
    SkinCheckButton stretch(QRect(170, 10, 70, 20), &f.parent, 10473);
    QButtonGroup group;
    group.setExclusive(true);
    for (SkinCheckButton* b : {&center, &tile, &stretch})
        group.addButton(b, b->Id());
    center.setChecked(true);
    QSignalSpy commands(&tile, &SkinAbstractButton::command);

    QTest::mouseClick(&tile, Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_EQ(commands.count(), 1);
    EXPECT_EQ(group.checkedId(), 10472);
    QTest::mouseClick(&center, Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_TRUE(center.isChecked());
    EXPECT_FALSE(tile.isChecked());
    EXPECT_FALSE(stretch.isChecked());
    // Clicking the checked one keeps it checked.
    QTest::mouseClick(&center, Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_EQ(group.checkedId(), 10471);

    // The box shows the checked or the unchecked bitmap.
    const QImage checkedBox = skin::DrawCheckArt(true).convertToFormat(QImage::Format_RGB32);
    const QImage uncheckedBox = skin::DrawCheckArt(false).convertToFormat(QImage::Format_RGB32);
    const int boxY = (20 - skin::kCheckBoxSize) / 2;
    EXPECT_EQ(Grab(center).pixelColor(2, boxY + 8), checkedBox.pixelColor(2, 8));
    EXPECT_EQ(Grab(tile).pixelColor(2, boxY + 8), uncheckedBox.pixelColor(2, 8));
    EXPECT_NE(checkedBox.pixelColor(2, 8), uncheckedBox.pixelColor(2, 8));
}

TEST(SkinLabelButton, HoverIsWhiteInABlackFrameAndEmbossDrawsTheShadowText)
{
    Fixture f;
    SkinLabelButton button(QRect(0, 0, 90, 22), &f.parent, 11000);
    button.SetCaption(QStringLiteral("File"));
    QImage image = Grab(button);
    EXPECT_EQ(image.pixelColor(0, 0), skin::kDialogBackground);
    EXPECT_EQ(image.pixelColor(80, 11), skin::kDialogBackground);

    Enter(button);
    image = Grab(button);
    EXPECT_EQ(image.pixelColor(0, 0), Solid(Qt::black));
    EXPECT_EQ(image.pixelColor(89, 21), Solid(Qt::black));
    EXPECT_EQ(image.pixelColor(80, 11), Solid(Qt::white));
    Leave(button);

    // The caption starts 5 pixels from the left.
    image = Grab(button);
    int first = -1;
    for (int x = 0; x < image.width() && first < 0; ++x)
        for (int y = 0; y < image.height(); ++y)
            if (qGray(image.pixel(x, y)) < 100) {
                first = x;
                break;
            }
    EXPECT_GE(first, skin::kLabelInset);
    EXPECT_LE(first, skin::kLabelInset + 2);

    const auto hasShadow = [](const QImage& shot) {
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (shot.pixelColor(x, y) == skin::kShadowText)
                    return true;
        return false;
    };
    EXPECT_FALSE(hasShadow(Grab(button)));
    button.SetEmboss(true);
    EXPECT_TRUE(hasShadow(Grab(button)));
}
