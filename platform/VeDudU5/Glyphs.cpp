#include "platform/VeDudU5/Glyphs.h"

#include <QPainter>
#include <QPainterPath>

namespace vedudu5 {

namespace {

const QColor kInk(40, 40, 40);
const QColor kPaper(255, 255, 255);
const QColor kBlue(40, 90, 200);
const QColor kGreen(30, 150, 50);
const QColor kRed(210, 40, 40);
const QColor kYellow(240, 200, 60);
const QColor kGrey(150, 150, 150);

void Page(QPainter& p, QRectF r = QRectF(3.5, 1.5, 9, 13))
{
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawRect(r);
}

void Lines(QPainter& p, qreal x, qreal y, qreal w, int n, qreal step = 2)
{
    p.setPen(kGrey);
    for (int i = 0; i < n; ++i) p.drawLine(QPointF(x, y + i * step), QPointF(x + w, y + i * step));
}

void Magnifier(QPainter& p, QPointF c, qreal r)
{
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(QColor(200, 230, 255));
    p.drawEllipse(c, r, r);
    p.setPen(QPen(kInk, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(r * 0.7, r * 0.7), c + QPointF(r * 0.7 + 4, r * 0.7 + 4));
}

void Triangle(QPainter& p, QPointF a, QPointF b, QPointF c, const QColor& colour)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(QPolygonF({a, b, c}));
}

// An arrow from the middle of the glyph; dx, dy give its direction.
void Arrow(QPainter& p, int dx, int dy, const QColor& colour)
{
    const QPointF c(8, 8);
    const QPointF dir(dx, dy), side(-dy, dx);
    p.setPen(QPen(colour, 3));
    p.drawLine(c - dir * 5, c + dir * 1);
    Triangle(p, c + dir * 6, c + dir * 1 + side * 4, c + dir * 1 - side * 4, colour);
}

void Printer(QPainter& p)
{
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(kGrey);
    p.drawRect(QRectF(1.5, 6.5, 13, 6));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 10.5, 7, 4));
    p.setPen(kGreen);
    p.drawPoint(QPointF(12.5, 8.5));
}

void Floppy(QPainter& p)
{
    p.setPen(kInk);
    p.setBrush(kBlue);
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(220, 220, 220));
    p.drawRect(QRectF(3.5, 9.5, 9, 5));
}

void Check(QPainter& p, const QColor& colour)
{
    p.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(3, 8), QPointF(6.5, 12), QPointF(13, 3.5)}));
}

void Cross(QPainter& p, const QColor& colour, qreal inset = 3)
{
    p.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(inset, inset), QPointF(16 - inset, 16 - inset));
    p.drawLine(QPointF(16 - inset, inset), QPointF(inset, 16 - inset));
}

void Plus(QPainter& p, const QColor& colour, QPointF c = QPointF(8, 8), qreal r = 5)
{
    p.setPen(QPen(colour, 2.5));
    p.drawLine(c - QPointF(r, 0), c + QPointF(r, 0));
    p.drawLine(c - QPointF(0, r), c + QPointF(0, r));
}

void Pencil(QPainter& p, QPointF tip = QPointF(2, 14))
{
    QPainterPath body;
    body.moveTo(tip);
    body.lineTo(tip + QPointF(1, -4));
    body.lineTo(tip + QPointF(10, -13));
    body.lineTo(tip + QPointF(13, -10));
    body.lineTo(tip + QPointF(4, -1));
    body.closeSubpath();
    p.setPen(kInk);
    p.setBrush(kYellow);
    p.drawPath(body);
}

void Padlock(QPainter& p, bool open)
{
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(4.5, 1.5, 7, 9), 0, open ? 150 * 16 : 180 * 16);
    if (!open) p.drawLine(QPointF(4.5, 6), QPointF(4.5, 8));
    p.drawLine(QPointF(11.5, 6), QPointF(11.5, 8));
    p.setPen(kInk);
    p.setBrush(kYellow);
    p.drawRect(QRectF(2.5, 7.5, 11, 7));
}

