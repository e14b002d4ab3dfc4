// Writing a form's layout text: the kept properties that differ from the
// program's design, and the components the designer added.
#include "format/LayoutText.h"

#include "format/LayoutTables.h"
#include "format/engine/QRPage.h"
#include "format/engine/QuickRep.h"

#include <QMetaEnum>
#include <QMetaProperty>
#include <QPalette>

namespace kelm24 {

namespace {

QString Quoted(const QString& s)
{
    if (s.isEmpty()) return QStringLiteral("''");
    QString out;
    bool inQuote = false;
    for (const QChar c : s) {
        if (c.unicode() < 32) {
            if (inQuote) out += QLatin1Char('\'');
            inQuote = false;
            out += QLatin1Char('#') + QString::number(c.unicode());
            continue;
        }
        if (!inQuote) out += QLatin1Char('\'');
        inQuote = true;
        if (c == QLatin1Char('\'')) out += QLatin1String("''");
        else out += c;
    }
    if (inQuote) out += QLatin1Char('\'');
    return out;
}

struct TLine {
    QString Name;
    QString Text;  // "Name = value", possibly several lines
};

class TWriter {
public:
    explicit TWriter(const TLayoutWriteOptions& o) : options_(o) {}

    QString Write(QWidget* root)
    {
        RegisterReportLayoutClasses();
        QStringList out;
        const QString rootName = options_.RootName.isEmpty() ? root->objectName() : options_.RootName;
        const QString rootClass = options_.RootClass.isEmpty() ? LayoutClassName(root) : options_.RootClass;
        out << QStringLiteral("%1 %2: %3").arg(options_.Ancestor ? QStringLiteral("inherited") : QStringLiteral("object"),
                                             rootName, rootClass);
        if (!options_.Ancestor) {
            for (const TLine& l : PropertyLines(root, 1)) out << l.Text;
        }
        WriteChildren(root, 1, out);
        out << QStringLiteral("end");
        return out.join(QLatin1Char('\n')) + QLatin1Char('\n');
    }

private:
    static bool IsComponent(const QObject* o)
    {
        const QString n = o->objectName();
        if (n.isEmpty() || n.startsWith(QLatin1String("qt_"))) return false;
        for (const QMetaObject* mo = o->metaObject(); mo; mo = mo->superClass())
            if (FindLayoutClass(BareClassName(mo->className())) == mo) return true;
        return false;
    }

    void WriteChildren(QObject* parent, int depth, QStringList& out)
    {
        for (QObject* child : parent->children()) {
            if (!IsComponent(child)) continue;
            QStringList block;
            const QObject* ancestor = options_.Ancestor ? options_.Ancestor->findChild<QObject*>(child->objectName()) : nullptr;
            const bool added = options_.Added.contains(child->objectName()) || (options_.Ancestor && !ancestor);
            const QString indent(depth * 2, QLatin1Char(' '));
            const QList<TLine> mine = PropertyLines(child, depth + 1);
            QList<TLine> written;
            if (added || !ancestor) {
                written = mine;
            } else {
                const QList<TLine> theirs = PropertyLines(ancestor, depth + 1);
                for (const TLine& l : mine) {
                    bool same = false;
                    for (const TLine& t : theirs) same = same || (t.Name == l.Name && t.Text == l.Text);
                    if (!same) written << l;
                }
            }
            QStringList inner;
            WriteChildren(child, depth + 1, inner);
            if (!added && written.isEmpty() && inner.isEmpty()) continue;
            out << indent + QStringLiteral("%1 %2: %3")
                                .arg(added ? QStringLiteral("object") : QStringLiteral("inherited"), child->objectName(),
                                     LayoutClassName(child));
            for (const TLine& l : written) out << l.Text;
            out << inner;
            out << indent + QStringLiteral("end");
        }
    }

