// Report controls: what each prints, OnPrint rewriting the value, disabled and
// hidden controls, code lists, text types and barcodes.
#include "ReceiptFixture.h"

#include "format/engine/QVQRControls.h"

#include <QMetaProperty>
#include <gtest/gtest.h>

using namespace kelm24;
using namespace kelm24::test;

namespace {

// A one-band report over one row, printing the controls placed on `band`.
struct OneBand {
    OneBand()
    {
        data = new TClientDataSet(&form, "ClientDataSet1");
        TDataPacket p;
        p.Fields = {{"TG013", TFieldType::String, 1}, {"TG010", TFieldType::String, 1}, {"TG017", TFieldType::Float, 0},
                    {"TG002", TFieldType::String, 11}, {"TH019", TFieldType::String, 20}};
        p.Rows = {{"Y", "", 12345.678, "20240001", "1,234.5"}};
        data->SetData(p);
        report = new TQuickRep(&form);
        report->SetDataSet(data);
        report->SetReportTitle("采购进货单");
        band = new TQRBand(report, rbDetail);
        band->setGeometry(0, 0, 700, 40);
    }
    template <class T>
    T* Add(const QString& field = QString())
    {
        auto* c = new T(band);
        if constexpr (std::is_base_of_v<TQRDBText, T>) {
            c->SetDataSet(data);
            c->SetDataField(field);
        }
        return c;
    }
    QWidget form;
    TClientDataSet* data;
    TQuickRep* report;
    TQRBand* band;
};

}  // namespace

TEST(Controls, TextsMasksCodeListsAndOnPrint)
{
    OneBand r;
    auto* status = r.Add<TQRDBIDText>("TG013");
    status->SetItems({"Y=已审核", "N=未审核", "V=作废"});
    auto* taxKind = r.Add<TQRDBIDText>("TG010");
    taxKind->SetItems({"", "1=应税内含", "2=应税外加"});
    auto* amount = r.Add<TQRDBText>("TG017");
    amount->SetMask("#,##0.00");
    auto* plain = r.Add<TQRDBText>("TG017");
    auto* textNumber = r.Add<TQRDBText>("TH019");
    auto* number = r.Add<TQRDBText>("TG002");
    number->OnPrint = [](QObject* sender, QString& value) {
        EXPECT_TRUE(qobject_cast<TQRDBText*>(sender) != nullptr);
        value = "No. " + value;
    };
    auto* label = r.Add<TQRLabel>();
    label->SetCaption("单据名称");
    auto* expr = r.Add<TQRExpr>();
    expr->SetExpression("REPORTTITLE + ' ' + PAGENUMBER");
    auto* title = r.Add<TQRSysData>();
    title->SetData(TQRSysData::qrsReportTitle);
    title->SetText("标题:");
    ASSERT_TRUE(r.report->Prepare());
    EXPECT_EQ(status->PrintedText(), "已审核");
    EXPECT_EQ(taxKind->PrintedText(), "");
    EXPECT_EQ(amount->PrintedText(), "12,345.68");
    EXPECT_EQ(plain->PrintedText(), "12345.678");
    EXPECT_EQ(textNumber->PrintedText(), "1,234.5");  // not a number as text: unchanged
    EXPECT_EQ(number->PrintedText(), "No. 20240001");
    EXPECT_EQ(label->PrintedText(), "单据名称");
    EXPECT_EQ(expr->PrintedText(), "采购进货单 1");
    EXPECT_EQ(title->PrintedText(), "标题:采购进货单");
    EXPECT_EQ(TQRDBIDText::Meaning({"Y=已审核"}, "X"), "X");
}

TEST(Controls, DisabledAndHiddenControlsDoNotPrintNorRunOnPrint)
{
    OneBand r;
    int calls = 0;
    auto* disabled = r.Add<TQRLabel>();
    disabled->SetCaption("disabled");
    disabled->OnPrint = [&](QObject*, QString&) { ++calls; };
    disabled->SetEnabled(false);
    auto* hidden = r.Add<TQRLabel>();
    hidden->OnPrint = [&](QObject*, QString&) { ++calls; };
    hidden->hide();
    auto* shown = r.Add<TQRLabel>();
    shown->OnPrint = [&](QObject*, QString&) { calls += 10; };
    auto* offBand = r.Add<TQRLabel>();
    offBand->OnPrint = [&](QObject*, QString&) { ++calls; };
    offBand->move(10, 60);  // below the band's height: parked
    ASSERT_TRUE(r.report->Prepare());
    EXPECT_EQ(calls, 10);
    EXPECT_TRUE(shown->Printable());
    EXPECT_FALSE(hidden->Printable());
}

