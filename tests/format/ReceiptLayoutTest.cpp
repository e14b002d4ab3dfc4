// The receipt layouts on the sample company's receipts, read through the
// application server over TCP with the statement the receipt form sends.
#include "appserver/AppServer.h"
#include "demo/SampleCompany.h"
#include "format/Kelm24FmtF.h"
#include "format/Kelm24Fmt_1F.h"
#include "format/engine/ClientDataSet.h"
#include "format/engine/QRBands.h"
#include "format/engine/QRControls.h"
#include "format/engine/QRPrinter.h"
#include "format/engine/QuickRep.h"
#include "kelm24/DataPacket.h"
#include "kelm24/HostObjects.h"
#include "runtime/SqlCondition.h"
#include "host/Counter.h"
#include "host/HostData.h"
#include "i18n/CodeConverter.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/socketconn/SocketConnection.h"
#include "tests/appserver/ReceiptQuery.h"
#include "tests/appserver/TestSupport.h"
#include "tests/format/PageDifference.h"
#include "tests/format/ReceiptServerFixture.h"

#include <QDir>
#include <QImage>
#include <QMap>
#include <gtest/gtest.h>

using namespace kelm24;

namespace {

QString RefDir() { return qEnvironmentVariable("KELM24_SOURCE_DIR") + QStringLiteral("/tests/format/ref/"); }
QString OutDir()
{
    const QString dir = qEnvironmentVariable("KELM24_BIN_DIR", QDir::tempPath()) + QStringLiteral("/receipt-pages");
    QDir().mkpath(dir);
    return dir;
}

// What one page showed at its end.
struct TPageShown {
    QString pageNo, totalPage, goods, words, note1, signIn1, nextPage, noData;
    bool noteOn = false, signInOn = false, nextOn = false, noDataOn = false;
};

// The host's counter, counting the functions the layout asks for.
class TCountingCounter : public TAutomationObject {
public:
    explicit TCountingCounter(Variant counter) : TAutomationObject(QStringLiteral("TCountingCounter")), counter_(std::move(counter))
    {
        AddMethod(member::GetCounter, [this](VariantArgs& a) {
            const QString function = Arg(a, 0, member::GetCounter).ToString();
            calls << function;
            std::vector<Variant> args{a[0], a[1], a[2]};
            Variant answer = counter_.Call(member::GetCounter, args);
            return answer;
        });
    }
    QStringList calls;

private:
    Variant counter_;
};

class ReceiptLayoutTest : public test::ReceiptServerFixture {
protected:
    void SetUp() override
    {
        ConnectLeader();
        hostData = std::make_shared<THostData>(connection.AppServer());
        hostData->User = TSampleCompany::LeaderUser;
        hostData->Company = TSampleCompany::CompanyCode;
        hostData->Database = QStringLiteral("DEMO");
        hostData->ServerIniFile = install->IniFile();
        counter = std::make_shared<TCountingCounter>(Variant(std::make_shared<TCounter>(hostData)));
    }
    // Rows of a query through the report's provider.
    TDataPacket Rows(const QString& sql)
    {
        return TDataPacket::FromVariant(
            connection.AppServer().Call(member::AS_GetRecords, {QStringLiteral("Provider2"), sql, Variant()}));
    }
    int PrintCount(const QString& number)
    {
        TDataPacket p = Rows(QStringLiteral("SELECT TG012 FROM $$PURTG PURTG WHERE TG002=%1").arg(SqlQuoted(number)));
        return p.Rows.empty() ? -1 : p.Rows.front()[0].ToInt();
    }
    // What a label printed on each detail row, by line sequence.
    void Record(const char* name, QMap<QString, QString>& into)
    {
        auto* label = form->findChild<TQRCustomLabel*>(QString::fromLatin1(name));
        ASSERT_NE(label, nullptr);
        auto original = label->OnPrint;
        TClientDataSet* data = form->ClientDataSet1;
        label->OnPrint = [original, data, &into](QObject* sender, QString& value) {
            if (original) original(sender, value);
            into.insert(data->FieldByName(QStringLiteral("TH003")).AsString(), value);
        };
    }
    void TearDown() override { delete form; }

