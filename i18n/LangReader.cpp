#include "i18n/LangReader.h"

#include "i18n/WidgetText.h"
#include "i18n/XmlErrors.h"
#include "kelm24/Variant.h"
#include "runtime/PropUtils.h"

#include <QColor>
#include <QComboBox>
#include <QCursor>
#include <QHash>
#include <QListWidget>
#include <QMetaEnum>
#include <QPointer>
#include <QTableWidget>
#include <QTreeWidget>
#include <QWidget>
#include <libxml/entities.h>
#include <libxml/tree.h>
#include <libxml/xpath.h>

#include <limits>

namespace kelm24 {

namespace {

QString Utf8(const xmlChar* text)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(text));
}

// Where a property path has arrived: a component or object property, a font
// of an object, a column, item or node of a list or tree view.
struct TPathTarget {
    QObject* Object = nullptr;
    QByteArray FontProperty;  // the Object's font property when the target is the font
    QTreeWidget* Tree = nullptr;
    int Column = -1;  // header column of Tree
    QTreeWidgetItem* Node = nullptr;
    QListWidgetItem* ListItem = nullptr;
    QTableWidgetItem* TableItem = nullptr;
};

// "Items_2" -> ("Items", 2); a segment without "_" has index -1; a segment
// with "_" that is not followed by a number is invalid.
bool SplitSegment(const QString& segment, QString& name, int& index)
{
    const qsizetype bar = segment.lastIndexOf(QLatin1Char('_'));
    name = segment;
    index = -1;
    if (bar < 0) return true;
    bool ok = false;
    index = segment.mid(bar + 1).toInt(&ok);
    name = segment.left(bar);
    return ok && index >= 0;
}

QTreeWidgetItem* NthNode(QTreeWidget* tree, int n)
{
    QTreeWidgetItemIterator it(tree);
    for (int i = 0; *it; ++it, ++i)
        if (i == n) return *it;
    return nullptr;
}

