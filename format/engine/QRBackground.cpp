#include "format/engine/QRBackground.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace kelm24 {

namespace {

// What a text inherits from its groups.
struct TSvgTextState {
    bool Placeable = true;  // only translations and no styling the drawing below ignores
    QPointF Offset;
    QStringList Families;
    double FontSize = 0;    // 0: not given
    bool Bold = false;
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
                                              "xml:space"};
    for (const char* name : unplaceable)
        if (attributes.hasAttribute(QLatin1String(name))) state.Placeable = false;
    const QString stroke = attributes.value(QLatin1String("stroke")).toString().trimmed();
    if (!stroke.isEmpty() && stroke != QLatin1String("none")) state.Placeable = false;  // outlined text
    if (attributes.hasAttribute(QLatin1String("transform")) &&
        !ReadTranslate(attributes.value(QLatin1String("transform")).toString(), state.Offset))
        state.Placeable = false;
    if (attributes.hasAttribute(QLatin1String("font-family"))) {
        state.Families.clear();
        for (QString family : attributes.value(QLatin1String("font-family")).toString().split(QLatin1Char(','))) {
            family = family.trimmed();
            if (family.size() >= 2 && (family.front() == QLatin1Char('\'') || family.front() == QLatin1Char('"')))
                family = family.mid(1, family.size() - 2);
            if (!family.isEmpty()) state.Families << family;
        }
    }
    if (attributes.hasAttribute(QLatin1String("font-size")) &&
        (!ReadNumber(attributes.value(QLatin1String("font-size")), state.FontSize) || state.FontSize <= 0))
        state.Placeable = false;
    if (attributes.hasAttribute(QLatin1String("font-weight"))) {
        const QString weight = attributes.value(QLatin1String("font-weight")).toString().trimmed();
        bool numeric = false;
        const int value = weight.toInt(&numeric);
        if (weight == QLatin1String("bold") || weight == QLatin1String("bolder") || (numeric && value >= 600)) state.Bold = true;
        else if (weight == QLatin1String("normal") || weight == QLatin1String("lighter") || (numeric && value < 600)) state.Bold = false;
        else state.Placeable = false;
    }
    if (attributes.hasAttribute(QLatin1String("text-anchor"))) {
        const QString anchor = attributes.value(QLatin1String("text-anchor")).toString().trimmed();
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
    if (!state.Placeable || state.Families.isEmpty() || state.FontSize <= 0) return false;
    text.Position = state.Offset + QPointF(x, y);
    text.Family = state.Families.join(QLatin1Char(','));
    // As the SVG renderer sizes it: the font size taken as whole pixels.
    text.PixelSize = std::max(1, static_cast<int>(state.FontSize));
    text.Bold = state.Bold;
    text.Anchor = state.Anchor;
    text.Color = state.Filled ? state.Fill : QColor(Qt::transparent);
    text.Text = content.simplified();
    return true;
}

bool IsGroupElement(QStringView name) { return name == QLatin1String("g") || name == QLatin1String("svg"); }

}  // namespace

QByteArray TakeSvgTexts(const QByteArray& Svg, std::vector<TSvgText>& Texts)
{
    Texts.clear();
    // First pass: which texts can be drawn as text, numbered in document order.
    QSet<int> taken;
    std::vector<TSvgText> found;
    {
        QXmlStreamReader reader(Svg);
        std::vector<TSvgTextState> groups{TSvgTextState()};
        int depth = 0, textIndex = 0;
        while (!reader.atEnd()) {
            reader.readNext();
            if (reader.isStartElement()) {
                const QStringView name = reader.name();
                if (name == QLatin1String("text")) {
                    TSvgText text;
                    if (ReadPlainText(reader, groups.back(), text)) {
                        taken.insert(textIndex);
                        found.push_back(std::move(text));
                    }
                    ++textIndex;
                    continue;
                }
                TSvgTextState state = groups.back();
                // Only the outermost <svg> and groups draw their content where it stands;
                // definitions, patterns, masks, nested viewports ... do not.
                if (!IsGroupElement(name) || (name == QLatin1String("svg") && depth > 0)) state.Placeable = false;
                ApplyAttributes(reader.attributes(), state);
                groups.push_back(state);
                ++depth;
            } else if (reader.isEndElement()) {
                if (groups.size() > 1) groups.pop_back();
                --depth;
            }
        }
        if (reader.hasError() || taken.isEmpty()) return Svg;
    }
    // Second pass: the same document without the taken texts.
    QByteArray out;
    QXmlStreamReader reader(Svg);
    QXmlStreamWriter writer(&out);
    int textIndex = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == QLatin1String("text")) {
            const bool skip = taken.contains(textIndex++);
            if (skip) {
                reader.skipCurrentElement();
                continue;
            }
        }
        writer.writeCurrentToken(reader);
    }
    if (reader.hasError()) return Svg;
    Texts = std::move(found);
    return out;
}

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
        auto texts = std::make_shared<std::vector<TSvgText>>();
        const QByteArray rest = gzip ? bytes : TakeSvgTexts(bytes, *texts);
        auto svg = std::make_shared<QSvgRenderer>(rest);
        if (!svg->isValid()) return false;
        svg_ = std::move(svg);
        texts_ = std::move(texts);
        image_ = QImage();
        return true;
    }
    QImage image;
    if (!image.loadFromData(bytes)) return false;
    svg_.reset();
    texts_.reset();
    image_ = std::move(image);
    return true;
}

void TQRBackground::Clear()
{
    svg_.reset();
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
    svg_->render(&painter, target);
    const QRectF box = svg_->viewBoxF();
    if (!texts_ || texts_->empty() || box.isEmpty()) return;
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / box.width(), target.height() / box.height());
    painter.translate(-box.topLeft());
    for (const TSvgText& text : *texts_) {
        if (text.Text.isEmpty() || text.Color.alpha() == 0) continue;
        QFont font;
        font.setFamilies(text.Family.split(QLatin1Char(',')));
        font.setPixelSize(text.PixelSize);
        font.setBold(text.Bold);
        font.setHintingPreference(QFont::PreferNoHinting);
        painter.setFont(font);
        painter.setPen(text.Color);
        QPointF at = text.Position;
        if (text.Anchor != Qt::AlignLeft) {
            const double width = QFontMetricsF(font).horizontalAdvance(text.Text);
            at.rx() -= text.Anchor == Qt::AlignHCenter ? width / 2 : width;
        }
        painter.drawText(at, text.Text);
    }
    painter.restore();
}

}  // namespace kelm24
