#include "format/engine/QRControls.h"

#include "format/engine/ClientDataSet.h"
#include "format/engine/QRBands.h"
#include "format/engine/QREvaluator.h"
#include "format/engine/QRMask.h"
#include "format/engine/QuickRep.h"

#include <QDateTime>
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>

namespace kelm24 {

namespace {

int TextFlags(int alignment, bool wordWrap, bool clip)
{
    int flags = Qt::AlignTop;
    switch (alignment) {
    case taRightJustify: flags |= Qt::AlignRight; break;
    case taCenter: flags |= Qt::AlignHCenter; break;
    default: flags |= Qt::AlignLeft; break;
    }
    if (wordWrap) flags |= Qt::TextWordWrap;
    if (!clip) flags |= Qt::TextDontClip;
    return flags;
}

// Qt wraps only at word boundaries, so a word wider than the control (a long
// part number, a path) would run past the edge and be cut. Such words get
// break opportunities between their characters, as a wrapped label breaks them.
QString WrappableText(const QString& text, const QFontMetricsF& fm, qreal width)
{
    constexpr QChar kZeroWidthSpace(0x200B);
    QString out;
    out.reserve(text.size());
    qsizetype start = 0;
    const auto flushWord = [&](qsizetype end) {
        const QString word = text.mid(start, end - start);
        if (word.isEmpty() || fm.horizontalAdvance(word) <= width) {
            out += word;
            return;
        }
        for (qsizetype i = 0; i < word.size(); ++i) {
            out += word.at(i);
            if (i + 1 < word.size() && !word.at(i).isHighSurrogate()) out += kZeroWidthSpace;
        }
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!text.at(i).isSpace()) continue;
        flushWord(i);
        out += text.at(i);
        start = i + 1;
    }
    flushWord(text.size());
    return out;
}

}  // namespace

// ---------------------------------------------------------------- TQRPrintable

TQRPrintable::TQRPrintable(QWidget* parent) : QWidget(parent)
{
    resize(100, 17);
    setFont(QFont(QStringLiteral("宋体"), 9));
}

void TQRPrintable::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    update();
}

void TQRPrintable::SetHint(const QString& hint)
{
    hint_ = hint;
    setToolTip(hint);
}

TQRBand* TQRPrintable::ParentBand() const { return qobject_cast<TQRBand*>(parentWidget()); }

bool TQRPrintable::Printable() const
{
    return enabled_ && !(testAttribute(Qt::WA_WState_ExplicitShowHide) && testAttribute(Qt::WA_WState_Hidden));
}

void TQRPrintable::BeginPrint(TQRPrintContext& ctx) { report_ = ctx.report; }

double TQRPrintable::NeededHeight(TQRPrintContext&) { return height(); }

const QFont& TQRPrintable::PrintFont(const TQRPrintContext& ctx)
{
    if (printFontScale_ != ctx.fontScale) {
        printFont_ = font();
        if (printFont_.pointSizeF() > 0 && ctx.fontScale != 1) printFont_.setPointSizeF(printFont_.pointSizeF() * ctx.fontScale);
        printFontScale_ = ctx.fontScale;
    }
    return printFont_;
}

void TQRPrintable::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) printFontScale_ = -1;
    QWidget::changeEvent(event);
}

void TQRPrintable::UseFont(TQRPrintContext& ctx, const QFont& font)
{
    if (ctx.fontSet && ctx.font == font) return;
    ctx.painter->setFont(font);
    ctx.font = font;
    ctx.fontSet = true;
}

void TQRPrintable::UsePen(TQRPrintContext& ctx, const QColor& color)
{
    if (ctx.penSet && ctx.pen == color) return;
    ctx.painter->setPen(color);
    ctx.pen = color;
    ctx.penSet = true;
}

void TQRPrintable::DrawFrame(QPainter& painter, const QRectF& r) const
{
    if (frame_ == 0) return;
    painter.save();
    painter.setPen(QPen(Qt::black, frameWidth_));
    if (frame_ & qrfTop) painter.drawLine(r.topLeft(), r.topRight());
    if (frame_ & qrfBottom) painter.drawLine(r.bottomLeft(), r.bottomRight());
    if (frame_ & qrfLeft) painter.drawLine(r.topLeft(), r.bottomLeft());
    if (frame_ & qrfRight) painter.drawLine(r.topRight(), r.bottomRight());
    painter.restore();
}

void TQRPrintable::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(QPen(enabled_ ? Qt::gray : Qt::lightGray, 1, Qt::DotLine));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setPen(enabled_ ? Qt::black : Qt::gray);
    p.drawText(rect(), TextFlags(alignment_, false, false), DesignText());
}

