#include "format/engine/QRMask.h"

#include <QHash>
#include <QStringList>
#include <optional>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kelm24 {

namespace {

// Splits a mask into sections at ";" outside quotes.
QStringList Sections(const QString& mask)
{
    QStringList out;
    QString cur;
    QChar quote;
    for (QChar c : mask) {
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char(';')) {
            out << cur;
            cur.clear();
            continue;
        }
        cur += c;
    }
    out << cur;
    return out;
}

bool HasNonZeroDigit(const QString& digits)
{
    for (QChar c : digits)
        if (c >= QLatin1Char('1') && c <= QLatin1Char('9')) return true;
    return false;
}

struct Picture {
    QString prefix, suffix;  // literal text around the number
    int intZeros = 0;        // digits the integer part shows at least
    bool hasIntDigits = false;
    bool grouping = false;
    int minDecimals = 0, maxDecimals = 0;
};

Picture Parse(const QString& section)
{
    Picture p;
    bool inNumber = false, afterNumber = false, afterPoint = false;
    bool seenZero = false;
    QChar quote;
    for (int i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
            else (inNumber || afterNumber ? p.suffix : p.prefix) += c;
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            continue;
        }
        const bool digit = c == QLatin1Char('0') || c == QLatin1Char('#');
        if ((digit || c == QLatin1Char('.') || c == QLatin1Char(',')) && !afterNumber) {
            inNumber = true;
            if (c == QLatin1Char('.')) {
                if (afterPoint) afterNumber = true;
                afterPoint = true;
            } else if (c == QLatin1Char(',')) {
                if (!afterPoint) p.grouping = true;
            } else if (afterPoint) {
                ++p.maxDecimals;
                if (c == QLatin1Char('0')) p.minDecimals = p.maxDecimals;
            } else {
                p.hasIntDigits = true;
                if (c == QLatin1Char('0')) seenZero = true;
                if (seenZero) ++p.intZeros;
            }
            continue;
        }
        if (inNumber) afterNumber = true;
        (afterNumber ? p.suffix : p.prefix) += c;
    }
    return p;
}

// Decimal digits of |value| rounded half away from zero at `decimals`,
// computed on the 15 significant digits a double holds.
void RoundDecimal(double value, int decimals, QString& intPart, QString& fracPart)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    // buf: d.dddddddddddddde[+-]xx
    QString mant;
    for (const char* s = buf; *s && *s != 'e'; ++s)
        if (*s != '.') mant += QLatin1Char(*s);
    int exp = std::atoi(std::strchr(buf, 'e') + 1);
    // digits = mant, decimal point after (exp + 1) digits
    int pointPos = exp + 1;
    QString digits = mant;
    if (pointPos <= 0) {
        digits = QString(-pointPos, QLatin1Char('0')) + digits;
        pointPos = 0;
    }
    while (digits.size() < pointPos) digits += QLatin1Char('0');
    const int keep = pointPos + decimals;
    if (keep < digits.size()) {
        const bool up = keep >= 0 && digits[keep] >= QLatin1Char('5');
        digits.truncate(std::max(keep, 0));
        if (up) {
            int i = digits.size() - 1;
            for (; i >= 0; --i) {
                if (digits[i] == QLatin1Char('9')) {
                    digits[i] = QLatin1Char('0');
                } else {
                    digits[i] = QChar(digits[i].unicode() + 1);
                    break;
                }
            }
            if (i < 0) {
                digits.prepend(QLatin1Char('1'));
                ++pointPos;
            }
        }
    }
    while (digits.size() < pointPos + decimals) digits += QLatin1Char('0');
    intPart = digits.left(pointPos);
    fracPart = digits.mid(pointPos, decimals);
    while (intPart.size() > 1 && intPart[0] == QLatin1Char('0')) intPart.remove(0, 1);
    if (intPart == QLatin1String("0")) intPart.clear();
}

