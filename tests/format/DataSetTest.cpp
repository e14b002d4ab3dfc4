// The client data set: packets from a provider of the application server,
// typed fields with nulls, navigation as data-aware reports use it.
#include "ReceiptFixture.h"

#include <gtest/gtest.h>

using namespace kelm24;
using namespace kelm24::test;

namespace {

TDataPacket TypedPacket()
{
    TDataPacket p;
    p.Fields = {{"TG001", TFieldType::String, 4}, {"TG008", TFieldType::Float, 0}, {"TG025", TFieldType::Integer, 0},
                {"TG014", TFieldType::Date, 0}, {"TG070", TFieldType::Boolean, 0}};
    p.Rows = {{"3401", 6.85, 3, Variant::FromDate(45292), true},  // 2024-01-01
              {Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null()},
              {"3402", "12.5", 7, "20241231", false}};
    return p;
}

}  // namespace

TEST(ClientDataSet, OpensFromTheProviderAndWalksTheRows)
{
    auto server = std::make_shared<TPacketServer>(TypedPacket());
    TClientDataSet ds(nullptr, "ClientDataSet1");
    ds.SetRemoteServer(Variant(std::static_pointer_cast<IAutomationObject>(server)));
    ds.SetProviderName("Provider1");
    ds.SetCommandText("SELECT * FROM $$PURTG");
    ds.Open();
    EXPECT_EQ(server->lastProvider, "Provider1");
    EXPECT_EQ(server->lastCommand, "SELECT * FROM $$PURTG");
    ASSERT_TRUE(ds.Active());
    EXPECT_EQ(ds.RecordCount(), 3);
    EXPECT_EQ(ds.FieldCount(), 5);
    EXPECT_TRUE(ds.Bof());
    EXPECT_FALSE(ds.Eof());
    EXPECT_EQ(ds.FieldByName("tg001").AsString(), "3401");
    EXPECT_DOUBLE_EQ(ds.FieldByName("TG008").AsFloat(), 6.85);
    EXPECT_EQ(ds.FieldByName("TG025").AsInteger(), 3);
    EXPECT_EQ(ds.FieldByName("TG014").AsString(), "20240101");
    EXPECT_TRUE(ds.FieldByName("TG070").AsBoolean());

    ds.Next();  // the row of Nulls
    EXPECT_TRUE(ds.FieldByName("TG001").IsNull());
    EXPECT_EQ(ds.FieldByName("TG001").AsString(), "");
    EXPECT_DOUBLE_EQ(ds.FieldByName("TG008").AsFloat(), 0);
    EXPECT_EQ(ds.FieldByName("TG025").AsInteger(), 0);
    EXPECT_FALSE(ds.FieldByName("TG070").AsBoolean());

    ds.Next();
    EXPECT_DOUBLE_EQ(ds.FieldByName("TG008").AsFloat(), 12.5);
    EXPECT_EQ(ds.RecNo(), 3);
    ds.Next();  // past the last row: Eof, still on the last row
    EXPECT_TRUE(ds.Eof());
    EXPECT_EQ(ds.FieldByName("TG001").AsString(), "3402");
    ds.Prior();
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_FALSE(ds.Eof());
    ds.Prior();
    ds.Prior();  // before the first row: Bof, still on the first
    EXPECT_TRUE(ds.Bof());
    EXPECT_EQ(ds.RecNo(), 1);
    ds.Last();
    EXPECT_EQ(ds.RecNo(), 3);
    ds.First();
    EXPECT_EQ(ds.RecNo(), 1);
    EXPECT_EQ(server->calls, 1);
}

TEST(ClientDataSet, MissingFieldsServersAndBadAnswersRaiseClearErrors)
{
    TClientDataSet ds(nullptr, "ClientDataSet2");
    try {
        ds.Open();
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "ClientDataSet2: Remote server not assigned");
    }
    EXPECT_FALSE(ds.Active());
    EXPECT_THROW(ds.First(), Exception);

    ds.SetData(TypedPacket());
    try {
        ds.FieldByName("TG999");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "ClientDataSet2: Field 'TG999' not found");
    }
    EXPECT_EQ(ds.FindField("TG999"), nullptr);

    // A provider answering something that is not a packet leaves the set closed.
    class Broken : public TAutomationObject {
    public:
        Broken() : TAutomationObject("Broken")
        {
            AddMethod(member::AS_GetRecords, [](VariantArgs&) { return Variant("no rows"); });
        }
    };
    TClientDataSet bad(nullptr, "cds");
    bad.SetRemoteServer(Variant(std::static_pointer_cast<IAutomationObject>(std::make_shared<Broken>())));
    bad.SetProviderName("Provider1");
    EXPECT_THROW(bad.Open(), Exception);
    EXPECT_FALSE(bad.Active());
    bad.SetProviderName("");
    EXPECT_THROW(bad.Open(), Exception);
}

