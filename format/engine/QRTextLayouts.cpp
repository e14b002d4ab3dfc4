#include "format/engine/QRTextLayouts.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QtMath>

namespace kelm24 {

namespace {

// What drawText does with these flags is what a kept layout repeats.
constexpr int kHandledFlags = Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter | Qt::AlignTop | Qt::AlignBottom |
                              Qt::AlignVCenter | Qt::TextWordWrap | Qt::TextDontClip;

// The characters drawText replaces before laying a text out: line feeds break
// lines, returns and tabs (not expanded) become spaces.
QString LaidOutCharacters(QString text)
{
    for (QChar& c : text) {
        if (c == u'\r' || c == u'\t') c = u' ';
        else if (c == u'\n') c = QChar::LineSeparator;
    }
    return text;
}

}  // namespace

bool TQRTextLayouts::Handles(const QPainter& painter, int flags, const QString& text)
{
    const QFont font = painter.font();
    // Underlines and the like are drawn after all lines; right-to-left lines
    // align on their leading spaces; a text of length variants is tried
    // variant by variant: all are left to drawText.
    const Qt::LayoutDirection direction = painter.layoutDirection();
    const bool leftToRight = direction == Qt::LeftToRight || (direction == Qt::LayoutDirectionAuto && !text.isRightToLeft());
    return (flags & ~kHandledFlags) == 0 && leftToRight && !font.underline() && !font.overline() && !font.strikeOut() &&
           !text.contains(QChar(0x9c));
}

void TQRTextLayouts::LayOut(TLaidOut& out, Qt::LayoutDirection direction, const QRectF& rect, int flags)
{
    // Line for line as drawText lays out: lines start on whole pixels, one
    // leading apart; a clipped text stops at the first line that reaches the
    // bottom of the rectangle.
    QTextOption option;
    option.setTextDirection(direction);
    option.setAlignment(Qt::AlignLeft);  // lines are aligned when drawn
    out.Layout.setTextOption(option);
    out.Layout.setCacheEnabled(true);
    const bool wrap = flags & Qt::TextWordWrap, clip = !(flags & Qt::TextDontClip);
    const qreal lineWidth = wrap ? qMax<qreal>(0, rect.width()) : 0x01000000;
    const qreal leading = QFontMetricsF(out.Layout.font()).leading();
    qreal height = -leading, width = 0;
    out.Layout.beginLayout();
    for (QTextLine line = out.Layout.createLine(); line.isValid(); line = out.Layout.createLine()) {
        line.setLineWidth(lineWidth);
        height = qCeil(height + leading);
        line.setPosition(QPointF(0, height));
        height += line.ascent() + line.descent();
        width = qMax(width, line.naturalTextWidth());
        if (clip && height >= rect.height()) break;
    }
    out.Layout.endLayout();
    out.Width = width;
    out.Height = height;
}

void TQRTextLayouts::Draw(QPainter& painter, const QRectF& rect, int flags, const QString& text,
                          const std::function<QString(const QString&)>& prepare)
{
    const bool clip = !(flags & Qt::TextDontClip);
    // An empty rectangle that clips is drawText's own matter (versions of Qt differ on it).
    if (!Handles(painter, flags, text) || (rect.isEmpty() && clip)) {
        painter.drawText(rect, flags, prepare ? prepare(text) : text);
        return;
    }
    if (text.isEmpty() || painter.pen().style() == Qt::NoPen) return;

    const QFont font = painter.font();
    const int dpi = painter.device()->logicalDpiY();
    if (font != font_ || dpi != dpi_) {
        layouts_.clear();
        font_ = font;
        dpi_ = dpi;
    }
    const TKey key{text, flags, rect.width(), rect.height()};
    TLaidOut* laidOut = layouts_.object(key);
    if (laidOut == nullptr) {
        laidOut = new TLaidOut(LaidOutCharacters(prepare ? prepare(text) : text), font);
        LayOut(*laidOut, painter.layoutDirection(), rect, flags);
        layouts_.insert(key, laidOut);
    }

    qreal yoff = 0;
    if (flags & Qt::AlignBottom) yoff = rect.height() - laidOut->Height;
    else if (flags & Qt::AlignVCenter) yoff = (rect.height() - laidOut->Height) / 2;
    qreal xoff = 0;
    if (flags & Qt::AlignRight) xoff = rect.width() - laidOut->Width;
    else if (flags & Qt::AlignHCenter) xoff = (rect.width() - laidOut->Width) / 2;
    const bool clipped = clip && !rect.contains(QRectF(rect.x() + xoff, rect.y() + yoff, laidOut->Width, laidOut->Height));
    if (clipped) {
        painter.save();
        painter.setClipRect(rect, Qt::IntersectClip);
    }
    for (int i = 0; i < laidOut->Layout.lineCount(); ++i) {
        const QTextLine line = laidOut->Layout.lineAt(i);
        const qreal advance = line.horizontalAdvance();
        xoff = 0;
        if (flags & Qt::AlignRight) xoff = rect.width() - advance;
        else if (flags & Qt::AlignHCenter) xoff = (rect.width() - advance) / 2;
        line.draw(&painter, QPointF(rect.x() + xoff, rect.y() + yoff));
    }
    if (clipped) painter.restore();
}

}  // namespace kelm24
