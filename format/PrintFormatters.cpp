#include "format/PrintFormatters.h"

#include "format/engine/QVQRControls.h"
#include "kelm24/Variant.h"
#include "runtime/DateText.h"

#include <QDate>

#include <cmath>

namespace kelm24 {

QString DatePrintText(const QString& Text, int DateType, const QString& Separator)
{
    if (Text.size() != 8) return {};
    for (const QChar c : Text)
        if (!c.isDigit()) return {};
    const QDate date(Text.left(4).toInt(), Text.mid(4, 2).toInt(), Text.mid(6, 2).toInt());
    if (date.year() <= 0 || !date.isValid()) return {};
    return FormatDateStyle(DateType, Separator, DateToValue(date));
}

QString PercentPrintText(const QString& Text)
{
    bool ok = false;
    double value = Text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) value = 0;
    const double percent = value * 100;
    return QString::number(percent == 0 ? 0.0 : percent, 'g', 15) + QLatin1Char('%');
}

QString DictionaryPrintText(const QString& Text, const QString& Dictionary)
{
    if (Dictionary.isEmpty()) return Text;
    const QString key = Text.trimmed() + QChar(3);
    const int at = Dictionary.indexOf(key);
    if (at < 0) return Text;
    const QString rest = Dictionary.mid(at + key.size());
    const int end = rest.indexOf(QLatin1String("||"));
    return end < 0 ? rest : rest.left(end);
}

QString BarcodeReplacement(int BarType)
{
    switch (BarType) {
    case bcCode128C:
    case bcCodeEAN128C: return QStringLiteral("00");
    case bcCodeCodabar: return QStringLiteral("0");
    default: return QStringLiteral(" ");
    }
}

namespace {
void CheckTable(const TNumeralTable& T)
{
    if (T.size() < 20) throw Exception(QStringLiteral("the capital-numeral table holds %1 of 20 texts").arg(T.size()));
}
}  // namespace

QString DigitGroupText(const TNumeralTable& T, const QString& Digits)
{
    CheckTable(T);
    if (Digits.size() != 4) throw Exception(QStringLiteral("\"%1\" is no group of four digits").arg(Digits));
    for (const QChar c : Digits)
        if (!c.isDigit() || c.unicode() > '9') throw Exception(QStringLiteral("\"%1\" is no group of four digits").arg(Digits));
    QString out;
    for (int j = 1; j <= 4; ++j) {
        const int d = Digits[j - 1].digitValue();
        if (d != 0) {
            out += T[d];
            if (j < 4) out += T[9 + j];
        } else {
            const int next = j < 4 ? Digits[j].digitValue() : 0;
            if (next != 0 && !out.isEmpty()) out += T[0];
        }
    }
    return out;
}

QString AmountText(const TNumeralTable& T, const QString& NegativePrefix, const QString& Amount,
                   const std::function<QString(const QString&)>& DigitGroup)
{
    CheckTable(T);
    QString amount = Amount;
    amount.remove(QLatin1Char(','));
    const int point = amount.indexOf(QLatin1Char('.'));
    QString integer = point < 0 ? amount : amount.left(point);
    QString decimals = point < 0 ? QString() : amount.mid(point + 1);
    const bool hasDecimals = point >= 0;
    if (hasDecimals && decimals.size() < 2) decimals += QLatin1Char('0');
    if (integer.contains(QLatin1Char('-'))) integer.remove(0, 1);
    if (amount.isEmpty()) amount = QStringLiteral("0");
    bool ok = false;
    const double value = amount.toDouble(&ok);
    if (!ok || value == 0 || !std::isfinite(value)) return T[0] + T[18] + T[19];
    if (integer.isEmpty()) integer = QStringLiteral("0");
    for (const QChar c : integer)
        if (!c.isDigit()) return T[0] + T[18] + T[19];
    while (integer.size() % 4) integer.prepend(QLatin1Char('0'));
    const int groups = static_cast<int>(integer.size() / 4);
    // Past yi there is no group unit; a leading run of zero groups is no amount.
    int firstUsed = 0;
    while (firstUsed < groups - 1 && integer.mid(firstUsed * 4, 4) == QLatin1String("0000")) ++firstUsed;
    if (groups - firstUsed > 3)
        throw Exception(QStringLiteral("the amount %1 is too large for capital numerals").arg(Amount));

    QString out;
    for (int k = 0; k < groups; ++k) {
        const QString group = integer.mid(k * 4, 4);
        const int g = groups - k;
        const QString unit = g <= 3 ? T[14 + g] : QString();
        const QString words = DigitGroup(group);
        if (k == 0 && !words.isEmpty()) {
            out += words + unit;
        } else if (group[0] != QLatin1Char('0')) {
            out += words + unit;
        } else if (group != QLatin1String("0000")) {
            out += T[0] + words + unit;
        }
    }
    const bool noInteger = integer == QLatin1String("0000");
    if (hasDecimals) {
        bool decOk = false;
        const qlonglong decValue = decimals.toLongLong(&decOk);
        if (decOk && decValue == 0) {
            out += T[18] + T[19];
        } else {
            const QChar d1 = decimals[0];
            const QChar d2 = decimals[1];
            if (!d1.isDigit() || !d2.isDigit()) return T[0] + T[18] + T[19];
            if (d1 == QLatin1Char('0')) {
                if (d2 != QLatin1Char('0')) {
                    if (!noInteger) out += T[18] + T[0];
                } else {
                    out += T[18];
                }
            } else {
                out += (noInteger ? QString() : T[18]) + T[d1.digitValue()] + T[13];
            }
            if (d2 != QLatin1Char('0')) out += T[d2.digitValue()] + T[14];
        }
    } else {
        out += T[18] + T[19];
    }
    if (Amount.contains(QLatin1Char('-'))) out.prepend(NegativePrefix);
    return out;
}

}  // namespace kelm24
