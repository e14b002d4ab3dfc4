#include "appserver/AppServer.h"
#include "demo/SampleCompany.h"
#include "format/VRSQLBuilder.h"
#include "kelm24/DataPacket.h"
#include "kelm24/HostObjects.h"
#include "tests/appserver/ReceiptQuery.h"
#include "tests/appserver/TestSupport.h"

#include <gtest/gtest.h>

using namespace kelm24;

namespace {

// The six parts of the receipt detail statement, as the option form holds them.
struct ReceiptParts {
    QString select = test::ReceiptDetailSelect();
    QString from = QStringLiteral(" From $$PURTG AS PURTG ");
    QString join = test::ReceiptDetailJoins(QStringLiteral("RMB")).trimmed() + QLatin1Char(' ');
    QString where = test::ReceiptWhere(QString(), QString(), QString(), false, false);
    QString groupBy = QStringLiteral(" Group By ");
    QString orderBy = QStringLiteral("ORDER BY TG001,TG002,TH003 ");
    QString Statement() const { return select + from + join + where + orderBy; }
};

// A builder with the supplier master joined on the receipt's supplier and
// its phone number offered (not placed).
void AddSupplier(TVRSQLBuilder& b)
{
    const int t = b.AddRelationTable(QStringLiteral("$$PURMA"), QStringLiteral("供应商"), {QStringLiteral("PURTG.TG005")},
                                     {QStringLiteral("MA001")});
    b.AddRelationField(t, QStringLiteral("MA005"), QStringLiteral("电话"), false);
    b.AddRelationField(t, QStringLiteral("MA003"), QStringLiteral("全称"), false);
}

}  // namespace

TEST(SQLBuilder, FieldsArePlacedFoundAndUnplacedByComponentName)
{
    TVRSQLBuilder b;
    AddSupplier(b);
    EXPECT_EQ(b.RelationTableName(0), QStringLiteral("PURMA"));
    EXPECT_EQ(b.FieldText(0, 0), QStringLiteral("RT0.MA005"));
    EXPECT_EQ(b.FieldColumn(0, 0), QStringLiteral("RT0MA005"));
    EXPECT_FALSE(b.HasPlacedFields());

    b.SetFieldPlaced(0, 0, QStringLiteral("ExTxtRT0MA0051"));
    int t = -1, f = -1;
    ASSERT_TRUE(b.FindFieldByComponent(QStringLiteral("extxtrt0ma0051"), t, f));
    EXPECT_EQ(t, 0);
    EXPECT_EQ(f, 0);
    EXPECT_TRUE(b.FieldPlaced(0, 0));
    // The table of a placed field stays: its alias is in the statement.
    EXPECT_FALSE(b.RemoveRelationTable(0));

    EXPECT_TRUE(b.UnplaceComponent(QStringLiteral("ExTxtRT0MA0051")));
    EXPECT_FALSE(b.FieldPlaced(0, 0));
    EXPECT_FALSE(b.FindFieldByComponent(QStringLiteral("ExTxtRT0MA0051"), t, f));
    EXPECT_FALSE(b.UnplaceComponent(QStringLiteral("ExTxtRT0MA0051")));
    EXPECT_FALSE(b.FindFieldByComponent(QString(), t, f));

    // The same field added again keeps its index.
    EXPECT_EQ(b.AddRelationField(0, QStringLiteral("ma005"), QStringLiteral("联系电话"), false), 0);
    EXPECT_EQ(b.FieldCaption(0, 0), QStringLiteral("联系电话"));
    EXPECT_THROW(b.FieldProperty(0, 7), Exception);
    EXPECT_THROW(b.FieldProperty(3, 0), Exception);
}

TEST(SQLBuilder, ComponentNumbersCountOn)
{
    TVRSQLBuilder b;
    b.SetMaxComponentNum(5);
    EXPECT_EQ(b.TakeComponentNum(), 5);
    EXPECT_EQ(b.TakeComponentNum(), 6);
    EXPECT_EQ(b.MaxComponentNum(), 7);
}

