#include "runtime/DateText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kelm24 {

namespace {

const QDate DateBase(1899, 12, 30);
// The calendar of date values and date texts: years 1 to 9999.
const QDate FirstDay(1, 1, 1);
const QDate LastDay(9999, 12, 31);

bool InCalendar(const QDate& date)
{
    return date.isValid() && date >= FirstDay && date <= LastDay;
}

// The separator character of a separator text, as a printf argument.
QByteArray SeparatorOf(const QString& separator)
{
    return separator.isEmpty() ? QByteArray() : QString(separator.at(0)).toUtf8();
}

// Digits only: "+1" or " 1" are not date parts.
int PartNumber(const QString& part)
{
    for (QChar c : part)
        if (!c.isDigit()) return 0;
    return part.isEmpty() ? 0 : part.toInt();
}

// A number through its shortest decimal text (15 significant digits).
double Decimal15(double x)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", x);
    return std::strtod(text, nullptr);
}

QString Yyyymmdd(const QDate& date)
{
    return QString::asprintf("%.4d%.2d%.2d", date.year(), date.month(), date.day());
}

// Date shifted by Count years, months or days, as "yyyymmdd". Counts are 64-bit
// so that no product of an integer count overflows; a result outside the
// calendar is no date ("Y" then keeps the date, as for 29 February).
QString ShiftDate(const QDate& date, const QString& unit, qint64 count)
{
    if (!InCalendar(date)) return QString();
    QDate shifted;
    if (unit.compare(QLatin1String("Y"), Qt::CaseInsensitive) == 0) {
        const qint64 year = date.year() + count;
        if (year >= 1 && year <= 9999) shifted = QDate(static_cast<int>(year), date.month(), date.day());
        if (!shifted.isValid()) shifted = date;
    } else if (unit.compare(QLatin1String("M"), Qt::CaseInsensitive) == 0) {
        const qint64 t = count + date.year() * qint64(12) + date.month();
        const int month = t % 12 == 0 ? 12 : static_cast<int>(t % 12);
        const qint64 year = t % 12 == 0 ? t / 12 - 1 : t / 12;
        if (year < 1 || year > 9999) return QString();
        for (int day = date.day(); day >= 1 && !shifted.isValid(); --day) shifted = QDate(static_cast<int>(year), month, day);
    } else if (unit.compare(QLatin1String("D"), Qt::CaseInsensitive) == 0) {
        if (count > FirstDay.daysTo(LastDay) || -count > FirstDay.daysTo(LastDay)) return QString();
        shifted = date.addDays(count);
    }
    return InCalendar(shifted) ? Yyyymmdd(shifted) : QString();
}

QString ShiftDate8(const QString& date8, const QString& unit, qint64 count)
{
    const double value = Date8ToDate(date8);
    return value == 0 ? QString() : ShiftDate(ValueToDate(value), unit, count);
}

}  // namespace

double DateToValue(const QDate& date)
{
    return static_cast<double>(DateBase.daysTo(date));
}

QDate ValueToDate(double value)
{
    // Only values of the calendar convert (an invalid date otherwise).
    const double days = std::trunc(value);
    if (!(days >= DateToValue(FirstDay) && days <= DateToValue(LastDay))) return QDate();
    return DateBase.addDays(static_cast<qint64>(days));
}

QString FormatDateStyle(int Style, const QString& Separator, double Date)
{
    if (Date == 0 || Style < 1 || Style > 5) return QString();
    const QDate d = ValueToDate(Date);
    if (!d.isValid()) return QString();
    const QByteArray s = SeparatorOf(Separator);
    const char* sep = s.constData();
    const int roc = d.year() - 1911;
    switch (Style) {
    case 1: return QString::asprintf("%.4d%s%.2d%s%.2d", d.year(), sep, d.month(), sep, d.day());
    case 2: return QString::asprintf("%.2d%s%.2d%s%.4d", d.month(), sep, d.day(), sep, d.year());
    case 3: return QString::asprintf("%.2d%s%.2d%s%.4d", d.day(), sep, d.month(), sep, d.year());
    case 4: return QString::asprintf("%.2d%s%.2d%s%.2d", roc, sep, d.month(), sep, d.day());
    default: return QString::asprintf("%.3d%s%.2d%s%.2d", roc, sep, d.month(), sep, d.day());
    }
}

