#include "ui/ShortcutText.h"
#include "ui/skin/ThemeIcon.h"

#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

TEST(ShortcutText, ModifiersInTheOrderCtrlShiftAltThenTheKey)
{
    EXPECT_EQ(ShortcutText(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z), QStringLiteral("Ctrl+Shift+Z"));
    EXPECT_EQ(ShortcutText(Qt::AltModifier | Qt::ShiftModifier | Qt::ControlModifier | Qt::Key_F4),
              QStringLiteral("Ctrl+Shift+Alt+F4"));
    EXPECT_EQ(ShortcutText(Qt::AltModifier | Qt::Key_F4), QStringLiteral("Alt+F4"));
    EXPECT_EQ(ShortcutText(QKeyCombination(Qt::Key_Y)), QStringLiteral("Y"));
    EXPECT_EQ(ShortcutText(QKeySequence(QStringLiteral("Ctrl+O"))), QStringLiteral("Ctrl+O"));
    EXPECT_EQ(ShortcutText(QKeySequence()), QString());
    // A key with a name of its own, not a character.
    const QString del = ShortcutText(QKeyCombination(Qt::Key_Delete));
    EXPECT_FALSE(del.isEmpty());
    EXPECT_FALSE(del.contains(QLatin1Char('+')));
}

TEST(ShortcutText, EscapeHasNoName)
{
    EXPECT_EQ(ShortcutText(QKeyCombination(Qt::Key_Escape)), QString());
    EXPECT_EQ(ShortcutText(Qt::ControlModifier | Qt::Key_Escape), QStringLiteral("Ctrl+"));
}

namespace {

int OpaquePixels(const QIcon& icon)
{
    const QImage image = icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 128;
    return count;
}

} // namespace

TEST(ThemeIcon, ThemeIconsWhereInstalledAndGlyphsOtherwise)
{
    // Unknown names, and the standard names without a theme, still draw something.
    EXPECT_GT(OpaquePixels(skin::ThemeIcon(QStringLiteral("montara-no-such-icon"))), 10);
    for (const char* name : {"document-new", "document-open", "document-save-as", "edit-undo", "edit-redo",
                             "edit-delete", "zoom-in", "zoom-out", "configure"})
        EXPECT_GT(OpaquePixels(skin::GlyphIcon(QString::fromLatin1(name))), 10) << name;

    if (!skin::UseProgramIconTheme())
        GTEST_SKIP() << "no icon theme installed";
    EXPECT_TRUE(QIcon::hasThemeIcon(QStringLiteral("document-open")));
    const QIcon open = skin::ThemeIcon(QStringLiteral("document-open"));
    EXPECT_GT(OpaquePixels(open), 10);
    // The theme's picture, not the drawn glyph.
    EXPECT_NE(open.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32),
              skin::GlyphIcon(QStringLiteral("document-open")).pixmap(16, 16).toImage().convertToFormat(
                  QImage::Format_ARGB32));
}
