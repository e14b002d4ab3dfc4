// Group expressions over data sets, report functions, and display masks.
#include "format/engine/ClientDataSet.h"
#include "format/engine/QREvaluator.h"
#include "format/engine/QRMask.h"

#include <gtest/gtest.h>

using namespace kelm24;

namespace {

struct Sets {
    Sets()
    {
        TDataPacket p;
        p.Fields = {{"TG001", TFieldType::String, 4}, {"TG002", TFieldType::String, 11}, {"TG008", TFieldType::Float, 0},
                    {"TG025", TFieldType::Integer, 0}};
        p.Rows = {{"3401", "20240001", 6.5, 3}, {"3401", Variant::Null(), Variant::Null(), 4}};
        one.setObjectName("ClientDataSet1");
        one.SetData(p);
        TDataPacket q;
        q.Fields = {{"MA002", TFieldType::String, 10}};
        q.Rows = {{"供应商甲"}};
        two.setObjectName("ClientDataSet2");
        two.SetData(q);
    }
    std::vector<TClientDataSet*> All() { return {&one, &two}; }
    TClientDataSet one, two;
};

}  // namespace

TEST(Expression, GroupKeyConcatenatesFieldsOfNamedDataSets)
{
    Sets s;
    TQREvaluator e;
    e.SetDataSets(s.All());
    e.Prepare("clientdataset1.TG001+clientdataset1.TG002");
    EXPECT_EQ(e.AsString(), "340120240001");
    s.one.Next();  // TG002 is Null: reads as ""
    EXPECT_EQ(e.AsString(), "3401");
    e.Unprepare();
    EXPECT_FALSE(e.Prepared());
    EXPECT_THROW(e.Value(), Exception);
}

TEST(Expression, ArithmeticComparisonsFunctionsAndBareFields)
{
    Sets s;
    auto eval = [&](const QString& text) { return QRValueText(TQREvaluator::Evaluate(text, s.All())); };
    EXPECT_EQ(eval("TG008 * 2 + 1"), "14");
    EXPECT_EQ(eval("TG025 / 2"), "1.5");
    EXPECT_EQ(eval("-TG025 + 10"), "7");
    EXPECT_EQ(eval("(1 + 2) * 3"), "9");
    EXPECT_EQ(eval("IF(TG025 > 2, 'big', 'small')"), "big");
    EXPECT_EQ(eval("IF(TG001 = '3401' AND NOT (TG025 < 3), 1, 0)"), "1");
    EXPECT_EQ(eval("clientdataset2.MA002 + '(' + COPY(TG002, 1, 4) + ')'"), "供应商甲(2024)");
    EXPECT_EQ(eval("UPPER('abc') + LOWER('DE') + STR(12.50)"), "ABCde12.5");
    EXPECT_EQ(eval("FORMATNUMERIC('#,##0.00', 1234.5)"), "1,234.50");
    EXPECT_EQ(eval("'it''s'"), "it's");
    EXPECT_EQ(eval(""), "");
}

TEST(Expression, ReportFunctionsComeFromTheTableAndErrorsNameThePlace)
{
    Sets s;
    int page = 3;
    TQRFunctionTable fns;
    fns.insert("PAGENUMBER", [&](const auto&) { return Variant(page); });
    fns.insert("REPORTTITLE", [](const auto&) { return Variant("采购进货单"); });
    TQREvaluator e;
    e.SetDataSets(s.All());
    e.SetFunctions(&fns);
    e.Prepare("REPORTTITLE + ' ' + PageNumber");
    EXPECT_EQ(e.AsString(), "采购进货单 3");
    page = 4;
    EXPECT_EQ(e.AsString(), "采购进货单 4");

    auto error = [&](const QString& text) {
        try {
            e.Prepare(text);
        } catch (const Exception& ex) {
            return ex.Message();
        }
        return QString();
    };
    EXPECT_TRUE(error("TG001 +").contains("unexpected end"));
    EXPECT_TRUE(error("nosuch.TG001").contains("unknown data set 'nosuch'"));
    EXPECT_TRUE(error("TG999").contains("unknown identifier 'TG999'"));
    EXPECT_TRUE(error("FOO(1)").contains("unknown function"));
    EXPECT_TRUE(error("'open").contains("unterminated"));
    EXPECT_TRUE(error("(1 + 2").contains("missing ')'"));
    // A field that disappears after preparing raises when evaluated.
    e.Prepare("clientdataset1.TG001");
    TDataPacket other;
    other.Fields = {{"X", TFieldType::String, 1}};
    s.one.SetData(other);
    EXPECT_THROW(e.Value(), Exception);
    EXPECT_THROW(TQREvaluator::Evaluate("1 / 0", s.All()), Exception);
}