bool Is(const QString& a, const char* b)
{
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

// One step into element n of a view's columns or items.
bool SelectIndexed(TPathTarget& target, const QString& name, int n)
{
    if (auto* tree = qobject_cast<QTreeWidget*>(target.Object)) {
        if (Is(name, "Columns") && n < tree->columnCount()) {
            target = TPathTarget{};
            target.Tree = tree;
            target.Column = n;
            return true;
        }
        if (Is(name, "Items")) {
            QTreeWidgetItem* node = NthNode(tree, n);
            target = TPathTarget{};
            target.Node = node;
            return node != nullptr;
        }
    }
    if (auto* list = qobject_cast<QListWidget*>(target.Object); list && Is(name, "Items") && n < list->count()) {
        target = TPathTarget{};
        target.ListItem = list->item(n);
        return true;
    }
    if (auto* table = qobject_cast<QTableWidget*>(target.Object); table && Is(name, "Columns") && n < table->columnCount()) {
        QTableWidgetItem* header = table->horizontalHeaderItem(n);
        if (!header) {
            header = new QTableWidgetItem;
            table->setHorizontalHeaderItem(n, header);
        }
        target = TPathTarget{};
        target.TableItem = header;
        return true;
    }
    // Controls of our own set answer their items, columns and pages by index:
    // an invokable Name(int) that answers an object with a Caption.
    QObject* element = nullptr;
    const QByteArray signature = name.toLatin1() + "(int)";
    if (target.Object && target.Object->metaObject()->indexOfMethod(signature.constData()) >= 0 &&
        QMetaObject::invokeMethod(target.Object, name.toLatin1().constData(), Qt::DirectConnection,
                                  Q_RETURN_ARG(QObject*, element), Q_ARG(int, n)) &&
        element) {
        target = TPathTarget{};
        target.Object = element;
        return true;
    }
    return false;
}

// An integer written as the system writes them: decimal or "$" hexadecimal.
qint64 IntegerOf(const QString& text, bool* ok)
{
    const QString t = text.trimmed();
    if (t.startsWith(QLatin1Char('$'))) return t.mid(1).toLongLong(ok, 16);
    return t.toLongLong(ok);
}

// The system's cursor constants, by name and by number.
bool CursorOf(const QString& text, QCursor& cursor)
{
    struct Named {
        const char* name;
        int number;
        Qt::CursorShape shape;
    };
    static const Named cursors[] = {
        {"crDefault", 0, Qt::ArrowCursor},        {"crNone", -1, Qt::BlankCursor},        {"crArrow", -2, Qt::ArrowCursor},
        {"crCross", -3, Qt::CrossCursor},         {"crIBeam", -4, Qt::IBeamCursor},       {"crSizeNESW", -6, Qt::SizeBDiagCursor},
        {"crSizeNS", -7, Qt::SizeVerCursor},      {"crSizeNWSE", -8, Qt::SizeFDiagCursor}, {"crSizeWE", -9, Qt::SizeHorCursor},
        {"crUpArrow", -10, Qt::UpArrowCursor},    {"crHourGlass", -11, Qt::WaitCursor},   {"crDrag", -12, Qt::DragCopyCursor},
        {"crNoDrop", -13, Qt::ForbiddenCursor},   {"crHSplit", -14, Qt::SplitHCursor},    {"crVSplit", -15, Qt::SplitVCursor},
        {"crMultiDrag", -16, Qt::DragCopyCursor}, {"crSQLWait", -17, Qt::WaitCursor},     {"crNo", -18, Qt::ForbiddenCursor},
        {"crAppStart", -19, Qt::BusyCursor},      {"crHelp", -20, Qt::WhatsThisCursor},   {"crHandPoint", -21, Qt::PointingHandCursor},
        {"crSizeAll", -22, Qt::SizeAllCursor},
    };
    bool numeric = false;
    const qint64 number = IntegerOf(text, &numeric);
    for (const Named& c : cursors)
        if (numeric ? number == c.number : Is(text.trimmed(), c.name)) {
            cursor = QCursor(c.shape);
            return true;
        }
    return false;
}

QColor DelphiColor(const QString& text)
{
    static const QHash<QString, QColor> names = {
        {"clblack", Qt::black},           {"clmaroon", QColor(128, 0, 0)},   {"clgreen", QColor(0, 128, 0)},
        {"clolive", QColor(128, 128, 0)}, {"clnavy", QColor(0, 0, 128)},     {"clpurple", QColor(128, 0, 128)},
        {"clteal", QColor(0, 128, 128)},  {"clgray", QColor(128, 128, 128)}, {"clsilver", QColor(192, 192, 192)},
        {"clred", Qt::red},               {"cllime", Qt::green},             {"clyellow", Qt::yellow},
        {"clblue", Qt::blue},             {"clfuchsia", Qt::magenta},        {"claqua", Qt::cyan},
        {"clwhite", Qt::white},           {"clbtnface", QColor(240, 240, 240)}, {"clwindow", Qt::white},
        {"clwindowtext", Qt::black}};
    const QString key = text.trimmed().toLower();
    if (names.contains(key)) return names.value(key);
    bool ok = false;
    const qint64 bgr = IntegerOf(key, &ok);  // stored colours are 0x00BBGGRR
    if (ok && bgr >= 0) return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
    return QColor(key);
}

// The text converted to the property's type; invalid when it does not convert.
QVariant ConvertedValue(const QMetaProperty& p, const QString& value)
{
    if (p.isEnumType()) {
        const QMetaEnum e = p.enumerator();
        bool ok = false;
        QString trimmed = value.trimmed();
        int number = 0;
        if (p.isFlagType()) {
            trimmed.remove(QLatin1Char('[')).remove(QLatin1Char(']')).replace(QLatin1Char(','), QLatin1Char('|')).remove(QLatin1Char(' '));
            number = trimmed.isEmpty() ? 0 : e.keysToValue(trimmed.toLatin1().constData(), &ok);
            ok = ok || trimmed.isEmpty();
        } else {
            number = e.keyToValue(trimmed.toLatin1().constData(), &ok);
        }
        if (!ok) number = trimmed.toInt(&ok);
        return ok ? QVariant(number) : QVariant();
    }
    bool ok = true;
    switch (p.metaType().id()) {
    case QMetaType::QString: return value;
    case QMetaType::Bool: {
        const QString t = value.trimmed();
        if (Is(t, "true") || t == QLatin1String("1")) return true;
        if (Is(t, "false") || t == QLatin1String("0")) return false;
        return QVariant();
    }
    case QMetaType::Int: {
        const qint64 n = IntegerOf(value, &ok);
        return ok && n >= std::numeric_limits<int>::min() && n <= std::numeric_limits<int>::max() ? QVariant(int(n)) : QVariant();
    }
    case QMetaType::UInt: {
        const qint64 n = IntegerOf(value, &ok);
        return ok && n >= 0 && n <= std::numeric_limits<uint>::max() ? QVariant(uint(n)) : QVariant();
    }
    case QMetaType::LongLong: {
        const qint64 n = IntegerOf(value, &ok);
        return ok ? QVariant(n) : QVariant();
    }
    case QMetaType::ULongLong: {
        const quint64 n = value.trimmed().toULongLong(&ok);
        return ok ? QVariant(n) : QVariant();
    }
    case QMetaType::Double: {
        const double d = value.trimmed().toDouble(&ok);
        return ok ? QVariant(d) : QVariant();
    }
    case QMetaType::QColor: {
        const QColor c = DelphiColor(value);
        return c.isValid() ? QVariant(c) : QVariant();
    }
    case QMetaType::QCursor: {
        QCursor cursor;
        return CursorOf(value, cursor) ? QVariant(cursor) : QVariant();
    }
    case QMetaType::QStringList: return QVariant();  // a list takes lines by index only
    default: {
        QVariant v(value);
        return v.convert(p.metaType()) ? v : QVariant();
    }
    }
}

bool StoreFontValue(QObject* owner, const QByteArray& property, const QString& name, const QString& value)
{
    QFont font = owner->property(property.constData()).value<QFont>();
    bool ok = false;
    if (Is(name, "Name")) {
        font.setFamilies({value.trimmed()});
    } else if (Is(name, "Size")) {
        const int size = value.trimmed().toInt(&ok);
        if (!ok || size <= 0) return false;
        font.setPointSize(size);
    } else if (Is(name, "Height")) {
        const int height = value.trimmed().toInt(&ok);
        if (!ok || height == 0) return false;
        font.setPixelSize(qAbs(height));
    } else if (Is(name, "Style")) {
        font.setBold(value.contains(QLatin1String("fsBold"), Qt::CaseInsensitive));
        font.setItalic(value.contains(QLatin1String("fsItalic"), Qt::CaseInsensitive));
        font.setUnderline(value.contains(QLatin1String("fsUnderline"), Qt::CaseInsensitive));
        font.setStrikeOut(value.contains(QLatin1String("fsStrikeOut"), Qt::CaseInsensitive));
    } else {
        return false;
    }
    owner->setProperty(property.constData(), font);
    return true;
}

// Lines beyond this are not made: a mistyped index would add millions of empty lines.
constexpr int MaxLineIndex = 100000;

bool StoreLine(QObject* object, const QString& name, int index, const QString& value)
{
    QStringList lines;
    if (index > MaxLineIndex || !ReadStringList(object, name, lines)) return false;
    while (lines.size() <= index) lines << QString();
    lines[index] = value;
    return WriteStringList(object, name, lines);
}

bool StoreProperty(QObject* object, const QString& name, const QString& value)
{
    if (WriteTextProperty(object, name, value)) return true;  // Caption, Hint and texts
    const QMetaProperty p = FindPublishedProperty(object, name);
    if (!p.isValid() || !p.isWritable()) return false;
    const QVariant converted = ConvertedValue(p, value);
    return converted.isValid() && p.write(object, converted);
}

// The Caption of a list item or column, the Text of a tree node; true when
// the target is such an element (other properties of it are not stored).
bool StoreItemText(const TPathTarget& target, const QString& name, const QString& value, bool* stored = nullptr)
{
    const bool text = Is(name, "Caption") || Is(name, "Text");
    if (stored) *stored = text;
    if (target.Tree) {
        if (text) target.Tree->headerItem()->setText(target.Column, value);
    } else if (target.Node) {
        if (text) target.Node->setText(0, value);
    } else if (target.ListItem) {
        if (text) target.ListItem->setText(value);
    } else if (target.TableItem) {
        if (text) target.TableItem->setText(value);
    } else {
        return false;
    }
    return true;
}

// Appends the text of the nodes, references to internal entities expanded
// as libxml2 itself would, into a buffer that grows linearly and stops at
// MaxAttributeBytes. (libxml2's own reading concatenates piece by piece,
// which takes hours for a small file referencing a large entity often.)
bool AppendNodeText(xmlDoc* document, const xmlNode* node, QByteArray& text, int depth)
{
    for (; node; node = node->next) {
        if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
            if (!node->content) continue;
            const qsizetype length = qstrlen(reinterpret_cast<const char*>(node->content));
            if (text.size() + length > MaxAttributeBytes) return false;
            text.append(reinterpret_cast<const char*>(node->content), length);
        } else if (node->type == XML_ENTITY_REF_NODE) {
            if (depth >= 40) return false;
            const xmlEntity* entity = xmlGetDocEntity(document, node->name);
            if (entity && !AppendNodeText(document, entity->children, text, depth + 1)) return false;
        }
    }
    return true;
}

}  // namespace