// -------------------------------------------------------------- TQRCustomLabel

TQRCustomLabel::TQRCustomLabel(QWidget* parent) : TQRPrintable(parent) {}

void TQRCustomLabel::SetCaption(const QString& caption)
{
    caption_ = caption;
    update();
}

QString TQRCustomLabel::PrintText()
{
    QString text = ValueText();
    if (OnPrint) OnPrint(this, text);
    return text;
}

void TQRCustomLabel::BeginPrint(TQRPrintContext& ctx)
{
    TQRPrintable::BeginPrint(ctx);
    printed_ = PrintText();
}

double TQRCustomLabel::NeededHeight(TQRPrintContext& ctx)
{
    if (!AutoStretch() || printed_.isEmpty()) return height();
    const QFontMetricsF fm(PrintFont(ctx), ctx.painter->device());
    const QString text = WordWrap() ? WrappableText(printed_, fm, width()) : printed_;
    const QRectF needed = fm.boundingRect(QRectF(0, 0, width(), 1e6), TextFlags(Alignment(), WordWrap(), true), text);
    return std::max<double>(height(), std::ceil(needed.height()));
}

void TQRCustomLabel::Draw(TQRPrintContext& ctx, const QRectF& rect)
{
    QPainter& p = *ctx.painter;
    if (!Transparent()) p.fillRect(rect, Color());
    if (!printed_.isEmpty()) {
        UseFont(ctx, PrintFont(ctx));
        // The active colour: a page printed while the layout's window is
        // disabled (its option form waits for the run) is not greyed.
        UsePen(ctx, palette().color(QPalette::Active, QPalette::WindowText));
        // Auto-sized texts may run past the control; others are cut at its edges.
        const bool wrap = WordWrap() && (AutoStretch() || !AutoSize());
        const auto wrappable = [&](const QString& text) {
            return WrappableText(text, QFontMetricsF(p.font(), p.device()), rect.width());
        };
        layouts_.Draw(p, rect, TextFlags(Alignment(), wrap, !AutoSize() || AutoStretch()), printed_,
                      wrap ? std::function<QString(const QString&)>(wrappable) : nullptr);
    }
    DrawFrame(p, rect);
}

// ------------------------------------------------------------------- TQRDBText

TQRDBText::TQRDBText(QWidget* parent) : TQRCustomLabel(parent) {}

TClientDataSet* TQRDBText::DataSet() const { return qobject_cast<TClientDataSet*>(dataSet_.data()); }
void TQRDBText::SetDataSet(TClientDataSet* dataSet) { dataSet_ = dataSet; }
QObject* TQRDBText::DataSetObject() const { return dataSet_.data(); }
void TQRDBText::SetDataSetObject(QObject* dataSet) { dataSet_ = qobject_cast<TClientDataSet*>(dataSet); }

TField* TQRDBText::Field() const
{
    TClientDataSet* ds = DataSet();
    if (ds == nullptr || !ds->Active() || dataField_.isEmpty()) return nullptr;
    if (fieldIndex_ >= 0 && fieldIndex_ < ds->FieldCount() &&
        ds->Field(fieldIndex_).FieldName().compare(dataField_, Qt::CaseInsensitive) == 0)
        return &ds->Field(fieldIndex_);
    TField* f = ds->FindField(dataField_);
    fieldIndex_ = f != nullptr ? f->Index() : -1;
    return f;
}

QString TQRDBText::ValueText()
{
    TField* f = Field();
    if (f == nullptr || f->IsNull()) return {};
    if (!Mask().isEmpty() && (f->IsNumeric() || f->DataType() == TFieldType::String)) return FormatMasked(Mask(), f->Value());
    if (f->DataType() == TFieldType::Float) return FloatToStr(f->AsFloat());
    return f->AsString();
}

// ----------------------------------------------------------------- TQRDBIDText

QString TQRDBIDText::Meaning(const QStringList& items, const QString& code)
{
    const QString key = code.trimmed();
    for (const QString& item : items) {
        const int eq = item.indexOf(QLatin1Char('='));
        if (eq < 0) {
            if (item.trimmed().isEmpty() && key.isEmpty()) return {};
            continue;
        }
        if (item.left(eq).trimmed() == key) return item.mid(eq + 1);
    }
    return code;
}

QString TQRDBIDText::ValueText()
{
    TField* f = Field();
    const QString code = f == nullptr || f->IsNull() ? QString() : f->AsString();
    return Meaning(items_, code);
}

// --------------------------------------------------------------------- TQRExpr

TQRExpr::TQRExpr(QWidget* parent) : TQRCustomLabel(parent) {}
TQRExpr::~TQRExpr() = default;

