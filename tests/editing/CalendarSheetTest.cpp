// The month sheet: stepping across years and the ends of the months offered, names and title,
// the width rule and the cell layout, the days of a month, the drawing and the transparent
// capture.

#include "editing/CalendarSheet.h"

#include <QDate>
#include <QPainter>

#include <gtest/gtest.h>

using calendar::Month;

namespace {

std::uint8_t AlphaAt(const std::vector<std::uint8_t>& buffer, int x, int y)
{
    return buffer[(std::size_t(y) * calendar::kCaptureSize + std::size_t(x)) * 4 + 3];
}

QRgb ColourAt(const std::vector<std::uint8_t>& buffer, int x, int y)
{
    const std::uint8_t* p = &buffer[(std::size_t(y) * calendar::kCaptureSize + std::size_t(x)) * 4];
    return qRgb(p[2], p[1], p[0]);
}

} // namespace

TEST(CalendarSheet, SteppingCrossesYears)
{
    EXPECT_EQ(calendar::NextMonth({2012, 12}), (Month{2013, 1}));
    EXPECT_EQ(calendar::Title(calendar::NextMonth({2012, 12})), QStringLiteral("January, 2013"));
    EXPECT_EQ(calendar::PreviousMonth({2013, 1}), (Month{2012, 12}));
    EXPECT_EQ(calendar::NextMonth({2012, 5}), (Month{2012, 6}));
    EXPECT_EQ(calendar::PreviousMonth({2012, 5}), (Month{2012, 4}));
    // Twelve steps forward and back return to the start.
    Month m{1999, 7};
    for (int i = 0; i < 12; ++i)
        m = calendar::NextMonth(m);
    EXPECT_EQ(m, (Month{2000, 7}));
    for (int i = 0; i < 12; ++i)
        m = calendar::PreviousMonth(m);
    EXPECT_EQ(m, (Month{1999, 7}));
}

TEST(CalendarSheet, SteppingStopsAtTheEndsOfTheMonthsOffered)
{
    EXPECT_FALSE(calendar::HasPreviousMonth({1970, 1}));
    EXPECT_EQ(calendar::PreviousMonth({1970, 1}), (Month{1970, 1}));
    EXPECT_TRUE(calendar::HasPreviousMonth({1970, 2}));
    EXPECT_FALSE(calendar::HasNextMonth({2100, 12}));
    EXPECT_EQ(calendar::NextMonth({2100, 12}), (Month{2100, 12}));
    EXPECT_TRUE(calendar::HasNextMonth({2100, 11}));
    EXPECT_EQ(calendar::ClampMonth(1969, 5), (Month{1970, 1}));
    EXPECT_EQ(calendar::ClampMonth(2101, 1), (Month{2100, 12}));
    EXPECT_EQ(calendar::ClampMonth(2000, 13), (Month{2000, 12}));
    const Month now = calendar::CurrentMonth();
    const QDate today = QDate::currentDate();
    if (today.year() >= 1970 && today.year() <= 2100) {
        EXPECT_EQ(now, (Month{today.year(), today.month()}));
    }
}

TEST(CalendarSheet, NamesAndTitle)
{
    const char* weekdays[] = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(calendar::WeekdayName(i), QLatin1String(weekdays[i]));
    EXPECT_TRUE(calendar::WeekdayName(7).isEmpty());
    EXPECT_EQ(calendar::MonthName(1), QStringLiteral("January"));
    EXPECT_EQ(calendar::MonthName(9), QStringLiteral("September"));
    EXPECT_EQ(calendar::MonthName(12), QStringLiteral("December"));
    EXPECT_TRUE(calendar::MonthName(0).isEmpty());
    EXPECT_EQ(calendar::Title({1970, 2}), QStringLiteral("February, 1970"));
    EXPECT_EQ(calendar::Title({2100, 12}), QStringLiteral("December, 2100"));
}

