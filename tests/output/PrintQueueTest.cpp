// Printing generated pages to a real print queue: a private cupsd with a PDF
// printer whose default paper is A4 receives a run of Letter receipts.
#include "OutputTestSupport.h"
#include "PrivateCups.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace kelm24;
using namespace kelm24::test;

TEST(PrintQueue, ReceiptsArriveOnLetterPaperAsTheEngineDrawsThem)
{
    TPrivateCups cups(QStringLiteral("Kelm24PDF"), QStringLiteral("A4"));
    ASSERT_TRUE(cups.Ready()) << cups.Error().toStdString();
    const QStringList printers = QPrinterInfo::availablePrinterNames();
    const int index = static_cast<int>(printers.indexOf("Kelm24PDF"));
    ASSERT_GE(index, 0) << printers.join(",").toStdString();
    EXPECT_EQ(QPrinterInfo::printerInfo("Kelm24PDF").defaultPageSize().id(), QPageSize::A4);

    TQRPrinter pages;
    FillReceiptPages(pages, 3);
    pages.SetHeadless(true);
    pages.SetPrinterIndex(index);
    EXPECT_EQ(pages.Printer().printerName(), "Kelm24PDF");
    const QString title = QStringLiteral("kelm24job%1").arg(QRandomGenerator::global()->bounded(1000000));
    pages.Printer().setDocName(title);
    ASSERT_TRUE(pages.PrintSetup());
    EXPECT_EQ(pages.PrinterIndex(), index);
    pages.Print();

    const QString file = cups.WaitForOutput(title);
    ASSERT_FALSE(file.isEmpty()) << "nothing printed; scheduler log:\n" << cups.Log().toStdString();
    const QString info = RunTool("pdfinfo", {file});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+3\\b"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+612 x 792 pts"))) << info.toStdString();

    // Each printed page looks like the engine's own rendering of it.
    QTemporaryDir dir;
    const int dpi = 48;
    ASSERT_EQ(QProcess::execute("pdftoppm", {"-r", QString::number(dpi), "-gray", "-png", file, dir.filePath("p")}), 0);
    for (int n = 1; n <= 3; ++n) {
        const QImage printed(dir.filePath(QStringLiteral("p-%1.png").arg(n)));
        ASSERT_FALSE(printed.isNull()) << n;
        const QImage expected = pages.PageImage(n, dpi);
        ASSERT_EQ(printed.size(), expected.size());
        // Printing anti-aliases text differently and draws the synthetic bold of
        // the title thinner: pages are compared blurred.
        EXPECT_LT(DifferingShare(Softened(printed, 4), Softened(expected, 4), 64), 0.01) << "page " << n;
        // And not like another page.
        if (n > 1) {
            EXPECT_GT(DifferingShare(Softened(printed, 4), Softened(pages.PageImage(n - 1, dpi), 4), 64), 0.0005);
        }
    }
}
