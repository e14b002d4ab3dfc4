// Page generation: groups per document, the page-attached footer, refused
// rows, half-page sheets, empty reports, stretching and page events.
#include "ReceiptFixture.h"

#include "format/engine/QRPrinter.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace kelm24;
using namespace kelm24::test;

namespace {

QStringList Lines(const std::vector<PrintedRow>& rows)
{
    QStringList out;
    for (const auto& r : rows) out << r.document.right(1) + QLatin1Char('/') + r.line.right(2);
    return out;
}

}  // namespace

TEST(ReportEngine, DocumentsOfOneTwentyAndTwentyFourRowsFillPagesOfTen)
{
    ReceiptForm form;  // footer 180, detail 20: ten rows per page
    form.Open({1, 20, 24});
    ASSERT_TRUE(form.report->Prepare());
    TQRPrinter* printer = form.report->QRPrinter();
    EXPECT_TRUE(printer->Finished());
    // Document 1 on page 1, document 2 on pages 2-3, document 3 on pages 4-6.
    ASSERT_EQ(printer->PageCount(), 6);
    EXPECT_EQ(form.rows.size(), 45u);
    EXPECT_EQ(Lines(form.RowsOnPage(1)), QStringList{"1/01"});
    EXPECT_EQ(form.RowsOnPage(2).size(), 10u);
    // The row refused when the footer space was used up comes first on the next page.
    EXPECT_EQ(form.RowsOnPage(2).back().line, "0010");
    EXPECT_EQ(form.RowsOnPage(3).front().line, "0011");
    EXPECT_EQ(form.RowsOnPage(3).size(), 10u);
    EXPECT_EQ(form.RowsOnPage(4).size(), 10u);
    EXPECT_EQ(form.RowsOnPage(5).size(), 10u);
    EXPECT_EQ(Lines(form.RowsOnPage(6)), (QStringList{"3/21", "3/22", "3/23", "3/24"}));
    // Every page prints its header and ends with the attached footer; no row twice.
    EXPECT_EQ(form.headsPrinted, 6);
    EXPECT_EQ(form.footerHeights.size(), 6u);
    QSet<QString> seen;
    for (const auto& r : form.rows) EXPECT_FALSE(seen.contains(r.document + r.line)) << r.line.toStdString();
    // The footer shows the space left: 180 - 20 for one row, 0 after ten rows (the
    // refused eleventh gave its height back), 180 - 4 * 20 on the last page.
    EXPECT_EQ(form.footerHeights, (std::vector<int>{160, -20, -20, -20, -20, 100}));
    // Page numbers restart per document in the handlers, and the footer's
    // designed height is back after the run.
    EXPECT_EQ(form.pageInGroup, 3);
    EXPECT_EQ(form.footer->Height(), 180);
}

TEST(ReportEngine, ExactlyRowsPerPageFitOnePageAndOneMoreStartsAnother)
{
    ReceiptForm exact;
    exact.Open({10});
    ASSERT_TRUE(exact.report->Prepare());
    EXPECT_EQ(exact.report->QRPrinter()->PageCount(), 1);
    EXPECT_EQ(exact.rows.size(), 10u);

    ReceiptForm more;
    more.Open({11});
    ASSERT_TRUE(more.report->Prepare());
    EXPECT_EQ(more.report->QRPrinter()->PageCount(), 2);
    EXPECT_EQ(Lines(more.RowsOnPage(2)), QStringList{"1/11"});
}

TEST(ReportEngine, FirstTwoRowsOfADocumentAlwaysPrint)
{
    // The footer holds half a row: after the first row it is negative, yet the
    // second row of each document still prints; the third waits for a new page,
    // where the rule no longer helps.
    ReceiptForm form(20, 10);
    form.Open({5, 1, 2});
    ASSERT_TRUE(form.report->Prepare());
    EXPECT_EQ(Lines(form.RowsOnPage(1)), (QStringList{"1/01", "1/02"}));
    // Later pages of the document print only what fits: one row each.
    EXPECT_EQ(Lines(form.RowsOnPage(2)), QStringList{"1/03"});
    EXPECT_EQ(Lines(form.RowsOnPage(3)), QStringList{"1/04"});
    EXPECT_EQ(Lines(form.RowsOnPage(4)), QStringList{"1/05"});
    EXPECT_EQ(Lines(form.RowsOnPage(5)), QStringList{"2/01"});
    EXPECT_EQ(Lines(form.RowsOnPage(6)), (QStringList{"3/01", "3/02"}));
    EXPECT_EQ(form.report->QRPrinter()->PageCount(), 6);
}

