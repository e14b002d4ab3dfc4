// Money amounts in English words, as cheques write them:
// "ONE THOUSAND TWO HUNDRED THIRTY FOUR USD AND FIFTY-SIX CENTS ONLY". The
// receipt layouts print them instead of Chinese capital numerals when the
// interface is English.
#pragma once

#include <QString>

namespace kelm24 {

// Amount: the field's text (a decimal number with "." as the decimal point,
// optionally negative). Currency: the currency's English name. Empty when the
// amount is no number, or when it reaches one quadrillion, which has no scale word.
QString AmountToEnglish(const QString& Amount, const QString& Currency);

}  // namespace kelm24
