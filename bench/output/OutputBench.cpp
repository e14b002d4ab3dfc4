// Export speed and size of receipt pages per file kind: 100 Letter pages of a
// receipt (30 head fields, 20 lines of 12 fields, sign-off lines, over the
// receipt's pre-printed form) written as
// bitmap PDF, JPG, GIF (one file per page) and as one searchable PDF.
// Prints pages per second and bytes per page.
#include "format/engine/QRFonts.h"
#include "format/engine/QRPrinter.h"
#include "output/PageOutput.h"

#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QPainter>
#include <QThread>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>
#include <ctime>

using namespace kelm24;

namespace {

void DrawReceipt(QPainter& p, int n)
{
    QFont title(QStringLiteral("宋体"));
    title.setPixelSize(20);
    p.setFont(title);
    p.drawText(QRectF(0, 20, 816, 30), Qt::AlignCenter, QStringLiteral("采购进货单"));
    QFont text(QStringLiteral("宋体"));
    text.setPixelSize(12);
    p.setFont(text);
    for (int f = 0; f < 30; ++f)
        p.drawText(QPointF(40 + (f % 3) * 250, 70 + (f / 3) * 18), QStringLiteral("单头字段%1: 2024%2").arg(f + 1).arg(n, 7, 10, QLatin1Char('0')));
    for (int l = 0; l <= 20; ++l) p.drawLine(QPointF(36, 255 + l * 20), QPointF(780, 255 + l * 20));
    for (int l = 0; l < 20; ++l)
        for (int f = 0; f < 12; ++f) {
            const QString cell = f < 8 ? QStringLiteral("品名%1-%2").arg(l + 1).arg(f + 1)
                                       : QString::number(1234.5 * (l + 1) + f, 'f', 2);
            p.drawText(QPointF(40 + f * 62, 270 + l * 20), cell);
        }
    for (int i = 0; i < 3; ++i) p.drawText(QPointF(60 + i * 250, 700), QStringLiteral("签核栏%1 ________").arg(i + 1));
    p.drawText(QPointF(680, 1020), QStringLiteral("%1 / 100").arg(n));
}

class TBenchForm : public TOutputForm {
public:
    QWidget* OutputWindow() override { return &window; }
    TQRPrinter* ReportPages() override { return &pages; }
    bool RegeneratePages() override { return true; }
    void UpdatePrintCount(const Variant&) override {}
    bool RunFreeSQL(const QString&) override { return true; }
    QWidget window;
    TQRPrinter pages;
};

// Processor seconds of the whole process (all threads): on a shared machine
// a steadier figure than the wall clock.
double CpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

qint64 FolderBytes(const QString& folder)
{
    qint64 bytes = 0;
    for (QDirIterator it(folder, QDir::Files); it.hasNext();) bytes += it.nextFileInfo().size();
    return bytes;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    UseReportFonts();
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    TBenchForm form;
    form.pages.SetPaper(QSizeF(215.9, 279.4));
    // Under every page the receipt's pre-printed form, as the receipt layouts print it.
    TQRBackground background;
    if (!background.Load(QStringLiteral(KELM24_BENCH_SOURCE_DIR "/format/backgrounds/CHS_KELM24F.svg"))) {
        std::printf("the receipt's page background cannot be read\n");
        return 1;
    }
    form.pages.SetBackground(background);
    for (int n = 1; n <= count; ++n) {
        QPainter p(&form.pages.AddPage());
        DrawReceipt(p, n);
    }
    form.pages.SetFinished(true);

    const std::pair<int, const char*> kinds[] = {{ftPDF, "bitmap PDF (one file a page)"}, {ftJPG, "JPG"}, {ftGIF, "GIF"},
                                                 {ftTextPDF, "searchable PDF (one file)"}};
    std::printf("%d receipt pages at %d dpi, %d threads\n", count, form.Resolution, QThread::idealThreadCount());
    {
        // Rendering alone: what every bitmap kind pays before encoding.
        TPageOutput output(form);
        const double cpu = CpuSeconds();
        QElapsedTimer timer;
        timer.start();
        for (int n = 1; n <= count; ++n) output.PageBitmap(n);
        std::printf("%-30s %7.1f pages/s  %9s          %6.1f ms CPU/page\n", "rendering only", count / (timer.nsecsElapsed() / 1e9),
                    "", (CpuSeconds() - cpu) * 1000 / count);
    }
    for (const auto& [kind, name] : kinds) {
        QTemporaryDir dir;
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir.path());  // the bitmap PDF's image files pass through here
        QElapsedTimer timer;
        timer.start();
        const double cpu = CpuSeconds();
        TPageOutput output(form);
        const bool done = output.ExportPages(dir.filePath(QStringLiteral("R")), kind);
        const double seconds = timer.nsecsElapsed() / 1e9;
        QDir::setCurrent(old);
        if (!done) {
            std::printf("%-30s failed: %s\n", name, qPrintable(output.LastError()));
            continue;
        }
        std::printf("%-30s %7.1f pages/s  %9.1f KB/page  %6.1f ms CPU/page\n", name, count / seconds,
                    FolderBytes(dir.path()) / 1024.0 / count, (CpuSeconds() - cpu) * 1000 / count);
    }
    return 0;
}