    template <class T> T* Open(const QString& sql, int printMode = 0)
    {
        auto* f = TQVForm::Create<T>(nullptr);
        form = f;
        // The interface's code page as the installation would set it.
        f->SetConverter(new TCodeConverter(f, QStringLiteral("936"), uiCodePage, QStringLiteral("936"), QString()));
        f->QuickRep1->SetPictureFile(uiCodePage == QLatin1String("437") ? QStringLiteral(":/backgrounds/ENG_KELM24F.svg")
                                                                        : QStringLiteral(":/backgrounds/CHS_KELM24F.svg"));
        f->LocalAppServer = connection.AppServer();
        f->CompanyCode = TSampleCompany::CompanyCode;
        f->DatabaseName = QStringLiteral("DEMO");
        f->DateType = 1;
        f->DateSeparator = QStringLiteral("/");
        f->SysInfo = &sys;
        f->CompanyInfo = &company;
        f->Counter = Variant(std::static_pointer_cast<IAutomationObject>(counter));
        f->PrintMode = printMode;
        f->InitDataSets();
        EXPECT_EQ(f->OpenReportData(sql), 1);
        f->SetFrameText(0, QStringLiteral("进货单"));
        f->SetFrameText(1, QStringLiteral("20231228"));
        f->SetEveryPageFlags(signInEvery, noteEvery, totalEvery);
        f->SetNoteLines({QStringLiteral("1. 本单一式三联: 白联仓库, 红联财务, 黄联采购。"), QStringLiteral("2. 收货后请于三日内完成检验。"),
                         QString()});
        f->SetSignInLines({QStringLiteral("核准:"), QStringLiteral("审核:"), QStringLiteral("经办:")});
        f->QuickRep1->OnEndPage = [this, f](TQuickRep*) {
            auto text = [f](const char* name) {
                auto* l = f->template findChild<TQRCustomLabel*>(QString::fromLatin1(name));
                return l ? l->PrintedText() : QString();
            };
            TPageShown p;
            p.pageNo = f->lblPageNo->PrintedText();
            p.totalPage = f->lblTotalPage->PrintedText();
            p.goods = text("txtTG017");
            p.words = text("txtTG019TA");
            p.noteOn = f->lblNote1->Enabled();
            p.note1 = f->lblNote1->PrintedText();
            p.signInOn = f->lblSignIn1->Enabled();
            p.signIn1 = f->lblSignIn1->PrintedText();
            p.nextOn = f->lblNextPage->Enabled();
            p.noDataOn = f->lblNoData->Enabled();
            pages.push_back(p);
        };
        return f;
    }
    // The detail statement of receipts of one type and a number range.
    static QString Receipts(const QString& type, const QString& from, const QString& to)
    {
        return test::ReceiptDetailStatement(type, from, to, false, false);
    }
    QImage Page(int n, const QString& name)
    {
        const QImage image = form->ReportPrinter()->PageImage(n, 96).convertToFormat(QImage::Format_RGB32);
        image.save(OutDir() + QLatin1Char('/') + name);
        return image;
    }
    void ExpectLooksLikeReference(const QImage& page, const QString& name)
    {
        const QImage reference = QImage(RefDir() + name).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(reference.isNull()) << "missing reference " << name.toStdString() << "; the page is in "
                                         << OutDir().toStdString();
        auto [far, mean] = test::PageDifference(page, reference);
        EXPECT_LT(far, 0.01) << "see " << OutDir().toStdString() << '/' << name.toStdString();
        EXPECT_LT(mean, 6.0);
    }

    std::shared_ptr<THostData> hostData;
    std::shared_ptr<TCountingCounter> counter;
    QStringList sys{QStringLiteral("Sys024=1"), QStringLiteral("Sys060=Y"), QStringLiteral("Sys174=N")};
    QStringList company{TSampleCompany::CompanyCode, QStringLiteral("苏州恒润贸易有限公司")};
    bool signInEvery = false, noteEvery = false, totalEvery = false;
    QString uiCodePage = QStringLiteral("936");
    TfrmKelm24Fmt* form = nullptr;
    std::vector<TPageShown> pages;
};


}  // namespace