void Bars(QPainter& p, bool ascending)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    for (int i = 0; i < 3; ++i) {
        const int h = ascending ? 3 + i * 4 : 11 - i * 4;
        p.drawRect(QRectF(1 + i * 3.5, 15 - h, 2.5, h));
    }
    Triangle(p, QPointF(13, ascending ? 1 : 15), QPointF(10, ascending ? 6 : 10), QPointF(16, ascending ? 6 : 10),
             kGreen);
    p.setPen(QPen(kGreen, 2));
    p.drawLine(QPointF(13, 5), QPointF(13, 11));
}

void PageNav(QPainter& p, bool forward, bool toEnd)
{
    const qreal s = forward ? 1 : -1;
    const QPointF c(toEnd ? 7 + s * -1 : 8, 8);
    Triangle(p, c + QPointF(s * 4, 0), c + QPointF(-s * 3, -5), c + QPointF(-s * 3, 5), kBlue);
    if (toEnd) {
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawRect(QRectF(forward ? 11 : 3, 3, 2, 10));
    }
}

void Envelope(QPainter& p)
{
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawRect(QRectF(1.5, 3.5, 13, 9));
    p.drawPolyline(QPolygonF({QPointF(1.5, 3.5), QPointF(8, 9), QPointF(14.5, 3.5)}));
}