// The value through picture p; intPart and fracPart are its digits when they
// are rounded already (to p's decimals).
QString Apply(const Picture& p, double value, bool withSign, QString intPart = QString(), QString fracPart = QString())
{
    if (intPart.isEmpty() && fracPart.isEmpty()) RoundDecimal(value, p.maxDecimals, intPart, fracPart);
    while (fracPart.size() > p.minDecimals && fracPart.endsWith(QLatin1Char('0'))) fracPart.chop(1);
    if (intPart.size() < p.intZeros) intPart = QString(p.intZeros - intPart.size(), QLatin1Char('0')) + intPart;
    if (p.grouping) {
        for (int i = intPart.size() - 3; i > 0; i -= 3) intPart.insert(i, QLatin1Char(','));
    }
    QString number = intPart;
    if (!fracPart.isEmpty()) number += QLatin1Char('.') + fracPart;
    const bool isZero = !HasNonZeroDigit(intPart) && !HasNonZeroDigit(fracPart);
    const QString sign = withSign && value < 0 && !isZero ? QStringLiteral("-") : QString();
    return sign + p.prefix + number + p.suffix;
}

// The sections of a mask, parsed; an empty section after the first is none. Reports print
// a few masks on every line, so the parsed ones are kept (per thread, a
// bounded number).
const QList<std::optional<Picture>>& ParsedMask(const QString& mask)
{
    thread_local QHash<QString, QList<std::optional<Picture>>> parsed;
    auto known = parsed.constFind(mask);
    if (known != parsed.constEnd()) return known.value();
    if (parsed.size() >= 256) parsed.clear();
    QList<std::optional<Picture>> sections;
    for (const QString& section : Sections(mask))  // the first section always counts
        sections.push_back(section.isEmpty() && !sections.isEmpty() ? std::nullopt : std::optional<Picture>(Parse(section)));
    return parsed.insert(mask, sections).value();
}

}  // namespace

QString FloatToStr(double value)
{
    if (value == 0) return QStringLiteral("0");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    QString s = QString::fromLatin1(buf);
    if (s.contains(QLatin1Char('e'))) {
        // Plain decimal text where it fits, as a general format gives.
        const double mag = std::fabs(value);
        if (mag >= 1e-5 && mag < 1e15) {
            std::snprintf(buf, sizeof buf, "%.15f", value);
            s = QString::fromLatin1(buf);
            while (s.endsWith(QLatin1Char('0'))) s.chop(1);
            if (s.endsWith(QLatin1Char('.'))) s.chop(1);
        } else {
            s.replace(QStringLiteral("e+"), QStringLiteral("E")).replace(QStringLiteral("e-"), QStringLiteral("E-"));
        }
    }
    return s;
}

QString FormatFloat(const QString& mask, double value)
{
    if (mask.isEmpty() || !std::isfinite(value)) return FloatToStr(value);
    const QList<std::optional<Picture>>& sections = ParsedMask(mask);
    // The zero section applies to values that round to zero in the first section.
    const Picture& first = *sections[0];
    QString i, f;
    RoundDecimal(value, first.maxDecimals, i, f);
    const bool roundsToZero = i.isEmpty() && !HasNonZeroDigit(f);
    if (roundsToZero && sections.size() >= 3 && sections[2]) return Apply(*sections[2], 0, false);
    if (value < 0 && !roundsToZero && sections.size() >= 2 && sections[1]) return Apply(*sections[1], value, false);
    return Apply(first, value, true, std::move(i), std::move(f));
}

QString FormatMasked(const QString& mask, const Variant& value)
{
    if (value.IsNull() || value.IsEmpty()) return {};
    if (mask.isEmpty()) return value.ToString();
    if (value.IsNumeric()) return FormatFloat(mask, value.ToDouble());
    const QString text = value.ToString();
    bool ok = false;
    const double d = text.trimmed().toDouble(&ok);
    // "NaN" and "Inf" read as numbers but are codes to print as they stand.
    return ok && std::isfinite(d) ? FormatFloat(mask, d) : text;
}

}  // namespace kelm24