TEST(Controls, PublishedPropertiesCarryTheSystemNames)
{
    OneBand r;
    auto* text = r.Add<TQVQRDBText>("TG002");
    for (const char* name : {"Caption", "Hint", "Enabled", "Mask", "DataField", "DataSet", "TextType", "DictText"})
        EXPECT_GE(text->metaObject()->indexOfProperty(name), 0) << name;
    EXPECT_TRUE(text->setProperty("Caption", "x"));
    EXPECT_TRUE(text->setProperty("Enabled", false));
    EXPECT_FALSE(text->Enabled());
    EXPECT_TRUE(text->setProperty("Hint", "单号"));
    EXPECT_EQ(text->Hint(), "单号");
    auto* group = new TQRGroup(r.report);
    EXPECT_TRUE(group->setProperty("Expression", "clientdataset1.TG001"));
    EXPECT_EQ(group->Expression(), "clientdataset1.TG001");
    EXPECT_TRUE(r.band->setProperty("Height", 55));
    EXPECT_EQ(r.band->Height(), 55);
    EXPECT_TRUE(r.report->setProperty("ReportTitle", "t"));
    EXPECT_TRUE(r.report->setProperty("PageStyle", psHalfPage));
    EXPECT_EQ(r.report->PageStyle(), psHalfPage);
}

TEST(Controls, TextTypeChangesNotifyOnceSoTheFormCanRebind)
{
    OneBand r;
    auto* text = r.Add<TQVQRDBText>("TG017");
    std::vector<int> seen;
    text->OnTextTypeChange = [&](TQVQRDBText* sender) {
        seen.push_back(sender->TextType());
        if (sender->TextType() == 2)
            sender->OnPrint = [](QObject*, QString& v) { v = QString::number(v.toDouble() * 100) + "%"; };
        else
            sender->OnPrint = nullptr;
    };
    text->SetTextType(2);
    text->SetTextType(2);
    ASSERT_TRUE(r.report->Prepare());
    EXPECT_EQ(text->PrintedText(), "1.23457e+06%");
    text->setProperty("TextType", 0);
    EXPECT_EQ(seen, (std::vector<int>{2, 0}));
}

TEST(Controls, BarcodesReplaceInvalidCharactersThroughTheEvent)
{
    TQvQRBarcode code;
    std::vector<QString> asked;
    code.OnInvalidChar = [&](QObject* sender, QString& replacement) {
        // As the format form answers: by the symbology number of the sender.
        const int type = static_cast<TQvQRBarcode*>(sender)->BarType();
        replacement = type == bcCode128C || type == bcCodeEAN128C ? "00" : type == bcCodeCodabar ? "0" : " ";
        asked.push_back(replacement);
    };
    code.SetBarType(bcCode128C);
    EXPECT_EQ(code.EncodedText("12A34"), "120034");
    EXPECT_EQ(code.EncodedText("123"), "0123");  // set C takes digit pairs
    code.SetBarType(bcCodeEAN128C);
    EXPECT_EQ(code.EncodedText("9X"), "0900");  // padded to digit pairs
    code.SetBarType(bcCodeCodabar);
    EXPECT_EQ(code.EncodedText("12#3"), "A1203B");
    EXPECT_EQ(code.EncodedText("A123D"), "A123D");
    code.SetBarType(bcCode39);
    EXPECT_EQ(code.EncodedText("ab_1"), "AB 1");
    code.SetBarType(bcCode128B);
    EXPECT_EQ(code.EncodedText("品A"), " A");
    code.OnInvalidChar = nullptr;
    EXPECT_EQ(code.EncodedText("品A"), "A");
    EXPECT_EQ(asked.size(), 5u);  // once per invalid character
}