TEST_F(ReceiptLayoutTest, TwoPageReceiptMasksTotalsUntilItsLastPage)
{
    auto* f = Open<TfrmKelm24Fmt>(Receipts(QStringLiteral("3401"), QStringLiteral("20231228002"), QStringLiteral("20231228002")));
    ASSERT_TRUE(f->PrepareReport());
    EXPECT_EQ(f->RowsPerPage(), 11);
    ASSERT_EQ(f->ReportPrinter()->PageCount(), 2) << "16 lines at 11 a page";
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].pageNo, QStringLiteral("1"));
    EXPECT_EQ(pages[0].totalPage, QStringLiteral("2"));
    EXPECT_EQ(pages[1].pageNo, QStringLiteral("2"));
    EXPECT_EQ(pages[0].goods, QStringLiteral("************.**"));
    EXPECT_NE(pages[1].goods, QStringLiteral("************.**"));
    EXPECT_FALSE(pages[1].goods.isEmpty());
    EXPECT_EQ(pages[0].words, QStringLiteral("************.**"));
    EXPECT_TRUE(pages[1].words.endsWith(QStringLiteral("整")) || pages[1].words.contains(QStringLiteral("分")) ||
                pages[1].words.contains(QStringLiteral("角")))
        << pages[1].words.toStdString();
    // Notes and sign-off lines on the last page only; the continued mark on the others.
    EXPECT_FALSE(pages[0].noteOn);
    EXPECT_FALSE(pages[0].signInOn);
    EXPECT_TRUE(pages[0].nextOn);
    EXPECT_TRUE(pages[1].noteOn);
    EXPECT_EQ(pages[1].note1, QStringLiteral("1. 本单一式三联: 白联仓库, 红联财务, 黄联采购。"));
    EXPECT_TRUE(pages[1].signInOn);
    EXPECT_FALSE(pages[1].nextOn);
    ExpectLooksLikeReference(Page(1, QStringLiteral("receipt-detail-page1.png")), QStringLiteral("receipt-detail-page1.png"));
    ExpectLooksLikeReference(Page(2, QStringLiteral("receipt-detail-page2.png")), QStringLiteral("receipt-detail-page2.png"));
}

TEST_F(ReceiptLayoutTest, ExactlyOnePageOfRowsIsOnePageAndOneMoreIsTwo)
{
    // The first 11 and the first 12 lines of the 16-line receipt.
    const QString number = QStringLiteral("20231228002");
    auto* f = Open<TfrmKelm24Fmt>(test::ReceiptDetailStatement(QStringLiteral("3401"), number, number, false, false,
                                                                QStringLiteral("TH003<='0011'")));
    ASSERT_TRUE(f->PrepareReport());
    ASSERT_EQ(f->RowsPerPage(), 11);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].pageNo, QStringLiteral("1"));
    EXPECT_EQ(pages[0].totalPage, QStringLiteral("1"));
    EXPECT_FALSE(pages[0].nextOn);
    EXPECT_TRUE(pages[0].noteOn);
    EXPECT_FALSE(pages[0].noDataOn) << "no room for the blank-below mark on a full page";
    delete form;
    form = nullptr;
    pages.clear();

    f = Open<TfrmKelm24Fmt>(test::ReceiptDetailStatement(QStringLiteral("3401"), number, number, false, false,
                                                         QStringLiteral("TH003<='0012'")));
    ASSERT_TRUE(f->PrepareReport());
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].pageNo + QLatin1Char('/') + pages[0].totalPage, QStringLiteral("1/2"));
    EXPECT_EQ(pages[1].pageNo + QLatin1Char('/') + pages[1].totalPage, QStringLiteral("2/2"));
    EXPECT_TRUE(pages[1].noDataOn);
}

TEST_F(ReceiptLayoutTest, TotalsOnEveryPageAndSwitchedOffLabels)
{
    totalEvery = true;
    noteEvery = true;
    auto* f = Open<TfrmKelm24Fmt>(Receipts(QStringLiteral("3401"), QStringLiteral("20231228002"), QStringLiteral("20231228002")));
    // A label the user switched off in the designer stays off.
    f->lblSignIn2->SetEnabled(false);
    ASSERT_TRUE(f->PrepareReport());
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_NE(pages[0].goods, QStringLiteral("************.**"));
    EXPECT_EQ(pages[0].goods, pages[1].goods);
    EXPECT_TRUE(pages[0].noteOn) << "notes on every page";
    EXPECT_FALSE(pages[0].signInOn) << "sign-off lines still only on the last page";
    EXPECT_FALSE(f->lblSignIn2->Enabled());
    EXPECT_TRUE(f->lblSignIn1->Enabled());
}

