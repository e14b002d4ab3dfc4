// The preview control over generated pages, and printing them to a file.
#include "ReceiptFixture.h"

#include "format/engine/QRPreview.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <gtest/gtest.h>

using namespace kelm24;
using namespace kelm24::test;

TEST(Preview, PagesZoomAndPageAvailableNotifications)
{
    ReceiptForm form;
    form.Open({1, 20, 24});
    TQRPreview preview;
    preview.resize(600, 500);
    std::vector<int> available;
    preview.OnPageAvailable = [&](TQRPreview*, int count) { available.push_back(count); };
    preview.SetQRPrinter(form.report->QRPrinter());
    ASSERT_TRUE(form.report->Prepare());
    EXPECT_EQ(available, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(form.report->QRPrinter()->ShowingPreview());
    EXPECT_EQ(preview.PageCount(), 6);
    preview.SetPageNumber(0);
    EXPECT_EQ(preview.PageNumber(), 1);
    preview.SetPageNumber(99);
    EXPECT_EQ(preview.PageNumber(), 6);
    preview.SetZoom(150);
    EXPECT_EQ(preview.Zoom(), 150);
    EXPECT_EQ(preview.widget()->width(), qRound(form.report->QRPrinter()->SheetSize().width() * 1.5) + 16);
    preview.ZoomToFit();
    const int fit = preview.Zoom();
    EXPECT_LT(fit, 100);
    EXPECT_LE(form.report->QRPrinter()->SheetSize().height() * fit / 100, preview.viewport()->height());
    preview.ZoomToWidth();
    EXPECT_GT(preview.Zoom(), fit);
    // The preview window paints the page it shows.
    const QImage shot = preview.grab().toImage();
    EXPECT_FALSE(shot.isNull());
    form.report->QRPrinter()->ClosePreview();
    EXPECT_FALSE(form.report->QRPrinter()->ShowingPreview());
}

TEST(Preview, ReportPreviewHandsThePagesToOnPreviewAndPrintWritesThemToThePrinter)
{
    ReceiptForm form;
    form.Open({12});
    int previews = 0;
    form.report->OnPreview = [&](TQuickRep* rep) {
        ++previews;
        EXPECT_EQ(rep->QRPrinter()->PageCount(), 2);
    };
    form.report->Preview();
    EXPECT_EQ(previews, 1);

    const QString pdf = QDir::temp().filePath("kelm24-print-test.pdf");
    QFile::remove(pdf);
    QPrinter& printer = form.report->QRPrinter()->Printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    EXPECT_TRUE(form.report->PrinterSetup());  // headless: no dialog
    ASSERT_TRUE(form.report->Print());
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page>>") +
                  bytes.count("/Type /Page "),
              2);
    f.close();
    QFile::remove(pdf);
}

TEST(Preview, WindowsAndControlsLetGoOfThePagesAndThePrinterIndexNamesAPrinterOrTheDefault)
{
    ReceiptForm form;
    form.Open({3});
    ASSERT_TRUE(form.report->Prepare());
    TQRPrinter* printer = form.report->QRPrinter();
    {
        TQRStandardPreview window(printer);
        EXPECT_TRUE(printer->ShowingPreview());
        ASSERT_TRUE(printer->OnClosePreview);
    }
    // The window is gone: closing the preview later must not reach it.
    EXPECT_FALSE(printer->OnClosePreview);
    EXPECT_FALSE(printer->ShowingPreview());
    printer->ClosePreview();

    // A control moved to other pages stops following the first ones.
    TQRPreview preview;
    int notified = 0;
    preview.OnPageAvailable = [&](TQRPreview*, int) { ++notified; };
    preview.SetQRPrinter(printer);
    ReceiptForm other;
    other.Open({1});
    preview.SetQRPrinter(other.report->QRPrinter());
    EXPECT_FALSE(printer->OnPageAvailable);
    EXPECT_FALSE(printer->ShowingPreview());
    ASSERT_TRUE(form.report->Prepare());
    EXPECT_EQ(notified, 0);
    ASSERT_TRUE(other.report->Prepare());
    EXPECT_EQ(notified, 1);

    EXPECT_EQ(printer->PrinterIndex(), -1);
    const auto format = printer->Printer().outputFormat();
    printer->SetPrinterIndex(10000);  // no such printer: the default one
    EXPECT_EQ(printer->PrinterIndex(), -1);
    EXPECT_EQ(printer->Printer().outputFormat(), format);  // never turned into a PDF writer
}