TEST(ReportEngine, HalfPageStylePutsTwoLogicalPagesOnEachSheet)
{
    ReceiptForm form;
    form.report->SetPageStyle(psHalfPage);
    form.Open({1, 20, 24});
    ASSERT_TRUE(form.report->Prepare());
    TQRPrinter* printer = form.report->QRPrinter();
    // Six logical pages on three sheets; pages 2k-1 and 2k share sheet k.
    ASSERT_EQ(printer->PageCount(), 3);
    for (const auto& r : form.rows) EXPECT_EQ(r.sheet, (r.page + 1) / 2) << r.page;
    ASSERT_EQ(printer->LogicalPages().size(), 2u);
    EXPECT_DOUBLE_EQ(printer->LogicalPages()[1].top(), printer->SheetSize().height() / 2);
    // Both halves of sheet 2 hold printing; the bottom half starts below the middle.
    const QImage sheet = printer->PageImage(2, 48);
    auto inkRows = [&](int from, int to) {
        int n = 0;
        for (int y = from; y < to; ++y)
            for (int x = 0; x < sheet.width(); ++x)
                if (qGray(sheet.pixel(x, y)) < 200) {
                    ++n;
                    break;
                }
        return n;
    };
    const int half = sheet.height() / 2;
    EXPECT_GT(inkRows(0, half), 20);
    EXPECT_GT(inkRows(half, sheet.height()), 20);
    // A single logical page leaves the bottom half of its sheet blank.
    ReceiptForm single;
    single.report->SetPageStyle(psHalfPage);
    single.Open({3});
    ASSERT_TRUE(single.report->Prepare());
    ASSERT_EQ(single.report->QRPrinter()->PageCount(), 1);
    const QImage last = single.report->QRPrinter()->PageImage(1, 48);
    bool bottomInk = false;
    for (int y = last.height() / 2 + 2; y < last.height() && !bottomInk; ++y)
        for (int x = 0; x < last.width(); ++x)
            if (qGray(last.pixel(x, y)) < 200) bottomInk = true;
    EXPECT_FALSE(bottomInk);
}

TEST(ReportEngine, ATitleSharesTheFirstPageWithTheFirstDocument)
{
    ReceiptForm form;
    auto* title = new TQRBand(form.report, rbTitle);
    title->setGeometry(0, 0, 700, 30);
    int titlePage = 0;
    title->BeforePrint = [&](TQRBand*, bool&) { titlePage = form.report->PageNumber(); };
    form.Open({2, 2});
    ASSERT_TRUE(form.report->Prepare());
    EXPECT_EQ(titlePage, 1);
    EXPECT_EQ(form.report->QRPrinter()->PageCount(), 2);
    EXPECT_EQ(form.RowsOnPage(1).size(), 2u);
}

TEST(ReportEngine, EmptyDataSetPrintsOnePageOnlyWhenAsked)
{
    ReceiptForm form;
    form.Open({});
    ASSERT_TRUE(form.report->Prepare());
    EXPECT_EQ(form.report->QRPrinter()->PageCount(), 1);
    EXPECT_TRUE(form.rows.empty());
    form.report->SetPrintIfEmpty(false);
    ASSERT_TRUE(form.report->Prepare());
    EXPECT_EQ(form.report->QRPrinter()->PageCount(), 0);
}

TEST(ReportEngine, RowsRefusedWithoutSteppingBackAreSkippedAndDoNotUseSpace)
{
    ReceiptForm form;
    form.Open({6});
    // Lines 2 and 3 are not printed: the handler gives the footer its space back.
    form.detail->BeforePrint = [&](TQRBand* band, bool& print) {
        const QString line = form.data->FieldByName("TH003").AsString();
        if (line == "0002" || line == "0003") {
            print = false;
            form.footer->SetHeight(form.footer->Height() + band->Height());
        }
    };
    ASSERT_TRUE(form.report->Prepare());
    EXPECT_EQ(Lines(form.rows), (QStringList{"1/01", "1/04", "1/05", "1/06"}));
    EXPECT_EQ(form.footerHeights, std::vector<int>{180 - 4 * 20});
}

TEST(ReportEngine, AHandlerThatNeverLetsARowOnAPageRaisesInsteadOfLooping)
{
    ReceiptForm form;
    form.Open({3});
    form.detail->BeforePrint = [&](TQRBand*, bool& print) {
        print = false;
        form.data->Prior();
    };
    try {
        form.report->Prepare();
        FAIL() << "expected an error";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().contains("does not fit")) << e.Message().toStdString();
    }
    // The bands have their designed heights again.
    EXPECT_EQ(form.footer->Height(), 180);
}

TEST(ReportEngine, BeforePrintOfTheReportCanRefuseTheRun)
{
    ReceiptForm form;
    form.Open({2});
    form.report->BeforePrint = [](TQuickRep*, bool& print) { print = false; };
    EXPECT_FALSE(form.report->Prepare());
    EXPECT_EQ(form.report->QRPrinter()->PageCount(), 0);
}