TEST(Controls, BarcodesDrawBarsFromTheDataField)
{
    OneBand r;
    auto* code = r.Add<TQvQRDBBarcode>();
    code->SetDataSet(r.data);
    code->SetDataField("TG002");
    code->SetBarType(bcCode128C);
    code->setGeometry(10, 2, 200, 36);
    ASSERT_TRUE(r.report->Prepare());
    EXPECT_EQ(code->LastError(), "");
    const QImage page = r.report->QRPrinter()->PageImage(1, 96);
    // Alternating bars across the barcode's row.
    const int y = qRound(37.8 + 10);
    int changes = 0;
    bool dark = false;
    for (int x = 0; x < 300; ++x) {
        const bool d = qGray(page.pixel(qRound(37.8) + x, y)) < 128;
        if (d != dark) ++changes;
        dark = d;
    }
    EXPECT_GT(changes, 20);
    // A text the symbology cannot take draws nothing and says why.
    code->SetBarType(bcCodePostNet);
    code->SetDataField("TH019");  // "1,234.5" -> "12345" is fine; make it too long
    r.data->SetData([] {
        TDataPacket p;
        p.Fields = {{"TH019", TFieldType::String, 40}};
        p.Rows = {{QString("1234567890").repeated(4)}};
        return p;
    }());
    ASSERT_TRUE(r.report->Prepare());
    EXPECT_FALSE(code->LastError().isEmpty());
}

// With AutoWidth a module is Modul design pixels wide: the bars of a Code 128
// symbol of "20240001" (set C: 79 modules, the last bar ending on the last)
// span 79 pixels a module at 96 dpi.
TEST(Controls, AutoWidthBarcodesAreModulPixelsAModule)
{
    OneBand r;
    auto* code = r.Add<TQvQRDBBarcode>();
    code->SetDataSet(r.data);
    code->SetDataField("TG002");
    code->SetBarType(bcCode128C);
    code->SetTextShow(0);
    code->SetAutoWidth(true);
    code->setGeometry(10, 2, 400, 36);
    for (int modul : {1, 2}) {
        code->SetModul(modul);
        ASSERT_TRUE(r.report->Prepare());
        const QImage page = r.report->QRPrinter()->PageImage(1, 96);
        const int y = qRound(37.8 + 20);
        int first = -1, last = -1;
        for (int x = 0; x < 500; ++x)
            if (qGray(page.pixel(qRound(37.8) + x, y)) < 128) {
                if (first < 0) first = x;
                last = x;
            }
        ASSERT_GE(first, 0);
        EXPECT_NEAR(last - first + 1, 79 * modul, 1) << "modul " << modul;
    }
}

TEST(Controls, EmptyBarcodesAndUnbreakableMemoWordsPrintWithoutHarm)
{
    // An empty code in any symbology draws nothing and the page still prints.
    for (int type = bcCode_2_5_interleaved; type <= bcCodeEAN128C; ++type) {
        OneBand r;
        auto* code = r.Add<TQvQRDBBarcode>();
        code->SetDataSet(r.data);
        code->SetDataField("TG010");  // holds ""
        code->SetBarType(type);
        code->setGeometry(10, 2, 200, 36);
        ASSERT_TRUE(r.report->Prepare()) << type;
        EXPECT_EQ(r.report->QRPrinter()->PageCount(), 1) << type;
        EXPECT_FALSE(r.report->QRPrinter()->PageImage(1, 96).isNull()) << type;
    }
    // One word far wider than its memo is broken inside the memo's width and
    // the band stretches for it instead of losing the text or looping.
    OneBand r;
    auto* memo = new TQRMemo(r.band);
    memo->setGeometry(10, 2, 60, 16);
    memo->SetWordWrap(true);
    memo->SetAutoStretch(true);
    memo->SetLines({QString("W").repeated(2000)});
    ASSERT_TRUE(r.report->Prepare());
    const QImage page = r.report->QRPrinter()->PageImage(1, 96);
    // Ink well below the memo's designed height, and none right of its width.
    auto inkIn = [&](int x0, int x1, int y0, int y1) {
        int ink = 0;
        for (int y = y0; y < y1 && y < page.height(); ++y)
            for (int x = x0; x < x1 && x < page.width(); ++x) ink += qGray(page.pixel(x, y)) < 128;
        return ink;
    };
    const int left = qRound(37.8), top = qRound(37.8);  // 10 mm margins
    EXPECT_GT(inkIn(left + 10, left + 70, top + 60, top + 200), 0);
    EXPECT_EQ(inkIn(left + 80, left + 400, top, top + 200), 0);
}