    // Every stored property of a component, one entry each, with the
    // values a new component of its class starts with left out for new ones.
    QList<TLine> PropertyLines(const QObject* o, int depth)
    {
        const QString indent(depth * 2, QLatin1Char(' '));
        QList<TLine> lines;
        auto add = [&](const QString& name, const QString& value) {
            lines << TLine{name, indent + name + QStringLiteral(" = ") + value};
        };
        const QMetaObject* mo = o->metaObject();
        QSet<QString> seen;
        for (int i = 0; i < mo->propertyCount(); ++i) {
            const QMetaProperty p = mo->property(i);
            const QString name = QString::fromLatin1(p.name());
            if (name.isEmpty() || !name[0].isUpper() || !p.isReadable() || !p.isWritable() || !p.isStored() ||
                IsRunTimeState(name))
                continue;
            // The most derived property of a name is the one read back.
            if (ClassProperty(mo, name).propertyIndex() != p.propertyIndex()) continue;
            if (seen.contains(name.toUpper())) continue;
            seen.insert(name.toUpper());
            const QVariant v = p.read(o);
            if (IsObjectPointer(p)) {
                const QObject* ref = v.value<QObject*>();
                if (ref && !ref->objectName().isEmpty()) add(name, ref->objectName());
                continue;
            }
            if (p.metaType().id() == QMetaType::QStringList) {
                const QStringList items = v.toStringList();
                QString text = QStringLiteral("(");
                for (int k = 0; k < items.size(); ++k)
                    text += QLatin1Char('\n') + indent + QStringLiteral("  ") + Quoted(items[k]);
                text += QLatin1Char(')');
                lines << TLine{name, indent + name + QStringLiteral(".Strings = ") + text};
                continue;
            }
            const QString value = ValueText(p, v);
            if (!value.isNull()) add(name, value);
        }
        if (const auto* report = qobject_cast<const TQuickRep*>(o)) {
            const QMetaObject* pm = &TQRPage::staticMetaObject;
            const bool custom = report->Page()->PaperSize() == qrpCustom;
            for (int i = pm->propertyOffset(); i < pm->propertyCount(); ++i) {
                const QMetaProperty p = pm->property(i);
                // A paper of its own size only: the named papers give their sizes.
                const QByteArray pn(p.name());
                if (!custom && (pn == "Width" || pn == "Length")) continue;
                add(QStringLiteral("Page.") + QString::fromLatin1(p.name()), ValueText(p, p.read(report->Page())));
            }
        }
        if (const auto* w = qobject_cast<const QWidget*>(o)) {
            // Windows of their own (a popup menu) are placed when they show.
            const int geometry[] = {w->x(), w->y(), w->width(), w->height()};
            for (int g = 0; g < 4 && !w->isWindow(); ++g)
                if (!seen.contains(GeometryNames()[g].toUpper())) add(GeometryNames()[g], QString::number(geometry[g]));
            if (!seen.contains(QStringLiteral("VISIBLE")))
                add(QStringLiteral("Visible"),
                    w->testAttribute(Qt::WA_WState_ExplicitShowHide) && w->testAttribute(Qt::WA_WState_Hidden)
                        ? QStringLiteral("False")
                        : QStringLiteral("True"));
            const QFont f = w->font();
            const QVariant cs = w->property(FontCharsetProperty);
            add(QStringLiteral("Font.Charset"), CharsetName(cs.isValid() ? cs.toInt() : 1));
            add(QStringLiteral("Font.Color"), ColorText(w->palette().color(QPalette::WindowText)));
            const double points = f.pointSizeF() > 0 ? f.pointSizeF() : f.pixelSize() * 72.0 / 96.0;
            add(QStringLiteral("Font.Height"), QString::number(-qRound(points * 96.0 / 72.0)));
            add(QStringLiteral("Font.Name"), Quoted(f.family()));
            QStringList style;
            if (f.bold()) style << FontStyleNames()[0];
            if (f.italic()) style << FontStyleNames()[1];
            if (f.underline()) style << FontStyleNames()[2];
            if (f.strikeOut()) style << FontStyleNames()[3];
            add(QStringLiteral("Font.Style"), QLatin1Char('[') + style.join(QLatin1String(", ")) + QLatin1Char(']'));
        }
        for (const QString& event : LayoutEventNames(o)) {
            const QString bound = BoundLayoutEvent(o, event);
            if (!bound.isEmpty()) add(event, bound);
        }
        return lines;
    }

    static QString ValueText(const QMetaProperty& p, const QVariant& v)
    {
        if (p.isEnumType()) {
            const QMetaEnum e = p.enumerator();
            const int value = v.toInt();
            if (e.isFlag()) return QLatin1Char('[') + QString::fromLatin1(e.valueToKeys(value)).replace(QLatin1Char('|'), QLatin1String(", ")) + QLatin1Char(']');
            const char* key = e.valueToKey(value);
            return key ? QString::fromLatin1(key) : QString::number(value);
        }
        switch (p.metaType().id()) {
        case QMetaType::Bool: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::UShort: {
            const int value = v.toInt();
            if (const TIdentTable* t = IdentTableFor(QString::fromLatin1(p.name()))) {
                if (t->IsSet) {
                    QStringList members;
                    for (int i = 0; i < t->Names.size(); ++i)
                        if (value & t->ValueOf(i)) members << t->Names[i];
                    return QLatin1Char('[') + members.join(QLatin1String(", ")) + QLatin1Char(']');
                }
                const QString n = IdentName(*t, value);
                if (!n.isEmpty()) return n;
            }
            return QString::number(v.toLongLong());
        }
        case QMetaType::Double:
        case QMetaType::Float: {
            QString s = QString::number(v.toDouble(), 'g', 15);
            return s;
        }
        case QMetaType::QString: return Quoted(v.toString());
        case QMetaType::QColor: return ColorText(v.value<QColor>());
        case QMetaType::QByteArray: return QLatin1Char('{') + QString::fromLatin1(v.toByteArray().toHex().toUpper()) + QLatin1Char('}');
        default: return {};
        }
    }

    TLayoutWriteOptions options_;
};

}  // namespace

QString WriteLayoutText(QWidget* Root, const TLayoutWriteOptions& Options)
{
    if (!Root) return {};
    return TWriter(Options).Write(Root);
}

}  // namespace kelm24
