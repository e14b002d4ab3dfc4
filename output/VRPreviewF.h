// TfrmVRPreview: the preview window of a report run. Shows the generated
// pages at a zoom, pages through them, prints, exports the current page as
// picture or PDF files, and sends the documents by e-mail or fax. Printing,
// page files and sends are done by the output operations on the form that
// carries the report (TOutputForm).
#pragma once

#include <QDialog>
#include <functional>

class QKeyEvent;

namespace kelm24 {

class TComboBox;
class TEdit;
class TImageList;
class TLabel;
class TMemo;
class TMenuItem;
class TOutputForm;
class TPopupMenu;
class TQRPreview;
class TQRPrinter;
class TStatusBar;
class TToolBar;
class TToolButton;

class TfrmVRPreview : public QDialog {
    Q_OBJECT
public:
    // form: the format form whose pages are shown and whose operations run;
    // the window takes the interface's language from it.
    explicit TfrmVRPreview(TOutputForm* form, QWidget* parent = nullptr);
    ~TfrmVRPreview() override;

    // --- components
    TQRPreview* QRPreview;
    TMemo* moPaperSize;
    TMemo* moUnits;
    TImageList* Images;
    TToolBar* ToolBar1;
    TToolButton *btnZoomToPage, *btnZoomToWidth, *btnPrint, *btnFirstPage, *btnPreviousPage, *btnNextPage,
        *btnLastPage, *btnSaveBMP, *btnExit, *btnEmail, *btnFax;
    TLabel *lblScale, *lblPageNo;
    TComboBox* cboZoom;
    TEdit* edtPageNo;
    TPopupMenu* pmuSaveBMP;
    TMenuItem *pmBMP, *pmGIF, *pmJPG, *pmPDF;
    TPopupMenu* PopupmenuSendFax;
    TStatusBar* StatusBar;

    // The generated pages shown (the report's page source); null: none.
    TQRPrinter* Report() const { return report_; }
    void SetReport(TQRPrinter* pages);

    void SetZoomPercent(int Z);
    void GoToPage(int N);
    void RefreshPageInfo();
    // Adds the page's paper to status panel 1: paper-size number, width and
    // length (as the report page states them) and unit number.
    void ShowPaperInfo(int PaperSize, double Width, double Length, int Units);
    // Writes the current page (both halves of the sheet in the half-page
    // style) into the user's export folder and offers to open the files.
    void ExportPages(int FileType);
    // The send buttons by the send-mode bits (1 e-mail, 2 fax).
    void ShowSendButtons(int SendMode);
    // Fills the fax menu with server captions (name "(" address ")").
    void SetFaxServers(const QStringList& Captions);

    // The format form's print; without one the preview prints the pages itself.
    std::function<void()> OnPrint;
    // Files written by the last export (for the open question).
    QStringList LastExportedFiles() const { return exported_; }

    // --- handlers
    void btnZoomToPageClick();
    void btnZoomToWidthClick();
    void cboZoomClick();
    void cboZoomExit();
    void edtPageNoExit();
    void btnPrintClick();
    void btnEmailClick();
    void btnFaxClick();
    void SendFaxTo(const QString& ServerCaption);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildComponents();
    void SelectZoomItem(int zoom);
    void PageButtonClick(int page);
    // Enter moves on; Ctrl+F11 in the zoom box shows or hides the export button.
    bool KeyDown(QObject* control, QKeyEvent* key);

    TOutputForm* form_;
    TQRPrinter* report_ = nullptr;
    QStringList exported_;
};

}  // namespace kelm24
