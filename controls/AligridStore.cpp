// The aligned string grid's items stored with its form. Each item is a block
// written with QDataStream: a count, then the entries. A record is a sequence
// of tagged fields ended by tag 0; only fields that differ from the default
// are written, and empty records are left out.
#include "controls/Aligrid.h"

#include <QDataStream>
#include <QIODevice>

namespace kelm24 {

namespace {

enum TTag : quint8 {
    tagEnd = 0,
    tagAlignment = 1,
    tagWordwrap = 2,
    tagEdit = 3,
    tagBrush = 4,
    tagSelectedBrush = 5,
    tagFont = 6,
    tagSelectedFont = 7,
    tagText = 8,
    tagControl = 9
};

QDataStream& operator<<(QDataStream& s, const TGridBrush& b) { return s << qint32(b.Color) << qint32(b.Style); }
QDataStream& operator>>(QDataStream& s, TGridBrush& b)
{
    qint32 color = 0, style = 0;
    s >> color >> style;
    b = {color, style};
    return s;
}

QDataStream& operator<<(QDataStream& s, const TGridFont& f)
{
    return s << qint32(f.Color) << qint32(f.Height) << f.Name << qint32(f.Pitch) << qint32(f.Style);
}
QDataStream& operator>>(QDataStream& s, TGridFont& f)
{
    qint32 color = 0, height = 0, pitch = 0, style = 0;
    s >> color >> height >> f.Name >> pitch >> style;
    f.Color = color;
    f.Height = height;
    f.Pitch = pitch;
    f.Style = style;
    return s;
}

void WriteControl(QDataStream& s, const TControlInfo& c)
{
    s << qint32(c.Kind) << c.Caption << qint32(c.Items.size()) << c.ItemsFlag;
    for (const QString& item : c.Items) s << item;
    s << c.Text1 << c.Text2;
}

void ReadControl(QDataStream& s, TControlInfo& c)
{
    qint32 kind = 0, count = 0;
    s >> kind >> c.Caption >> count >> c.ItemsFlag;
    if (count < 0 || count > 100000) {
        s.setStatus(QDataStream::ReadCorruptData);
        return;
    }
    c.Kind = kind;
    c.Items.clear();
    for (int i = 0; i < count && s.status() == QDataStream::Ok; ++i) {
        QString item;
        s >> item;
        c.Items << item;
    }
    s >> c.Text1 >> c.Text2;
}

void WriteRecord(QDataStream& s, const TCellProperties& p)
{
    const TCellProperties d;
    if (p.Alignment != d.Alignment) s << quint8(tagAlignment) << qint32(p.Alignment);
    if (p.Wordwrap != d.Wordwrap) s << quint8(tagWordwrap) << qint32(p.Wordwrap);
    if (p.EditFlag != d.EditFlag) s << quint8(tagEdit) << qint32(p.EditFlag);
    if (p.Brush) s << quint8(tagBrush) << *p.Brush;
    if (p.SelectedBrush) s << quint8(tagSelectedBrush) << *p.SelectedBrush;
    if (p.Font) s << quint8(tagFont) << *p.Font;
    if (p.SelectedFont) s << quint8(tagSelectedFont) << *p.SelectedFont;
    if (!p.Text.isEmpty()) s << quint8(tagText) << p.Text;
    if (p.Control) {
        s << quint8(tagControl);
        WriteControl(s, *p.Control);
    }
    s << quint8(tagEnd);
}

// A stored setting within 0..last; the default for any other number, so a
// damaged item never yields an alignment or word wrap the grid does not know.
int KnownOr(qint32 v, int last, int fallback) { return v >= 0 && v <= last ? v : fallback; }

// Stored texts may grow the grid up to this many cells; a place beyond
// marks the item as damaged (a grid of a billion cells is no grid).
constexpr qint64 kMaxStoredCells = qint64(1) << 22;

bool ReadRecord(QDataStream& s, TCellProperties& p)
{
    p = TCellProperties();
    for (;;) {
        quint8 tag = tagEnd;
        s >> tag;
        if (s.status() != QDataStream::Ok) return false;
        qint32 v = 0;
        switch (tag) {
        case tagEnd: return true;
        case tagAlignment: s >> v; p.Alignment = KnownOr(v, 3, 3); break;
        case tagWordwrap: s >> v; p.Wordwrap = KnownOr(v, 3, 3); break;
        case tagEdit: s >> v; p.EditFlag = KnownOr(v, 2, 0); break;
        case tagBrush: p.Brush.emplace(); s >> *p.Brush; break;
        case tagSelectedBrush: p.SelectedBrush.emplace(); s >> *p.SelectedBrush; break;
        case tagFont: p.Font.emplace(); s >> *p.Font; break;
        case tagSelectedFont: p.SelectedFont.emplace(); s >> *p.SelectedFont; break;
        case tagText: s >> p.Text; break;
        case tagControl: p.Control.emplace(); ReadControl(s, *p.Control); break;
        default: return false;  // an unknown tag: the rest cannot be read
        }
    }
}

// Reads count-prefixed entries; each entry is read by readOne. False when the
// block is damaged (what was read before stays).
bool ReadEntries(const QByteArray& data, const std::function<bool(QDataStream&)>& readOne)
{
    QDataStream s(data);
    s.setVersion(QDataStream::Qt_6_0);
    qint32 count = 0;
    s >> count;
    if (s.status() != QDataStream::Ok || count < 0) return false;
    for (int i = 0; i < count; ++i)
        if (!readOne(s) || s.status() != QDataStream::Ok) return false;
    return true;
}

const QStringList kWritten = {"HintCell", "Cells", "PropCell", "PropCol", "PropRow", "PropFixedCol", "PropFixedRow"};
const QStringList kOld = {"AlignCell", "AlignCol", "FixedAlignCol", "AlignRow", "FixedAlignRow", "EditCell", "EditCol",
                          "EditRow", "FontCell", "FontCol", "FontFixedCol", "FontRow", "FontFixedRow", "BrushCell",
                          "BrushCol", "BrushFixedCol", "BrushRow", "BrushFixedRow", "ColorCell", "ColorCol",
                          "ColorFixedCol", "ColorRow", "ColorFixedRow", "SelectedColorCell", "SelectedColorCol",
                          "SelectedColorRow"};

}  // namespace

QStringList TStringAlignGrid::WrittenPropertyNames() { return kWritten; }
QStringList TStringAlignGrid::ReadPropertyNames() { return kWritten + kOld; }

QByteArray TStringAlignGrid::WriteProperty(const QString& name) const
{
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    s.setVersion(QDataStream::Qt_6_0);
    auto writeTexts = [&](const QMap<CellKey, QString>& texts) {
        if (texts.isEmpty()) return;
        s << qint32(texts.size());
        for (auto it = texts.constBegin(); it != texts.constEnd(); ++it)
            s << qint32(it.key().first) << qint32(it.key().second) << it.value();
    };
    auto writeLines = [&](const QMap<int, TCellProperties>& table) {
        if (table.isEmpty()) return;
        s << qint32(table.size());
        for (auto it = table.constBegin(); it != table.constEnd(); ++it) {
            s << qint32(it.key());
            WriteRecord(s, it.value());
        }
    };
    if (name == QLatin1String("HintCell")) {
        writeTexts(hints_);
    } else if (name == QLatin1String("Cells")) {
        QMap<CellKey, QString> texts;
        for (int r = 0; r < RowCount(); ++r)
            for (int c = 0; c < ColCount(); ++c)
                if (!Cells(c, r).isEmpty()) texts.insert({c, r}, Cells(c, r));
        writeTexts(texts);
    } else if (name == QLatin1String("PropCell")) {
        if (!cellProps_.isEmpty()) {
            s << qint32(cellProps_.size());
            for (auto it = cellProps_.constBegin(); it != cellProps_.constEnd(); ++it) {
                s << qint32(it.key().first) << qint32(it.key().second);
                WriteRecord(s, it.value());
            }
        }
    } else if (name == QLatin1String("PropCol")) {
        writeLines(colProps_);
    } else if (name == QLatin1String("PropRow")) {
        writeLines(rowProps_);
    } else if (name == QLatin1String("PropFixedCol")) {
        writeLines(fixedColProps_);
    } else if (name == QLatin1String("PropFixedRow")) {
        writeLines(fixedRowProps_);
    }
    return bytes;
}

bool TStringAlignGrid::ReadProperty(const QString& name, const QByteArray& bytes)
{
    bool ok = false;
    // Which table an older item name fills.
    auto tableOf = [](const QString& n) {
        const bool fixed = n.contains(QLatin1String("Fixed"));
        if (n.endsWith(QLatin1String("Col"))) return fixed ? ptFixedCol : ptCol;
        if (n.endsWith(QLatin1String("Row"))) return fixed ? ptFixedRow : ptRow;
        return ptCell;
    };
    // Entries at negative places are skipped.
    auto readTexts = [&](const std::function<bool(int, int, const QString&)>& store) {
        return ReadEntries(bytes, [&](QDataStream& s) {
            qint32 c = 0, r = 0;
            QString text;
            s >> c >> r >> text;
            if (s.status() != QDataStream::Ok || c < 0 || r < 0) return true;
            return store(c, r, text);
        });
    };
    // Reads entries of a key and a value, changing the record they name.
    auto readField = [&](TPropTable table, const std::function<bool(QDataStream&, TCellProperties&)>& field) {
        return ReadEntries(bytes, [&](QDataStream& s) {
            qint32 c = 0, r = 0;
            s >> c;
            if (table == ptCell) s >> r;
            else if (table == ptRow || table == ptFixedRow) std::swap(c, r);
            TCellProperties p = Props(table, c, r);
            if (!field(s, p) || s.status() != QDataStream::Ok) return false;
            SetProps(table, c, r, p);
            return true;
        });
    };

    if (name == QLatin1String("HintCell")) {
        ok = readTexts([this](int c, int r, const QString& t) {
            SetHintCell(c, r, t);
            return true;
        });
    } else if (name == QLatin1String("Cells")) {
        ok = readTexts([this](int c, int r, const QString& t) {
            const qint64 cols = qMax<qint64>(ColCount(), qint64(c) + 1), rows = qMax<qint64>(RowCount(), qint64(r) + 1);
            if (cols * rows > kMaxStoredCells) return false;
            if (c >= ColCount()) SetColCount(c + 1);
            if (r >= RowCount()) SetRowCount(r + 1);
            SetCells(c, r, t);
            return true;
        });
    } else if (name.startsWith(QLatin1String("Prop"))) {
        // Entries read back replace any record already present.
        ok = readField(tableOf(name), [](QDataStream& s, TCellProperties& p) { return ReadRecord(s, p); });
    } else if (name.startsWith(QLatin1String("Align")) || name.startsWith(QLatin1String("FixedAlign")) ||
               name.startsWith(QLatin1String("Edit"))) {
        const bool edit = name.startsWith(QLatin1String("Edit"));
        ok = readField(tableOf(name), [edit](QDataStream& s, TCellProperties& p) {
            quint8 v = 0;
            s >> v;
            if (edit) p.EditFlag = v ? 1 : 2;
            else p.Alignment = KnownOr(v, 3, 3);
            return true;
        });
    } else if (name.startsWith(QLatin1String("Font"))) {
        ok = readField(tableOf(name), [](QDataStream& s, TCellProperties& p) {
            p.Font.emplace();
            s >> *p.Font;
            return true;
        });
    } else if (name.startsWith(QLatin1String("Brush"))) {
        ok = readField(tableOf(name), [](QDataStream& s, TCellProperties& p) {
            p.Brush.emplace();
            s >> *p.Brush;
            return true;
        });
    } else if (name.startsWith(QLatin1String("Color")) || name.startsWith(QLatin1String("SelectedColor"))) {
        const bool selected = name.startsWith(QLatin1String("Selected"));
        ok = readField(tableOf(name), [selected](QDataStream& s, TCellProperties& p) {
            qint32 color = 0;
            s >> color;
            (selected ? p.SelectedBrush : p.Brush) = TGridBrush{color, 0};
            return true;
        });
    }
    viewport()->update();
    return ok;
}

QByteArray TStringAlignGrid::SaveProperties() const
{
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    s.setVersion(QDataStream::Qt_6_0);
    for (const QString& name : kWritten) {
        const QByteArray item = WriteProperty(name);
        if (!item.isEmpty()) s << name << item;
    }
    return bytes;
}

void TStringAlignGrid::LoadProperties(const QByteArray& bytes)
{
    QDataStream s(bytes);
    s.setVersion(QDataStream::Qt_6_0);
    while (!s.atEnd() && s.status() == QDataStream::Ok) {
        QString name;
        QByteArray item;
        s >> name >> item;
        if (s.status() == QDataStream::Ok) ReadProperty(name, item);
    }
}

}  // namespace kelm24