QString FormatYearMonthStyle(int Style, const QString& Separator, double Date)
{
    if (Date == 0 || Style < 1 || Style > 5) return QString();
    const QDate d = ValueToDate(Date);
    if (!d.isValid()) return QString();
    const QByteArray s = SeparatorOf(Separator);
    const char* sep = s.constData();
    switch (Style) {
    case 1: return QString::asprintf("%.4d%s%.2d", d.year(), sep, d.month());
    case 2:
    case 3: return QString::asprintf("%.2d%s%.4d", d.month(), sep, d.year());
    case 4: return QString::asprintf("%.2d%s%.2d", d.year() - 1911, sep, d.month());
    default: return QString::asprintf("%.3d%s%.2d", d.year() - 1911, sep, d.month());
    }
}

double Date8ToDate(const QString& Text)
{
    if (Text.size() != 8) return 0;
    const int y = PartNumber(Text.mid(0, 4)), m = PartNumber(Text.mid(4, 2)), d = PartNumber(Text.mid(6, 2));
    if (y == 0 || m == 0 || d == 0 || !QDate::isValid(y, m, d)) return 0;
    return DateToValue(QDate(y, m, d));
}

bool IsValidDate8(const QString& Text)
{
    if (Text.isEmpty()) return true;
    if (Text.size() != 8) return false;  // "9990101" would read as 9990-10-01
    const int y = PartNumber(Text.mid(0, 4)), m = PartNumber(Text.mid(4, 2)), d = PartNumber(Text.mid(6, 2));
    return y > 0 && QDate::isValid(y, m, d) && Text >= QLatin1String("17530101") && Text <= QLatin1String("99991231");
}

QString DateShift(const Variant& Date, const QString& Unit, int Count)
{
    double value = 0;
    if (Date.IsText())
        value = Date8ToDate(Date.ToString());
    else if (Date.Type() == VarType::Date)
        value = Date.ToDate();
    if (value == 0) return QString();
    return ShiftDate(ValueToDate(value), Unit, Count);
}

int DaysInMonth(int Year, int Month)
{
    if (Month < 1 || Month > 12) return 0;
    if (Month == 2) return ((Year % 4 == 0 && Year % 100 != 0) || Year % 400 == 0) ? 29 : 28;
    return (Month == 4 || Month == 6 || Month == 9 || Month == 11) ? 30 : 31;
}

QString WeekBoundary(const QString& Date, int Weeks, const QString& Mode)
{
    const QString shifted = ShiftDate8(Date, QStringLiteral("D"), Weeks * qint64(7));
    if (shifted.isEmpty()) return QString();
    const int weekday = ValueToDate(Date8ToDate(shifted)).dayOfWeek() % 7 + 1;  // 1 = Sunday
    return ShiftDate8(shifted, QStringLiteral("D"), Mode == QLatin1String("1") ? 1 - weekday : 7 - weekday);
}

QString PeriodDate(const QString& Date, const QString& Count, const QString& MonthBased, const QString& SubMode,
                   const QString& Days)
{
    const int count = Count.trimmed().toInt();
    const int days = Days.trimmed().toInt();
    if (Date.size() < 7) return DateShift(Date + QStringLiteral("01"), QStringLiteral("M"), count).left(6);
    if (MonthBased != QLatin1String("0")) {
        const QString shifted = DateShift(Date, QStringLiteral("M"), count);
        if (SubMode == QLatin1String("0")) return DateShift(shifted, QStringLiteral("D"), days);
        if (SubMode == QLatin1String("1")) return shifted.isEmpty() ? QString() : shifted.left(6) + QStringLiteral("01");
        if (SubMode == QLatin1String("2") && !shifted.isEmpty())
            return shifted.left(6) + QString::asprintf("%.2d", DaysInMonth(shifted.left(4).toInt(), shifted.mid(4, 2).toInt()));
        return shifted;
    }
    if (SubMode != QLatin1String("0")) return WeekBoundary(Date, count, SubMode);
    return ShiftDate8(Date, QStringLiteral("D"), count * qint64(7) + days);
}

double RoundFloat(int Digits, double X)
{
    double x = Decimal15(X);
    x += x > 0 ? 1e-12 : -1e-12;
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", qBound(0, Digits, 30), x);
    return std::strtod(text, nullptr);
}

int CompareFloat(double A, double B)
{
    const double a = Decimal15(A), b = Decimal15(B);
    if (std::fabs(a - b) < 1e-10) return 0;
    return a > b ? 1 : -1;
}

QString ZeroPadInt(int Digits, qint64 Value)
{
    return QString::asprintf("%.*lld", Digits, static_cast<long long>(Value));
}

QString PadLeft(const QString& S, int Width, QChar PadChar)
{
    return S.size() >= Width ? S : QString(Width - S.size(), PadChar) + S;
}

double TextToFloatDef(const QString& Text, double Default)
{
    bool ok = false;
    const double value = Text.toDouble(&ok);
    return ok && std::isfinite(value) ? value : Default;
}

}  // namespace kelm24