TEST(SQLBuilder, NamesThatAreNotPlainSqlNamesAreRefused)
{
    TVRSQLBuilder b;
    EXPECT_THROW(b.AddRelationTable(QStringLiteral("PURMA; DROP TABLE PURTG"), {}, {QStringLiteral("TG005")},
                                    {QStringLiteral("MA001")}),
                 Exception);
    EXPECT_THROW(b.AddRelationTable(QStringLiteral("PURMA"), {}, {QStringLiteral("TG005 OR 1=1")}, {QStringLiteral("MA001")}),
                 Exception);
    EXPECT_THROW(b.AddRelationTable(QStringLiteral("PURMA"), {}, {}, {}), Exception);
    EXPECT_THROW(b.AddRelationTable(QStringLiteral("PURMA"), {}, {QStringLiteral("TG005")}, {}), Exception);
    EXPECT_EQ(b.RelationCount(), 0);
    AddSupplier(b);
    EXPECT_THROW(b.AddRelationField(0, QStringLiteral("MA005)"), {}, false), Exception);
    EXPECT_EQ(b.FieldCount(0), 2);
}

TEST(SQLBuilder, NullStatementAndBuild)
{
    TVRSQLBuilder b;
    EXPECT_TRUE(b.IsSQLNull());
    EXPECT_FALSE(b.Build(QStringLiteral("Select "), QStringLiteral(" From "), {}, {}, {}, {}));
    EXPECT_FALSE(b.Build(QStringLiteral("Select TG001"), QStringLiteral(" From "), {}, {}, {}, {}));
    ReceiptParts p;
    EXPECT_TRUE(b.Build(p.select, p.from, p.orderBy, p.groupBy, p.where, p.join));
    b.Apply(p.select, p.from, 1, p.orderBy, p.groupBy, p.where, p.join);
    EXPECT_FALSE(b.IsSQLNull());
    EXPECT_EQ(b.DesignerFlag(), 1);
    EXPECT_EQ(b.GroupByText(), p.groupBy);
    EXPECT_EQ(b.OrderByText(), p.orderBy);
}

TEST(SQLBuilder, ExtendedPartsCarryOnlyPlacedFields)
{
    TVRSQLBuilder b;
    AddSupplier(b);
    ReceiptParts p;
    b.Apply(p.select, p.from, 0, p.orderBy, p.groupBy, p.where, p.join);
    // Nothing placed: the statement stays as it is.
    EXPECT_EQ(b.ExtendSQL(p.Statement()), p.Statement());

    b.SetFieldPlaced(0, 0, QStringLiteral("ExTxtRT0MA0051"));
    EXPECT_TRUE(b.ExtendedSelect().endsWith(QStringLiteral(", RT0.MA005 AS RT0MA005 ")));
    EXPECT_FALSE(b.ExtendedSelect().contains(QStringLiteral("RT0.MA003")));
    EXPECT_TRUE(b.ExtendedJoin().endsWith(QStringLiteral(" LEFT JOIN $$PURMA AS RT0 ON RT0.MA001 = PURTG.TG005 ")));
    EXPECT_EQ(b.ExtendedOrderBy(), p.orderBy.trimmed());
    // No grouping: the group-by needs nothing.
    EXPECT_EQ(b.ExtendedGroupBy(), QStringLiteral("Group By"));

    const QString extended = b.ExtendSQL(p.Statement());
    EXPECT_EQ(extended.count(QStringLiteral("RT0.MA005 AS RT0MA005")), 1);
    EXPECT_EQ(extended.count(QStringLiteral("LEFT JOIN $$PURMA AS RT0")), 1);
    EXPECT_LT(extended.indexOf(QStringLiteral("$$PURMA AS RT0")), extended.indexOf(QStringLiteral("WHERE")));
}