bool AttributeText(const xmlAttr* Attribute, QString& Text)
{
    QByteArray text;
    if (!Attribute || !AppendNodeText(Attribute->doc, Attribute->children, text, 0)) return false;
    Text = QString::fromUtf8(text);
    return true;
}

xmlNode* FindFirstElement(xmlDoc* Document, const QString& Name)
{
    if (!Document || Name.isEmpty()) return nullptr;
    TXmlErrorCapture errors;  // a name that is no XPath name finds nothing
    xmlXPathContextPtr context = xmlXPathNewContext(Document);
    if (!context) return nullptr;
    const QByteArray path = QStringLiteral("//%1").arg(Name).toUtf8();
    xmlXPathObjectPtr result = xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(path.constData()), context);
    xmlNode* found = nullptr;
    if (result && result->nodesetval && result->nodesetval->nodeNr > 0 &&
        result->nodesetval->nodeTab[0]->type == XML_ELEMENT_NODE)
        found = result->nodesetval->nodeTab[0];
    xmlXPathFreeObject(result);
    xmlXPathFreeContext(context);
    return found;
}

// ---------------------------------------------------------------- TComponentRead

void TComponentRead::Apply(QObject* Component, xmlNode* Element)
{
    for (const xmlAttr* attr = Element->properties; attr; attr = attr->next) {
        QString value;
        const QString path = Utf8(attr->name);
        const bool read = AttributeText(attr, value);
        // An entry that stores nothing is skipped; the others still apply.
        if (!read || !ApplyAttribute(Component, path, value))
            Failures << QStringLiteral("%1 (line %2): %3=\"%4\"")
                            .arg(Utf8(Element->name))
                            .arg(xmlGetLineNo(Element))
                            .arg(path, read ? value.left(80) : QStringLiteral("..."));
    }
}

