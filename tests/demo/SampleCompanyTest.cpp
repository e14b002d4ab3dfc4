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
