#include "format/engine/QRBackground.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cmath>
#include <limits>

namespace kelm24 {

namespace {

// What a text inherits from its groups.
struct TSvgTextState {
    bool Placeable = true;  // only translations and no styling the drawing below ignores
    bool Plain = true;      // user space is the picture's, moved by Offset alone
    QPointF Offset;
    QString Family;
    double FontSize = 0;    // 0: not given
    int Weight = QFont::Normal;
    Qt::Alignment Anchor = Qt::AlignLeft;
    QColor Fill = Qt::black;
    bool Filled = true;
};

bool ReadNumber(QStringView text, double& value)
{
    QString s = text.trimmed().toString();
    if (s.endsWith(QLatin1String("px"))) s.chop(2);
    bool ok = false;
    value = s.toDouble(&ok);
    return ok && std::isfinite(value);
}

// "translate(x)", "translate(x y)" or "translate(x, y)"; anything else cannot be placed.
bool ReadTranslate(const QString& transform, QPointF& offset)
{
    static const QRegularExpression translate(
        QStringLiteral(R"(^\s*translate\s*\(\s*([-+0-9.eE]+)\s*(?:[,\s]\s*([-+0-9.eE]+)\s*)?\)\s*$)"));
    const QRegularExpressionMatch m = translate.match(transform);
    if (!m.hasMatch()) return false;
    double x = 0, y = 0;
    if (!ReadNumber(m.captured(1), x)) return false;
    if (m.capturedLength(2) > 0 && !ReadNumber(m.captured(2), y)) return false;
    offset += QPointF(x, y);
    return true;
}

// Applies the attributes of a group or text element to the state it inherits.
void ApplyAttributes(const QXmlStreamAttributes& attributes, TSvgTextState& state)
{
    // Attributes that would change how or whether a text shows.
    static const char* const unplaceable[] = {"style", "class", "opacity", "fill-opacity", "filter", "clip-path", "mask",
                                              "display", "visibility", "font", "font-style", "font-stretch", "font-variant",
                                              "letter-spacing", "word-spacing", "writing-mode", "direction",
                                              "text-decoration", "dominant-baseline", "alignment-baseline", "baseline-shift",
                                              "xml:space", "comp-op"};
    for (const char* name : unplaceable)
        if (attributes.hasAttribute(QLatin1String(name))) state.Placeable = false;
    const QString stroke = attributes.value(QLatin1String("stroke")).toString().trimmed();
    if (!stroke.isEmpty() && stroke != QLatin1String("none")) state.Placeable = false;  // outlined text
    if (attributes.hasAttribute(QLatin1String("transform")) &&
        !ReadTranslate(attributes.value(QLatin1String("transform")).toString(), state.Offset))
        state.Placeable = state.Plain = false;
    if (attributes.hasAttribute(QLatin1String("font-family"))) {
        // One family, as the SVG renderer reads the attribute: a list or
        // "inherit" would be looked up otherwise than here.
        QString family = attributes.value(QLatin1String("font-family")).toString().trimmed();
        if (family.size() >= 2 && (family.front() == QLatin1Char('\'') || family.front() == QLatin1Char('"')) &&
            family.back() == family.front())
            family = family.mid(1, family.size() - 2);
        if (family.isEmpty() || family.contains(QLatin1Char(',')) || family == QLatin1String("inherit"))
            state.Placeable = false;
        state.Family = family;
    }
    if (attributes.hasAttribute(QLatin1String("font-size")) &&
        (!ReadNumber(attributes.value(QLatin1String("font-size")), state.FontSize) || state.FontSize <= 0))
        state.Placeable = false;
    if (attributes.hasAttribute(QLatin1String("font-weight"))) {
        // Regular and bold only: other weights pick faces as the SVG renderer's rules do.
        const QString weight = attributes.value(QLatin1String("font-weight")).toString();
        if (weight == QLatin1String("normal") || weight == QLatin1String("400")) state.Weight = QFont::Normal;
        else if (weight == QLatin1String("bold") || weight == QLatin1String("700")) state.Weight = QFont::Bold;
        else state.Placeable = false;
    }
    if (attributes.hasAttribute(QLatin1String("text-anchor"))) {
        const QString anchor = attributes.value(QLatin1String("text-anchor")).toString();
        if (anchor == QLatin1String("start")) state.Anchor = Qt::AlignLeft;
        else if (anchor == QLatin1String("middle")) state.Anchor = Qt::AlignHCenter;
        else if (anchor == QLatin1String("end")) state.Anchor = Qt::AlignRight;
        else state.Placeable = false;
    }
    if (attributes.hasAttribute(QLatin1String("fill"))) {
        const QString fill = attributes.value(QLatin1String("fill")).toString().trimmed();
        if (fill == QLatin1String("none")) {
            state.Filled = false;
        } else {
            const QColor color = QColor::fromString(fill);
            if (!color.isValid() || color.alpha() != 255) state.Placeable = false;
            state.Fill = color;
            state.Filled = true;
        }
    }
}

// A <text> element the background can draw itself, read to its end; false
// (with the reader after the element) when the SVG renderer must draw it.
bool ReadPlainText(QXmlStreamReader& reader, TSvgTextState state, TSvgText& text)
{
    const QXmlStreamAttributes attributes = reader.attributes();
    ApplyAttributes(attributes, state);
    for (const char* name : {"dx", "dy", "rotate", "textLength", "lengthAdjust", "transform"})
        if (attributes.hasAttribute(QLatin1String(name))) state.Placeable = false;
    double x = 0, y = 0;
    if (attributes.hasAttribute(QLatin1String("x")) && !ReadNumber(attributes.value(QLatin1String("x")), x)) state.Placeable = false;
    if (attributes.hasAttribute(QLatin1String("y")) && !ReadNumber(attributes.value(QLatin1String("y")), y)) state.Placeable = false;
    QString content;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isEndElement()) break;
        if (reader.isCharacters()) content += reader.text();
        else if (reader.isStartElement()) {
            state.Placeable = false;  // <tspan> and the like
            reader.skipCurrentElement();
        }
    }
    if (!state.Placeable || state.Family.isEmpty() || state.FontSize <= 0) return false;
    text.Position = state.Offset + QPointF(x, y);
    text.Family = state.Family;
    text.Size = state.FontSize;
    text.Bold = state.Weight == QFont::Bold;
    text.Anchor = state.Anchor;
    text.Color = state.Filled ? state.Fill : QColor(Qt::transparent);
    text.Text = content.simplified();
    return true;
}

