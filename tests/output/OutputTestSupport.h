// Receipt-like generated pages and a format form stand-in for the output tests.
#pragma once

#include "format/engine/QRFonts.h"
#include "format/engine/QRPrinter.h"
#include "output/OutputForm.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>

namespace kelm24::test {

// Letter sheets (or the given size in mm) of a receipt: a title with the page
// number, a frame, lines of Chinese and Latin text, a total.
inline void FillReceiptPages(TQRPrinter& printer, int count, QSizeF sheetMM = QSizeF(215.9, 279.4))
{
    UseReportFonts();
    printer.Clear();
    printer.SetPaper(sheetMM);
    const QSizeF sheet = printer.SheetSize();
    for (int n = 1; n <= count; ++n) {
        QPicture& page = printer.AddPage();
        QPainter p(&page);
        QFont title(QStringLiteral("宋体"));
        title.setPixelSize(22);
        title.setBold(true);
        p.setFont(title);
        p.drawText(QRectF(0, 30, sheet.width(), 40), Qt::AlignCenter, QStringLiteral("采购进货单 Receipt %1").arg(n));
        p.drawRect(QRectF(40, 80, sheet.width() - 80, sheet.height() / 2 - 120));
        QFont body(QStringLiteral("宋体"));
        body.setPixelSize(13);
        p.setFont(body);
        for (int line = 0; line < 20; ++line) {
            const double y = 100 + line * 20;
            p.drawText(QPointF(50, y), QStringLiteral("PN-%1-%2  螺丝钉 M%3  数量 %4").arg(n).arg(line).arg(line + 3).arg(line * 7 % 13 + 1));
            p.drawLine(QPointF(40, y + 5), QPointF(sheet.width() - 40, y + 5));
        }
        p.fillRect(QRectF(40, sheet.height() / 2 - 30, 120, 16), QColor(200, 220, 255));
        p.drawText(QPointF(50, sheet.height() / 2 - 18), QStringLiteral("合计 Total %1.00").arg(n * 100));
        // The second half: where the half-page style puts the next document.
        p.drawText(QPointF(50, sheet.height() / 2 + 40), QStringLiteral("下半页 Lower half %1").arg(n));
        p.end();
    }
    printer.SetFinished(true);
}

// The format form as the output code sees it: pages, statements run, documents counted.
class TTestOutputForm : public TOutputForm {
public:
    TTestOutputForm()
    {
        window = std::make_unique<QWidget>();
        ProgramCode = QStringLiteral("PURR05");
        ProgramName = QStringLiteral("采购进货单");
        CompanyCode = QStringLiteral("DEMO");
        UserCode = QStringLiteral("DS");
        UserGroup = QStringLiteral("G1");
    }
    QWidget* OutputWindow() override { return window.get(); }
    TQRPrinter* ReportPages() override { return hasPages ? &pages : nullptr; }
    bool RegeneratePages() override
    {
        ++regenerations;
        if (!canRegenerate) return false;
        FillReceiptPages(pages, regeneratePageCount);
        hasPages = true;
        return true;
    }
    void UpdatePrintCount(const Variant& Args) override
    {
        counted << QStringLiteral("%1|%2|%3").arg(Args[0].ToString(), Args[1].ToString(), Args[2].ToString());
    }
    bool RunFreeSQL(const QString& Statement) override
    {
        statements << Statement;
        return true;
    }

    std::unique_ptr<QWidget> window;
    TQRPrinter pages;
    bool hasPages = true;
    bool canRegenerate = true;
    int regeneratePageCount = 3;
    int regenerations = 0;
    QStringList counted, statements;
};

// Runs a program and answers its standard output (empty when it fails).
inline QString RunTool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The largest difference of any colour channel between two equally sized
// images, as the share of pixels that differ by more than tolerance.
inline double DifferingShare(const QImage& a, const QImage& b, int tolerance)
{
    if (a.size() != b.size()) return 1.0;
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    qint64 differing = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            const int d = std::max({std::abs(qRed(p[col]) - qRed(q[col])), std::abs(qGreen(p[col]) - qGreen(q[col])),
                                    std::abs(qBlue(p[col]) - qBlue(q[col]))});
            if (d > tolerance) ++differing;
        }
    }
    return double(differing) / (double(x.width()) * x.height());
}

// A blurred grey copy: printing and rendering anti-alias differently, so
// pages are compared after a small blur.
inline QImage Softened(const QImage& image, int scale = 4)
{
    const QSize small = image.size() / scale;
    return image.convertToFormat(QImage::Format_Grayscale8)
        .scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace kelm24::test