TEST(CalendarSheet, WidthRuleAndCells)
{
    EXPECT_EQ(calendar::ViewWidth(260), 254);
    EXPECT_EQ(calendar::ViewWidth(261), 261);
    EXPECT_EQ(calendar::ViewWidth(9), 9);

    const auto weekdays = calendar::WeekdayCells(254);
    const int lefts[] = {0, 36, 72, 108, 145, 181, 217};
    const int rights[] = {36, 72, 108, 144, 181, 217, 253};
    for (int j = 0; j < 7; ++j) {
        const QRect& c = weekdays[static_cast<std::size_t>(j)];
        EXPECT_EQ(c.left(), lefts[j]) << j;
        EXPECT_EQ(c.left() + c.width(), rights[j]) << j;
        EXPECT_EQ(c.top(), 24);
        EXPECT_EQ(c.top() + c.height(), 44);
    }
    // A width that sevenths divide exactly: 259 x 6 / 7 = 222 and not 221.
    EXPECT_EQ(calendar::WeekdayCells(259)[6].left(), 222);
    EXPECT_EQ(calendar::WeekdayCells(259)[6].left() + calendar::WeekdayCells(259)[6].width(), 259);

    // 216 pixels below the weekday row: six rows of 36.
    const auto days = calendar::DayCells(254, 260);
    EXPECT_EQ(days[0].top(), 44);
    EXPECT_EQ(days[0].top() + days[0].height(), 80);
    EXPECT_EQ(days[41].top(), 224);
    EXPECT_EQ(days[41].top() + days[41].height(), 260);
    EXPECT_EQ(days[41].left(), 217);
    // Fractional rows truncate each edge: v = 36.5 gives the second row 80..116.
    const auto uneven = calendar::DayCells(254, 263);
    EXPECT_EQ(uneven[7].top(), 80);
    EXPECT_EQ(uneven[7].top() + uneven[7].height(), 116);
    EXPECT_EQ(uneven[14].top(), 117);
}

TEST(CalendarSheet, FebruaryTwentyTwelve)
{
    const Month feb{2012, 2};
    EXPECT_EQ(calendar::FirstWeekday(feb), 3); // a Wednesday
    const auto numbers = calendar::DayNumbers(feb);
    EXPECT_EQ(numbers[0], 0);
    EXPECT_EQ(numbers[2], 0);
    EXPECT_EQ(numbers[3], 1); // fourth cell of the first row
    EXPECT_EQ(numbers[31], 29);
    EXPECT_EQ(numbers[32], 0);
    EXPECT_EQ(*std::max_element(numbers.begin(), numbers.end()), 29);
}

TEST(CalendarSheet, EveryMonthShowsItsDaysOnceInOrder)
{
    // Calendar dates, not seconds: no month repeats or skips a day, whatever the time zone.
    for (int year = calendar::kFirstYear; year <= calendar::kLastYear; ++year) {
        for (int month = 1; month <= 12; ++month) {
            const Month m{year, month};
            const auto numbers = calendar::DayNumbers(m);
            const int first = calendar::FirstWeekday(m);
            const int count = QDate(year, month, 1).daysInMonth();
            for (int i = 0; i < calendar::kDayCells; ++i) {
                const int expected = (i >= first && i < first + count) ? i - first + 1 : 0;
                ASSERT_EQ(numbers[static_cast<std::size_t>(i)], expected) << year << "-" << month << " cell " << i;
            }
        }
    }
    EXPECT_EQ(calendar::FirstWeekday({1970, 1}), 4); // a Thursday
    EXPECT_EQ(calendar::FirstWeekday({2100, 12}), 3);
}

TEST(CalendarSheet, CaptureAlphaBySum)
{
    EXPECT_EQ(calendar::CaptureAlpha(255, 255, 255), 0);
    EXPECT_EQ(calendar::CaptureAlpha(10, 10, 10), 255);
    EXPECT_EQ(calendar::CaptureAlpha(220, 220, 220), 255);
    EXPECT_EQ(calendar::CaptureAlpha(255, 255, 150), 255); // any colour summing to 660
    EXPECT_EQ(calendar::CaptureAlpha(30, 0, 0), 255);
    EXPECT_EQ(calendar::CaptureAlpha(128, 128, 128), 128);
    EXPECT_EQ(calendar::CaptureAlpha(0, 0, 0), 128);
    EXPECT_EQ(calendar::CaptureAlpha(255, 255, 254), 128);
}

