// Approval sign-off lines against the sample company's approval history,
// through the application server over TCP.
#include "demo/SampleCompany.h"
#include "format/ApprovalLines.h"
#include "format/engine/ClientDataSet.h"
#include "platform/socketconn/SocketConnection.h"
#include "runtime/AlertLog.h"
#include "runtime/DateText.h"
#include "tests/appserver/TestSupport.h"
#include "tests/format/ReceiptServerFixture.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace kelm24;

namespace {

// What a log file gained since the mark was taken.
class TLogWatch {
public:
    explicit TLogWatch(const QString& name) : file_(AlertLogFileName(name, QStringLiteral("D"), QDate::currentDate()))
    {
        start_ = QFile(file_).size();
    }
    QString Added() const
    {
        QFile f(file_);
        if (!f.open(QIODevice::ReadOnly)) return QString();
        f.seek(start_);
        return QString::fromUtf8(f.readAll());
    }

private:
    QString file_;
    qint64 start_ = 0;
};

class ApprovalLinesTest : public test::ReceiptServerFixture {
protected:
    void SetUp() override
    {
        ConnectLeader();
        data.SetRemoteServer(connection.AppServer());
        data.SetProviderName(QStringLiteral("Provider1"));
        lines.AppServer = TAppServerObject(connection.AppServer());
        lines.SysInfo = &sys;
        lines.DocTypeCode = QStringLiteral("3402");
        lines.LookupOn = true;
        lines.Warning = [this](const QString& text) { warnings << text; };
    }
    // The showcase receipts of one type, as the report data set holds them.
    void OpenDocuments(const QString& type)
    {
        data.Close();
        data.SetCommandText(QStringLiteral("SELECT TG001, TG002 FROM $$PURTG PURTG WHERE TG001='%1' AND TG002 LIKE '20231228%' "
                                           "ORDER BY TG001, TG002").arg(type));
        data.Open();
    }
    Variant Keys(const QString& type, const QString& number)
    {
        return Variant::ArrayOf({Variant(2), Variant(type), Variant(number)});
    }
    TClientDataSet data;
    TApprovalLines lines;
    QStringList sys{QStringLiteral("Sys060=Y"), QStringLiteral("Sys174=N")};
    QStringList warnings;
    const QString group = QStringLiteral("clientdataset1.TG001+clientdataset1.TG002");
};


}  // namespace

TEST_F(ApprovalLinesTest, ArrayAnswerGivesTitlesNamesAndTimesOfAFoundDocument)
{
    OpenDocuments(QStringLiteral("3402"));
    lines.DateType = 1;
    lines.Prepare(data, group, TSampleCompany::ProgramCode);
    EXPECT_TRUE(lines.Registered());
    EXPECT_TRUE(warnings.isEmpty());
    EXPECT_EQ(data.RecNo(), 1) << "back on the first row";
    EXPECT_TRUE(lines.Request().startsWith(QStringLiteral("<FormSet> ")));
    EXPECT_TRUE(lines.Request().contains(QStringLiteral(" wfSheetNo ='20231228006' ")));
    ASSERT_TRUE(lines.Answer().IsArray());

    Variant found = lines.Lines(Keys(QStringLiteral("3402"), QStringLiteral("20231228006")));
    EXPECT_EQ(found[0].ToInt(), 1);
    EXPECT_EQ(found[1].ToString(), QStringLiteral("职      称:") + PadLeft(QStringLiteral("采购员"), 14) +
                                       PadLeft(QStringLiteral("采购主管"), 14) + PadLeft(QStringLiteral("总经理"), 14));
    EXPECT_TRUE(found[2].ToString().startsWith(QStringLiteral("签核人姓名:")));
    EXPECT_TRUE(found[2].ToString().endsWith(QStringLiteral("赵志远")));
    // Signed 2023/12/28, 29 and 30, printed in the report's date style.
    EXPECT_EQ(found[3].ToString(), QStringLiteral("签核  时间:") + PadLeft(QStringLiteral("2023/12/28"), 14) +
                                       PadLeft(QStringLiteral("2023/12/29"), 14) + PadLeft(QStringLiteral("2023/12/30"), 14));

    // Registered but without history: found 0, the three prefixes alone.
    Variant missing = lines.Lines(Keys(QStringLiteral("3402"), QStringLiteral("20231228007")));
    EXPECT_EQ(missing[0].ToInt(), 0);
    EXPECT_EQ(missing[1].ToString(), QStringLiteral("职      称:"));
    // A key without a number is never looked up.
    Variant blank = lines.Lines(Keys(QStringLiteral("3402"), QString()));
    EXPECT_EQ(blank[0].ToInt(), 0);
    EXPECT_EQ(blank[1].ToString(), QString());
}

TEST_F(ApprovalLinesTest, IncompleteRecordsAreFoundPrintNothingAndAreLogged)
{
    OpenDocuments(QStringLiteral("3402"));
    lines.Prepare(data, group, TSampleCompany::ProgramCode);
    TLogWatch log(QStringLiteral("Quillan_ReturnValue"));
    Variant result = lines.Lines(Keys(QStringLiteral("3402"), QStringLiteral("20231228008")));
    EXPECT_EQ(result[0].ToInt(), 1);
    EXPECT_EQ(result[1].ToString(), QStringLiteral("职      称:"));
    EXPECT_EQ(result[2].ToString(), QStringLiteral("签核人姓名:"));
    EXPECT_EQ(result[3].ToString(), QStringLiteral("签核  时间:"));
    const QString added = log.Added();
    EXPECT_EQ(added.count(QStringLiteral("Key 1=3402")), 1) << "one key block per document";
    EXPECT_EQ(added.count(QStringLiteral("Key 2=20231228008")), 1);
    EXPECT_EQ(added.count(QStringLiteral("12:签核人职称=")), 3) << "one column dump per record";
    EXPECT_EQ(added.count(QStringLiteral("Warrning:签核时间为空")), 1) << "the unsigned step";
}

