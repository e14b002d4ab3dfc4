#include "format/engine/QuickRep.h"

#include "format/engine/ClientDataSet.h"
#include "format/engine/QRGenerator.h"
#include "format/engine/QRPreview.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

namespace kelm24 {

TQuickRep::TQuickRep(QWidget* parent) : QWidget(parent), page_(new TQRPage(this)), printer_(new TQRPrinter(this))
{
    headless_ = IsHeadlessPlatform();
    printer_->SetHeadless(headless_);
    functions_.insert(QStringLiteral("PAGENUMBER"), [this](const auto&) { return Variant(pageNumber_); });
    functions_.insert(QStringLiteral("COLUMNNUMBER"), [](const auto&) { return Variant(1); });
    functions_.insert(QStringLiteral("REPORTTITLE"), [this](const auto&) { return Variant(title_); });
    const QSizeF sheet = page_->SheetMM() * QRPixelsPerMM;
    resize(qRound(sheet.width()), qRound(sheet.height()));
}

TQuickRep::~TQuickRep() = default;

TClientDataSet* TQuickRep::DataSet() const { return qobject_cast<TClientDataSet*>(dataSet_.data()); }
void TQuickRep::SetDataSet(TClientDataSet* dataSet) { dataSet_ = dataSet; }
QObject* TQuickRep::DataSetObject() const { return dataSet_.data(); }
void TQuickRep::SetDataSetObject(QObject* dataSet) { dataSet_ = qobject_cast<TClientDataSet*>(dataSet); }

std::vector<TClientDataSet*> TQuickRep::DataSets() const
{
    std::vector<TClientDataSet*> sets;
    if (DataSet() != nullptr) sets.push_back(DataSet());
    const QObject* form = this;
    while (form->parent() != nullptr) form = form->parent();
    for (TClientDataSet* ds : form->findChildren<TClientDataSet*>())
        if (std::find(sets.begin(), sets.end(), ds) == sets.end()) sets.push_back(ds);
    return sets;
}

void TQuickRep::SetPictureFile(const QString& file)
{
    if (file.isEmpty()) {
        pictureFile_.clear();
        background_.Clear();
    } else if (background_.Load(file)) {
        pictureFile_ = file;
    }
}

void TQuickRep::SetHeadless(bool headless)
{
    headless_ = headless;
    printer_->SetHeadless(headless);
}

std::vector<TQRBand*> TQuickRep::Bands() const
{
    std::vector<TQRBand*> bands;
    for (QObject* o : children())
        if (auto* b = qobject_cast<TQRBand*>(o)) bands.push_back(b);
    std::stable_sort(bands.begin(), bands.end(), [](const TQRBand* a, const TQRBand* b) { return a->y() < b->y(); });
    return bands;
}

void TQuickRep::AddFunction(const QString& name, TQRFunction function) { functions_.insert(name.toUpper(), std::move(function)); }

bool TQuickRep::Prepare()
{
    TQRGenerator generator(*this);
    return generator.Run();
}

void TQuickRep::Preview()
{
    if (!Prepare()) return;
    if (OnPreview) {
        OnPreview(this);
        return;
    }
    if (headless_) return;
    TQRStandardPreview window(printer_, this);
    window.exec();
}

bool TQuickRep::Print()
{
    if (!Prepare()) return false;
    printer_->Print();
    return true;
}

bool TQuickRep::PrinterSetup() { return printer_->PrintSetup(); }

void TQuickRep::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(QPen(Qt::lightGray, 1, Qt::DotLine));
    const double px = QRPixelsPerMM;
    p.drawRect(QRectF(page_->LeftMM() * px, page_->TopMM() * px, width() - (page_->LeftMM() + page_->RightMM()) * px,
                      height() - (page_->TopMM() + page_->BottomMM()) * px));
}

}  // namespace kelm24
