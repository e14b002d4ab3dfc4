#include "format/engine/QRBands.h"

#include "format/engine/QRControls.h"
#include "format/engine/QREvaluator.h"
#include "format/engine/QuickRep.h"

#include <QPaintEvent>
#include <QPainter>

namespace kelm24 {

TQRBand::TQRBand(QWidget* parent, int bandType) : QWidget(parent), bandType_(bandType) { resize(parent ? parent->width() : 700, 40); }

void TQRBand::SetHeight(int h)
{
    if (generating_) workHeight_ = h;
    else resize(width(), std::max(0, h));
}

TQuickRep* TQRBand::ParentReport() const { return qobject_cast<TQuickRep*>(parentWidget()); }

TQRBand* TQRBand::ChildBand() const
{
    if (generating_) return child_;
    const TQuickRep* rep = ParentReport();
    if (rep == nullptr) return nullptr;
    for (TQRBand* b : rep->Bands()) {
        auto* c = qobject_cast<TQRChildBand*>(b);
        if (c != nullptr && c->ParentBand() == this) return c;
    }
    return nullptr;
}

void TQRBand::BeginGeneration()
{
    child_ = ChildBand();
    controls_.clear();
    for (QObject* o : children())
        if (auto* c = qobject_cast<TQRPrintable*>(o)) controls_.push_back(c);
    workHeight_ = height();
    generating_ = true;
    expanded_ = 0;
}

void TQRBand::EndGeneration()
{
    generating_ = false;
    controls_.clear();
    measured_.clear();
}

double TQRBand::MeasureHeight(TQRPrintContext& ctx)
{
    measured_.clear();
    const double base = std::max(0, Height());
    double bottom = base;
    for (TQRPrintable* c : controls_) {
        if (!c->Printable() || c->y() >= base) continue;
        c->BeginPrint(ctx);
        const double needed = c->NeededHeight(ctx);
        measured_.emplace_back(c, needed);
        if (needed > c->height()) bottom = std::max(bottom, c->y() + needed);
    }
    expanded_ = bottom - base;
    return bottom;
}

void TQRBand::Draw(TQRPrintContext& ctx, double x, double y, double width, double height)
{
    QPainter& p = *ctx.painter;
    const QRectF area(x, y, width, height);
    if (color_.alpha() != 0) p.fillRect(area, color_);
    for (auto& [c, needed] : measured_) c->Draw(ctx, QRectF(x + c->x(), y + c->y(), c->width(), std::max<double>(needed, c->height())));
    if (frame_ != 0) {
        p.save();
        p.setPen(QPen(Qt::black, 1));
        if (frame_ & qrfTop) p.drawLine(area.topLeft(), area.topRight());
        if (frame_ & qrfBottom) p.drawLine(area.bottomLeft(), area.bottomRight());
        if (frame_ & qrfLeft) p.drawLine(area.topLeft(), area.bottomLeft());
        if (frame_ & qrfRight) p.drawLine(area.topRight(), area.bottomRight());
        p.restore();
    }
    measured_.clear();
}

void TQRBand::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(QPen(Qt::gray, 1, Qt::DashLine));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setPen(Qt::darkGray);
    p.drawText(rect().adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignBottom, objectName());
}

TQRGroup::TQRGroup(QWidget* parent) : TQRBand(parent, rbGroupHeader) {}
TQRGroup::~TQRGroup() = default;

TQRBand* TQRGroup::FooterBand() const { return qobject_cast<TQRBand*>(footer_.data()); }

void TQRGroup::SetFooterBand(TQRBand* band)
{
    footer_ = band;
    if (band != nullptr && band->BandType() != rbChild) band->SetBandType(rbGroupFooter);
}

void TQRGroup::SetFooterBandWidget(QWidget* band) { SetFooterBand(qobject_cast<TQRBand*>(band)); }

TQREvaluator& TQRGroup::Evaluator()
{
    if (!evaluator_) evaluator_ = std::make_unique<TQREvaluator>();
    return *evaluator_;
}

TQRChildBand::TQRChildBand(QWidget* parent) : TQRBand(parent, rbChild) {}

TQRBand* TQRChildBand::ParentBand() const { return qobject_cast<TQRBand*>(parentBand_.data()); }

}  // namespace kelm24
