#include "format/engine/QRGenerator.h"

#include "format/engine/ClientDataSet.h"
#include "format/engine/QRFonts.h"
#include "format/engine/QuickRep.h"

#include <QApplication>
#include <QProgressDialog>
#include <algorithm>
#include <cmath>

namespace kelm24 {

namespace {

// Bands get their working heights for the run and their designed heights back.
class GenerationScope {
public:
    explicit GenerationScope(const std::vector<TQRBand*>& bands) : bands_(bands)
    {
        for (TQRBand* b : bands_) b->BeginGeneration();
    }
    ~GenerationScope()
    {
        for (TQRBand* b : bands_) b->EndGeneration();
    }

private:
    std::vector<TQRBand*> bands_;
};

}  // namespace

TQRGenerator::TQRGenerator(TQuickRep& report) : rep_(report), printer_(*report.QRPrinter()) {}

TQRGenerator::~TQRGenerator()
{
    if (painter_.isActive()) painter_.end();
}

void TQRGenerator::CollectBands()
{
    all_ = rep_.Bands();
    for (TQRBand* b : all_) {
        switch (b->BandType()) {
        case rbTitle: title_ = title_ ? title_ : b; break;
        case rbPageHeader: pageHeader_ = pageHeader_ ? pageHeader_ : b; break;
        case rbColumnHeader: columnHeader_ = columnHeader_ ? columnHeader_ : b; break;
        case rbDetail: detail_ = detail_ ? detail_ : b; break;
        case rbPageFooter: pageFooter_ = pageFooter_ ? pageFooter_ : b; break;
        case rbSummary: summary_ = summary_ ? summary_ : b; break;
        case rbGroupHeader:
            if (auto* g = qobject_cast<TQRGroup*>(b)) groups_.push_back(g);
            break;
        default: break;
        }
    }
    if (rep_.PageDetailBand != nullptr) detail_ = rep_.PageDetailBand;
    extension_ = rep_.PageDetailBand != nullptr && rep_.PageAttachedBand != nullptr;
}

void TQRGenerator::SetUpGeometry()
{
    const TQRPage& page = *rep_.Page();
    const QSizeF sheetMM = page.SheetMM();
    printer_.SetPaper(sheetMM);
    const QSizeF sheet = printer_.SheetSize();
    halfPage_ = rep_.PageStyle() == psHalfPage;
    logicalHeight_ = halfPage_ ? sheet.height() / 2 : sheet.height();
    left_ = page.LeftMM() * QRPixelsPerMM;
    width_ = sheet.width() - left_ - page.RightMM() * QRPixelsPerMM;
    topMargin_ = page.TopMM() * QRPixelsPerMM;
    bottomMargin_ = page.BottomMM() * QRPixelsPerMM;
    // A page without room would put every band on a page of its own.
    const double bodyHeight = logicalHeight_ - topMargin_ - bottomMargin_;
    if (!(width_ > 0 && bodyHeight > 0 && std::isfinite(width_) && std::isfinite(bodyHeight)))
        throw Exception(QStringLiteral("Report %1: the page (%2 x %3 mm with its margins) leaves no printable room")
                            .arg(rep_.objectName())
                            .arg(sheetMM.width())
                            .arg(sheetMM.height()));
    std::vector<QRectF> logical{QRectF(0, 0, sheet.width(), logicalHeight_)};
    if (halfPage_) logical.emplace_back(0, logicalHeight_, sheet.width(), logicalHeight_);
    printer_.SetLogicalPages(logical);
    printer_.SetBackground(rep_.background_);
}

bool TQRGenerator::Run()
{
    UseReportFonts();
    rep_.cancelRequested_ = false;
    rep_.pageNumber_ = 0;
    rep_.detailCount_ = 0;
    printer_.Clear();
    printer_.SetHeadless(rep_.Headless());
    bool printReport = true;
    if (rep_.BeforePrint) rep_.BeforePrint(&rep_, printReport);
    if (!printReport) return false;

    CollectBands();
    SetUpGeometry();
    dataSet_ = rep_.DataSet();
    GenerationScope scope(all_);
    for (TQRGroup* g : groups_) {
        g->Evaluator().SetDataSets(rep_.DataSets());
        g->Evaluator().SetFunctions(&rep_.Functions());
        g->Evaluator().Prepare(g->Expression());
    }
    if (!rep_.Headless()) {
        progress_ = std::make_unique<QProgressDialog>(QStringLiteral("正在生成报表..."), QStringLiteral("取消"), 0,
                                                      dataSet_ && dataSet_->Active() ? dataSet_->RecordCount() : 0);
        progress_->setWindowModality(Qt::ApplicationModal);
        progress_->setMinimumDuration(300);
        QObject::connect(progress_.get(), &QProgressDialog::canceled, &rep_, [this] { rep_.Cancel(); });
    }

    Generate();

    progress_.reset();
    for (TQRGroup* g : groups_) g->Evaluator().Unprepare();
    const bool finished = !rep_.Cancelled();
    printer_.SetFinished(finished);
    if (finished && rep_.AfterPrint) rep_.AfterPrint(&rep_);
    return finished;
}

std::vector<Variant> TQRGenerator::GroupKeys()
{
    std::vector<Variant> keys;
    keys.reserve(groups_.size());
    for (TQRGroup* g : groups_) keys.push_back(g->Evaluator().Value());
    return keys;
}

void TQRGenerator::Generate()
{
    const bool hasRows = dataSet_ != nullptr && dataSet_->Active() && !dataSet_->IsEmpty();
    if (dataSet_ != nullptr && dataSet_->Active()) dataSet_->First();
    if (!hasRows && !rep_.PrintIfEmpty()) return;

    NewPage();
    if (title_ != nullptr) PrintBand(title_);

    if (hasRows) {
        std::vector<Variant> keys;
        std::optional<std::vector<Variant>> pending;  // keys of the current row, already evaluated
        bool started = false;
        int rows = 0;
        while (!dataSet_->Eof() && !rep_.Cancelled()) {
            std::vector<Variant> current = pending ? std::move(*pending) : GroupKeys();
            pending.reset();
            size_t from = groups_.size();
            for (size_t i = 0; i < groups_.size(); ++i) {
                if (!started || current[i] != keys[i]) {
                    from = i;
                    break;
                }
            }
            keys = current;
            for (size_t i = from; i < groups_.size(); ++i) PrintGroupHeader(groups_[i]);
            started = true;

            if (detail_ != nullptr && PrintDetail(detail_) == DetailResult::SteppedBack) {
                // The row comes again first on the next page.
                if (detailsOnPage_ == 0)
                    throw Exception(QStringLiteral("Report %1: the detail band %2 does not fit on an empty page")
                                        .arg(rep_.objectName(), detail_->objectName()));
                FinishPage(false);
                NewPage();
                dataSet_->Next();
                continue;
            }
            ShowProgress(++rows);
            dataSet_->Next();
            if (dataSet_->Eof() || groups_.empty()) continue;
            pending = GroupKeys();
            size_t changed = groups_.size();
            for (size_t i = 0; i < groups_.size(); ++i) {
                if ((*pending)[i] != keys[i]) {
                    changed = i;
                    break;
                }
            }
            if (changed < groups_.size()) {
                // Footers print with the last row of their group.
                dataSet_->Prior();
                for (size_t j = groups_.size(); j-- > changed;) PrintGroupFooter(groups_[j]);
                dataSet_->Next();
            }
        }
        if (started && !rep_.Cancelled())
            for (size_t j = groups_.size(); j-- > 0;) PrintGroupFooter(groups_[j]);
    }
    if (summary_ != nullptr && !rep_.Cancelled()) PrintBand(summary_);
    FinishPage(true);
}

void TQRGenerator::NewPage()
{
    const double sheetHeight = printer_.SheetSize().height();
    double offset = 0;
    if (halfPage_ && sheetOpen_ && halfInSheet_ == 1) {
        halfInSheet_ = 2;
        offset = sheetHeight / 2;
    } else {
        CloseSheet();
        QPicture& picture = printer_.AddPage();
        painter_.begin(&picture);
        painter_.setRenderHint(QPainter::Antialiasing);
        ctx_.painter = &painter_;
        ctx_.report = &rep_;
        ctx_.fontScale = 96.0 / picture.logicalDpiY();
        ctx_.fontSet = ctx_.penSet = false;
        sheetOpen_ = true;
        halfInSheet_ = 1;
    }
    ++rep_.pageNumber_;
    y_ = offset + topMargin_;
    bottom_ = offset + logicalHeight_ - bottomMargin_;
    detailsOnPage_ = 0;
    bodyPrinted_ = false;
    groupContent_ = false;
    pageFinished_ = false;
    if (extension_) rep_.PageAttachedBand->SetHeight(rep_.PageAttachedBand->DesignHeight());
    if (rep_.OnStartPage) rep_.OnStartPage(&rep_);
    if (pageHeader_ != nullptr && (rep_.pageNumber_ > 1 || rep_.FirstPageHeader())) PrintBand(pageHeader_);
    if (columnHeader_ != nullptr) PrintBand(columnHeader_);
    if (extension_ && midGroup_ && rep_.PageStartBand != nullptr) PrintBand(rep_.PageStartBand);
    bodyPrinted_ = false;
}

void TQRGenerator::PrintPageEnd()
{
    PrintBand(rep_.PageAttachedBand);  // its child chain usually holds the page end band
    if (rep_.PageEndBand != nullptr && !IsPageEndChain(rep_.PageEndBand)) PrintBand(rep_.PageEndBand);
    pageFinished_ = true;
}

void TQRGenerator::FinishPage(bool last)
{
    if (extension_ && midGroup_ && !pageFinished_) PrintPageEnd();
    if (pageFooter_ != nullptr && (!last || rep_.LastPageFooter()) && pageFooter_->Enabled()) {
        if (AskBeforePrint(pageFooter_)) {
            const double h = pageFooter_->MeasureHeight(ctx_);
            pageFooter_->Draw(ctx_, left_, bottom_ - h, width_, h);
            if (pageFooter_->AfterPrint) pageFooter_->AfterPrint(pageFooter_, true);
        }
    }
    if (rep_.OnEndPage) rep_.OnEndPage(&rep_);
    if (!halfPage_ || halfInSheet_ == 2 || last) CloseSheet();
}

void TQRGenerator::CloseSheet()
{
    if (!sheetOpen_) return;
    painter_.end();
    sheetOpen_ = false;
    halfInSheet_ = 0;
    if (printer_.OnPageAvailable) printer_.OnPageAvailable(printer_.PageCount());
}

bool TQRGenerator::AskBeforePrint(TQRBand* band)
{
    bool print = true;
    if (band->BeforePrint) band->BeforePrint(band, print);
    if (!print && band->AfterPrint) band->AfterPrint(band, false);
    return print;
}

bool TQRGenerator::PrintBand(TQRBand* band)
{
    if (band == nullptr || !band->Enabled()) return false;
    if (!AskBeforePrint(band)) return false;
    Output(band);
    return true;
}

bool TQRGenerator::IsPageEndChain(const TQRBand* band) const
{
    for (const TQRBand* b = rep_.PageAttachedBand; b != nullptr; b = b->ChildBand())
        if (b == band) return true;
    return false;
}

double TQRGenerator::Reserve(const TQRBand* band) const
{
    double reserve = pageFooter_ != nullptr && pageFooter_->Enabled() ? pageFooter_->Height() : 0;
    if (extension_ && midGroup_ && !IsPageEndChain(band) && band != rep_.PageEndBand) {
        reserve += std::max(0, rep_.PageAttachedBand->Height());
        for (const TQRBand* b = rep_.PageAttachedBand->ChildBand(); b != nullptr; b = b->ChildBand())
            if (b->Enabled()) reserve += std::max(0, b->Height());
        if (rep_.PageEndBand != nullptr && !IsPageEndChain(rep_.PageEndBand)) reserve += rep_.PageEndBand->Height();
    }
    return reserve;
}

void TQRGenerator::Output(TQRBand* band)
{
    double h = band->MeasureHeight(ctx_);
    const bool pageEnd = extension_ && (IsPageEndChain(band) || band == rep_.PageEndBand);
    // A band that does not fit starts a new page, unless the page is empty
    // (it could fit nowhere) or it is part of the page's end.
    if (!pageEnd && band != pageHeader_ && band != columnHeader_ && band != rep_.PageStartBand && bodyPrinted_ &&
        y_ + h > bottom_ - Reserve(band) + 0.01) {
        // A detail row that moves on takes its room from the attached band of
        // the page it lands on, not from the page it left.
        TQRBand* attached = extension_ && band == rep_.PageDetailBand ? rep_.PageAttachedBand : nullptr;
        if (attached != nullptr) attached->SetHeight(attached->Height() + band->Height());
        FinishPage(false);
        NewPage();
        if (attached != nullptr) attached->SetHeight(attached->Height() - band->Height());
        h = band->MeasureHeight(ctx_);  // texts may depend on the page
    }
    band->Draw(ctx_, left_, y_, width_, h);
    y_ += h;
    if (band != pageHeader_ && band != columnHeader_) bodyPrinted_ = true;
    if (band != pageHeader_ && band != columnHeader_ && band != title_) groupContent_ = true;
    if (band->AfterPrint) band->AfterPrint(band, true);
    if (TQRBand* child = band->ChildBand()) PrintBand(child);
}

TQRGenerator::DetailResult TQRGenerator::PrintDetail(TQRBand* detail)
{
    if (!detail->Enabled()) return DetailResult::Skipped;
    const int rowBefore = dataSet_->RecNo();
    TQRBand* attached = extension_ && detail == rep_.PageDetailBand ? rep_.PageAttachedBand : nullptr;
    const bool print = AskBeforePrint(detail);
    // Every row the detail band is asked about takes its height from the
    // attached band, after the handler has read it; a handler that refuses a
    // row gives the height back itself.
    if (attached != nullptr) attached->SetHeight(attached->Height() - detail->Height());
    if (!print) return dataSet_->RecNo() < rowBefore ? DetailResult::SteppedBack : DetailResult::Skipped;
    ++rep_.detailCount_;  // AfterPrint already counts this row
    Output(detail);
    ++detailsOnPage_;
    return DetailResult::Printed;
}

void TQRGenerator::PrintGroupHeader(TQRGroup* group)
{
    const bool startsPages = extension_ && group == rep_.PageStartBand;
    // A new document starts a page unless the page holds only headers and the title.
    if ((startsPages || group->ForceNewPage()) && (groupContent_ || pageFinished_)) {
        FinishPage(false);
        NewPage();
    }
    PrintBand(group);
    if (startsPages) midGroup_ = true;
}

void TQRGenerator::PrintGroupFooter(TQRGroup* group)
{
    TQRBand* footer = group->FooterBand();
    const bool endsPages = extension_ && group == rep_.PageStartBand;
    if (endsPages) {
        if (!pageFinished_) PrintPageEnd();
        midGroup_ = false;
        return;
    }
    if (footer != nullptr) PrintBand(footer);
}

void TQRGenerator::ShowProgress(int row)
{
    if (!progress_ || row % 20 != 0) return;
    progress_->setValue(row);
    QCoreApplication::processEvents();
}

}  // namespace kelm24
