#include "demo/SampleCompany.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kelm24;

namespace {

class SampleCompanyTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    std::unique_ptr<TDataLayer> Write(const QString& name, TSampleOptions options)
    {
        TSampleCompany(options).WriteSqliteFile(Path(name));
        TServerSettings s;
        s.DatabaseFile = Path(name);
        return std::make_unique<TDataLayer>(s);
    }
    static int Count(TDataLayer& data, const QString& sql) { return data.Select(sql)[0][0].toInt(); }
    static QString Dump(TDataLayer& data, const QString& table, const QString& order)
    {
        QString out;
        for (const TSqlRow& row : data.Select(QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(table, order)))
            for (const QVariant& v : row) out += v.toString() + QLatin1Char('|');
        return out;
    }
};

}  // namespace

TEST_F(SampleCompanyTest, SameSeedSameCompany)
{
    TSampleOptions options;
    options.Receipts = 40;
    auto a = Write(QStringLiteral("a.sqlite"), options);
    auto b = Write(QStringLiteral("b.sqlite"), options);
    options.Seed += 1;
    auto c = Write(QStringLiteral("c.sqlite"), options);
    EXPECT_EQ(Dump(*a, QStringLiteral("PURTH"), QStringLiteral("TH001,TH002,TH003")),
              Dump(*b, QStringLiteral("PURTH"), QStringLiteral("TH001,TH002,TH003")));
    EXPECT_EQ(Dump(*a, QStringLiteral("PURTD"), QStringLiteral("TD001,TD002,TD003")),
              Dump(*b, QStringLiteral("PURTD"), QStringLiteral("TD001,TD002,TD003")));
    EXPECT_NE(Dump(*a, QStringLiteral("PURTH"), QStringLiteral("TH001,TH002,TH003")),
              Dump(*c, QStringLiteral("PURTH"), QStringLiteral("TH001,TH002,TH003")));
    // An existing file is kept unless replacing was asked for.
    EXPECT_THROW(TSampleCompany(options).WriteSqliteFile(Path(QStringLiteral("a.sqlite"))), Exception);
    EXPECT_NO_THROW(TSampleCompany(options).WriteSqliteFile(Path(QStringLiteral("a.sqlite")), true));
}

TEST_F(SampleCompanyTest, ReceiptsCoverTheCasesTheReportMustPrint)
{
    TSampleOptions options;
    options.Receipts = 300;
    auto data = Write(QStringLiteral("company.sqlite"), options);
    TDataLayer& d = *data;
    EXPECT_EQ(Count(d, QStringLiteral("SELECT COUNT(*) FROM PURTG")), 300);
    EXPECT_GT(Count(d, QStringLiteral("SELECT COUNT(*) FROM PURTG WHERE NOT EXISTS (SELECT 1 FROM PURTH WHERE TH001=TG001 AND TH002=TG002)")), 0)
        << "receipts without lines";
    EXPECT_GT(Count(d, QStringLiteral("SELECT COUNT(*) FROM PURTH WHERE TH011=''")), 0) << "lines without an order";
    EXPECT_GT(Count(d, QStringLiteral("SELECT COUNT(*) FROM PURTD WHERE TD015>TD008")), 0) << "over-receipts";
    EXPECT_GT(Count(d, QStringLiteral("SELECT COUNT(*) FROM PURTH JOIN PURTD ON TH011=TD001 AND TH012=TD002 AND TH013=TD003 "
                                      "WHERE TH008<>TD009")), 0) << "lines in another unit than the order";
    EXPECT_GE(Count(d, QStringLiteral("SELECT COUNT(DISTINCT TG007) FROM PURTG")), 3) << "currencies";
    for (const char* status : {"Y", "N", "V"})
        EXPECT_GT(Count(d, QStringLiteral("SELECT COUNT(*) FROM PURTG WHERE TG013='%1'").arg(QLatin1String(status))), 0) << status;
    EXPECT_GT(Count(d, QStringLiteral("SELECT COUNT(*) FROM (SELECT TH002 FROM PURTH GROUP BY TH001, TH002 HAVING COUNT(*)>=30) T")), 0)
        << "receipts long enough for several pages";
    EXPECT_GT(Count(d, QStringLiteral("SELECT COUNT(*) FROM PURTG WHERE TG001='2801'")), 0) << "document system 28";
    EXPECT_GT(Count(d, QStringLiteral("SELECT COUNT(DISTINCT TA002) FROM QNSTA")), 0) << "approval history";
    EXPECT_EQ(Count(d, QStringLiteral("SELECT COUNT(*) FROM INVMB WHERE NOT EXISTS (SELECT 1 FROM INVMD WHERE MD001=MB001)")), 0);
    EXPECT_EQ(Count(d, QStringLiteral("SELECT COUNT(*) FROM ADMMR WHERE MR001='Clerk'")), 2);
    // Every receipt line refers to an item, every order reference to an order line.
    EXPECT_EQ(Count(d, QStringLiteral("SELECT COUNT(*) FROM PURTH WHERE NOT EXISTS (SELECT 1 FROM INVMB WHERE MB001=TH004)")), 0);
    EXPECT_EQ(Count(d, QStringLiteral("SELECT COUNT(*) FROM PURTH WHERE TH011<>'' AND NOT EXISTS "
                                      "(SELECT 1 FROM PURTD WHERE TD001=TH011 AND TD002=TH012 AND TD003=TH013)")), 0);
    // Header totals are the sums of their lines.
    EXPECT_EQ(Count(d, QStringLiteral("SELECT COUNT(*) FROM PURTG WHERE ABS(TG026 - (SELECT COALESCE(SUM(TH015),0) FROM PURTH "
                                      "WHERE TH001=TG001 AND TH002=TG002)) > 0.0001")), 0);
    EXPECT_EQ(Count(d, QStringLiteral("SELECT COUNT(*) FROM PURTG WHERE ABS(TG028 - (SELECT COALESCE(SUM(TH047),0) FROM PURTH "
                                      "WHERE TH001=TG001 AND TH002=TG002)) > 0.02")), 0);
    // Names and texts are Chinese.
    EXPECT_TRUE(d.Select(QStringLiteral("SELECT MA003 FROM PURMA WHERE MA001='S0001'"))[0][0].toString().endsWith(QStringLiteral("有限公司")));
}