TEST(Mask, NumericPicturesOfTheLayouts)
{
    EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891), "1,234,567.89");
    EXPECT_EQ(FormatFloat("#,##0.00", 0), "0.00");
    EXPECT_EQ(FormatFloat("#,##0.00", -1234.5), "-1,234.50");
    EXPECT_EQ(FormatFloat("#,##0.00", 2.675), "2.68");  // decimal rounding, not binary
    EXPECT_EQ(FormatFloat("#,##0.00", -0.001), "0.00");  // no "-0.00"
    EXPECT_EQ(FormatFloat("0.######", 12.5), "12.5");
    EXPECT_EQ(FormatFloat("0.######", 3), "3");
    EXPECT_EQ(FormatFloat("0.######", 0.1234567), "0.123457");
    EXPECT_EQ(FormatFloat("0.##", 10), "10");
    EXPECT_EQ(FormatFloat("0.##", 9.999), "10");
    EXPECT_EQ(FormatFloat("#,##0.", 1234.6), "1,235");
    EXPECT_EQ(FormatFloat("#,##0.###", 1234.5), "1,234.5");
    EXPECT_EQ(FormatFloat("#", 0), "");
    EXPECT_EQ(FormatFloat("000", 7), "007");
    EXPECT_EQ(FormatFloat("#,##0.00;(#,##0.00);'zero'", -5), "(5.00)");
    EXPECT_EQ(FormatFloat("#,##0.00;(#,##0.00);'zero'", 0), "zero");
    EXPECT_EQ(FormatFloat("'NT$'#,##0", 1500), "NT$1,500");
    EXPECT_EQ(FormatFloat("0.00%", 12.345), "12.35%");
    EXPECT_EQ(FormatFloat("", 0.125), "0.125");
    EXPECT_EQ(FormatFloat("#,##0.00", 999999999999.995), "1,000,000,000,000.00");
}

TEST(Mask, FieldsPrintNumbersAndNumericTextsThroughTheMask)
{
    EXPECT_EQ(FormatMasked("#,##0.00", Variant(1234.5)), "1,234.50");
    EXPECT_EQ(FormatMasked("#,##0.00", Variant("1234.5")), "1,234.50");
    EXPECT_EQ(FormatMasked("#,##0.00", Variant("A-100")), "A-100");
    EXPECT_EQ(FormatMasked("#,##0.00", Variant::Null()), "");
    EXPECT_EQ(FormatMasked("", Variant("text")), "text");
    EXPECT_EQ(FloatToStr(0.125 * 100), "12.5");
    EXPECT_EQ(FloatToStr(1e20), "1E20");
    EXPECT_EQ(FloatToStr(0.1 + 0.2), "0.3");
}

TEST(Expression, HostileExpressionsRaiseClearErrorsInsteadOfCrashing)
{
    Sets s;
    auto message = [&](const QString& text) {
        try {
            TQREvaluator::Evaluate(text, s.All());
        } catch (const Exception& ex) {
            return ex.Message();
        }
        return QStringLiteral("<no error>");
    };
    // Nesting and chains deep enough to overflow the stack of a recursive parser.
    const int deep = 200000;
    EXPECT_TRUE(message(QString(deep, '(') + "1" + QString(deep, ')')).contains("too deeply nested"));
    EXPECT_TRUE(message(QString(deep, '-') + "1").contains("too deeply nested"));
    EXPECT_TRUE(message(QString("NOT ").repeated(deep) + "1").contains("too deeply nested"));
    EXPECT_TRUE(message("1" + QString("+1").repeated(deep)).contains("too deeply nested"));
    EXPECT_TRUE(message(QString("UPPER(").repeated(deep) + "'a'" + QString(deep, ')')).contains("too deeply nested"));
    // Moderate depth still works.
    EXPECT_EQ(QRValueText(TQREvaluator::Evaluate(QString(100, '(') + "2" + QString(100, ')') + QString("+1").repeated(200), s.All())),
              "202");
    // Results a number cannot hold, and arguments beyond any length.
    EXPECT_TRUE(message("99999999999999999999 * 99999999999999999999" + QString(" * 99999999999999999999").repeated(20))
                    .contains("overflow"));
    EXPECT_TRUE(message(QString(400, QLatin1Char('9'))).contains("bad number"));
    EXPECT_EQ(QRValueText(TQREvaluator::Evaluate("COPY('abc', 99999999999999999999, 99999999999999999999)", s.All())), "");
    EXPECT_EQ(QRValueText(TQREvaluator::Evaluate("COPY('abc', -99999999999999999999, 99999999999999999999)", s.All())),
              "abc");
    EXPECT_TRUE(message("1 / (2 - 2)").contains("Division by zero"));
    EXPECT_TRUE(message(")").contains("unexpected"));
    EXPECT_TRUE(message("1 2").contains("unexpected"));
    EXPECT_TRUE(message("IF(1, 2)").contains("three arguments"));
}

TEST(Mask, OddValuesAndMasksGiveTextNeverGarbage)
{
    EXPECT_EQ(FormatFloat("#,##0.00", -0.0), "0.00");
    EXPECT_EQ(FormatFloat("0.00;(0.00)", -0.0), "0.00");
    EXPECT_EQ(FormatFloat("#,##0", 1e300).size(), 301 + 100);  // every digit with its group separators
    EXPECT_EQ(FormatFloat("0.00", 1e-300), "0.00");
    EXPECT_EQ(FormatFloat(";;", 5), "5");
    // Texts a number parser reads as "not a number" or "infinity" are codes, not numbers.
    EXPECT_EQ(FormatMasked("#,##0.00", Variant("NaN")), "NaN");
    EXPECT_EQ(FormatMasked("#,##0.00", Variant("Inf")), "Inf");
    EXPECT_EQ(FormatMasked("#,##0.00", Variant("infinity")), "infinity");
}