TEST(ReportEngine, PlainBandsBreakPagesWhenFullAndPrintHeadersAndFooters)
{
    // No page extension: title, page header and footer, detail rows, summary.
    QWidget form;
    auto* data = new TClientDataSet(&form, "ClientDataSet1");
    data->SetData(ReceiptPacket({100}));
    auto* rep = new TQuickRep(&form);
    rep->SetDataSet(data);
    rep->Page()->SetPaperSize(qrpA5);  // 210 mm: 793 px, 718 px inside the margins
    auto band = [&](int type, int y, int h) {
        auto* b = new TQRBand(rep, type);
        b->setGeometry(0, y, 500, h);
        return b;
    };
    auto* title = band(rbTitle, 0, 50);
    auto* header = band(rbPageHeader, 50, 30);
    auto* detail = band(rbDetail, 80, 20);
    auto* summary = band(rbSummary, 100, 40);
    auto* footer = band(rbPageFooter, 140, 30);
    auto* pageNo = new TQRExpr(footer);
    pageNo->SetExpression("'Page '+PAGENUMBER");
    std::vector<int> starts, headerPages, summaryPages, footerTexts;
    rep->OnStartPage = [&](TQuickRep* r) { starts.push_back(r->PageNumber()); };
    header->BeforePrint = [&](TQRBand*, bool&) { headerPages.push_back(rep->PageNumber()); };
    summary->BeforePrint = [&](TQRBand*, bool&) { summaryPages.push_back(rep->PageNumber()); };
    int titles = 0, details = 0;
    title->BeforePrint = [&](TQRBand*, bool&) { ++titles; };
    detail->AfterPrint = [&](TQRBand*, bool printed) { details += printed ? 1 : 0; };
    QStringList footerTextsSeen;
    pageNo->OnPrint = [&](QObject*, QString& v) { footerTextsSeen << v; };
    rep->SetFirstPageHeader(false);
    ASSERT_TRUE(rep->Prepare());
    // Page 1: 718 - 30 (footer) - 50 (title) = 638 -> 31 rows; later pages 718 - 60 = 658 -> 32.
    EXPECT_EQ(details, 100);
    EXPECT_EQ(rep->QRPrinter()->PageCount(), 4);
    EXPECT_EQ(titles, 1);
    EXPECT_EQ(starts, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(headerPages, (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(summaryPages, std::vector<int>{4});
    EXPECT_EQ(footerTextsSeen, (QStringList{"Page 1", "Page 2", "Page 3", "Page 4"}));
    rep->SetLastPageFooter(false);
    footerTextsSeen.clear();
    ASSERT_TRUE(rep->Prepare());
    EXPECT_EQ(footerTextsSeen.size(), 3);
}

TEST(ReportEngine, NestedGroupsPrintHeadersAndFootersWithTheirRows)
{
    QWidget form;
    auto* data = new TClientDataSet(&form, "cds");
    TDataPacket p;
    p.Fields = {{"A", TFieldType::String, 1}, {"B", TFieldType::String, 1}, {"N", TFieldType::Integer, 0}};
    p.Rows = {{"x", "1", 1}, {"x", "1", 2}, {"x", "2", 3}, {"y", "2", 4}, {"y", "2", 5}};
    data->SetData(p);
    auto* rep = new TQuickRep(&form);
    rep->SetDataSet(data);
    auto* outer = new TQRGroup(rep);
    outer->setGeometry(0, 0, 100, 10);
    outer->SetExpression("cds.A");
    auto* inner = new TQRGroup(rep);
    inner->setGeometry(0, 10, 100, 10);
    inner->SetExpression("B");
    auto* detail = new TQRBand(rep, rbDetail);
    detail->setGeometry(0, 20, 100, 10);
    auto* innerFoot = new TQRBand(rep, rbGroupFooter);
    innerFoot->setGeometry(0, 30, 100, 10);
    auto* outerFoot = new TQRBand(rep, rbGroupFooter);
    outerFoot->setGeometry(0, 40, 100, 10);
    inner->SetFooterBand(innerFoot);
    outer->SetFooterBand(outerFoot);
    QStringList log;
    auto row = [&] { return data->FieldByName("N").AsString(); };
    outer->BeforePrint = [&](TQRBand*, bool&) { log << "H" + row(); };
    inner->BeforePrint = [&](TQRBand*, bool&) { log << "h" + row(); };
    detail->BeforePrint = [&](TQRBand*, bool&) { log << row(); };
    innerFoot->BeforePrint = [&](TQRBand*, bool&) { log << "f" + row(); };
    outerFoot->BeforePrint = [&](TQRBand*, bool&) { log << "F" + row(); };
    ASSERT_TRUE(rep->Prepare());
    EXPECT_EQ(log.join(' '), "H1 h1 1 2 f2 h3 3 f3 F3 H4 h4 4 5 f5 F5");
}

TEST(ReportEngine, StretchingTextsGrowTheirBandAndReportTheExpansion)
{
    QWidget form;
    auto* data = new TClientDataSet(&form, "cds");
    TDataPacket p;
    p.Fields = {{"T", TFieldType::String, 0}};
    p.Rows = {{"short"}, {QString("很长的备注文字，需要换行才能放下。").repeated(6)}};
    data->SetData(p);
    auto* rep = new TQuickRep(&form);
    rep->SetDataSet(data);
    auto* detail = new TQRBand(rep, rbDetail);
    detail->setGeometry(0, 0, 300, 20);
    auto* text = new TQRDBText(detail);
    text->SetDataSet(data);
    text->SetDataField("T");
    text->setGeometry(0, 2, 150, 16);
    text->SetAutoSize(false);
    text->SetAutoStretch(true);
    std::vector<double> expansions;
    detail->AfterPrint = [&](TQRBand* b, bool) { expansions.push_back(b->Expanded()); };
    ASSERT_TRUE(rep->Prepare());
    ASSERT_EQ(expansions.size(), 2u);
    EXPECT_DOUBLE_EQ(expansions[0], 0);
    EXPECT_GT(expansions[1], 40);  // several wrapped lines
}

TEST(ReportEngine, CancelStopsGenerationAndLeavesThePagesUnfinished)
{
    ReceiptForm form;
    form.Open({30, 30});
    form.detail->AfterPrint = [&](TQRBand*, bool) {
        if (form.report->DetailCount() == 15) form.report->Cancel();
    };
    EXPECT_FALSE(form.report->Prepare());
    EXPECT_FALSE(form.report->QRPrinter()->Finished());
    EXPECT_EQ(form.report->DetailCount(), 15);
    EXPECT_EQ(form.footer->Height(), 180);
}

TEST(ReportEngine, ARowTheEngineMovesOnCountsAgainstTheFooterOfThePageItLandsOn)
{
    // A document head that stretches leaves room for fewer rows than the
    // footer arithmetic allows: the engine moves the rows that do not fit, and
    // on every page the blank footer is what the rows printed there left.
    ReceiptForm form;
    form.report->Page()->SetPaperSize(qrpCustom);
    form.report->Page()->SetLength(105);
    auto* remark = new TQRMemo(form.group);
    remark->setGeometry(10, 40, 300, 16);
    remark->SetLines({"备注 1", "备注 2", "备注 3", "备注 4", "备注 5"});
    std::vector<int> rowsAtFooter;
    form.footer->BeforePrint = [&](TQRBand*, bool&) {
        form.footerHeights.push_back(form.footer->Height());
        rowsAtFooter.push_back(static_cast<int>(form.RowsOnPage(form.report->PageNumber()).size()));
    };
    form.Open({20});
    ASSERT_TRUE(form.report->Prepare());
    ASSERT_EQ(form.rows.size(), 20u);
    ASSERT_GT(form.report->QRPrinter()->PageCount(), 2);  // fewer than ten rows per page
    ASSERT_EQ(form.footerHeights.size(), rowsAtFooter.size());
    for (size_t i = 0; i < rowsAtFooter.size(); ++i) {
        EXPECT_LT(rowsAtFooter[i], 10) << i;
        EXPECT_EQ(form.footerHeights[i], 180 - 20 * rowsAtFooter[i]) << "page " << i + 1;
    }
}

TEST(ReportEngine, APageWithoutPrintableRoomRaisesInsteadOfAPagePerBand)
{
    auto message = [](const std::function<void(TQRPage&)>& setUp) {
        ReceiptForm form;
        form.Open({3});
        setUp(*form.report->Page());
        try {
            form.report->Prepare();
        } catch (const Exception& e) {
            return e.Message();
        }
        return QStringLiteral("<no error>");
    };
    EXPECT_TRUE(message([](TQRPage& p) { p.SetLength(0); }).contains("no printable room"));
    EXPECT_TRUE(message([](TQRPage& p) { p.SetWidth(-10); }).contains("no printable room"));
    EXPECT_TRUE(message([](TQRPage& p) { p.SetWidth(std::nan("")); }).contains("no printable room"));
    EXPECT_TRUE(message([](TQRPage& p) {
                    p.SetTopMargin(p.Length() / 2);
                    p.SetBottomMargin(p.Length() / 2);
                }).contains("no printable room"));
    EXPECT_TRUE(message([](TQRPage& p) { p.SetLeftMargin(p.Width()); }).contains("no printable room"));
    // Small but real room still prints.
    EXPECT_EQ(message([](TQRPage& p) { p.SetTopMargin(0); }), "<no error>");
}