TEST_F(SampleCompanyTest, FixedLineCountForTheBenchmark)
{
    TSampleOptions options;
    options.Receipts = 50;
    options.LinesPerReceipt = 20;
    auto data = Write(QStringLiteral("bench.sqlite"), options);
    EXPECT_EQ(Count(*data, QStringLiteral("SELECT COUNT(*) FROM PURTH")), 1000);
    EXPECT_EQ(Count(*data, QStringLiteral("SELECT COUNT(*) FROM (SELECT 1 FROM PURTH GROUP BY TH001, TH002 HAVING COUNT(*)<>20) T")), 0);
}

TEST_F(SampleCompanyTest, ShowcaseReceiptsForTheDemo)
{
    TSampleOptions options;
    options.Receipts = 30;
    auto data = Write(QStringLiteral("showcase.sqlite"), options);
    TDataLayer& d = *data;
    EXPECT_EQ(Count(d, QStringLiteral("SELECT COUNT(*) FROM PURTG")), 30);
    auto lines = [&](const QString& number) {
        return Count(d, QStringLiteral("SELECT COUNT(*) FROM PURTH WHERE TH002='%1'").arg(QString(number).replace(QLatin1Char('\''), QStringLiteral("''"))));
    };
    EXPECT_EQ(lines(QStringLiteral("20231228001")), 6);
    EXPECT_EQ(lines(QStringLiteral("20231228002")), 16);
    EXPECT_EQ(lines(QStringLiteral("20231228005")), 0);
    EXPECT_EQ(lines(QStringLiteral("20231228'010")), 3) << "a document number holding a quote";
    EXPECT_EQ(d.Select(QStringLiteral("SELECT TG013 FROM PURTG WHERE TG002='20231228003'"))[0][0].toString(), QStringLiteral("V"));
    EXPECT_EQ(d.Select(QStringLiteral("SELECT TG007 FROM PURTG WHERE TG002='20231228004'"))[0][0].toString(), QStringLiteral("USD"));
    // Line 1 of the first: 110 received on an order of 100 in the same unit; its last line has no order.
    auto first = d.Select(QStringLiteral("SELECT TH007, TH008, TD008, TD009, TD015 FROM PURTH JOIN PURTD ON TD001=TH011 AND TD002=TH012 "
                                         "AND TD003=TH013 WHERE TH002='20231228001' AND TH003='0001'"));
    ASSERT_EQ(first.size(), 1);
    EXPECT_DOUBLE_EQ(first[0][0].toDouble(), 110);
    EXPECT_EQ(first[0][1].toString(), first[0][3].toString());
    EXPECT_DOUBLE_EQ(first[0][2].toDouble(), 100);
    EXPECT_DOUBLE_EQ(first[0][4].toDouble(), 110);
    EXPECT_EQ(Count(d, QStringLiteral("SELECT COUNT(*) FROM PURTH WHERE TH002='20231228001' AND TH003='0006' AND TH011=''")), 1);
    // Approval history: complete, none, incomplete, a single step.
    auto steps = [&](const QString& number) { return Count(d, QStringLiteral("SELECT COUNT(*) FROM QNSTA WHERE TA002='%1'").arg(number)); };
    EXPECT_EQ(steps(QStringLiteral("20231228006")), 3);
    EXPECT_EQ(steps(QStringLiteral("20231228007")), 0);
    EXPECT_EQ(steps(QStringLiteral("20231228008")), 3);
    EXPECT_EQ(Count(d, QStringLiteral("SELECT COUNT(*) FROM QNSTA WHERE TA002='20231228008' AND TA015=''")), 3);
    EXPECT_EQ(Count(d, QStringLiteral("SELECT COUNT(*) FROM QNSTA WHERE TA002='20231228008' AND TA008=''")), 1);
    EXPECT_EQ(steps(QStringLiteral("20231228009")), 1);
    // Item codes are whole codes, no placeholder left in them.
    EXPECT_EQ(Count(d, QStringLiteral("SELECT COUNT(*) FROM INVMB WHERE MB001 LIKE '%\\%%' ESCAPE '\\'")), 0);
    EXPECT_EQ(d.Select(QStringLiteral("SELECT MB001 FROM INVMB ORDER BY MB001"))[0][0].toString(), QStringLiteral("10-0001"));
}