bool IsGroupElement(QStringView name) { return name == QLatin1String("g") || name == QLatin1String("svg"); }

// Elements that paint an area with their fill.
bool IsFilledShape(QStringView name)
{
    for (const char* shape : {"rect", "circle", "ellipse", "path", "polygon", "polyline", "image", "use", "foreignObject"})
        if (name == QLatin1String(shape)) return true;
    return false;
}

// Ids that other elements draw again or paint with (href="#id", url(#id)):
// a text under such an element must stay where the renderer finds it.
QSet<QString> ReferencedIds(const QByteArray& Svg)
{
    static const QRegularExpression reference(QStringLiteral(R"((?:href\s*=\s*["']\s*#|url\(\s*#)([^"')\s]+))"));
    QSet<QString> ids;
    for (const QRegularExpressionMatch& m : reference.globalMatch(QString::fromUtf8(Svg))) ids.insert(m.captured(1));
    return ids;
}

// A taken text and the band of user space its glyphs may cover.
struct TTakenText {
    int Index;
    TSvgText Text;
    double Top, Bottom;
    bool Covered = false;
};

}  // namespace

QByteArray TakeSvgTexts(const QByteArray& Svg, std::vector<TSvgText>& Texts)
{
    Texts.clear();
    const QSet<QString> referenced = ReferencedIds(Svg);
    // First pass: which texts can be drawn as text, numbered in document order.
    std::vector<TTakenText> taken;
    {
        QXmlStreamReader reader(Svg);
        std::vector<TSvgTextState> groups{TSvgTextState()};
        int depth = 0, textIndex = 0;
        while (!reader.atEnd()) {
            reader.readNext();
            // Style sheets and SVG fonts change texts in ways the drawing below does not follow.
            if (reader.isProcessingInstruction() && reader.processingInstructionTarget() == QLatin1String("xml-stylesheet"))
                return Svg;
            if (!reader.isStartElement()) {
                if (reader.isEndElement()) {
                    if (groups.size() > 1) groups.pop_back();
                    --depth;
                }
                continue;
            }
            const QStringView name = reader.name();
            if (name == QLatin1String("style") || name == QLatin1String("font") || name == QLatin1String("font-face"))
                return Svg;
            if (depth == 0) {
                // Without a size of its own the picture is sized by its content, texts included.
                const QXmlStreamAttributes root = reader.attributes();
                if (!root.hasAttribute(QLatin1String("viewBox")) &&
                    !(root.hasAttribute(QLatin1String("width")) && root.hasAttribute(QLatin1String("height"))))
                    return Svg;
            }
            TSvgTextState state = groups.back();
            if (referenced.contains(reader.attributes().value(QLatin1String("id")).toString())) state.Placeable = false;
            if (name == QLatin1String("text")) {
                TSvgText text;
                if (ReadPlainText(reader, state, text))
                    taken.push_back({textIndex, text, text.Position.y() - text.Size, text.Position.y() + text.Size * 0.3});
                ++textIndex;
                continue;
            }
            ApplyAttributes(reader.attributes(), state);
            // A filled shape painted after a text lies over it: that text stays in
            // the renderer's order. A rectangle in plain place covers its rows only.
            if (IsFilledShape(name) && state.Filled) {
                double top = -std::numeric_limits<double>::infinity(), bottom = std::numeric_limits<double>::infinity();
                double y = 0, height = 0;
                const QXmlStreamAttributes a = reader.attributes();
                if (name == QLatin1String("rect") && state.Plain && ReadNumber(a.value(QLatin1String("y")), y) &&
                    ReadNumber(a.value(QLatin1String("height")), height)) {
                    top = state.Offset.y() + y;
                    bottom = top + height;
                }
                for (TTakenText& t : taken)
                    if (t.Bottom > top && t.Top < bottom) t.Covered = true;
            }
            // Only the outermost <svg> and groups draw their content where it stands;
            // definitions, patterns, masks, nested viewports ... do not.
            if (!IsGroupElement(name) || (name == QLatin1String("svg") && depth > 0)) state.Placeable = state.Plain = false;
            groups.push_back(state);
            ++depth;
        }
        if (reader.hasError()) return Svg;
    }
    QSet<int> takenIndexes;
    std::vector<TSvgText> found;
    for (TTakenText& t : taken)
        if (!t.Covered) {
            takenIndexes.insert(t.Index);
            found.push_back(std::move(t.Text));
        }
    if (found.empty()) return Svg;
    // Second pass: the same document without the taken texts. Texts inside a
    // kept text were not counted by the first pass and are not here.
    QByteArray out;
    QXmlStreamReader reader(Svg);
    QXmlStreamWriter writer(&out);
    int textIndex = 0, insideKeptText = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        const bool isText = (reader.isStartElement() || reader.isEndElement()) && reader.name() == QLatin1String("text");
        if (isText && reader.isStartElement()) {
            if (insideKeptText == 0 && takenIndexes.contains(textIndex++)) {
                reader.skipCurrentElement();
                continue;
            }
            ++insideKeptText;
        } else if (isText && insideKeptText > 0) {
            --insideKeptText;
        }
        writer.writeCurrentToken(reader);
    }
    if (reader.hasError() || writer.hasError()) return Svg;
    Texts = std::move(found);
    return out;
}