TEST(SQLBuilder, GroupedStatementsGroupByTheAddedFieldsToo)
{
    TVRSQLBuilder b;
    AddSupplier(b);
    b.SetFieldPlaced(0, 1, QStringLiteral("ExTxtRT0MA0032"));
    const QString select = QStringLiteral("Select TG001,TG002,SUM(TH007) AS TH007 ");
    const QString from = QStringLiteral(" From $$PURTG AS PURTG ");
    const QString join = QStringLiteral("LEFT JOIN $$PURTH AS PURTH ON TG001=TH001 AND TG002=TH002 ");
    const QString group = QStringLiteral(" Group By TG001,TG002 ");
    const QString order = QStringLiteral(" Order by TG001,TG002 ");
    b.Apply(select, from, 0, order, group, QString(), join);
    const QString sql = select + from + join + QStringLiteral(" WHERE 1=1 ") + group + order;
    EXPECT_EQ(b.ExtendSQL(sql), QStringLiteral("Select TG001,TG002,SUM(TH007) AS TH007, RT0.MA003 AS RT0MA003  From $$PURTG AS "
                                              "PURTG LEFT JOIN $$PURTH AS PURTH ON TG001=TH001 AND TG002=TH002 LEFT JOIN $$PURMA "
                                              "AS RT0 ON RT0.MA001 = PURTG.TG005  WHERE 1=1  Group By TG001,TG002, RT0.MA003  "
                                              "Order by TG001,TG002 "));
}

TEST(SQLBuilder, StatementWithoutJoinsGetsTheJoinsAfterItsFrom)
{
    TVRSQLBuilder b;
    AddSupplier(b);
    b.SetFieldPlaced(0, 0, QStringLiteral("ExTxtRT0MA0051"));
    const QString select = QStringLiteral("Select TG001,TG002 "), from = QStringLiteral(" From $$PURTG AS PURTG ");
    b.Apply(select, from, 0, QString(), QString(), QStringLiteral(" Where TG001='3401' "), QString());
    // An empty join text must not be "found" between every two characters.
    EXPECT_EQ(b.ExtendSQL(select + from + QStringLiteral(" Where TG001='3401' ")),
              QStringLiteral("Select TG001,TG002, RT0.MA005 AS RT0MA005  From $$PURTG AS PURTG  LEFT JOIN $$PURMA AS RT0 ON "
                             "RT0.MA001 = PURTG.TG005  Where TG001='3401' "));
}

TEST(SQLBuilder, StateRoundTripsThroughItsPublishedProperties)
{
    TVRSQLBuilder b;
    AddSupplier(b);
    b.SetFieldBarcode(0, 1, true);
    b.SetFieldPlaced(0, 1, QStringLiteral("ExBcRT0MA0033"));
    b.SetMaxComponentNum(4);
    ReceiptParts p;
    b.Apply(p.select, p.from, 1, p.orderBy, p.groupBy, p.where, p.join);

    TVRSQLBuilder copy;
    for (const char* name : {"Active", "MaxComponentNum", "Relations", "SelectText", "FromText", "WhereText", "GroupByText",
                             "OrderByText", "JoinText"})
        copy.setProperty(name, b.property(name));
    EXPECT_EQ(copy.MaxComponentNum(), 4);
    ASSERT_EQ(copy.RelationCount(), 1);
    EXPECT_EQ(copy.Relation(0).JoinColumns, b.Relation(0).JoinColumns);
    EXPECT_EQ(copy.FieldCaption(0, 0), QStringLiteral("电话"));
    EXPECT_FALSE(copy.FieldPlaced(0, 0));
    EXPECT_TRUE(copy.FieldPlaced(0, 1));
    EXPECT_TRUE(copy.FieldBarcode(0, 1));
    EXPECT_EQ(copy.FieldComponentName(0, 1), QStringLiteral("ExBcRT0MA0033"));
    EXPECT_EQ(copy.ExtendSQL(p.Statement()), b.ExtendSQL(p.Statement()));

    // Lines that cannot be read leave what there was.
    EXPECT_THROW(copy.SetRelations({QStringLiteral("T\tPURMA\t\tTG005=MA001"), QStringLiteral("X\tnonsense")}), Exception);
    EXPECT_THROW(copy.SetRelations({QStringLiteral("F\tMA005\t\t0\t")}), Exception);
    EXPECT_EQ(copy.RelationCount(), 1);
    EXPECT_TRUE(copy.FieldPlaced(0, 1));
}

TEST(SQLBuilder, LayoutFieldListIsRead)
{
    TVRSQLBuilder b;
    const QChar m(3);
    b.SetLayoutFields(QString(m) + QStringLiteral("TG005") + m + QStringLiteral("供应商") + m + QStringLiteral("TG002") + m +
                      QStringLiteral("单号") + m + QStringLiteral("TG005") + m + QStringLiteral("供应商"));
    ASSERT_EQ(b.LayoutFields().size(), 3);
    EXPECT_EQ(b.LayoutFields()[1].second, QStringLiteral("单号"));
    EXPECT_EQ(b.LayoutFieldNames(), (QStringList{QStringLiteral("TG005"), QStringLiteral("TG002")}));
}

