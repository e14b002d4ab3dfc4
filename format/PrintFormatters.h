// The texts the print-time field formatters make: dates in the report's date
// style, percentages, amounts in Chinese capital numerals, dictionary
// meanings and barcode replacement characters. The format form's print
// handlers call these on the text a field is about to print.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace kelm24 {

// A "YYYYMMDD" text in date style DateType (1..5) with the first character
// of Separator; the empty text when it is no real date.
QString DatePrintText(const QString& Text, int DateType, const QString& Separator);
// The number times 100 with "%" ("0.125" -> "12.5%"); a text that is no
// number counts as 0.
QString PercentPrintText(const QString& Text);
// The meaning of the trimmed text in a dictionary of entries code, the
// character with code 3, meaning, each ended by "||"; the text unchanged
// when the dictionary is empty or has no such code.
QString DictionaryPrintText(const QString& Text, const QString& Dictionary);
// What a barcode prints in place of a character its symbology cannot take.
QString BarcodeReplacement(int BarType);

// The capital-numeral table: twenty texts (0..9 the digits, 10..12 the units
// thousand, hundred, ten, 13 jiao, 14 fen, 15 the unit of the lowest group,
// 16 wan, 17 yi, 18 yuan, 19 zheng).
using TNumeralTable = QStringList;
// The words of a group of four digits ("1001" -> 壹仟零壹); raises
// kelm24::Exception when the group is not four digits.
QString DigitGroupText(const TNumeralTable& T, const QString& Digits);
// The amount in capital numerals. Group words come from DigitGroup (the
// form's overridable operation). Raises kelm24::Exception for amounts of
// 10^12 and more, which have no group unit beyond yi.
QString AmountText(const TNumeralTable& T, const QString& NegativePrefix, const QString& Amount,
                   const std::function<QString(const QString&)>& DigitGroup);

}  // namespace kelm24