// As the SVG renderer draws a text: a 100-pixel font scaled down to the
// size, so that sizes such as 10.5 are kept exactly. Font and place depend
// on the text alone, so they are made once, not for every page drawn.
struct TQRBackground::TDrawnText {
    QFont Font;
    double Scale;
    QPointF At;  // in the scaled-up space
    QColor Color;
    QString Text;

    static TDrawnText Of(const TSvgText& text)
    {
        TDrawnText d{QFont(text.Family), 100.0 / text.Size, {}, text.Color, text.Text};
        d.Font.setPixelSize(100);
        d.Font.setBold(text.Bold);
        d.Font.setHintingPreference(QFont::PreferNoHinting);
        d.At = text.Position * d.Scale;
        if (text.Anchor != Qt::AlignLeft) {
            const double width = QFontMetricsF(d.Font).horizontalAdvance(text.Text);
            d.At.rx() -= text.Anchor == Qt::AlignHCenter ? width / 2 : width;
        }
        return d;
    }
};

bool TQRBackground::Load(const QString& fileName)
{
    QFile file(fileName);
    if (fileName.isEmpty() || !file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.readAll();
    // Told by content, not by name: the layouts look for their background
    // under a fixed name (".emf") whatever the picture inside is.
    const QByteArray head = bytes.left(256).trimmed();
    const bool gzip = bytes.startsWith("\x1f\x8b");
    if (gzip || head.startsWith('<') || head.startsWith("\xEF\xBB\xBF<")) {
        std::vector<TSvgText> texts;
        auto svg = std::make_shared<QSvgRenderer>(gzip ? bytes : TakeSvgTexts(bytes, texts));
        if (!svg->isValid() && !texts.empty()) {
            // Whatever the rewritten document lacks, the file as it is draws all.
            texts.clear();
            svg = std::make_shared<QSvgRenderer>(bytes);
        }
        if (!svg->isValid()) return false;
        auto drawn = std::make_shared<std::vector<TDrawnText>>();
        for (const TSvgText& text : texts)
            if (!text.Text.isEmpty() && text.Color.alpha() != 0) drawn->push_back(TDrawnText::Of(text));
        svg_ = std::move(svg);
        svgLock_ = std::make_shared<std::mutex>();
        texts_ = std::move(drawn);
        image_ = QImage();
        return true;
    }
    QImage image;
    if (!image.loadFromData(bytes)) return false;
    Clear();
    image_ = std::move(image);
    return true;
}

void TQRBackground::Clear()
{
    svg_.reset();
    svgLock_.reset();
    texts_.reset();
    image_ = QImage();
}

bool TQRBackground::IsEmpty() const { return !svg_ && image_.isNull(); }

void TQRBackground::Draw(QPainter& painter, const QRectF& target) const
{
    if (!svg_) {
        if (!image_.isNull()) painter.drawImage(target, image_);
        return;
    }
    {
        const std::lock_guard<std::mutex> lock(*svgLock_);
        svg_->render(&painter, target);
    }
    const QRectF box = svg_->viewBoxF();
    if (!texts_ || texts_->empty() || box.isEmpty()) return;
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / box.width(), target.height() / box.height());
    painter.translate(-box.topLeft());
    for (const TDrawnText& text : *texts_) {
        painter.save();
        painter.scale(1 / text.Scale, 1 / text.Scale);
        painter.setFont(text.Font);
        painter.setPen(text.Color);
        painter.drawText(text.At, text.Text);
        painter.restore();
    }
    painter.restore();
}

}  // namespace kelm24
