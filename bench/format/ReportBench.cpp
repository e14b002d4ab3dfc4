// Generation and PDF export speed of a receipt-like report: a document head of
// 30 fields, 20 lines of 12 fields, a page-attached footer with page X of Y,
// one document per page. Prints pages per second and memory per page.
#include "format/engine/ClientDataSet.h"
#include "format/engine/QRControls.h"
#include "format/engine/QRFonts.h"
#include "format/engine/QuickRep.h"
#include "output/libPDF.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

using namespace kelm24;

namespace {

// Resident size now, in KB.
long ResidentKB()
{
    FILE* f = std::fopen("/proc/self/statm", "r");
    long pages = 0, resident = 0;
    if (f != nullptr) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

long PeakRssKB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TDataPacket Receipts(int documents, int lines)
{
    TDataPacket p;
    for (int f = 1; f <= 30; ++f) p.Fields.push_back({QStringLiteral("TG%1").arg(f, 3, 10, QLatin1Char('0')), TFieldType::String, 20});
    for (int f = 1; f <= 12; ++f)
        p.Fields.push_back({QStringLiteral("TH%1").arg(f, 3, 10, QLatin1Char('0')), f > 8 ? TFieldType::Float : TFieldType::String, 20});
    for (int d = 1; d <= documents; ++d)
        for (int l = 1; l <= lines; ++l) {
            std::vector<Variant> row;
            row.push_back(QStringLiteral("3401"));
            row.push_back(QStringLiteral("2024%1").arg(d, 7, 10, QLatin1Char('0')));
            for (int f = 3; f <= 30; ++f) row.push_back(QStringLiteral("单头字段%1").arg(f));
            for (int f = 1; f <= 8; ++f) row.push_back(QStringLiteral("品名规格%1-%2").arg(l).arg(f));
            for (int f = 9; f <= 12; ++f) row.push_back(1234.5 * l + f);
            p.Rows.push_back(std::move(row));
        }
    return p;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    UseReportFonts();
    QApplication app(argc, argv);
    const int documents = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int exported = argc > 2 ? std::atoi(argv[2]) : 100;
    constexpr int lines = 20, detailHeight = 18;

    QWidget form;
    auto* data = new TClientDataSet(&form, QStringLiteral("ClientDataSet1"));
    data->SetData(Receipts(documents, lines));
    auto* rep = new TQuickRep(&form);
    rep->SetDataSet(data);
    rep->Page()->SetPaperSize(qrpLetter);
    auto* head = new TQRGroup(rep);
    head->SetExpression(QStringLiteral("clientdataset1.TG001+clientdataset1.TG002"));
    head->setGeometry(0, 0, 720, 200);
    for (int f = 0; f < 30; ++f) {
        auto* t = new TQRDBText(head);
        t->SetDataSet(data);
        t->SetDataField(QStringLiteral("TG%1").arg(f + 1, 3, 10, QLatin1Char('0')));
        t->setGeometry(10 + (f % 3) * 240, 10 + (f / 3) * 18, 230, 16);
    }
    auto* pageNo = new TQRLabel(head);
    pageNo->setGeometry(600, 185, 110, 14);
    auto* detail = new TQRBand(rep, rbDetail);
    detail->setGeometry(0, 200, 720, detailHeight);
    for (int f = 0; f < 12; ++f) {
        auto* t = new TQRDBText(detail);
        t->SetDataSet(data);
        t->SetDataField(QStringLiteral("TH%1").arg(f + 1, 3, 10, QLatin1Char('0')));
        t->setGeometry(4 + f * 59, 1, 57, 16);
        if (f >= 8) {
            t->SetMask(QStringLiteral("#,##0.00"));
            t->SetAlignment(taRightJustify);
        }
    }
    auto* footer = new TQRBand(rep, rbGroupFooter);
    footer->setGeometry(0, 220, 720, (lines - 1) * detailHeight);
    auto* blank = new TQRLabel(footer);
    blank->SetCaption(QStringLiteral("以下空白//"));
    head->SetFooterBand(footer);
    auto* end = new TQRChildBand(rep);
    end->SetParentBand(footer);
    end->setGeometry(0, 600, 720, 60);
    for (int i = 0; i < 3; ++i) {
        auto* sign = new TQRLabel(end);
        sign->SetCaption(QStringLiteral("签核栏%1").arg(i + 1));
        sign->setGeometry(10 + i * 240, 20, 200, 16);
    }
    rep->PageDetailBand = detail;
    rep->PageAttachedBand = footer;
    rep->PageStartBand = head;
    rep->PageEndBand = end;
    // Page X of Y per document, as the receipt frame numbers its pages.
    QString key;
    int pageInDoc = 0, rowsInDoc = 0;
    head->BeforePrint = [&](TQRBand*, bool&) {
        const QString k = head->Evaluator().AsString();
        pageInDoc = k == key ? pageInDoc + 1 : 1;
        if (k != key) rowsInDoc = 0;
        key = k;
        pageNo->SetCaption(QStringLiteral("%1 / %2").arg(pageInDoc).arg((lines + lines - 1) / lines));
    };
    detail->BeforePrint = [&](TQRBand* band, bool& print) {
        if (footer->Height() >= 0 || rowsInDoc < 2) {
            ++rowsInDoc;
            return;
        }
        print = false;
        footer->SetHeight(footer->Height() + band->Height());
        data->Prior();
    };

    // First run: what holding the pages costs (resident size before and after,
    // the pages kept). Second run: the speed, with fonts and caches warm.
    const long residentBefore = ResidentKB();
    if (!rep->Prepare()) return 1;
    const long residentAfter = ResidentKB();
    QElapsedTimer timer;
    timer.start();
    if (!rep->Prepare()) return 1;
    const double genSeconds = timer.nsecsElapsed() / 1e9;
    const int pages = rep->QRPrinter()->PageCount();
    const double recordedKB = rep->QRPrinter()->MemoryUsed() / 1024.0 / std::max(1, pages);
    std::printf("generation: %d pages in %.3f s = %.0f pages/s\n", pages, genSeconds, pages / genSeconds);
    std::printf("memory: resident size grew %ld KB for %d pages = %.1f KB per page (recorded pictures %.1f KB per page)\n",
                residentAfter - residentBefore, pages, double(residentAfter - residentBefore) / std::max(1, pages), recordedKB);

    QTemporaryDir dir;
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    timer.restart();
    qint64 bytes = 0;
    for (int n = 1; n <= std::min(exported, pages); ++n) {
        const QImage bitmap = rep->QRPrinter()->PageImage(n, 96, QImage::Format_RGB16);
        TPrintPDF pdf;
        pdf.SetFileName(dir.filePath(QStringLiteral("page%1.pdf").arg(n)));
        pdf.SetPageWidth(bitmap.width());
        pdf.SetPageHeight(bitmap.height());
        pdf.StartDocument();
        pdf.DrawPageImage(0, 0, bitmap);
        pdf.FinishDocument();
        bytes += QFileInfo(pdf.FileName()).size();
    }
    const double pdfSeconds = timer.nsecsElapsed() / 1e9;
    QDir::setCurrent(old);
    const int done = std::min(exported, pages);
    std::printf("pdf export at 96 dpi: %d pages in %.3f s = %.1f pages/s (%.0f KB per file)\n", done, pdfSeconds,
                done / pdfSeconds, bytes / 1024.0 / std::max(1, done));
    std::printf("peak resident size: %ld KB\n", PeakRssKB());
    return 0;
}