bool TComponentRead::ApplyAttribute(QObject* Component, const QString& Path, const QString& Value)
{
    const QStringList segments = Path.split(QLatin1Char('.'));
    TPathTarget target;
    target.Object = Component;
    for (int i = 0; i + 1 < segments.size(); ++i) {
        QString name;
        int index = -1;
        if (!SplitSegment(segments[i], name, index)) return false;
        if (index >= 0) {
            if (!SelectIndexed(target, name, index)) return false;
            continue;
        }
        const QMetaProperty p = FindPublishedProperty(target.Object, name);
        if (!p.isValid() || !target.FontProperty.isEmpty()) return false;
        if (p.metaType().id() == QMetaType::QFont) {
            target.FontProperty = p.name();
        } else if (p.metaType().flags() & QMetaType::PointerToQObject) {
            target.Object = p.read(target.Object).value<QObject*>();
            if (!target.Object) return false;
        } else {
            return false;
        }
    }
    QString name;
    int index = -1;
    if (!SplitSegment(segments.last(), name, index)) return false;
    bool stored = false;
    if (StoreItemText(target, name, Value, &stored)) return stored;
    if (!target.FontProperty.isEmpty()) return StoreFontValue(target.Object, target.FontProperty, name, Value);
    if (index >= 0) {
        // A list takes the value at line n; a view's column, item or node as its text.
        if (HasStringList(target.Object, name)) return StoreLine(target.Object, name, index, Value);
        if (!SelectIndexed(target, name, index)) return false;
        return StoreItemText(target, QStringLiteral("Caption"), Value) ||
               StoreProperty(target.Object, QStringLiteral("Caption"), Value);
    }
    return StoreProperty(target.Object, name, Value);
}

