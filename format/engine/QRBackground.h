// The page background of a report: the pre-printed form drawn under every page.
#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <memory>
#include <mutex>
#include <vector>

class QPainter;
class QSvgRenderer;

namespace kelm24 {

// A text of an SVG background that the background draws itself. Qt's SVG
// renderer draws texts as outlines, which makes every page of a PDF carry the
// glyph outlines of the whole form (over a megabyte a page) and leaves the
// form's titles unsearchable; drawn as text they are a few bytes each.
struct TSvgText {
    QPointF Position;  // baseline start in the picture's user units
    QString Family;
    double Size = 12;  // font-size in user units
    bool Bold = false;
    Qt::Alignment Anchor = Qt::AlignLeft;  // text-anchor: start, middle, end
    QColor Color = Qt::black;
    QString Text;
};

// Takes the plain texts out of an SVG: <text> elements with character
// content only, under groups moved by translate() alone, that nothing refers
// to and no later filled shape covers. Returns the SVG without them; what it
// cannot place exactly (or a document with style sheets, SVG fonts or no
// size of its own) stays whole for the SVG renderer.
QByteArray TakeSvgTexts(const QByteArray& Svg, std::vector<TSvgText>& Texts);

// An SVG (drawn as vectors, its plain texts as text) or a raster picture.
class TQRBackground {
public:
    // Loads an SVG (told by its content) or a raster picture file; when the
    // file cannot be read the background stays as it was and the answer is false.
    bool Load(const QString& fileName);
    void Clear();
    bool IsEmpty() const;
    void Draw(QPainter& painter, const QRectF& target) const;

private:
    std::shared_ptr<QSvgRenderer> svg_;
    std::shared_ptr<std::mutex> svgLock_;  // copies share the renderer; drawing changes its state
    struct TDrawnText;  // a taken text with its font and place, made once at load
    std::shared_ptr<const std::vector<TDrawnText>> texts_;
    QImage image_;
};

}  // namespace kelm24