TEST_F(ReceiptLayoutTest, QuantitiesRatesAndUnitConversion)
{
    QMap<QString, QString> delivered, rate;
    auto* f = Open<TfrmKelm24Fmt>(Receipts(QStringLiteral("3401"), QStringLiteral("20231228001"), QStringLiteral("20231228001")));
    Record("lblQty1", delivered);
    Record("lblQty3", rate);
    ASSERT_TRUE(f->PrepareReport());
    ASSERT_EQ(rate.size(), 6);
    // 110 received on an order of 100 in the same unit.
    EXPECT_EQ(delivered.value(QStringLiteral("0001")), QStringLiteral("110"));
    EXPECT_EQ(rate.value(QStringLiteral("0001")), QStringLiteral("10"));
    // The last line refers to no order.
    EXPECT_EQ(delivered.value(QStringLiteral("0006")), QStringLiteral("0"));
    EXPECT_EQ(rate.value(QStringLiteral("0006")), QStringLiteral("0"));

    // Conversions are asked for only for lines whose order unit differs.
    TDataPacket differing = Rows(QStringLiteral(
        "SELECT COUNT(*) AS N FROM $$PURTH PURTH JOIN $$PURTD PURTD ON TD001=TH011 AND TD002=TH012 AND TD003=TH013 "
        "WHERE TH002='20231228001' AND TD009<>TH008"));
    const int expected = differing.Rows.front()[0].ToInt();
    // lblQty1 and lblQty3 each convert once per such line.
    EXPECT_EQ(counter->calls.count(QStringLiteral("UNITCONVERT")), 2 * expected);

    // With the setting "2" nothing is converted.
    delete form;
    form = nullptr;
    counter->calls.clear();
    sys = {QStringLiteral("Sys024=2")};
    f = Open<TfrmKelm24Fmt>(Receipts(QStringLiteral("3401"), QStringLiteral("20231228001"), QStringLiteral("20231228001")));
    ASSERT_TRUE(f->PrepareReport());
    EXPECT_EQ(counter->calls.count(QStringLiteral("UNITCONVERT")), 0);
}

TEST_F(ReceiptLayoutTest, WithoutACounterAConversionEndsTheRunSayingWhatIsMissing)
{
    // A line received in another unit than ordered.
    TDataPacket p = Rows(QStringLiteral(
        "SELECT TH002 FROM $$PURTH PURTH JOIN $$PURTD PURTD ON TD001=TH011 AND TD002=TH012 AND TD003=TH013 "
        "WHERE TH001='3401' AND TD009<>TH008 ORDER BY TH002"));
    ASSERT_FALSE(p.Rows.empty());
    const QString number = p.Rows.front()[0].ToString();
    auto* f = Open<TfrmKelm24Fmt>(Receipts(QStringLiteral("3401"), number, number));
    f->Counter = Variant();
    try {
        f->PrepareReport();
        FAIL() << "the over-receipt rate needs the counter";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("Counter"))) << e.Message().toStdString();
    }
}

TEST_F(ReceiptLayoutTest, AHeadWithoutLinesPrintsOnePageWithItsFoot)
{
    auto* f = Open<TfrmKelm24Fmt>(Receipts(QStringLiteral("3401"), QStringLiteral("20231228005"), QStringLiteral("20231228005")));
    QMap<QString, QString> seq;
    Record("lblSeq", seq);
    ASSERT_TRUE(f->PrepareReport());
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(seq.isEmpty()) << "no detail line";
    EXPECT_EQ(pages[0].totalPage, QStringLiteral("1"));
    EXPECT_FALSE(pages[0].nextOn) << "nothing follows";
    EXPECT_TRUE(pages[0].noteOn);
    EXPECT_TRUE(pages[0].signInOn);
    EXPECT_TRUE(pages[0].noDataOn);
}

