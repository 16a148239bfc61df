#include "editing/CalendarSheet.h"

#include <QDate>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace calendar {

namespace {

constexpr std::array<const char*, 12> kMonthNames{"January", "February", "March",     "April",   "May",      "June",
                                                  "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<const char*, kColumns> kWeekdayNames{"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};

// The sheet's font for a cell height (ascent + descent) of the named face: its em is
// kEmPerCell of the cell. The em comes from the named face's own proportions, so a substitute
// face with a shorter line keeps the sheet's sizes instead of growing to fill the cell.
QFont SheetFont(int cellHeight)
{
    QFont f;
    QStringList families;
    for (const char* family : kFontFamilies)
        families << QString::fromLatin1(family);
    f.setFamilies(families);
    f.setWeight(static_cast<QFont::Weight>(kFontWeight));
    f.setStyleStrategy(static_cast<QFont::StyleStrategy>(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
    f.setPixelSize(std::max(1, static_cast<int>(cellHeight * kEmPerCell + 0.5)));
    return f;
}

// The text with its top-left corner at (x, y): dark, then light one pixel right and down.
void DrawTwoTone(QPainter& p, const QFontMetrics& metrics, int x, int y, const QString& text)
{
    const int baseline = y + metrics.ascent();
    p.setPen(QColor::fromRgb(kDarkText));
    p.drawText(x, baseline, text);
    p.setPen(QColor::fromRgb(kLightText));
    p.drawText(x + 1, baseline + 1, text);
}

bool InRange(Month m)
{
    return m.year >= kFirstYear && m.year <= kLastYear && m.month >= 1 && m.month <= 12;
}

} // namespace

Month ClampMonth(int year, int month)
{
    if (year < kFirstYear)
        return {kFirstYear, 1};
    if (year > kLastYear)
        return {kLastYear, 12};
    return {year, std::clamp(month, 1, 12)};
}

Month CurrentMonth()
{
    const QDate today = QDate::currentDate();
    return ClampMonth(today.year(), today.month());
}

bool HasNextMonth(Month m)
{
    return InRange(m) && !(m.year == kLastYear && m.month == 12);
}

bool HasPreviousMonth(Month m)
{
    return InRange(m) && !(m.year == kFirstYear && m.month == 1);
}

Month NextMonth(Month m)
{
    if (!HasNextMonth(m))
        return ClampMonth(m.year, m.month);
    return m.month == 12 ? Month{m.year + 1, 1} : Month{m.year, m.month + 1};
}

Month PreviousMonth(Month m)
{
    if (!HasPreviousMonth(m))
        return ClampMonth(m.year, m.month);
    return m.month == 1 ? Month{m.year - 1, 12} : Month{m.year, m.month - 1};
}

QString MonthName(int month)
{
    if (month < 1 || month > 12)
        return {};
    return QString::fromLatin1(kMonthNames[static_cast<std::size_t>(month - 1)]);
}

QString WeekdayName(int weekday)
{
    if (weekday < 0 || weekday >= kColumns)
        return {};
    return QString::fromLatin1(kWeekdayNames[static_cast<std::size_t>(weekday)]);
}

QString Title(Month m)
{
    return QString::asprintf("%s, %04d", MonthName(m.month).toLatin1().constData(), m.year);
}

int ViewWidth(int requestedWidth)
{
    return ((requestedWidth - 2) / kColumns) * kColumns + 2;
}

std::array<QRect, kColumns> WeekdayCells(int width)
{
    std::array<QRect, kColumns> cells;
    for (int j = 0; j < kColumns; ++j) {
        const int left = static_cast<int>(width * j * kOneSeventh);
        const int right = static_cast<int>(width * kOneSeventh + left);
        cells[static_cast<std::size_t>(j)] = QRect(QPoint(left, kTitleHeight), QPoint(right - 1, kDaysTop - 1));
    }
    return cells;
}

std::array<QRect, kDayCells> DayCells(int width, int height)
{
    std::array<QRect, kDayCells> cells;
    const double u = width / double(kColumns);
    const double v = (height - kDaysTop) / double(kRows);
    for (int r = 0; r < kRows; ++r) {
        for (int j = 0; j < kColumns; ++j) {
            const int top = static_cast<int>(kDaysTop + v * r);
            const int bottom = static_cast<int>(v + top);
            const int left = static_cast<int>(u * j);
            const int right = static_cast<int>(u + left);
            cells[static_cast<std::size_t>(r * kColumns + j)] =
                QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
        }
    }
    return cells;
}

int FirstWeekday(Month m)
{
    return QDate(m.year, m.month, 1).dayOfWeek() % 7; // Qt counts Monday 1 .. Sunday 7
}

std::array<int, kDayCells> DayNumbers(Month m)
{
    std::array<int, kDayCells> numbers{};
    const QDate first(m.year, m.month, 1);
    if (!first.isValid())
        return numbers;
    const QDate start = first.addDays(-FirstWeekday(m));
    for (int i = 0; i < kDayCells; ++i) {
        const QDate day = start.addDays(i);
        if (day.year() == m.year && day.month() == m.month)
            numbers[static_cast<std::size_t>(i)] = day.day();
    }
    return numbers;
}

void DrawSheet(QImage& sheet, Month m)
{
    if (sheet.isNull())
        return;
    const int width = sheet.width();
    const int height = sheet.height();
    QPainter p(&sheet);
    p.setRenderHints(QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    p.fillRect(sheet.rect(), QColor::fromRgb(kBackground));

    const QFont titleFont = SheetFont(kTitleFontHeight);
    const QFontMetrics titleMetrics(titleFont);
    const QString title = Title(m);
    p.setFont(titleFont);
    DrawTwoTone(p, titleMetrics, (width - titleMetrics.horizontalAdvance(title)) / 2, kTitleY, title);

    p.fillRect(QRect(0, kTitleHeight, width, kWeekdayRowHeight), QColor::fromRgb(kBackground));
    const QFont weekdayFont = SheetFont(kWeekdayFontHeight);
    const QFontMetrics weekdayMetrics(weekdayFont);
    p.setFont(weekdayFont);
    const std::array<QRect, kColumns> weekdays = WeekdayCells(width);
    for (int j = 0; j < kColumns; ++j) {
        const QRect& cell = weekdays[static_cast<std::size_t>(j)];
        const QString name = WeekdayName(j);
        const int cellRight = cell.left() + cell.width(); // the edge outside the cell
        DrawTwoTone(p, weekdayMetrics, cellRight - kWeekdayRightGap - weekdayMetrics.horizontalAdvance(name),
                    cell.top() + kTextTopGap, name);
    }

    const QFont dayFont = SheetFont(kDayFontHeight);
    const QFontMetrics dayMetrics(dayFont);
    p.setFont(dayFont);
    const std::array<QRect, kDayCells> cells = DayCells(width, height);
    const std::array<int, kDayCells> numbers = DayNumbers(m);
    for (int i = 0; i < kDayCells; ++i) {
        const int day = numbers[static_cast<std::size_t>(i)];
        if (day == 0)
            continue;
        const QRect& cell = cells[static_cast<std::size_t>(i)];
        const QString text = QString::number(day);
        const int cellRight = cell.left() + cell.width();
        DrawTwoTone(p, dayMetrics, cellRight - kDayRightGap - dayMetrics.horizontalAdvance(text),
                    cell.top() + kTextTopGap, text);
    }
}

int CaptureAlpha(int red, int green, int blue)
{
    const int sum = red + green + blue;
    if (sum == 660 || sum == 30)
        return 255;
    if (sum == 765)
        return 0;
    return 128;
}

bool CaptureTransparent(const QImage& sheet, std::span<std::uint8_t> buffer)
{
    if (buffer.size() < kCaptureBytes)
        return false;
    const QImage source = sheet.isNull() ? QImage() : sheet.convertToFormat(QImage::Format_RGB32);
    std::uint8_t* out = buffer.data();
    for (int y = 0; y < kCaptureSize; ++y) {
        const QRgb* row = y < source.height() ? reinterpret_cast<const QRgb*>(source.constScanLine(y)) : nullptr;
        for (int x = 0; x < kCaptureSize; ++x, out += 4) {
            const QRgb c = row && x < source.width() ? row[x] : kBackground;
            out[0] = static_cast<std::uint8_t>(qBlue(c));
            out[1] = static_cast<std::uint8_t>(qGreen(c));
            out[2] = static_cast<std::uint8_t>(qRed(c));
            out[3] = static_cast<std::uint8_t>(CaptureAlpha(qRed(c), qGreen(c), qBlue(c)));
        }
    }
    return true;
}

} // namespace calendar
