#include "format/engine/QRPreview.h"

#include "format/engine/QRPrinter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace kelm24 {

class TQRPreview::PageView : public QWidget {
public:
    explicit PageView(TQRPreview* owner) : owner_(owner) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Dark));
        TQRPrinter* printer = owner_->QRPrinter();
        if (printer == nullptr || printer->GetPage(owner_->PageNumber()) == nullptr) return;
        const QRectF pageRect(8, 8, width() - 16, height() - 16);
        p.fillRect(pageRect, Qt::white);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        printer->RenderPage(p, owner_->PageNumber(), pageRect);
    }

private:
    TQRPreview* owner_;
};

TQRPreview::TQRPreview(QWidget* parent) : QScrollArea(parent), view_(new PageView(this))
{
    setWidget(view_);
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setWidgetResizable(false);
}

TQRPreview::~TQRPreview()
{
    if (printer_) {
        printer_->OnPageAvailable = nullptr;
        printer_->ClosePreview();
    }
}

void TQRPreview::SetQRPrinter(TQRPrinter* printer)
{
    if (printer_ && printer_ != printer) {
        printer_->OnPageAvailable = nullptr;
        printer_->SetShowingPreview(false);
    }
    printer_ = printer;
    if (printer_) {
        printer_->SetShowingPreview(true);
        printer_->OnPageAvailable = [this](int count) {
            Relayout();
            if (OnPageAvailable) OnPageAvailable(this, count);
        };
    }
    SetPageNumber(page_);
}

int TQRPreview::PageCount() const { return printer_ ? printer_->PageCount() : 0; }

void TQRPreview::SetPageNumber(int n)
{
    page_ = std::clamp(n, 1, std::max(1, PageCount()));
    Relayout();
}

void TQRPreview::SetZoom(int percent)
{
    zoom_ = std::clamp(percent, 1, 1000);
    Relayout();
}

void TQRPreview::ZoomToFit()
{
    if (!printer_) return;
    const QSizeF sheet = printer_->SheetSize();
    const QSize area = viewport()->size() - QSize(16, 16);
    SetZoom(std::max(1, static_cast<int>(std::min(area.width() / sheet.width(), area.height() / sheet.height()) * 100)));
}

void TQRPreview::ZoomToWidth()
{
    if (!printer_) return;
    const int area = viewport()->width() - 16 - verticalScrollBar()->sizeHint().width();
    SetZoom(std::max(1, static_cast<int>(area / printer_->SheetSize().width() * 100)));
}

void TQRPreview::Relayout()
{
    const QSizeF sheet = printer_ ? printer_->SheetSize() : QSizeF(816, 1056);
    view_->resize(qRound(sheet.width() * zoom_ / 100.0) + 16, qRound(sheet.height() * zoom_ / 100.0) + 16);
    view_->update();
}

TQRStandardPreview::TQRStandardPreview(TQRPrinter* printer, QWidget* parent)
    : QDialog(parent), preview_(new TQRPreview(this)), status_(new QLabel(this))
{
    setWindowTitle(QStringLiteral("预览"));
    auto* buttons = new QHBoxLayout;
    auto add = [&](const QString& text, auto slot) {
        auto* b = new QPushButton(text, this);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
    };
    add(QStringLiteral("整页"), [this] { preview_->ZoomToFit(); });
    add(QStringLiteral("页宽"), [this] { preview_->ZoomToWidth(); });
    add(QStringLiteral("上一页"), [this] {
        preview_->SetPageNumber(preview_->PageNumber() - 1);
        Refresh();
    });
    add(QStringLiteral("下一页"), [this] {
        preview_->SetPageNumber(preview_->PageNumber() + 1);
        Refresh();
    });
    add(QStringLiteral("打印"), [this] {
        TQRPrinter* p = preview_->QRPrinter();
        if (p != nullptr && p->PrintSetup()) p->Print();
    });
    add(QStringLiteral("关闭"), [this] { accept(); });
    buttons->addWidget(status_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(preview_);
    preview_->SetQRPrinter(printer);
    if (printer != nullptr) printer->OnClosePreview = [this] { reject(); };
    resize(900, 700);
    Refresh();
}

TQRStandardPreview::~TQRStandardPreview()
{
    // The page source outlives the window: it must not call back into it.
    if (TQRPrinter* p = preview_->QRPrinter()) p->OnClosePreview = nullptr;
}

void TQRStandardPreview::Refresh()
{
    status_->setText(QStringLiteral("%1 / %2").arg(preview_->PageNumber()).arg(preview_->PageCount()));
}

}  // namespace kelm24