TEST_F(ReceiptLayoutTest, PrintingCountsOnePrintPerDocumentAndPreviewNone)
{
    const QString from = QStringLiteral("20231228'010"), first = QStringLiteral("20231228001");
    const int before = PrintCount(first), quoted = PrintCount(from);
    auto* f = Open<TfrmKelm24Fmt>(Receipts(QStringLiteral("3401"), first, first));
    ASSERT_TRUE(f->PrepareReport());
    EXPECT_EQ(PrintCount(first), before) << "a preview counts nothing";
    delete form;
    form = nullptr;

    // Receipts 001 to 003 of type 3401 and the one with a quote in its number.
    f = Open<TfrmKelm24Fmt>(Receipts(QStringLiteral("3401"), first, QStringLiteral("20231228003")), 1);
    ASSERT_TRUE(f->PrepareReport());
    EXPECT_EQ(PrintCount(first), before + 1) << "one more print, not one per page";
    delete form;
    form = nullptr;
    pages.clear();
    f = Open<TfrmKelm24Fmt>(test::ReceiptDetailStatement(QStringLiteral("3401"), QStringLiteral("20231228''010"),
                                                         QStringLiteral("20231228''010"), false, false), 1);
    ASSERT_TRUE(f->PrepareReport());
    EXPECT_EQ(pages.size(), 1u);
    EXPECT_EQ(PrintCount(from), quoted + 1) << "the quote is part of the number, not of the statement";
    EXPECT_EQ(PrintCount(first), before + 1);
}

TEST_F(ReceiptLayoutTest, CapitalAmountsInEnglishWordsUnderTheEnglishInterface)
{
    uiCodePage = QStringLiteral("437");
    auto* f = Open<TfrmKelm24Fmt>(Receipts(QStringLiteral("2801"), QStringLiteral("20231228004"), QStringLiteral("20231228004")));
    ASSERT_TRUE(f->PrepareReport());
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(pages[0].words.endsWith(QStringLiteral(" US DOLLARS ONLY")) || pages[0].words.contains(QStringLiteral(" US DOLLARS AND ")))
        << pages[0].words.toStdString();
    Page(1, QStringLiteral("receipt-english.png"));
}

TEST_F(ReceiptLayoutTest, ApprovalHistoryReplacesTheTypedSignOffLines)
{
    auto* f = Open<TfrmKelm24Fmt>(Receipts(QStringLiteral("3402"), QStringLiteral("20231228006"), QStringLiteral("20231228007")));
    f->SetApprovalDocType(QStringLiteral("3402"));
    f->SetApprovalLookup(true, TSampleCompany::ProgramCode, TSampleCompany::CompanyCode);
    ASSERT_TRUE(f->PrepareReport());
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_TRUE(pages[0].signIn1.startsWith(QStringLiteral("职      称:")));
    EXPECT_TRUE(pages[0].signIn1.contains(QStringLiteral("总经理")));
    // Registered but without history: the typed lines are cleared.
    EXPECT_EQ(pages[1].signIn1, QString());
}

TEST_F(ReceiptLayoutTest, MergedLayoutSumsDeliveredOverItsOrderLines)
{
    test::TSummaryKeys keys;
    auto* f = Open<TfrmKelm24Fmt_1>(test::ReceiptSummaryStatement(QStringLiteral("3401"), QStringLiteral("20231228001"),
                                                                  QStringLiteral("20231228001"), keys));
    QMap<QString, QString> delivered;
    ASSERT_TRUE(f->PrepareReport());
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(static_cast<TfrmKelm24Fmt_1*>(f)->Lookup().Connected());
    EXPECT_TRUE(counter->calls.contains(QStringLiteral("RESULTCONNECTSTRING")));
    ExpectLooksLikeReference(Page(1, QStringLiteral("receipt-merged-page1.png")), QStringLiteral("receipt-merged-page1.png"));
}

