// The merged layout's delivered quantity, on the sample company's database
// opened from a connection string as the counter gives it.
#include "format/MergedDelivered.h"
#include "kelm24/Variant.h"
#include "tests/appserver/TestSupport.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace kelm24;

namespace {

class MergedDeliveredTest : public ::testing::Test {
protected:
    test::TSampleInstall install{30};
    QString DatabaseFile() const { return QDir(install.Dir()).filePath(QStringLiteral("company.sqlite")); }
    QString ConnectString() const { return QStringLiteral("Driver=QSQLITE;Database=") + DatabaseFile(); }
    // A line of a showcase receipt as the merged layout's row gives it.
    TMergedLine LineOf(const QString& number, const QString& seq)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("merged-test"));
        db.setDatabaseName(DatabaseFile());
        db.open();
        TMergedLine line;
        {
            QSqlQuery q(db);
            q.prepare(QStringLiteral("SELECT TH004, TH008, TH001, TH002, TH009, TH010, TH018 FROM PURTH WHERE TH002=? AND TH003=?"));
            q.addBindValue(number);
            q.addBindValue(seq);
            q.exec();
            if (q.next()) {
                line.Item = q.value(0).toString();
                line.Unit = q.value(1).toString();
                line.Type = q.value(2).toString();
                line.Number = q.value(3).toString();
                line.HasWarehouse = line.HasLot = line.HasPrice = true;
                line.Warehouse = q.value(4).toString();
                line.Lot = q.value(5).toString();
                line.Price = q.value(6).toDouble();
            }
        }
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("merged-test"));
        return line;
    }
};

}  // namespace

TEST_F(MergedDeliveredTest, StatementNamesTheDatabaseAndTheDriverDropsIt)
{
    const QString sql = TMergedDelivered::Statement(QStringLiteral("DEMO"), true, false, true);
    EXPECT_TRUE(sql.contains(QStringLiteral(" FROM  DEMO..PURTD ")));
    EXPECT_TRUE(sql.contains(QStringLiteral(" INNER JOIN DEMO..PURTH ON")));
    EXPECT_TRUE(sql.endsWith(QStringLiteral(" AND TH009=:TH009 AND TH010=:TH010")));
    EXPECT_FALSE(sql.contains(QStringLiteral("TH018")));
    const QString adapted = TMergedDelivered::ForDriver(sql);
    EXPECT_FALSE(adapted.contains(QStringLiteral("..")));
    EXPECT_TRUE(adapted.contains(QStringLiteral(" FROM  PURTD ")));
    EXPECT_TRUE(adapted.contains(QStringLiteral(" INNER JOIN PURTH ON")));
}

TEST_F(MergedDeliveredTest, SumsTheOrderLinesOfTheMergedLine)
{
    TMergedDelivered merged;
    EXPECT_FALSE(merged.Connected());
    merged.Connect(ConnectString());
    ASSERT_TRUE(merged.Connected());
    // Line 1 of the first showcase receipt: 110 received on an order of 100,
    // in the order's unit: no conversion is asked for.
    TMergedLine line = LineOf(QStringLiteral("20231228001"), QStringLiteral("0001"));
    ASSERT_FALSE(line.Item.isEmpty());
    int conversions = 0;
    auto convert = [&](const QString&, double q, const QString&, const QString&) {
        ++conversions;
        return q * 1000;
    };
    EXPECT_DOUBLE_EQ(merged.Delivered(QStringLiteral("DEMO"), line, true, convert), 110);
    EXPECT_EQ(conversions, 0);
    // A line with no order reference has nothing delivered.
    TMergedLine noOrder = LineOf(QStringLiteral("20231228001"), QStringLiteral("0006"));
    EXPECT_DOUBLE_EQ(merged.Delivered(QStringLiteral("DEMO"), noOrder, true, convert), 0);
    // A document number with a quote is a bound value, not statement text.
    TMergedLine quoted = LineOf(QStringLiteral("20231228'010"), QStringLiteral("0001"));
    ASSERT_EQ(quoted.Number, QStringLiteral("20231228'010"));
    EXPECT_NO_THROW(merged.Delivered(QStringLiteral("DEMO"), quoted, false, convert));
}

TEST_F(MergedDeliveredTest, ConvertsOnlyWhenAskedAndTheUnitsDiffer)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("units"));
    db.setDatabaseName(DatabaseFile());
    ASSERT_TRUE(db.open());
    QString number, seq;
    double orderDelivered = 0;
    {
        QSqlQuery q(db);
        q.exec(QStringLiteral("SELECT TH002, TH003, TD015 FROM PURTH JOIN PURTD ON TD001=TH011 AND TD002=TH012 AND TD003=TH013 "
                              "WHERE TH008<>TD009 AND TD015>0 ORDER BY TH002, TH003"));
        ASSERT_TRUE(q.next()) << "the sample has lines received in another unit than ordered";
        number = q.value(0).toString();
        seq = q.value(1).toString();
        orderDelivered = q.value(2).toDouble();
    }
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("units"));

    TMergedDelivered merged;
    merged.Connect(ConnectString());
    TMergedLine line = LineOf(number, seq);
    QStringList asked;
    auto convert = [&](const QString& item, double q, const QString& from, const QString& to) {
        asked << item + QLatin1Char('|') + from + QLatin1Char('|') + to;
        return q * 10;
    };
    const double converted = merged.Delivered(QStringLiteral("DEMO"), line, true, convert);
    ASSERT_FALSE(asked.isEmpty());
    EXPECT_TRUE(asked[0].startsWith(line.Item + QLatin1Char('|')));
    EXPECT_TRUE(asked[0].endsWith(QLatin1Char('|') + line.Unit));
    EXPECT_GE(converted, orderDelivered * 10);
    asked.clear();
    const double plain = merged.Delivered(QStringLiteral("DEMO"), line, false, convert);
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_GT(converted, plain);
}

TEST_F(MergedDeliveredTest, ABadConnectionStringIsRefusedWithItsReason)
{
    TMergedDelivered merged;
    EXPECT_THROW(merged.Connect(QString()), Exception);
    EXPECT_THROW(merged.Connect(QStringLiteral("Driver=QNOSUCH;Database=x")), Exception);
    // A missing database file is not created empty.
    const QString missing = QDir(install.Dir()).filePath(QStringLiteral("missing.sqlite"));
    EXPECT_THROW(merged.Connect(QStringLiteral("Driver=QSQLITE;Database=") + missing), Exception);
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_FALSE(merged.Connected());
    EXPECT_THROW(merged.Delivered(QStringLiteral("DEMO"), TMergedLine(), false, nullptr), Exception);
}