void TQRExpr::SetExpression(const QString& expression)
{
    expression_ = expression;
    evaluator_.reset();
    update();
}

void TQRExpr::BeginPrint(TQRPrintContext& ctx)
{
    if (!evaluator_ || preparedFor_ != ctx.report) {
        evaluator_ = std::make_unique<TQREvaluator>();
        evaluator_->SetDataSets(ctx.report->DataSets());
        evaluator_->SetFunctions(&ctx.report->Functions());
        evaluator_->Prepare(expression_);
        preparedFor_ = ctx.report;
    }
    TQRCustomLabel::BeginPrint(ctx);
}

QString TQRExpr::ValueText()
{
    if (!evaluator_) return {};
    const Variant v = evaluator_->Value();
    if (!Mask().isEmpty() && v.IsNumeric()) return FormatFloat(Mask(), v.ToDouble());
    return QRValueText(v);
}

// --------------------------------------------------------------------- TQRMemo

TQRMemo::TQRMemo(QWidget* parent) : TQRCustomLabel(parent)
{
    SetAutoSize(false);
    SetAutoStretch(true);
    SetWordWrap(true);
}

// ------------------------------------------------------------------ TQRSysData

QString TQRSysData::ValueText()
{
    TQuickRep* rep = PrintingReport();
    QString value;
    switch (data_) {
    case qrsTime: value = QTime::currentTime().toString(QStringLiteral("hh:mm")); break;
    case qrsDate: value = QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd")); break;
    case qrsDateTime: value = QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd hh:mm")); break;
    case qrsPageNumber: value = rep ? QString::number(rep->PageNumber()) : QString(); break;
    case qrsReportTitle: value = rep ? rep->ReportTitle() : QString(); break;
    case qrsDetailCount: value = rep && rep->DataSet() ? QString::number(rep->DataSet()->RecordCount()) : QString(); break;
    case qrsDetailNo: value = rep ? QString::number(rep->DetailCount()) : QString(); break;
    }
    return text_ + value;
}

// -------------------------------------------------------------------- TQRImage

TQRImage::TQRImage(QWidget* parent) : TQRPrintable(parent) { SetAutoSize(false); }

void TQRImage::SetPictureFile(const QString& file)
{
    file_ = file;
    QImage image;
    if (!file.isEmpty()) image.load(file);
    SetPicture(image);
}

void TQRImage::SetPicture(const QImage& image)
{
    image_ = image;
    if (AutoSize() && !image_.isNull()) resize(image_.size());
    update();
}

void TQRImage::Draw(TQRPrintContext& ctx, const QRectF& rect)
{
    QPainter& p = *ctx.painter;
    if (!Transparent()) p.fillRect(rect, Color());
    if (!image_.isNull()) {
        QRectF target(rect.topLeft(), QSizeF(image_.size()));
        if (stretch_) {
            target = rect;
        } else if (center_) {
            target.moveCenter(rect.center());
        }
        p.save();
        p.setClipRect(rect, Qt::IntersectClip);
        p.drawImage(target, image_);
        p.restore();
    }
    DrawFrame(p, rect);
}

void TQRImage::paintEvent(QPaintEvent* event)
{
    if (image_.isNull()) return TQRPrintable::paintEvent(event);
    QPainter p(this);
    p.drawImage(stretch_ ? QRectF(rect()) : QRectF(QPointF(0, 0), QSizeF(image_.size())), image_);
}

// -------------------------------------------------------------------- TQRShape

TQRShape::TQRShape(QWidget* parent) : TQRPrintable(parent) { resize(65, 65); }

void TQRShape::Draw(TQRPrintContext& ctx, const QRectF& rect)
{
    QPainter& p = *ctx.painter;
    p.save();
    p.setPen(penWidth_ > 0 ? QPen(penColor_, penWidth_) : QPen(Qt::NoPen));
    p.setBrush(brush_.alpha() == 0 ? QBrush(Qt::NoBrush) : QBrush(brush_));
    const double half = penWidth_ / 2.0;
    const QRectF r = rect.adjusted(half, half, -half, -half);
    switch (shape_) {
    case qrsRectangle: p.drawRect(r); break;
    case qrsCircle: p.drawEllipse(r); break;
    case qrsHorLine: p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y())); break;
    case qrsVertLine: p.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.bottom())); break;
    case qrsTopAndBottom:
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.bottomLeft(), r.bottomRight());
        break;
    case qrsRightAndLeft:
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.drawLine(r.topRight(), r.bottomRight());
        break;
    }
    p.restore();
}

void TQRShape::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    TQRPrintContext ctx;
    ctx.painter = &p;
    Draw(ctx, QRectF(rect()));
}

}  // namespace kelm24
