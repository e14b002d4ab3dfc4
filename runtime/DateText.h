// Dates, date texts ("YYYYMMDD") and their five display styles, date shifts
// and the period dates of saved date rules; rounding and comparing numbers.
// A date value is days since 1899-12-30 (fraction = time of day); 0 means
// no date.
#pragma once

#include "kelm24/Variant.h"

#include <QDate>
#include <QString>

namespace kelm24 {

double DateToValue(const QDate& date);
// An invalid date for a value outside years 1 to 9999.
QDate ValueToDate(double value);

// Style 1 YYYY MM DD, 2 MM DD YYYY, 3 DD MM YYYY, 4 and 5 the ROC year
// (year - 1911, at least 2 or 3 digits) MM DD; parts joined by the first
// character of Separator. Empty for a date of 0 or a style outside 1..5.
QString FormatDateStyle(int Style, const QString& Separator, double Date);
QString FormatYearMonthStyle(int Style, const QString& Separator, double Date);

// The date of an exact "YYYYMMDD" text; 0 when it is not a real date.
double Date8ToDate(const QString& Text);
// True for the empty text and for real dates from "17530101" to "99991231".
bool IsValidDate8(const QString& Text);
// A date (text "YYYYMMDD" or date value) shifted by Count years ("Y"),
// months ("M") or days ("D"), as "yyyymmdd"; empty for anything else and
// for a month or day shift that leaves years 1 to 9999.
QString DateShift(const Variant& Date, const QString& Unit, int Count);
int DaysInMonth(int Year, int Month);
// The date of a saved date rule (all arguments are texts of integers).
QString PeriodDate(const QString& Date, const QString& Count, const QString& MonthBased, const QString& SubMode,
                   const QString& Days);
// The Sunday (Mode "1") or Saturday (any other Mode) of the week Weeks
// weeks away from Date.
QString WeekBoundary(const QString& Date, int Weeks, const QString& Mode);

// X rounded half away from zero to Digits decimals, as its decimal text shows it.
double RoundFloat(int Digits, double X);
// 0 when A and B differ by less than 1e-10, 1 when A is greater, -1 otherwise.
int CompareFloat(double A, double B);
QString ZeroPadInt(int Digits, qint64 Value);
QString PadLeft(const QString& S, int Width, QChar PadChar = QLatin1Char(' '));
// The number of the whole Text, otherwise Default.
double TextToFloatDef(const QString& Text, double Default);

}  // namespace kelm24