TEST(ClientDataSet, EmptyPacketAndReopenAndDataRoundTrip)
{
    TClientDataSet ds;
    TDataPacket empty;
    empty.Fields = {{"A", TFieldType::String, 1}};
    ds.SetData(empty);
    EXPECT_TRUE(ds.IsEmpty());
    EXPECT_TRUE(ds.Eof());
    EXPECT_TRUE(ds.Bof());
    EXPECT_EQ(ds.RecNo(), 0);
    EXPECT_TRUE(ds.FieldByName("A").IsNull());
    ds.Next();
    EXPECT_TRUE(ds.Eof());

    ds.SetData(TypedPacket());
    ds.SetRecNo(99);
    EXPECT_EQ(ds.RecNo(), 3);
    const TDataPacket back = ds.Data();
    EXPECT_EQ(back.Rows.size(), 3u);
    EXPECT_EQ(back.Fields[3].Type, TFieldType::Date);
    ds.Close();
    EXPECT_FALSE(ds.Active());
    EXPECT_EQ(ds.FieldCount(), 0);
}

TEST(ClientDataSet, FindKeyLocatesByTheIndexFieldsAndEditsArePostedOrDropped)
{
    TClientDataSet ds(nullptr, "ClientDataSet1");
    TDataPacket p;
    p.Fields = {{"NAME", TFieldType::String, 20}, {"USR", TFieldType::String, 10}, {"N", TFieldType::Integer, 0}};
    p.Rows = {{"a", "DS", 1}, {"b", "DS", 2}, {"b", "X", 3}, {Variant::Null(), "X", 4}};
    ds.SetData(p);
    EXPECT_THROW(ds.FindKey({"b"}), Exception);  // no key set
    ds.SetIndexFieldNames("NAME; USR");
    EXPECT_TRUE(ds.FindKey({"b", "X"}));
    EXPECT_EQ(ds.FieldByName("N").AsInteger(), 3);
    EXPECT_FALSE(ds.FindKey({"b", "Y"}));
    EXPECT_EQ(ds.RecNo(), 3);  // a miss keeps the row
    EXPECT_TRUE(ds.FindKey({"", "X"}));  // Null matches the empty text
    EXPECT_EQ(ds.RecNo(), 4);
    EXPECT_TRUE(ds.FindKey({"b"}));  // a shorter key matches its leading fields
    EXPECT_EQ(ds.RecNo(), 2);
    ds.SetIndexFieldNames("NAME;NOPE");
    EXPECT_THROW(ds.FindKey({"b", "X"}), Exception);
    ds.SetIndexFieldNames("NAME;USR");

    // Writing without Edit is refused; an edit shows at once and is stored by Post.
    EXPECT_THROW(ds.FieldByName("NAME").SetAsString("z"), Exception);
    ds.Edit();
    ds.FieldByName("NAME").SetAsString("renamed");
    EXPECT_EQ(ds.FieldByName("NAME").AsString(), "renamed");
    ds.Post();
    EXPECT_FALSE(ds.Editing());
    EXPECT_FALSE(ds.FindKey({"b", "DS"}));
    ASSERT_TRUE(ds.FindKey({"renamed", "DS"}));
    EXPECT_EQ(ds.FieldByName("N").AsInteger(), 2);

    // Cancel drops the edit; moving away posts it; Close drops it.
    ds.Edit();
    ds.FieldByName("N").SetValue(20);
    ds.Cancel();
    EXPECT_EQ(ds.FieldByName("N").AsInteger(), 2);
    ds.Edit();
    ds.FieldByName("N").SetValue(21);
    ds.First();
    EXPECT_EQ(ds.FieldByName("N").AsInteger(), 1);
    ds.SetRecNo(2);
    EXPECT_EQ(ds.FieldByName("N").AsInteger(), 21);
    ds.Edit();
    ds.FieldByName("N").SetValue(22);
    ds.Close();
    EXPECT_FALSE(ds.Editing());

    TDataPacket empty;
    empty.Fields = p.Fields;
    ds.SetData(empty);
    EXPECT_THROW(ds.Edit(), Exception);
    EXPECT_FALSE(ds.FindKey({"a", "DS"}));
}
