// The preview control: shows one generated page at a zoom, scrolls, fits the
// page or its width; and the built-in preview window around it.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QScrollArea>
#include <functional>

class QLabel;

namespace kelm24 {

class TQRPrinter;

class TQRPreview : public QScrollArea {
    Q_OBJECT
    Q_PROPERTY(int PageNumber READ PageNumber WRITE SetPageNumber)
    Q_PROPERTY(int Zoom READ Zoom WRITE SetZoom)

public:
    explicit TQRPreview(QWidget* parent = nullptr);
    ~TQRPreview() override;

    // The page source; the preview follows its new pages.
    void SetQRPrinter(TQRPrinter* printer);
    TQRPrinter* QRPrinter() const { return printer_; }
    int PageCount() const;

    int PageNumber() const { return page_; }
    // Shows page n (kept within 1..page count).
    void SetPageNumber(int n);
    // Zoom in percent of the page's size at 96 pixels per inch.
    int Zoom() const { return zoom_; }
    void SetZoom(int percent);
    // Zoom so the whole page / the page width fits the visible area.
    void ZoomToFit();
    void ZoomToWidth();

    // Called when the page source reports a new page (page count so far).
    std::function<void(TQRPreview* sender, int pageCount)> OnPageAvailable;

private:
    void Relayout();
    class PageView;
    PageView* view_;
    QPointer<TQRPrinter> printer_;
    int page_ = 1;
    int zoom_ = 100;
};

// The engine's own preview window, used when the report has no OnPreview.
class TQRStandardPreview : public QDialog {
    Q_OBJECT
public:
    TQRStandardPreview(TQRPrinter* printer, QWidget* parent = nullptr);
    ~TQRStandardPreview() override;
    TQRPreview* Preview() const { return preview_; }

private:
    void Refresh();
    TQRPreview* preview_;
    QLabel* status_;
};

}  // namespace kelm24
