// The generated pages of a report run and their output: recorded pictures
// replayed at any resolution on screen, to a printer and into bitmaps.
#pragma once

#include "format/engine/QRBackground.h"

#include <QImage>
#include <QObject>
#include <QPicture>
#include <QRectF>
#include <QSizeF>
#include <functional>
#include <memory>
#include <vector>

class QPainter;
class QPrinter;

namespace kelm24 {

class TQRPrinter : public QObject {
    Q_OBJECT

public:
    explicit TQRPrinter(QObject* parent = nullptr);
    ~TQRPrinter() override;

    // --- pages, written by the report while it generates
    // Sheet size in design pixels (96 per inch) and in 0.1 mm.
    void SetPaper(QSizeF sheetMM);
    QSizeF SheetSize() const { return sheet_; }
    int PaperWidthValue() const;   // 0.1 mm
    int PaperLengthValue() const;  // 0.1 mm
    void Clear();
    // Starts a new sheet and answers its picture (valid until the next call).
    QPicture& AddPage();
    // Where the logical pages of a sheet lie (one rectangle, or two in the
    // half-page style); the background is drawn into each.
    void SetLogicalPages(std::vector<QRectF> rects) { logicalRects_ = std::move(rects); }
    const std::vector<QRectF>& LogicalPages() const { return logicalRects_; }
    void SetBackground(const TQRBackground& background) { background_ = background; }
    // Generation finished normally (not cancelled, no error).
    bool Finished() const { return finished_; }
    void SetFinished(bool finished);

    // --- reading the pages
    int PageCount() const { return static_cast<int>(pages_.size()); }
    // 1-based; nullptr when there is no such page.
    const QPicture* GetPage(int n) const;
    // Replays sheet n into target (in the painter's coordinates): background,
    // then the recorded page. Answers false when there is no such page.
    bool RenderPage(QPainter& painter, int n, const QRectF& target) const;
    // Sheet n as a white bitmap of the sheet's size at dpi dots per inch.
    QImage PageImage(int n, double dpi, QImage::Format format = QImage::Format_RGB32) const;
    // Bytes the recorded pages hold.
    qint64 MemoryUsed() const;

    // --- printer output
    QPrinter& Printer();
    // The printer-setup dialog for the generated pages (printer, range,
    // copies). Headless: nothing is asked and the answer is true.
    bool PrintSetup();
    // The printer the pages go to: an index into the system's printers
    // (QPrinterInfo::availablePrinterNames), -1 for the default printer. An
    // index that names no printer means the default one. PrintSetup opens on
    // it and keeps the printer chosen there.
    int PrinterIndex() const { return printerIndex_; }
    void SetPrinterIndex(int index);
    // Prints the pages (the range of the last setup) to the printer. Raises a
    // kelm24::Exception when the printer cannot be opened.
    void Print();
    // Prints pages first..last to any paged device (a QPrinter or a PDF writer).
    void PrintTo(QPrinter& printer, int first = 1, int last = -1) const;

    // --- preview state
    bool ShowingPreview() const { return showingPreview_; }
    void SetShowingPreview(bool showing) { showingPreview_ = showing; }
    void ClosePreview();
    bool Headless() const { return headless_; }
    void SetHeadless(bool headless) { headless_ = headless; }

    // Called after each generated page with the page count so far.
    std::function<void(int pageCount)> OnPageAvailable;
    // Called by ClosePreview so a showing preview window closes.
    std::function<void()> OnClosePreview;

private:
    QSizeF sheet_{816, 1056};
    QSizeF sheetMM_{215.9, 279.4};
    std::vector<std::unique_ptr<QPicture>> pages_;
    std::vector<QRectF> logicalRects_;
    TQRBackground background_;
    std::unique_ptr<QPrinter> printer_;
    int printerIndex_ = -1;
    bool finished_ = false;
    bool showingPreview_ = false;
    bool headless_ = false;
};

// True when no window can be shown: no GUI application, or Qt runs on the
// offscreen or minimal platform.
bool IsHeadlessPlatform();

}  // namespace kelm24
