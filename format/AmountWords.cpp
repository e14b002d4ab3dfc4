#include "format/AmountWords.h"

#include <cmath>

namespace kelm24 {

namespace {

// The word tables of one call.
struct TWordTables {
    const char* Ones[20] = {"ZERO",    "ONE",     "TWO",       "THREE",    "FOUR",     "FIVE",    "SIX",
                            "SEVEN",   "EIGHT",   "NINE",      "TEN",      "ELEVEN",   "TWELVE",  "THIRTEEN",
                            "FOURTEEN", "FIFTEEN", "SIXTEEN",  "SEVENTEEN", "EIGHTEEN", "NINETEEN"};
    const char* Tens[10] = {"", "", "TWENTY", "THIRTY", "FORTY", "FIFTY", "SIXTY", "SEVENTY", "EIGHTY", "NINETY"};
    const char* Scale[5] = {"", "THOUSAND", "MILLION", "BILLION", "TRILLION"};

    QString TwoDigits(QChar t, QChar u, const QString& separator) const
    {
        const int tens = t.digitValue(), units = u.digitValue();
        if (tens == 0) return QString::fromLatin1(Ones[units]);
        if (tens == 1) return QString::fromLatin1(Ones[10 + units]);
        if (units == 0) return QString::fromLatin1(Tens[tens]);
        return QString::fromLatin1(Tens[tens]) + separator + QString::fromLatin1(Ones[units]);
    }
    // A three-digit group; tens and units joined by a blank.
    QString ThreeDigitWords(const QString& group) const
    {
        const QChar h = group[0], t = group[1], u = group[2];
        const QString tu = TwoDigits(t, u, QStringLiteral(" "));
        if (h == QLatin1Char('0')) return tu;
        const QString hundred = QString::fromLatin1(Ones[h.digitValue()]);
        if (t == QLatin1Char('0') && u == QLatin1Char('0')) return hundred + QStringLiteral(" HUNDRED");
        return hundred + QStringLiteral(" HUNDRED ") + tu;
    }
    // The cents of a "0dd" group; tens and units joined by "-".
    QString CentWords(const QString& group) const { return TwoDigits(group[1], group[2], QStringLiteral("-")); }
};

}  // namespace

QString AmountToEnglish(const QString& Amount, const QString& Currency)
{
    bool ok = false;
    const double value = Amount.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) return QString();
    // The sign is taken before rounding: -0.001 is "MINUS ZERO".
    const QString prefix = value >= 0 ? QString() : QStringLiteral("MINUS ");
    const QString fixed = QString::asprintf("%.2f", std::fabs(value));
    const qsizetype point = fixed.indexOf(QLatin1Char('.'));
    QString digits = fixed.left(point);
    const QString cents = QLatin1Char('0') + fixed.mid(point + 1).leftJustified(2, QLatin1Char('0'));
    const TWordTables words;
    if (digits.size() > 15) return QString();  // no scale word for a quadrillion
    if (digits.size() % 3 == 1) digits.prepend(QStringLiteral("00"));
    else if (digits.size() % 3 == 2) digits.prepend(QLatin1Char('0'));
    QString result;
    const qsizetype groups = digits.size() / 3;
    for (qsizetype i = 0; i < groups; ++i) {
        const QString group = digits.mid((groups - 1 - i) * 3, 3);
        if (group == QLatin1String("000")) continue;
        QString part = words.ThreeDigitWords(group);
        if (i > 0) part += QLatin1Char(' ') + QString::fromLatin1(words.Scale[i]);
        result = result.isEmpty() ? part : part + QLatin1Char(' ') + result;
    }
    if (result.isEmpty()) result = QStringLiteral("ZERO");
    result += QLatin1Char(' ') + Currency;
    if (cents != QLatin1String("000")) result += QStringLiteral(" AND ") + words.CentWords(cents) + QStringLiteral(" CENTS");
    return prefix + result + QStringLiteral(" ONLY");
}

}  // namespace kelm24