// Draws glyph id into a 16 x 16 cell.
void DrawCell(QPainter& p, int id)
{
    switch (id) {
    case 1: Floppy(p); break;  // save
    case 2: {  // open
        p.setPen(kInk);
        p.setBrush(kYellow.darker(115));
        p.drawRect(QRectF(1.5, 3.5, 11, 10));
        p.setBrush(kYellow);
        p.drawPolygon(QPolygonF({QPointF(1.5, 13.5), QPointF(4.5, 7.5), QPointF(15.5, 7.5), QPointF(12.5, 13.5)}));
        break;
    }
    case 3: Cross(p, kRed); break;  // delete
    case 4: {  // clear: an eraser
        p.setPen(kInk);
        p.setBrush(QColor(240, 140, 160));
        p.drawPolygon(QPolygonF({QPointF(2, 10), QPointF(8, 4), QPointF(14, 10), QPointF(8, 16)}));
        p.setBrush(kBlue);
        p.drawPolygon(QPolygonF({QPointF(8, 4), QPointF(11, 1), QPointF(15.5, 5.5), QPointF(14, 10)}));
        break;
    }
    case 5: Printer(p); break;
    case 6:  // export
        Page(p, QRectF(1.5, 1.5, 9, 13));
        Lines(p, 3.5, 4.5, 5, 4);
        p.translate(3, 2);
        Arrow(p, 1, 0, kGreen);
        break;
    case 7: Magnifier(p, QPointF(6.5, 6.5), 4.5); break;  // zoom
    case 8:  // pick: a list with a magnifier
        Page(p, QRectF(1.5, 1.5, 10, 12));
        Lines(p, 3.5, 4.5, 6, 4);
        Magnifier(p, QPointF(10, 10), 3);
        break;
    case 9: {  // date pick: a calendar
        p.setPen(kInk);
        p.setBrush(kPaper);
        p.drawRect(QRectF(1.5, 2.5, 13, 12));
        p.setBrush(kRed);
        p.drawRect(QRectF(1.5, 2.5, 13, 3));
        p.setPen(kGrey);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c) p.drawRect(QRectF(3 + c * 3, 7 + r * 2.4, 1, 1));
        break;
    }
    case 10: PageNav(p, false, true); break;
    case 11: PageNav(p, false, false); break;
    case 12: PageNav(p, true, false); break;
    case 13: PageNav(p, true, true); break;
    case 14: Envelope(p); break;  // e-mail
    case 15: {  // fax
        p.setPen(kInk);
        p.setBrush(kPaper);
        p.drawRect(QRectF(5.5, 1.5, 7, 6));
        Lines(p, 7, 3.5, 4, 2);
        p.setPen(kInk);
        p.setBrush(kGrey);
        p.drawRect(QRectF(1.5, 7.5, 13, 7));
        p.setBrush(kInk);
        p.drawRect(QRectF(2.5, 5.5, 2, 8));
        p.setPen(kPaper);
        for (int i = 0; i < 3; ++i) p.drawPoint(QPointF(7.5 + i * 2.5, 10.5));
        break;
    }
    case 16: {  // exit: a door and an arrow
        p.setPen(kInk);
        p.setBrush(QColor(160, 100, 50));
        p.drawRect(QRectF(1.5, 1.5, 7, 13));
        p.translate(3, 0);
        Arrow(p, 1, 0, kRed);
        break;
    }
    case 17:
        Magnifier(p, QPointF(6.5, 6.5), 4.5);
        Plus(p, kInk, QPointF(6.5, 6.5), 2.5);
        break;
    case 18:
        Magnifier(p, QPointF(6.5, 6.5), 4.5);
        p.setPen(QPen(kInk, 2));
        p.drawLine(QPointF(4, 6.5), QPointF(9, 6.5));
        break;
    case 19:  // printer set-up
        Printer(p);
        p.scale(0.6, 0.6);
        p.translate(10, 10);
        Check(p, kGreen);
        break;
    case 20: Pencil(p); break;  // design
    case 21: Check(p, kGreen); break;
    case 22: Cross(p, kGrey, 4); break;
    case 23: Plus(p, kGreen); break;
    case 24:  // edit
        Page(p);
        Lines(p, 5.5, 4.5, 5, 4);
        p.scale(0.75, 0.75);
        p.translate(6, 6);
        Pencil(p);
        break;
    case 25:  // find
        Page(p, QRectF(1.5, 1.5, 9, 12));
        Lines(p, 3.5, 4.5, 5, 4);
        Magnifier(p, QPointF(10, 9.5), 3.5);
        break;
    case 26: {  // refresh
        p.setPen(QPen(kGreen, 2.5));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(2.5, 2.5, 11, 11), 30 * 16, 300 * 16);
        Triangle(p, QPointF(15, 2), QPointF(15, 8), QPointF(9.5, 5), kGreen);
        break;
    }
    case 27: {  // help: a question mark on a blue disc
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawEllipse(QRectF(1, 1, 14, 14));
        p.setPen(QPen(kPaper, 2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(5, 3.5, 6, 5), -90 * 16, 270 * 16);
        p.drawLine(QPointF(8, 8.5), QPointF(8, 10));
        p.drawPoint(QPointF(8, 12.5));
        break;
    }
    case 28:  // copy
        Page(p, QRectF(1.5, 1.5, 8, 10));
        Page(p, QRectF(6.5, 4.5, 8, 10));
        Lines(p, 8.5, 7.5, 4, 3);
        break;
    case 29: {  // paste
        p.setPen(kInk);
        p.setBrush(QColor(190, 140, 80));
        p.drawRect(QRectF(1.5, 2.5, 10, 12));
        p.setBrush(kGrey);
        p.drawRect(QRectF(4.5, 1.5, 4, 2));
        Page(p, QRectF(6.5, 6.5, 8, 8));
        break;
    }
    case 30: Arrow(p, 0, -1, kGreen); break;
    case 31: Arrow(p, 0, 1, kGreen); break;
    case 32: Arrow(p, -1, 0, kGreen); break;
    case 33: Arrow(p, 1, 0, kGreen); break;
    case 34:  // filter
        p.setPen(kInk);
        p.setBrush(kBlue);
        p.drawPolygon(QPolygonF({QPointF(1.5, 2.5), QPointF(14.5, 2.5), QPointF(9.5, 8.5), QPointF(9.5, 14.5),
                                 QPointF(6.5, 12.5), QPointF(6.5, 8.5)}));
        break;
    case 35: Bars(p, true); break;
    case 36: Bars(p, false); break;
    case 37:  // whole page
        Page(p);
        p.setPen(kBlue);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(5.5, 3.5, 5, 9));
        break;
    case 38:  // page width
        Page(p);
        p.setPen(QPen(kBlue, 1.5));
        p.drawLine(QPointF(1, 8), QPointF(15, 8));
        Triangle(p, QPointF(0, 8), QPointF(3, 5), QPointF(3, 11), kBlue);
        Triangle(p, QPointF(16, 8), QPointF(13, 5), QPointF(13, 11), kBlue);
        break;
    case 39: Padlock(p, false); break;
    case 40: Padlock(p, true); break;
    case 41:  // user
        p.setPen(kInk);
        p.setBrush(QColor(250, 210, 170));
        p.drawEllipse(QRectF(5, 1.5, 6, 6));
        p.setBrush(kBlue);
        p.drawChord(QRectF(2, 8.5, 12, 13), 0, 180 * 16);
        break;
    case 42: {  // calculator
        p.setPen(kInk);
        p.setBrush(kGrey);
        p.drawRect(QRectF(2.5, 1.5, 11, 13));
        p.setBrush(QColor(200, 230, 200));
        p.drawRect(QRectF(4.5, 3.5, 7, 3));
        p.setPen(Qt::NoPen);
        p.setBrush(kPaper);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) p.drawRect(QRectF(4.5 + c * 2.5, 8 + r * 2, 1.5, 1.2));
        break;
    }
    case 43:  // save as
        Floppy(p);
        p.scale(0.7, 0.7);
        p.translate(7, 7);
        Pencil(p);
        break;
    case 44:  // new document
        Page(p);
        Plus(p, kGreen, QPointF(11, 11), 3.5);
        break;
    case 45:  // properties
        Page(p);
        for (int i = 0; i < 4; ++i) {
            p.setPen(kBlue);
            p.drawPoint(QPointF(5.5, 4.5 + i * 2.5));
            p.setPen(kGrey);
            p.drawLine(QPointF(7.5, 4.5 + i * 2.5), QPointF(10.5, 4.5 + i * 2.5));
        }
        break;
    case 46:  // send
        p.setPen(kInk);
        p.setBrush(kPaper);
        p.drawPolygon(QPolygonF({QPointF(1, 7), QPointF(15, 1), QPointF(10, 15), QPointF(7.5, 9)}));
        p.drawLine(QPointF(7.5, 9), QPointF(15, 1));
        break;
    case 47:  // delete one row: a list and a red minus
        Page(p, QRectF(1.5, 1.5, 9, 12));
        Lines(p, 3.5, 4.5, 5, 4);
        p.setPen(QPen(kRed, 2.5));
        p.drawLine(QPointF(8, 12), QPointF(15, 12));
        break;
    default: break;
    }
}

// The disabled look of a cell: grey shades of its luminance, lighter.
QImage Disabled(const QImage& cell)
{
    QImage out = cell.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const int g = 128 + qGray(line[x]) / 2;
            line[x] = qRgba(g, g, g, qAlpha(line[x]));
        }
    }
    return out;
}

// Glyphs that come with their own disabled cell.
bool HasDisabledCell(int id) { return id == 4; }

}  // namespace

QImage DrawGlyph(int id)
{
    if (id < 1 || id > MaxGlyphId) return QImage();
    QImage cell(16, 16, QImage::Format_ARGB32_Premultiplied);
    cell.fill(Qt::transparent);
    {
        QPainter p(&cell);
        p.setRenderHint(QPainter::Antialiasing);
        DrawCell(p, id);
    }
    if (!HasDisabledCell(id)) return cell;
    QImage strip(32, 16, QImage::Format_ARGB32_Premultiplied);
    strip.fill(Qt::transparent);
    QPainter p(&strip);
    p.drawImage(0, 0, cell);
    p.drawImage(16, 0, Disabled(cell));
    return strip;
}

}  // namespace vedudu5
