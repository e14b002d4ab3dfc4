#include "format/engine/QVQRControls.h"

#include "format/engine/ClientDataSet.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cstring>
#include <zint.h>

namespace kelm24 {

void TQVQRDBText::SetTextType(int type)
{
    const bool changed = type != textType_;
    textType_ = type;
    if (changed && OnTextTypeChange) OnTextTypeChange(this);
}

namespace {

struct Symbology {
    int zint;
    const char* allowed;  // nullptr: printable ASCII 32..126; "" digits only
};

Symbology SymbologyOf(int barType)
{
    static const char* code39 = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
    switch (barType) {
    case bcCode_2_5_interleaved: return {BARCODE_C25INTER, ""};
    case bcCode_2_5_industrial: return {BARCODE_C25IND, ""};
    case bcCode_2_5_matrix: return {BARCODE_C25STANDARD, ""};
    case bcCode39: return {BARCODE_CODE39, code39};
    case bcCode39Extended: return {BARCODE_EXCODE39, nullptr};
    case bcCode128A: return {BARCODE_CODE128, "\x01"};  // upper-case set
    case bcCode128B: return {BARCODE_CODE128B, nullptr};
    case bcCode128C: return {BARCODE_CODE128, ""};
    case bcCode93: return {BARCODE_CODE93, code39};
    case bcCode93Extended: return {BARCODE_CODE93, nullptr};
    case bcCodeMSI: return {BARCODE_MSI_PLESSEY, ""};
    case bcCodePostNet: return {BARCODE_POSTNET, ""};
    case bcCodeCodabar: return {BARCODE_CODABAR, "0123456789-$:/.+ABCD"};
    case bcCodeEAN8:
    case bcCodeEAN13:
    case bcCodeUPC_Supp2:
    case bcCodeUPC_Supp5: return {BARCODE_EANX, ""};
    case bcCodeUPC_A: return {BARCODE_UPCA, ""};
    case bcCodeUPC_E0:
    case bcCodeUPC_E1: return {BARCODE_UPCE, ""};
    case bcCodeEAN128A: return {BARCODE_CODE128, "\x01"};
    case bcCodeEAN128B: return {BARCODE_CODE128B, nullptr};
    case bcCodeEAN128C: return {BARCODE_CODE128, ""};
    default: return {BARCODE_CODE128B, nullptr};
    }
}

bool Allowed(const Symbology& s, QChar c, int barType, int pos, int length)
{
    const ushort u = c.unicode();
    if (s.allowed == nullptr) return u >= 32 && u <= 126;
    if (s.allowed[0] == '\x01') return u < 96;  // Code 128 set A: controls, digits, upper case
    if (s.allowed[0] == '\0') return u >= '0' && u <= '9';
    if (barType == bcCodeCodabar && QStringLiteral("ABCD").contains(c)) return pos == 0 || pos == length - 1;
    return u < 128 && std::strchr(s.allowed, static_cast<char>(u)) != nullptr;
}

}  // namespace

TQvQRBarcode::TQvQRBarcode(QWidget* parent) : TQRPrintable(parent)
{
    SetAutoSize(false);
    resize(100, 40);
}

QString TQvQRBarcode::EncodedText(const QString& raw)
{
    const Symbology s = SymbologyOf(barType_);
    QString text = barType_ == bcCode39 || barType_ == bcCode93 || barType_ == bcCodeCodabar ? raw.toUpper() : raw;
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        if (Allowed(s, text[i], barType_, i, static_cast<int>(text.size()))) {
            out += text[i];
            continue;
        }
        QString replacement;
        if (OnInvalidChar) OnInvalidChar(this, replacement);
        out += replacement;
    }
    if ((barType_ == bcCode128C || barType_ == bcCodeEAN128C || barType_ == bcCode_2_5_interleaved) && out.size() % 2 == 1)
        out.prepend(QLatin1Char('0'));
    if (barType_ == bcCodeCodabar && !out.isEmpty()) {
        if (!QStringLiteral("ABCD").contains(out.front())) out.prepend(QLatin1Char('A'));
        if (out.size() == 1 || !QStringLiteral("ABCD").contains(out.back())) out.append(QLatin1Char('B'));
    }
    return out;
}

