#include "output/TextPDF.h"

#include "format/engine/QRPrinter.h"
#include "kelm24/Variant.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace kelm24 {

int DocumentPageCount(const TQRPrinter& pages, bool halfPage)
{
    return halfPage ? pages.PageCount() * 2 : pages.PageCount();
}

void WriteTextPdf(const TQRPrinter& pages, const QString& FileName, int First, int Last, const TTextPdfOptions& options)
{
    const int count = DocumentPageCount(pages, options.HalfPage);
    if (First < 1 || Last > count || First > Last)
        throw Exception(QStringLiteral("No pages %1 to %2 to write (the report has %3)").arg(First).arg(Last).arg(count));
    QSaveFile file(FileName);
    if (!file.open(QIODevice::WriteOnly))
        throw Exception(QStringLiteral("Cannot write \"%1\": %2").arg(FileName, file.errorString()));
    const QSizeF sheetMM(pages.PaperWidthValue() / 10.0, pages.PaperLengthValue() / 10.0);
    const QSizeF pageMM(sheetMM.width(), options.HalfPage ? sheetMM.height() / 2 : sheetMM.height());
    {
        QPdfWriter writer(&file);
        writer.setTitle(options.Title);
        writer.setCreator(QStringLiteral("Kelm24C"));
        writer.setResolution(600);
        writer.setPageSize(QPageSize(pageMM, QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            throw Exception(QStringLiteral("Cannot write \"%1\"").arg(FileName));
        }
        const double dotsPerMM = writer.resolution() / 25.4;
        const QSizeF sheet = sheetMM * dotsPerMM;
        for (int page = First; page <= Last; ++page) {
            if (page > First) writer.newPage();
            int sheetNo = page;
            double offset = 0;
            if (options.HalfPage) {
                sheetNo = (page + 1) / 2;
                if (page % 2 == 0) offset = -sheet.height() / 2;
            }
            pages.RenderPage(painter, sheetNo, QRectF(QPointF(0, offset), sheet));
        }
        painter.end();
    }
    if (!file.commit()) throw Exception(QStringLiteral("Cannot write \"%1\": %2").arg(FileName, file.errorString()));
}

}  // namespace kelm24
