#include "runtime/DateText.h"

#include <gtest/gtest.h>

#include <limits>

using namespace kelm24;

namespace {
double D(int y, int m, int d)
{
    return DateToValue(QDate(y, m, d));
}
}  // namespace

TEST(DateStyles, FormatDateStyle)
{
    const double day = D(2024, 3, 5);
    EXPECT_EQ(DateToValue(QDate(1899, 12, 31)), 1);
    EXPECT_EQ(FormatDateStyle(1, "/", day), "2024/03/05");
    EXPECT_EQ(FormatDateStyle(2, "/", day), "03/05/2024");
    EXPECT_EQ(FormatDateStyle(3, "/", day), "05/03/2024");
    EXPECT_EQ(FormatDateStyle(4, "/", day), "113/03/05");
    EXPECT_EQ(FormatDateStyle(5, "/", day), "113/03/05");
    EXPECT_EQ(FormatDateStyle(4, "/", D(1915, 3, 5)), "04/03/05");
    EXPECT_EQ(FormatDateStyle(5, "/", D(1915, 3, 5)), "004/03/05");
    EXPECT_EQ(FormatDateStyle(1, "", day), "20240305");
    EXPECT_EQ(FormatDateStyle(1, "-/", day), "2024-03-05");
    EXPECT_EQ(FormatDateStyle(1, "/", day + 0.75), "2024/03/05");  // the time of day does not count
    EXPECT_EQ(FormatDateStyle(1, "/", 0), "");
    EXPECT_EQ(FormatDateStyle(6, "/", day), "");
    EXPECT_EQ(FormatDateStyle(0, "/", day), "");
}

TEST(DateStyles, FormatYearMonthStyle)
{
    const double day = D(2024, 3, 5);
    EXPECT_EQ(FormatYearMonthStyle(1, "/", day), "2024/03");
    EXPECT_EQ(FormatYearMonthStyle(2, "-", day), "03-2024");
    EXPECT_EQ(FormatYearMonthStyle(3, "-", day), "03-2024");
    EXPECT_EQ(FormatYearMonthStyle(4, "", D(1915, 1, 1)), "0401");
    EXPECT_EQ(FormatYearMonthStyle(5, ".", D(1915, 1, 1)), "004.01");
    EXPECT_EQ(FormatYearMonthStyle(9, ".", day), "");
}

TEST(DateTexts, ParsingAndValidity)
{
    EXPECT_EQ(Date8ToDate("20240305"), D(2024, 3, 5));
    EXPECT_EQ(Date8ToDate("20240230"), 0);
    EXPECT_EQ(Date8ToDate("2024033"), 0);
    EXPECT_EQ(Date8ToDate("00000101"), 0);
    EXPECT_EQ(Date8ToDate("2024 305"), 0);
    EXPECT_EQ(Date8ToDate("2024+305"), 0);
    EXPECT_TRUE(IsValidDate8(""));
    EXPECT_FALSE(IsValidDate8("17521231"));
    EXPECT_TRUE(IsValidDate8("17530101"));
    EXPECT_TRUE(IsValidDate8("20240229"));
    EXPECT_FALSE(IsValidDate8("20230229"));
    EXPECT_FALSE(IsValidDate8("2024ab01"));
    EXPECT_FALSE(IsValidDate8("    /  /  "));
    // A date text has exactly eight characters: a three-digit year typed as
    // 999/01/01 ("9990101") or a five-digit one ("202410203") is no date.
    EXPECT_FALSE(IsValidDate8("9990101"));
    EXPECT_FALSE(IsValidDate8("202410203"));
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(2023, 11), 30);
    EXPECT_EQ(DaysInMonth(2023, 13), 0);
}

TEST(DateShifts, YearsMonthsDays)
{
    EXPECT_EQ(DateShift("20240131", "M", 1), "20240229");
    EXPECT_EQ(DateShift("20240315", "M", -3), "20231215");
    EXPECT_EQ(DateShift("20241215", "M", 1), "20250115");
    EXPECT_EQ(DateShift("20240115", "M", -1), "20231215");
    EXPECT_EQ(DateShift("20240229", "Y", 1), "20240229");  // no 29 February: unchanged
    EXPECT_EQ(DateShift("20240228", "y", 1), "20250228");
    EXPECT_EQ(DateShift("20240101", "d", -1), "20231231");
    EXPECT_EQ(DateShift("20240101", "W", 1), "");
    EXPECT_EQ(DateShift(Variant::FromDate(D(2024, 3, 5)), "D", 30), "20240404");
    EXPECT_EQ(DateShift(Variant(20240305), "D", 1), "");  // a number is not a date
    EXPECT_EQ(DateShift("2024030", "D", 1), "");
    EXPECT_EQ(DateShift(Variant::Null(), "D", 1), "");
}

