// Texts laid out once and drawn again wherever they repeat: a report prints
// the same units, codes, warehouses and item names on line after line, and
// shaping them is most of the cost of a page. Drawing a kept layout records
// into the page exactly what QPainter::drawText records for the same
// rectangle, flags, font and text.
#pragma once

#include <QCache>
#include <QFont>
#include <QRectF>
#include <QString>
#include <QTextLayout>
#include <functional>

class QPainter;

namespace kelm24 {

class TQRTextLayouts {
public:
    explicit TQRTextLayouts(int capacity = 256) : layouts_(capacity) {}

    // Draws text as painter.drawText(rect, flags, prepare(text)) would, with
    // the painter's font. `prepare` turns the text into what is laid out (it
    // runs only when the text is not kept yet).
    void Draw(QPainter& painter, const QRectF& rect, int flags, const QString& text,
              const std::function<QString(const QString&)>& prepare = {});
    // The flags, font, painter and text a kept layout draws as drawText does;
    // anything else goes to drawText itself.
    static bool Handles(const QPainter& painter, int flags, const QString& text);

private:
    struct TKey {
        QString Text;
        int Flags;
        qreal Width, Height;
        bool operator==(const TKey& o) const = default;
        friend size_t qHash(const TKey& k, size_t seed = 0) { return qHashMulti(seed, k.Text, k.Flags, k.Width, k.Height); }
    };
    struct TLaidOut {
        TLaidOut(const QString& text, const QFont& font) : Layout(text, font) {}
        QTextLayout Layout;
        qreal Width = 0, Height = 0;  // of the lines laid out
    };
    static void LayOut(TLaidOut& out, Qt::LayoutDirection direction, const QRectF& rect, int flags);

    QCache<TKey, TLaidOut> layouts_;
    QFont font_;  // the painter's font the kept layouts were made with, on a device of dpi_
    int dpi_ = 0;
    Qt::LayoutDirection direction_ = Qt::LeftToRight;
};

}  // namespace kelm24
