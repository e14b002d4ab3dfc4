// The texts of client data sets in the interface's code page: labels once,
// string fields through the form's handlers in both directions, fields with
// handlers of their own left alone, and the settings kept across reopening.
#include "format/engine/ClientDataSet.h"
#include "format/engine/DataSetTexts.h"

#include <QObject>
#include <gtest/gtest.h>

using namespace kelm24;

namespace {

// A stand-in for the code converter: brackets mark a text shown, a leading
// "~" one stored back.
TDisplayConversion Marking()
{
    return {[](const QString& t) { return QStringLiteral("[%1]").arg(t); },
            [](const QString& t) { return QStringLiteral("~") + t; }};
}

TDataPacket Packet()
{
    TDataPacket p;
    p.Fields = {{"MQ002", TFieldType::String, 20}, {"TG008", TFieldType::Float, 0}, {"TG014", TFieldType::Date, 0}};
    p.Rows = {{"一般进货单", 6.5, Variant::FromDate(45292)}, {Variant::Null(), Variant::Null(), Variant::Null()}};
    return p;
}

}  // namespace

TEST(DataSetTexts, LabelsAndStringFieldsPassTheConversion)
{
    QObject form;
    auto* holder = new QObject(&form);  // data sets at any depth below the form
    auto* ds = new TClientDataSet(holder, QStringLiteral("ClientDataSet1"));
    LocalizeClientDataSets(&form, Marking());
    ds->SetData(Packet());
    TField& name = ds->FieldByName(QStringLiteral("MQ002"));
    EXPECT_EQ(name.DisplayLabel(), QStringLiteral("[MQ002]"));
    EXPECT_EQ(name.AsString(), QStringLiteral("一般进货单"));  // the stored value itself stays
    EXPECT_EQ(name.DisplayText(), QStringLiteral("[一般进货单]"));
    EXPECT_EQ(name.Text(), QStringLiteral("[一般进货单]"));
    // Numbers and dates have no handlers: their text is their value's.
    EXPECT_EQ(ds->FieldByName(QStringLiteral("TG008")).DisplayText(), QStringLiteral("6.5"));
    EXPECT_EQ(ds->FieldByName(QStringLiteral("TG014")).DisplayLabel(), QStringLiteral("[TG014]"));
    EXPECT_EQ(ds->FieldByName(QStringLiteral("TG014")).DisplayText(), QStringLiteral("20240101"));
    // A typed text is stored converted back.
    ds->Edit();
    name.SetText(QStringLiteral("委外"));
    ds->Post();
    EXPECT_EQ(name.AsString(), QStringLiteral("~委外"));
    // A null string reads as the converted empty text, not as "null".
    ds->Next();
    EXPECT_EQ(ds->FieldByName(QStringLiteral("MQ002")).DisplayText(), QStringLiteral("[]"));
}

TEST(DataSetTexts, HandlersOfTheFieldsOwnAreKeptAndReopeningKeepsTheSettings)
{
    QObject form;
    auto* ds = new TClientDataSet(&form, QStringLiteral("ClientDataSet1"));
    ds->SetData(Packet());
    ds->FieldByName(QStringLiteral("MQ002")).OnGetText = [](TField&, QString& text, bool) { text = QStringLiteral("own"); };
    LocalizeClientDataSets(&form, Marking());
    EXPECT_EQ(ds->FieldByName(QStringLiteral("MQ002")).DisplayText(), QStringLiteral("own"));
    EXPECT_TRUE(ds->FieldByName(QStringLiteral("MQ002")).OnSetText);  // only the missing one was given
    // Data arriving again make new fields; they are localised like the first.
    ds->Close();
    ds->SetData(Packet());
    EXPECT_EQ(ds->FieldByName(QStringLiteral("MQ002")).DisplayText(), QStringLiteral("[一般进货单]"));
    EXPECT_EQ(ds->FieldByName(QStringLiteral("MQ002")).DisplayLabel(), QStringLiteral("[MQ002]"));
}