// The extended receipt statement runs on the application server and brings
// each receipt's supplier phone number.
TEST(SQLBuilder, ExtendedReceiptStatementRunsOnTheServer)
{
    test::TSampleInstall install(8);
    Variant server{std::make_shared<TAppServer>(install.Settings())};
    TAppServerObject as{server};
    as.Connect(TSampleCompany::ProgramCode, TSampleCompany::LeaderUser, TSampleCompany::CompanyCode, QStringLiteral("DEMO"),
               QStringLiteral("PURTG"));

    TVRSQLBuilder b;
    AddSupplier(b);
    b.SetFieldPlaced(0, 0, QStringLiteral("ExTxtRT0MA0051"));
    ReceiptParts p;
    b.Apply(p.select, p.from, 0, p.orderBy, p.groupBy, p.where, p.join);
    const QString sql = b.ExtendSQL(p.Statement());
    TDataPacket rows = TDataPacket::FromVariant(server.Call(member::AS_GetRecords, {QStringLiteral("Provider1"), sql, Variant()}));
    int phone = -1, supplier = -1;
    for (int i = 0; i < static_cast<int>(rows.Fields.size()); ++i) {
        if (rows.Fields[i].Name.compare(QStringLiteral("RT0MA005"), Qt::CaseInsensitive) == 0) phone = i;
        if (rows.Fields[i].Name.compare(QStringLiteral("TG005"), Qt::CaseInsensitive) == 0) supplier = i;
    }
    ASSERT_GE(phone, 0);
    ASSERT_GE(supplier, 0);
    ASSERT_FALSE(rows.Rows.empty());
    TDataLayer direct{install.Settings()};
    for (const auto& row : rows.Rows) {
        const QVector<TSqlRow> expected =
            direct.Select(QStringLiteral("SELECT MA005 FROM PURMA WHERE MA001=:K0"), {row[supplier].ToString()});
        ASSERT_EQ(expected.size(), 1);
        EXPECT_EQ(row[phone].ToString(), expected[0][0].toString());
        EXPECT_FALSE(row[phone].ToString().isEmpty());
    }
}

TEST(SQLBuilder, FieldsOfTheMainTableComeWithoutAJoin)
{
    TVRSQLBuilder b;
    // Before the main table is known a table without join columns is refused.
    EXPECT_THROW(b.AddRelationTable(QStringLiteral("PURTG"), {}, {}, {}), Exception);
    b.InitVRInfo(QStringLiteral("KELM24"), QStringLiteral("DS"), QStringLiteral("PURTG"), QStringLiteral("DEMO"),
                 QStringLiteral("DEMO"));
    EXPECT_THROW(b.AddRelationTable(QStringLiteral("PURMA"), {}, {}, {}), Exception);
    const int t = b.AddRelationTable(QStringLiteral("purtg"), QStringLiteral("单头"), {}, {});
    b.AddRelationField(t, QStringLiteral("TG002"), QStringLiteral("单号"), true);
    b.SetFieldPlaced(t, 0, QStringLiteral("ExBcRT0TG0021"));
    EXPECT_EQ(b.FieldText(t, 0), QStringLiteral("PURTG.TG002"));
    EXPECT_EQ(b.FieldColumn(t, 0), QStringLiteral("RT0TG002"));
    const QString select = QStringLiteral("Select TG001,TG002 "), from = QStringLiteral(" From $$PURTG AS PURTG ");
    b.Apply(select, from, 0, QString(), QString(), QString(), QString());
    EXPECT_EQ(b.ExtendSQL(select + from), QStringLiteral("Select TG001,TG002, PURTG.TG002 AS RT0TG002  From $$PURTG AS PURTG "));
    // Read back from its published lines without the design information.
    TVRSQLBuilder copy;
    copy.SetRelations(b.Relations());
    EXPECT_EQ(copy.FieldText(0, 0), QStringLiteral("PURTG.TG002"));
}