void TCustomComboBoxRead::Apply(QObject* Component, xmlNode* Element)
{
    auto* combo = qobject_cast<QComboBox*>(Component);
    const int selected = combo ? combo->currentIndex() : -1;
    TComponentRead::Apply(Component, Element);
    if (combo && selected < combo->count()) combo->setCurrentIndex(selected);
}

std::unique_ptr<TComponentRead> TReaderFactory::ReaderFor(const QObject* Component)
{
    if (Component && Component->inherits("TwwDBCustomComboBox")) return std::make_unique<TwwDBCustomComboBoxRead>();
    if (qobject_cast<const QComboBox*>(Component)) return std::make_unique<TCustomComboBoxRead>();
    return std::make_unique<TComponentRead>();
}

// ---------------------------------------------------------------- TLangReader

TLangReader::TLangReader(xmlDoc* Document, const QStringList& ExcludeControls, TLoadComponentEvent BeforeLoad,
                         TLoadComponentEvent AfterLoad)
    : document_(Document), exclude_(ExcludeControls), beforeLoad_(std::move(BeforeLoad)), afterLoad_(std::move(AfterLoad))
{
}

bool TLangReader::Excluded(const QString& name) const
{
    for (const QString& entry : exclude_)
        if (entry.trimmed().compare(name.trimmed(), Qt::CaseInsensitive) == 0) return true;
    return false;
}

void TLangReader::ApplyOne(QObject* Component, xmlNode* Element)
{
    if (beforeLoad_) beforeLoad_(Component, Element);
    const std::unique_ptr<TComponentRead> reader = TReaderFactory::ReaderFor(Component);
    reader->Apply(Component, Element);
    for (const QString& failure : reader->Failures)  // an element applied twice is listed once
        if (!failures_.contains(failure)) failures_ << failure;
    if (afterLoad_) afterLoad_(Component, Element);
}

void TLangReader::ApplyTo(QObject* Component)
{
    if (!document_) throw Exception(QStringLiteral("No active LanguageController!"));
    if (!Component || IsInnerPart(Component)) return;  // a composite control translates its parts itself
    const auto* widget = qobject_cast<const QWidget*>(Component);
    // A form is a window of its own; pop-up menus and the lists of combo
    // boxes are windows too, but parts of their controls.
    const bool formOrModule = widget ? widget->windowType() == Qt::Window || widget->windowType() == Qt::Dialog
                                     : Component->parent() == nullptr;
    if (xmlNode* root = xmlDocGetRootElement(document_); root && formOrModule) ApplyOne(Component, root);
    const QString name = Component->objectName();
    if (!name.isEmpty() && !Excluded(name))
        if (xmlNode* element = FindFirstElement(document_, name)) ApplyOne(Component, element);
    // A copy, guarded: loading (or a load handler) may add or delete objects.
    QList<QPointer<QObject>> owned;
    for (QObject* child : Component->children()) owned << child;
    for (const QPointer<QObject>& child : owned)
        if (child) ApplyTo(child);
}

}  // namespace kelm24