TEST(DateShifts, DatesStayWithinYears1To9999)
{
    // A year that does not exist: "Y" keeps the date, "M" and "D" have no result
    // (never a malformed text such as "100000101" or "-0011215").
    EXPECT_EQ(DateShift("99990615", "Y", 1), "99990615");
    EXPECT_EQ(DateShift("00010615", "Y", -1), "00010615");
    EXPECT_EQ(DateShift("99991231", "D", 1), "");
    EXPECT_EQ(DateShift("00010101", "D", -1), "");
    EXPECT_EQ(DateShift("99991215", "M", 1), "");
    EXPECT_EQ(DateShift("00010115", "M", -13), "");
    EXPECT_EQ(DateShift("99991201", "M", 0), "99991201");
    // Counts at the ends of the integer range end without overflow.
    EXPECT_EQ(DateShift("20240101", "M", std::numeric_limits<int>::max()), "");
    EXPECT_EQ(DateShift("20240101", "Y", std::numeric_limits<int>::min()), "20240101");
    EXPECT_EQ(DateShift("20240101", "D", std::numeric_limits<int>::min()), "");
    EXPECT_EQ(WeekBoundary("20240306", std::numeric_limits<int>::max(), "1"), "");
    EXPECT_EQ(PeriodDate("20240306", "2147483647", "0", "0", "2147483647"), "");
    // A date value outside the calendar is no date.
    EXPECT_EQ(DateShift(Variant::FromDate(1e300), "D", 1), "");
    EXPECT_EQ(FormatDateStyle(1, "/", 1e12), "");
    EXPECT_EQ(FormatYearMonthStyle(1, "/", -1e12), "");
    EXPECT_EQ(FormatDateStyle(1, "/", D(9999, 12, 31) + 0.5), "9999/12/31");
    EXPECT_EQ(FormatDateStyle(1, "/", D(1, 1, 1)), "0001/01/01");
}

TEST(DateShifts, PeriodsAndWeeks)
{
    EXPECT_EQ(WeekBoundary("20240306", 0, "1"), "20240303");
    EXPECT_EQ(WeekBoundary("20240306", 0, "0"), "20240309");
    EXPECT_EQ(WeekBoundary("20240303", 1, "1"), "20240310");  // a Sunday stays the start of its week
    EXPECT_EQ(WeekBoundary("20240309", -1, "2"), "20240302");
    EXPECT_EQ(PeriodDate("202403", "2", "1", "0", "0"), "202405");
    EXPECT_EQ(PeriodDate("202411", "3", "0", "0", "0"), "202502");
    EXPECT_EQ(PeriodDate("20240131", "1", "1", "0", "2"), "20240302");
    EXPECT_EQ(PeriodDate("20240315", "-1", "1", "1", "0"), "20240201");
    EXPECT_EQ(PeriodDate("20240115", "1", "1", "2", "0"), "20240229");
    EXPECT_EQ(PeriodDate("20240306", "-1", "0", "1", "0"), "20240225");
    EXPECT_EQ(PeriodDate("20240306", "1", "0", "0", "2"), "20240315");
}

TEST(Numbers, RoundingAndComparing)
{
    EXPECT_DOUBLE_EQ(RoundFloat(2, 2.675), 2.68);
    EXPECT_DOUBLE_EQ(RoundFloat(0, -0.5), -1);
    EXPECT_DOUBLE_EQ(RoundFloat(0, 0.5), 1);
    EXPECT_DOUBLE_EQ(RoundFloat(2, 1.005), 1.01);
    EXPECT_DOUBLE_EQ(RoundFloat(3, -1.2345), -1.235);
    EXPECT_DOUBLE_EQ(RoundFloat(0, 0), 0);
    EXPECT_EQ(CompareFloat(0.1 + 0.2, 0.3), 0);
    EXPECT_EQ(CompareFloat(1.0000001, 1), 1);
    EXPECT_EQ(CompareFloat(-2, 1), -1);
}

TEST(Numbers, PaddingAndParsing)
{
    EXPECT_EQ(ZeroPadInt(4, 7), "0007");
    EXPECT_EQ(ZeroPadInt(2, 12345), "12345");
    EXPECT_EQ(ZeroPadInt(4, -7), "-0007");
    EXPECT_EQ(PadLeft("7", 3, QLatin1Char('0')), "007");
    EXPECT_EQ(PadLeft("1234", 3), "1234");
    EXPECT_EQ(PadLeft("ab", 4), "  ab");
    EXPECT_EQ(TextToFloatDef("12.5x", 0), 0);
    EXPECT_EQ(TextToFloatDef("12.5", 0), 12.5);
    EXPECT_EQ(TextToFloatDef("", -1), -1);
    EXPECT_EQ(TextToFloatDef("inf", -1), -1);
    EXPECT_EQ(TextToFloatDef("-3e2", 0), -300);
}
