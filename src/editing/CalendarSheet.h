#pragma once

// The month calendar sheet, without widgets: the months offered, stepping between them, the
// width rule of the view, the cell layout, the texts, drawing a month into a picture and the
// transparent capture of that picture into a 260 x 260 buffer. CalendarView shows the sheet;
// the tests call these functions directly.
//
// The sheet: a white background; the title "<month name>, <year>" centred in the top 24
// pixels; a 20-pixel row of weekday names ("SUN" .. "SAT") right-aligned in seven columns;
// six rows of seven day cells starting with the Sunday on or before the 1st, where only the
// days of the shown month carry their numbers, right-aligned. Every text is drawn twice: dark
// (10, 10, 10), then light (220, 220, 220) one pixel right and down. Day arithmetic is by
// calendar date, so a change of daylight-saving time never repeats or skips a day.
//
// The capture turns the sheet into blue, green, red, alpha bytes: the two text tones opaque,
// the white background clear, every other colour (the anti-aliased text edges) half
// transparent. Pixels beyond the sheet count as white.

#include <QImage>
#include <QRect>
#include <QString>

#include <array>
#include <cstdint>
#include <span>

namespace calendar {

// The months offered: January 1970 to December 2100.
inline constexpr int kFirstYear = 1970;
inline constexpr int kLastYear = 2100;

struct Month {
    int year = kFirstYear;
    int month = 1; // 1..12
    friend bool operator==(const Month&, const Month&) = default;
};

// The month of a date, held inside the months offered.
Month ClampMonth(int year, int month);
// The current local month, held inside the months offered.
Month CurrentMonth();
// ">>": month + 1, after December January of the next year; stops at December 2100.
Month NextMonth(Month m);
// "<<": month - 1, before January December of the previous year; stops at January 1970.
Month PreviousMonth(Month m);
bool HasNextMonth(Month m);
bool HasPreviousMonth(Month m);

// Names: month 1..12, weekday 0..6 from Sunday. Out of range: an empty string.
QString MonthName(int month);
QString WeekdayName(int weekday);
// "%s, %04d" with the month's name and the year: "January, 2013".
QString Title(Month m);

// Metrics of the sheet.
inline constexpr int kTitleHeight = 24;
inline constexpr int kWeekdayRowHeight = 20;
inline constexpr int kDaysTop = kTitleHeight + kWeekdayRowHeight; // 44
inline constexpr int kColumns = 7;
inline constexpr int kRows = 6;
inline constexpr int kDayCells = kColumns * kRows;
inline constexpr double kOneSeventh = 0.14285714285714285;
// Fonts: "Arial Black", weight 700, cell heights 24 (title, day numbers) and 16 (weekdays).
// Where that face is not installed the metric-compatible sans serif stands in. Sizes are by
// the named face's proportions: its em is 2048 / 2888 of its cell (ascent 2254 + descent 634
// units), so cell 24 is an em of 17 pixels and cell 16 one of 11.
inline constexpr std::array<const char*, 3> kFontFamilies{"Arial Black", "Liberation Sans", "Nimbus Sans"};
inline constexpr double kEmPerCell = 2048.0 / 2888.0;
inline constexpr int kFontWeight = 700;
inline constexpr int kTitleFontHeight = 24;
inline constexpr int kWeekdayFontHeight = 16;
inline constexpr int kDayFontHeight = 24;
// Text positions: title at y 2; weekday names 5 pixels from the cell's right edge, 2 below its
// top; day numbers 10 from the right edge, 2 below the top.
inline constexpr int kTitleY = 2;
inline constexpr int kWeekdayRightGap = 5;
inline constexpr int kDayRightGap = 10;
inline constexpr int kTextTopGap = 2;
// Colours: background and the two text tones, drawn dark first, light one pixel right and down.
inline constexpr QRgb kBackground = 0xFFFFFFFF;
inline constexpr QRgb kDarkText = 0xFF0A0A0A;  // 10, 10, 10
inline constexpr QRgb kLightText = 0xFFDCDCDC; // 220, 220, 220

// A view created w pixels wide is made ((w - 2) div 7) x 7 + 2 wide.
int ViewWidth(int requestedWidth);

// Cell rectangles for a client area W x H (edge rectangles: right and bottom outside).
// Weekday cell j: left = trunc(W x j x 1/7), right = trunc(W x 1/7 + left), top 24, bottom 44.
std::array<QRect, kColumns> WeekdayCells(int width);
// Day cell (row r, column j) at index r x 7 + j: u = W / 7, v = (H - 44) / 6 (doubles),
// top = trunc(44 + v r), bottom = trunc(v + top), left = trunc(u j), right = trunc(u + left).
std::array<QRect, kDayCells> DayCells(int width, int height);

// The weekday of the month's 1st, 0 = Sunday.
int FirstWeekday(Month m);
// The day number shown in each of the 42 cells, 0 where the cell's day lies in another month.
std::array<int, kDayCells> DayNumbers(Month m);

// Draws the month into a sheet of the picture's size (any 32-bit format).
void DrawSheet(QImage& sheet, Month m);

// The capture's alpha for a colour: 255 when red + green + blue is 660 or 30, 0 when it is
// 765, otherwise 128.
int CaptureAlpha(int red, int green, int blue);

// The result buffer: 260 x 260 pixels of blue, green, red, alpha, top row first.
inline constexpr int kCaptureSize = 260;
inline constexpr std::size_t kCaptureBytes = std::size_t(kCaptureSize) * kCaptureSize * 4;
// Fills `buffer` (at least kCaptureBytes) from the sheet. False when the buffer is too small.
bool CaptureTransparent(const QImage& sheet, std::span<std::uint8_t> buffer);

} // namespace calendar