void TQvQRBarcode::BeginPrint(TQRPrintContext& ctx)
{
    TQRPrintable::BeginPrint(ctx);
    encoded_ = EncodedText(RawText());
}

void TQvQRBarcode::Draw(TQRPrintContext& ctx, const QRectF& rect)
{
    QPainter& p = *ctx.painter;
    error_.clear();
    if (!Transparent()) p.fillRect(rect, Color());
    if (encoded_.isEmpty()) return DrawFrame(p, rect);
    zint_symbol* symbol = ZBarcode_Create();
    const Symbology s = SymbologyOf(barType_);
    symbol->symbology = s.zint;
    symbol->show_hrt = 0;
    symbol->input_mode = DATA_MODE;
    const QByteArray bytes = encoded_.toLatin1();
    const int rc = ZBarcode_Encode(symbol, reinterpret_cast<const unsigned char*>(bytes.constData()), static_cast<int>(bytes.size()));
    if (rc >= ZINT_ERROR || ZBarcode_Buffer_Vector(symbol, 0) >= ZINT_ERROR || symbol->vector == nullptr) {
        error_ = QString::fromLatin1(symbol->errtxt);
        ZBarcode_Delete(symbol);
        return DrawFrame(p, rect);
    }
    const QFont font = PrintFont(ctx);
    const double textHeight = textShow_ != 0 ? QFontMetricsF(font, p.device()).height() : 0;
    const bool textOnTop = textPosition_ <= tpTopCenter;
    QRectF bars(rect.x(), rect.y() + (textOnTop ? textHeight : 0), rect.width(), std::max(1.0, rect.height() - textHeight));
    const zint_vector& v = *symbol->vector;
    double sx = bars.width() / v.width;
    if (autoWidth_) {
        // Modul pixels a module; zint's vector gives a module two units.
        sx = modul_ * static_cast<double>(symbol->width) / std::max(1.0, static_cast<double>(v.width));
        bars.setWidth(v.width * sx);
    }
    double barTop = v.height, barBottom = 0;
    for (zint_vector_rect* r = v.rectangles; r != nullptr; r = r->next) {
        barTop = std::min<double>(barTop, r->y);
        barBottom = std::max<double>(barBottom, r->y + r->height);
    }
    const double sy = bars.height() / std::max(1.0, barBottom - barTop);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    for (zint_vector_rect* r = v.rectangles; r != nullptr; r = r->next)
        p.drawRect(QRectF(bars.x() + r->x * sx, bars.y() + (r->y - barTop) * sy, r->width * sx, r->height * sy));
    p.restore();
    ZBarcode_Delete(symbol);
    if (textShow_ != 0) {
        const QRectF textRect(rect.x(), textOnTop ? rect.y() : bars.bottom(), std::max(bars.width(), rect.width()), textHeight);
        int align = Qt::AlignHCenter;
        if (textPosition_ == tpTopLeft || textPosition_ == tpBottomLeft) align = Qt::AlignLeft;
        if (textPosition_ == tpTopRight || textPosition_ == tpBottomRight) align = Qt::AlignRight;
        UseFont(ctx, font);
        UsePen(ctx, Qt::black);
        p.drawText(textRect, align | Qt::AlignVCenter | Qt::TextDontClip, RawText());
    }
    DrawFrame(p, rect);
}

void TQvQRDBBarcode::SetDataSet(TClientDataSet* ds) { dataSet_ = ds; }

QString TQvQRDBBarcode::RawText()
{
    auto* ds = qobject_cast<TClientDataSet*>(dataSet_.data());
    if (ds == nullptr || !ds->Active()) return {};
    TField* f = ds->FindField(dataField_);
    return f == nullptr ? QString() : f->AsString();
}

}  // namespace kelm24
