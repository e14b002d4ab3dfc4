#include "runtime/DateTextRules.h"

#include "runtime/DateText.h"

#include <QDate>
#include <QStringList>

namespace kelm24 {

namespace {

// "nnn" as a whole number; false for anything else.
bool ReadInt(const QString& Text, int& Value)
{
    bool ok = false;
    Value = Text.trimmed().toInt(&ok);
    return ok;
}

QString Internal(int Year, int Month, int Day)
{
    return QString::asprintf("%d%.2d%.2d", Year, Month, Day);
}

}  // namespace

QString TDateTextRules::YearMaskPart() const
{
    switch (type_) {
    case 1:
    case 2:
    case 3: return QStringLiteral("9999");
    case 4: return QStringLiteral("99");
    case 5: return QStringLiteral("999");
    default: return QString();
    }
}

QString TDateTextRules::DateMask() const
{
    const QString& s = separator_;
    const QString y = YearMaskPart();
    if (type_ == 2 || type_ == 3) return QStringLiteral("99") + s + QStringLiteral("99") + s + y + QStringLiteral(";1; ");
    return y + s + QStringLiteral("99") + s + QStringLiteral("99") + QStringLiteral(";1; ");
}

QString TDateTextRules::YearMonthMask() const
{
    const QString& s = separator_;
    const QString y = YearMaskPart();
    if (type_ == 2 || type_ == 3) return QStringLiteral("99") + s + y + QStringLiteral(";1; ");
    return y + s + QStringLiteral("99") + QStringLiteral(";1; ");
}

QString TDateTextRules::BlankDateText() const
{
    const QString& s = separator_;
    const QString y(YearMaskPart().size(), QLatin1Char(' '));
    const QString two(2, QLatin1Char(' '));
    if (type_ == 2 || type_ == 3) return two + s + two + s + y;
    return y + s + two + s + two;
}

QString TDateTextRules::BlankYearMonthText() const
{
    const QString& s = separator_;
    const QString y(YearMaskPart().size(), QLatin1Char(' '));
    const QString two(2, QLatin1Char(' '));
    if (type_ == 2 || type_ == 3) return two + s + y;
    return y + s + two;
}

QString TDateTextRules::DateToInternal(const QString& Text, bool Fill, const QString& Default) const
{
    const QString text = Text.trimmed();
    // A masked edit left blank reads as its blank rendering: that is no date.
    const QString blank = BlankDateText();
    const bool isBlank = Text == blank || text == blank.trimmed();
    if (text.isEmpty() || isBlank) {
        if (!Fill) return QString();
        return Default == QLatin1String("-1") ? QDate::currentDate().addDays(1).toString(QStringLiteral("yyyyMMdd"))
                                              : Default;
    }
    const QStringList parts = separator_.isEmpty() ? QStringList{text} : text.split(separator_);
    int a = 0, b = 0, c = 0;
    if (parts.size() != 3 || !ReadInt(parts[0], a) || !ReadInt(parts[1], b) || !ReadInt(parts[2], c)) return Text;
    switch (type_) {
    case 1: return Internal(a, b, c);
    case 2: return Internal(c, a, b);
    case 3: return Internal(c, b, a);
    case 4:
    case 5: return Internal(a + 1911, b, c);
    default: return QString();
    }
}

QString TDateTextRules::YearMonthToInternal(const QString& Text) const
{
    const QString blank = BlankYearMonthText();
    if (Text == blank || Text.trimmed() == blank.trimmed()) return QString();
    const QStringList parts = Text.trimmed().split(separator_);
    if (parts.size() < 2) return Text;
    int a = -1, b = -1;
    if (!ReadInt(parts[0], a)) a = -1;
    if (!ReadInt(parts[1], b)) b = -1;
    if (a == 0 || b == 0) return Text;
    switch (type_) {
    case 1: return QString::asprintf("%d%.2d", a, b);
    case 2:
    case 3: return QString::asprintf("%d%.2d", b, a);
    case 4:
    case 5: return QString::asprintf("%d%.2d", a + 1911, b);
    default: return QString();
    }
}

QString TDateTextRules::DateDisplay(const QString& Date8) const
{
    return FormatDateStyle(type_, separator_, Date8ToDate(Date8));
}

QString TDateTextRules::YearMonthDisplay(const QString& YearMonth6) const
{
    return FormatYearMonthStyle(type_, separator_, Date8ToDate(YearMonth6 + QStringLiteral("01")));
}

}  // namespace kelm24
