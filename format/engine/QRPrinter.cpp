#include "format/engine/QRPrinter.h"

#include "format/engine/QRPage.h"
#include "kelm24/Variant.h"

#include <QPrinterInfo>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace kelm24 {

bool IsHeadlessPlatform()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return true;
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

TQRPrinter::TQRPrinter(QObject* parent) : QObject(parent) { headless_ = IsHeadlessPlatform(); }

TQRPrinter::~TQRPrinter() = default;

void TQRPrinter::SetPaper(QSizeF sheetMM)
{
    sheetMM_ = sheetMM;
    sheet_ = sheetMM * QRPixelsPerMM;
}

int TQRPrinter::PaperWidthValue() const { return qRound(sheetMM_.width() * 10); }
int TQRPrinter::PaperLengthValue() const { return qRound(sheetMM_.height() * 10); }

void TQRPrinter::Clear()
{
    pages_.clear();
    finished_ = false;
}

QPicture& TQRPrinter::AddPage()
{
    pages_.push_back(std::make_unique<QPicture>());
    return *pages_.back();
}

void TQRPrinter::SetFinished(bool finished) { finished_ = finished; }

const QPicture* TQRPrinter::GetPage(int n) const
{
    if (n < 1 || n > PageCount()) return nullptr;
    return pages_[static_cast<size_t>(n - 1)].get();
}

bool TQRPrinter::RenderPage(QPainter& painter, int n, const QRectF& target) const
{
    if (GetPage(n) == nullptr) return false;
    QPicture* page = pages_[static_cast<size_t>(n - 1)].get();  // replaying does not change it
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / sheet_.width(), target.height() / sheet_.height());
    painter.setClipRect(QRectF(QPointF(0, 0), sheet_), Qt::IntersectClip);
    if (!background_.IsEmpty()) {
        if (logicalRects_.empty()) background_.Draw(painter, QRectF(QPointF(0, 0), sheet_));
        for (const QRectF& r : logicalRects_) background_.Draw(painter, r);
    }
    // A picture replays in physical size: it scales itself by the device's
    // resolution over its own, which the scale above already includes.
    const QPaintDevice* device = painter.device();
    if (device != nullptr && device->logicalDpiX() > 0 && device->logicalDpiY() > 0)
        painter.scale(double(page->logicalDpiX()) / device->logicalDpiX(), double(page->logicalDpiY()) / device->logicalDpiY());
    page->play(&painter);
    painter.restore();
    return true;
}

QImage TQRPrinter::PageImage(int n, double dpi, QImage::Format format) const
{
    const QSizeF size = sheet_ * (dpi / 96.0);
    QImage image(qRound(size.width()), qRound(size.height()), format);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    RenderPage(painter, n, QRectF(QPointF(0, 0), size));
    return image;
}

qint64 TQRPrinter::MemoryUsed() const
{
    qint64 bytes = 0;
    for (const auto& p : pages_) bytes += p->size();
    return bytes;
}

QPrinter& TQRPrinter::Printer()
{
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setFullPage(true);
    }
    return *printer_;
}

void TQRPrinter::SetPrinterIndex(int index)
{
    const QStringList names = QPrinterInfo::availablePrinterNames();
    printerIndex_ = index >= 0 && index < names.size() ? index : -1;
    const QString name = printerIndex_ >= 0 ? names[printerIndex_] : QPrinterInfo::defaultPrinterName();
    // An empty name would turn the printer into a PDF writer: without any
    // printer the device stays as it is.
    if (!name.isEmpty()) Printer().setPrinterName(name);
}

bool TQRPrinter::PrintSetup()
{
    QPrinter& printer = Printer();
    printer.setFromTo(1, std::max(1, PageCount()));
    if (headless_) return true;
    QPrintDialog dialog(&printer);
    dialog.setMinMax(1, std::max(1, PageCount()));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (dialog.exec() != QDialog::Accepted) return false;
    printerIndex_ = static_cast<int>(QPrinterInfo::availablePrinterNames().indexOf(printer.printerName()));
    return true;
}

void TQRPrinter::Print()
{
    QPrinter& printer = Printer();
    int first = 1, last = PageCount();
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = printer.fromPage();
        last = std::min(last, printer.toPage() > 0 ? printer.toPage() : last);
    }
    PrintTo(printer, first, last);
}

void TQRPrinter::PrintTo(QPrinter& printer, int first, int last) const
{
    if (last < 0 || last > PageCount()) last = PageCount();
    if (first < 1) first = 1;
    if (first > last) return;
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(sheetMM_, QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
    printer.setPageOrientation(QPageLayout::Portrait);  // the sheet size already lies as printed
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&printer))
        throw Exception(QStringLiteral("Cannot open the printer \"%1\"").arg(printer.printerName()));
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF target(QPointF(0, 0), QSizeF(printer.width(), printer.height()));
    for (int n = first; n <= last; ++n) {
        if (n > first) printer.newPage();
        RenderPage(painter, n, target);
    }
    painter.end();
}

void TQRPrinter::ClosePreview()
{
    showingPreview_ = false;
    if (OnClosePreview) OnClosePreview();
}

}  // namespace kelm24