TEST(CalendarSheet, CaptureOfAKnownSheetAndBeyondIt)
{
    QImage sheet(100, 50, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    sheet.setPixel(5, 5, qRgb(10, 10, 10));
    sheet.setPixel(6, 6, qRgb(220, 220, 220));
    sheet.setPixel(7, 7, qRgb(100, 120, 140));
    std::vector<std::uint8_t> buffer(calendar::kCaptureBytes, 0xCD);
    ASSERT_TRUE(calendar::CaptureTransparent(sheet, buffer));
    EXPECT_EQ(AlphaAt(buffer, 0, 0), 0);
    EXPECT_EQ(AlphaAt(buffer, 5, 5), 255);
    EXPECT_EQ(AlphaAt(buffer, 6, 6), 255);
    EXPECT_EQ(AlphaAt(buffer, 7, 7), 128);
    EXPECT_EQ(ColourAt(buffer, 7, 7), qRgb(100, 120, 140)); // blue, green, red in memory
    EXPECT_EQ(buffer[(7 * 260 + 7) * 4 + 0], 140);
    // Beyond the sheet: white and clear, in both directions.
    EXPECT_EQ(AlphaAt(buffer, 100, 10), 0);
    EXPECT_EQ(ColourAt(buffer, 100, 10), qRgb(255, 255, 255));
    EXPECT_EQ(AlphaAt(buffer, 10, 50), 0);
    EXPECT_EQ(AlphaAt(buffer, 259, 259), 0);

    std::vector<std::uint8_t> small(calendar::kCaptureBytes - 1);
    EXPECT_FALSE(calendar::CaptureTransparent(sheet, small));
}

TEST(CalendarSheet, DrawnSheetCapturedWhiteClearTitleOpaqueNarrowViewLeavesClearColumns)
{
    QImage sheet(calendar::ViewWidth(260), 260, QImage::Format_RGB32);
    calendar::DrawSheet(sheet, {2012, 2});
    std::vector<std::uint8_t> buffer(calendar::kCaptureBytes);
    ASSERT_TRUE(calendar::CaptureTransparent(sheet, buffer));

    // White background: clear.
    EXPECT_EQ(sheet.pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(AlphaAt(buffer, 1, 1), 0);

    // The title row holds both text tones, opaque, and no fully dark pixel outside the text.
    int dark = 0;
    int light = 0;
    for (int y = 0; y < calendar::kTitleHeight; ++y) {
        for (int x = 0; x < sheet.width(); ++x) {
            const QRgb c = sheet.pixel(x, y);
            if (c == calendar::kDarkText) {
                ++dark;
                EXPECT_EQ(AlphaAt(buffer, x, y), 255);
            } else if (c == calendar::kLightText) {
                ++light;
                EXPECT_EQ(AlphaAt(buffer, x, y), 255);
            } else if (c != calendar::kBackground) {
                EXPECT_EQ(AlphaAt(buffer, x, y), 128);
            }
        }
    }
    EXPECT_GT(dark, 20);
    EXPECT_GT(light, 20);

    // Day cells of other months stay empty: the first three cells of February 2012 are white.
    const auto cells = calendar::DayCells(sheet.width(), sheet.height());
    for (int i = 0; i < 3; ++i) {
        const QRect& c = cells[static_cast<std::size_t>(i)];
        for (int y = c.top(); y <= c.bottom(); ++y)
            for (int x = c.left(); x <= c.right(); ++x)
                ASSERT_EQ(sheet.pixel(x, y), calendar::kBackground) << i;
    }
    // The fourth cell holds the 1st.
    const QRect& first = cells[3];
    bool inked = false;
    for (int y = first.top(); y <= first.bottom() && !inked; ++y)
        for (int x = first.left(); x <= first.right() && !inked; ++x)
            inked = sheet.pixel(x, y) != calendar::kBackground;
    EXPECT_TRUE(inked);

    // The sheet is 254 wide: columns 254..259 of the capture are fully clear.
    for (int y = 0; y < calendar::kCaptureSize; ++y)
        for (int x = sheet.width(); x < calendar::kCaptureSize; ++x)
            ASSERT_EQ(AlphaAt(buffer, x, y), 0) << x << "," << y;
}
