// TQuickRep: the banded report. It walks its data set, prints its bands into
// recorded pages held by its printer object, and previews, prints or exports
// them.
#pragma once

#include "format/engine/QRBands.h"
#include "format/engine/QREvaluator.h"
#include "format/engine/QRPage.h"
#include "format/engine/QRPrinter.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

namespace kelm24 {

class TClientDataSet;
class TQRGenerator;

// Page styles: none, full page, half page (two logical pages on one sheet).
enum TQRPageStyle { psNone = 0, psFullPage = 1, psHalfPage = 2 };

using TQRReportBeforePrintEvent = std::function<void(TQuickRep* sender, bool& printReport)>;
using TQRNotifyEvent = std::function<void(TQuickRep* sender)>;

class TQuickRep : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString ReportTitle READ ReportTitle WRITE SetReportTitle)
    Q_PROPERTY(int PageStyle READ PageStyle WRITE SetPageStyle)
    Q_PROPERTY(bool PrintIfEmpty READ PrintIfEmpty WRITE SetPrintIfEmpty)
    Q_PROPERTY(bool FirstPageHeader READ FirstPageHeader WRITE SetFirstPageHeader)
    Q_PROPERTY(bool LastPageFooter READ LastPageFooter WRITE SetLastPageFooter)
    Q_PROPERTY(QString Picture READ PictureFile WRITE SetPictureFile)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(int Zoom READ Zoom WRITE SetZoom)
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)
    Q_PROPERTY(QObject* DataSet READ DataSetObject WRITE SetDataSetObject)

public:
    explicit TQuickRep(QWidget* parent = nullptr);
    ~TQuickRep() override;

    TQRPage* Page() const { return page_; }
    TClientDataSet* DataSet() const;
    void SetDataSet(TClientDataSet* dataSet);
    QObject* DataSetObject() const;
    void SetDataSetObject(QObject* dataSet);
    // Data sets an expression may name: the report's and every client data
    // set on the form that holds the report.
    std::vector<TClientDataSet*> DataSets() const;

    QString ReportTitle() const { return title_; }
    void SetReportTitle(const QString& t) { title_ = t; }
    int PageStyle() const { return pageStyle_; }
    void SetPageStyle(int style) { pageStyle_ = style; }
    bool PrintIfEmpty() const { return printIfEmpty_; }
    void SetPrintIfEmpty(bool v) { printIfEmpty_ = v; }
    bool FirstPageHeader() const { return firstPageHeader_; }
    void SetFirstPageHeader(bool v) { firstPageHeader_ = v; }
    bool LastPageFooter() const { return lastPageFooter_; }
    void SetLastPageFooter(bool v) { lastPageFooter_ = v; }
    // Page background: an SVG or a raster picture file, drawn under every
    // logical page. A file that cannot be read keeps the picture there was;
    // an empty name removes it.
    QString PictureFile() const { return pictureFile_; }
    bool HasPicture() const { return !background_.IsEmpty(); }
    void SetPictureFile(const QString& file);
    QString Hint() const { return hint_; }
    void SetHint(const QString& h) { hint_ = h; }
    int Zoom() const { return zoom_; }
    void SetZoom(int z) { zoom_ = z; }
    int Tag() const { return tag_; }
    void SetTag(int t) { tag_ = t; }

    // Bands on the report, top to bottom as placed.
    std::vector<TQRBand*> Bands() const;

    // Functions expressions may call: "PAGENUMBER", "COLUMNNUMBER",
    // "REPORTTITLE" are there; layouts add their own (e.g. "QRSTRINGSBAND1").
    void AddFunction(const QString& name, TQRFunction function);
    const TQRFunctionTable& Functions() const { return functions_; }

    // The page extension: the bands that make up a page. After the page
    // detail band's BeforePrint has run for a row, the page-attached band
    // shrinks by the detail band's height (a handler that refuses the row
    // gives that height back); the attached band gets its designed height
    // back on each new page and prints (with what is left, nothing when it is
    // negative) before the page end band at the end of every page; the page
    // start band prints at the top of every page of a group. A detail handler
    // that refuses the row and steps the data set back one row ends the page:
    // the row comes again first on the next page.
    TQRBand* PageDetailBand = nullptr;
    TQRBand* PageAttachedBand = nullptr;
    TQRBand* PageStartBand = nullptr;
    TQRBand* PageEndBand = nullptr;

    TQRReportBeforePrintEvent BeforePrint;
    TQRNotifyEvent AfterPrint;
    TQRNotifyEvent OnStartPage;
    TQRNotifyEvent OnEndPage;
    // Shows the generated pages instead of the built-in preview window.
    TQRNotifyEvent OnPreview;

    // No window is shown (no progress window, no preview or print dialog).
    // Starts true on the offscreen and minimal platforms.
    bool Headless() const { return headless_; }
    void SetHeadless(bool headless);

    // Generates the pages; false when the run was cancelled or BeforePrint
    // refused it. Errors of handlers propagate as exceptions (the pages made
    // so far stay, unfinished).
    bool Prepare();
    // Prepares and shows the pages (OnPreview, or the built-in window unless
    // headless).
    void Preview();
    // Prepares and prints; false when cancelled.
    bool Print();
    // The printer dialog for the pages; headless answers true.
    bool PrinterSetup();
    // Asks a running generation to stop (the progress window's Cancel).
    void Cancel() { cancelRequested_ = true; }
    bool Cancelled() const { return cancelRequested_; }

    TQRPrinter* QRPrinter() const { return printer_; }

    // Logical page number being generated (1-based), and the sheet.
    int PageNumber() const { return pageNumber_; }
    // Rows of the page detail band printed so far in this run.
    int DetailCount() const { return detailCount_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    friend class TQRGenerator;
    TQRPage* page_;
    TQRPrinter* printer_;
    QPointer<QObject> dataSet_;
    QString title_, pictureFile_, hint_;
    TQRBackground background_;
    int pageStyle_ = psNone;
    bool printIfEmpty_ = true;
    bool firstPageHeader_ = true;
    bool lastPageFooter_ = true;
    int zoom_ = 100;
    int tag_ = 0;
    bool headless_ = false;
    bool cancelRequested_ = false;
    int pageNumber_ = 0;
    int detailCount_ = 0;
    TQRFunctionTable functions_;
};

}  // namespace kelm24