TEST_F(ReceiptLayoutTest, FrameTextsAndLinesAsTheOptionFormHandsThemOver)
{
    auto* f = Open<TfrmKelm24Fmt>(Receipts(QStringLiteral("3401"), QStringLiteral("20231228001"), QStringLiteral("20231228001")));
    f->SetFrameText(2, QStringLiteral("以下空白"));
    f->SetFrameText(3, QStringLiteral("续下页"));
    f->SetFrameText(7, QStringLiteral("nothing"));
    EXPECT_EQ(f->lblVoucherName->Caption(), QStringLiteral("进货单"));
    EXPECT_EQ(f->lblNoData->Caption(), QStringLiteral("以下空白"));
    EXPECT_EQ(f->lblNextPage->Caption(), QStringLiteral("续下页"));
    // Fewer lines than labels: the others are cleared.
    f->SetSignInLines({QStringLiteral("核准: 赵志远")});
    EXPECT_EQ(f->lblSignIn1->Caption(), QStringLiteral("核准: 赵志远"));
    EXPECT_EQ(f->lblSignIn2->Caption(), QString());
    EXPECT_EQ(f->lblSignIn3->Caption(), QString());
    // The creation date prints in the report's date style; a text that is no date prints nothing.
    QString value = QStringLiteral("20231228");
    f->DateType = 3;
    f->lblCreateDate1Print(f->lblCreateDate1, value);
    EXPECT_EQ(value, QStringLiteral("28/12/2023"));
    value = QStringLiteral("20231328");
    f->lblCreateDate1Print(f->lblCreateDate1, value);
    EXPECT_EQ(value, QString());
    EXPECT_EQ(f->lblCompany->Caption(), QStringLiteral("苏州恒润贸易有限公司"));
}

TEST_F(ReceiptLayoutTest, MergedLayoutWithoutItsConnectionEndsTheRunWithTheCounterMessage)
{
    QStringList shown;
    TDialogService::SetMessageHandler([&shown](const TMessageRequest& request) {
        shown << request.Text;
        return ButtonResult(mbOK);
    });
    test::TSummaryKeys keys;
    auto* f = Open<TfrmKelm24Fmt_1>(test::ReceiptSummaryStatement(QStringLiteral("3401"), QStringLiteral("20231228001"),
                                                                  QStringLiteral("20231228001"), keys));
    f->Counter = Variant();
    EXPECT_THROW(f->PrepareReport(), Exception);
    TDialogService::Reset();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("请用最新的counter再来运行该程序")));
    EXPECT_FALSE(static_cast<TfrmKelm24Fmt_1*>(f)->Lookup().Connected());
}

TEST_F(ReceiptLayoutTest, FieldHandlersOfTheReceipt)
{
    auto* f = Open<TfrmKelm24Fmt>(Receipts(QStringLiteral("2801"), QStringLiteral("20231228004"), QStringLiteral("20231228004")));
    f->ClientDataSet1->First();
    QString v = QStringLiteral("202406");
    f->txtTG029Print(nullptr, v);
    EXPECT_EQ(v, QStringLiteral("2024/06"));
    v = QStringLiteral("0.13");
    f->txtTG030Print(nullptr, v);
    EXPECT_EQ(v, QStringLiteral("13%"));
    v = QStringLiteral("0.05");
    f->txtINVMB045Print(nullptr, v);
    EXPECT_EQ(v, QStringLiteral("5.00%"));
    // The line total with the currency's decimals (US dollars: 2), grouped.
    auto* total = f->findChild<TQRDBText*>(QStringLiteral("txtTH019T"));
    ASSERT_NE(total, nullptr);
    v = QStringLiteral("1234.5678");
    f->txtTH019TPrint(total, v);
    EXPECT_EQ(v, QStringLiteral("1,234.57"));
    total->SetMask(QStringLiteral("0.000"));
    v = QStringLiteral("1,234.5678");
    f->txtTH019TPrint(total, v);
    EXPECT_EQ(v, QStringLiteral("1234.570")) << "a display mask of its own, after rounding to the currency";
    // Sample company parameter MA069 "Y": sample quantities.
    v.clear();
    f->txtTH068CPrint(nullptr, v);
    EXPECT_EQ(v, QStringLiteral("取样数量"));
    v.clear();
    f->txtTH069CPrint(nullptr, v);
    EXPECT_EQ(v, QStringLiteral("取样包装数量"));
}