TEST_F(ApprovalLinesTest, WebServiceAnswerOfASingleEntryGivesHeadingAndFinalResult)
{
    sys = {QStringLiteral("Sys060=Y"), QStringLiteral("Sys174=Y")};
    OpenDocuments(QStringLiteral("3402"));
    lines.Prepare(data, group, TSampleCompany::ProgramCode);
    EXPECT_TRUE(lines.Registered()) << "registered in QNSMC";
    ASSERT_FALSE(lines.AnswerXml().isEmpty());
    Variant single = lines.Lines(Keys(QStringLiteral("3402"), QStringLiteral("20231228009")));
    EXPECT_EQ(single[0].ToInt(), 1);
    EXPECT_EQ(single[1].ToString(), QStringLiteral("关号  支号  签核人  职称  签核结果  签核日期  签核意见"));
    EXPECT_TRUE(single[2].ToString().contains(QStringLiteral("李小红")));
    EXPECT_TRUE(single[2].ToString().endsWith(QStringLiteral("签核最终结果:同意")));
    EXPECT_EQ(single[3].ToString(), QString());

    Variant full = lines.Lines(Keys(QStringLiteral("3402"), QStringLiteral("20231228006")));
    EXPECT_EQ(full[2].ToString().count(QLatin1Char('\n')), 3) << "three entries before the final result";

    // A document the answer lacks is an error of the selection: logged, found 0.
    TLogWatch log(QStringLiteral("QNWebservice"));
    Variant missing = lines.Lines(Keys(QStringLiteral("3402"), QStringLiteral("20231228007")));
    EXPECT_EQ(missing[0].ToInt(), 0);
    EXPECT_TRUE(log.Added().contains(QStringLiteral("GetQNSignin Error:")));
}

TEST_F(ApprovalLinesTest, OffUnregisteredOrOnePartKeyAsksForNothing)
{
    OpenDocuments(QStringLiteral("3402"));
    sys = {QStringLiteral("Sys060=N")};
    lines.Prepare(data, group, TSampleCompany::ProgramCode);
    EXPECT_FALSE(lines.Registered());
    EXPECT_TRUE(lines.Request().isEmpty());

    sys = {QStringLiteral("Sys060=Y"), QStringLiteral("Sys174=N")};
    lines.DocTypeCode = QStringLiteral("3401");
    lines.Prepare(data, group, TSampleCompany::ProgramCode);
    EXPECT_FALSE(lines.Registered());
    EXPECT_TRUE(lines.Request().isEmpty());

    lines.DocTypeCode = QStringLiteral("3402");
    lines.Prepare(data, QStringLiteral("clientdataset1.TG002"), TSampleCompany::ProgramCode);
    EXPECT_TRUE(lines.Registered());
    EXPECT_TRUE(lines.Request().isEmpty()) << "a one-part group key builds no request";
    EXPECT_FALSE(lines.Answer().IsArray());

    // A type code holding a quote is a literal, not part of the statement.
    EXPECT_EQ(TApprovalLines::RegistrationSQL(QStringLiteral("34' OR '1'='1"), false),
              QStringLiteral("SELECT * FROM $$ADMMQ WHERE MQ002='34'' OR ''1''=''1'"));
    lines.DocTypeCode = QStringLiteral("34' OR '1'='1");
    lines.Prepare(data, group, TSampleCompany::ProgramCode);
    EXPECT_FALSE(lines.Registered());
    EXPECT_TRUE(warnings.isEmpty());
}

TEST_F(ApprovalLinesTest, AQuoteInTheDocumentNumberReachesTheServerIntact)
{
    OpenDocuments(QStringLiteral("3401"));
    ASSERT_GE(data.RecordCount(), 2);
    const QString request = TApprovalLines::BuildRequest(data, {QStringLiteral("TG001"), QStringLiteral("TG002")});
    EXPECT_TRUE(request.contains(QStringLiteral("wfSheetNo ='20231228&apos;010'")));
    // The server reads it back: an unknown document gives an empty answer,
    // not a parse that takes "20231228" for the number.
    Variant answer = TAppServerObject(connection.AppServer()).GetQNData(request);
    ASSERT_TRUE(answer.IsArray());
    EXPECT_EQ(answer[0].ToInt(), 0);
}

TEST_F(ApprovalLinesTest, AFailingServerWarnsOnceAndPrintingGoesOn)
{
    OpenDocuments(QStringLiteral("3402"));
    lines.AppServer = TAppServerObject(Variant());  // no server object
    lines.Prepare(data, group, TSampleCompany::ProgramCode);
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("GetQNData")));
    EXPECT_EQ(lines.Lines(Keys(QStringLiteral("3402"), QStringLiteral("20231228006")))[0].ToInt(), 0);
}
