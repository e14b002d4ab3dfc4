// Reading layout texts into a form: the whole text is parsed and checked
// against the form's classes, properties and handlers before anything changes.
#include "format/LayoutText.h"

#include "format/LayoutTables.h"
#include "format/engine/QRPage.h"
#include "format/engine/QuickRep.h"

#include <QMetaEnum>
#include <QMetaProperty>
#include <QPalette>

#include <cmath>

namespace kelm24 {

// ============================================================ properties

namespace {

bool IsWidgetClass(const QMetaObject* Meta) { return Meta && Meta->inherits(&QWidget::staticMetaObject); }

QString KindName(const TLayoutValue& v)
{
    switch (v.Kind) {
    case TLayoutValue::vkInteger: return QStringLiteral("a number");
    case TLayoutValue::vkFloat: return QStringLiteral("a decimal number");
    case TLayoutValue::vkString: return QStringLiteral("a string");
    case TLayoutValue::vkIdent: return QStringLiteral("the name %1").arg(v.Text);
    case TLayoutValue::vkSet: return QStringLiteral("a set");
    case TLayoutValue::vkList: return QStringLiteral("a list");
    case TLayoutValue::vkBinary: return QStringLiteral("binary data");
    default: return QStringLiteral("nothing");
    }
}

// A property line resolved against a class, ready to be applied.
struct TResolved {
    enum TTarget { tProperty, tFont, tVisible, tGeometry, tPage, tEvent, tReference } Target = tProperty;
    QMetaProperty Property;  // the property (also of the page)
    QString Sub;             // Font.<Sub>
    QString Event;
    QString Reference;       // component name of an object reference ("" = nil)
    QVariant Value;
};

bool IntegerFits(qint64 v) { return v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max(); }

// Converts a value for a property; Expected receives what was wanted.
bool ConvertForProperty(const QMetaProperty& p, const TLayoutValue& v, QVariant& out, QString& expected)
{
    const QString name = QString::fromLatin1(p.name());
    if (p.isEnumType()) {
        const QMetaEnum e = p.enumerator();
        expected = e.isFlag() ? QStringLiteral("a set of %1").arg(QString::fromLatin1(e.name()))
                              : QStringLiteral("a name of %1").arg(QString::fromLatin1(e.name()));
        if (v.Kind == TLayoutValue::vkInteger && IntegerFits(v.Integer)) {
            out = QVariant(static_cast<int>(v.Integer));
            return true;
        }
        bool ok = false;
        int value = 0;
        if (e.isFlag() && v.Kind == TLayoutValue::vkSet) {
            for (const QString& item : v.Items) {
                const int k = e.keyToValue(item.toLatin1().constData(), &ok);
                if (!ok) return false;
                value |= k;
            }
            out = QVariant(value);
            return true;
        }
        if (!e.isFlag() && v.Kind == TLayoutValue::vkIdent) {
            value = e.keyToValue(v.Text.toLatin1().constData(), &ok);
            if (!ok) return false;
            out = QVariant(value);
            return true;
        }
        return false;
    }
    switch (p.metaType().id()) {
    case QMetaType::Bool:
        expected = QStringLiteral("True or False");
        if (v.Kind != TLayoutValue::vkIdent) return false;
        if (v.Text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) out = true;
        else if (v.Text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) out = false;
        else return false;
        return true;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort: {
        const TIdentTable* table = IdentTableFor(name);
        expected = table ? (table->IsSet ? QStringLiteral("a set of %1").arg(table->Names.join(QLatin1String(", ")))
                                         : QStringLiteral("a number or one of %1").arg(table->Names.join(QLatin1String(", "))))
                         : QStringLiteral("a whole number");
        if (v.Kind == TLayoutValue::vkInteger) {
            if (!IntegerFits(v.Integer)) {
                expected = QStringLiteral("a whole number within 32 bits");
                return false;
            }
            out = QVariant(static_cast<int>(v.Integer));
            return true;
        }
        int value = 0;
        if (table && !table->IsSet && v.Kind == TLayoutValue::vkIdent && IdentValue(*table, v.Text, value)) {
            out = QVariant(value);
            return true;
        }
        if (table && table->IsSet && v.Kind == TLayoutValue::vkSet) {
            int bits = 0;
            for (const QString& item : v.Items) {
                if (!IdentValue(*table, item, value)) return false;
                bits |= value;
            }
            out = QVariant(bits);
            return true;
        }
        return false;
    }
    case QMetaType::Double:
    case QMetaType::Float:
        expected = QStringLiteral("a number");
        if (v.Kind == TLayoutValue::vkInteger) out = static_cast<double>(v.Integer);
        else if (v.Kind == TLayoutValue::vkFloat) out = v.Float;
        else return false;
        return true;
    case QMetaType::QString:
        expected = QStringLiteral("a string");
        if (v.Kind != TLayoutValue::vkString) return false;
        out = v.Text;
        return true;
    case QMetaType::QStringList:
        expected = QStringLiteral("a list of strings");
        if (v.Kind != TLayoutValue::vkList) return false;
        out = v.Items;
        return true;
    case QMetaType::QColor: {
        expected = QStringLiteral("a colour");
        QColor c;
        if (v.Kind == TLayoutValue::vkIdent && ColorFromIdent(v.Text, c)) out = c;
        else if (v.Kind == TLayoutValue::vkInteger) out = ColorFromTColor(v.Integer);
        else return false;
        return true;
    }
    case QMetaType::QByteArray:
        expected = QStringLiteral("binary data");
        if (v.Kind != TLayoutValue::vkBinary) return false;
        out = v.Binary;
        return true;
    default: break;
    }
    expected = QStringLiteral("a value of a kind layouts do not store");
    return false;
}

}  // namespace

// ============================================================ reading

namespace {

struct TPlanned {
    const TLayoutNode* Node = nullptr;
    QObject* Existing = nullptr;       // inherited: the component; object: null
    const QMetaObject* Meta = nullptr;
    TPlanned* Parent = nullptr;
    QObject* Object = nullptr;         // filled when applied
    std::vector<std::pair<const TLayoutProperty*, TResolved>> Values;
};

class TReader {
public:
    TReader(QWidget* root, const TLayoutReadOptions& options) : root_(root), options_(options) {}

    QStringList Read(const QString& text)
    {
        RegisterReportLayoutClasses();
        tree_ = ParseLayoutText(text, options_.Limits);
        Plan();
        return Apply();
    }

private:
    [[noreturn]] static void Fail(int line, const QString& message) { throw ELayoutError(line, message); }

    QObject* FindExisting(const QString& name) const
    {
        if (name.isEmpty()) return nullptr;
        if (root_->objectName() == name) return root_;
        if (QObject* o = root_->findChild<QObject*>(name)) return o;
        for (QObject* o : root_->findChildren<QObject*>())
            if (o->objectName().compare(name, Qt::CaseInsensitive) == 0) return o;
        return nullptr;
    }

    // Whether an existing component of the node's name is of its class.
    bool ExistingFits(const TLayoutNode* n) const
    {
        const QObject* existing = FindExisting(n->Name);
        return existing && existing != root_ && LayoutClassName(existing).compare(n->ClassName, Qt::CaseInsensitive) == 0;
    }

    bool NameKnown(const QString& name) const
    {
        return FindExisting(name) != nullptr || created_.contains(name.toUpper());
    }

    void Plan()
    {
        const TLayoutNode* rootNode = tree_.get();
        if (!options_.RootClasses.isEmpty()) {
            bool fits = false;
            for (const QString& c : options_.RootClasses) fits = fits || c.compare(rootNode->ClassName, Qt::CaseInsensitive) == 0;
            if (!fits)
                Fail(rootNode->Line, QStringLiteral("the layout is of %1, not of %2")
                                         .arg(rootNode->ClassName, options_.RootClasses.join(QLatin1String(", "))));
        }
        // Names first: "object" components may be referred to before they appear.
        std::vector<const TLayoutNode*> work{rootNode};
        while (!work.empty()) {
            const TLayoutNode* n = work.back();
            work.pop_back();
            if (n != rootNode && !n->Inherited) {
                if (n->Name.isEmpty()) Fail(n->Line, QStringLiteral("a new component needs a name"));
                // A component the text made before (a layout read again) is
                // taken as it is; a name twice in one text is an error.
                if (created_.contains(n->Name.toUpper()) || seenNames_.contains(n->Name.toUpper()) ||
                    (FindExisting(n->Name) && !ExistingFits(n)))
                    Fail(n->Line, QStringLiteral("a component named %1 is already on the form").arg(n->Name));
                if (!FindExisting(n->Name)) created_.insert(n->Name.toUpper());
                else seenNames_.insert(n->Name.toUpper());
            }
            for (auto it = n->Children.rbegin(); it != n->Children.rend(); ++it) work.push_back(it->get());
        }
        PlanNode(rootNode, nullptr);
    }

    void PlanNode(const TLayoutNode* rootNode, TPlanned*)
    {
        // Iterative, parents before children.
        std::vector<std::pair<const TLayoutNode*, size_t>> work{{rootNode, SIZE_MAX}};
        while (!work.empty()) {
            auto [n, parentIndex] = work.back();
            work.pop_back();
            auto plan = std::make_unique<TPlanned>();
            plan->Node = n;
            plan->Parent = parentIndex == SIZE_MAX ? nullptr : planned_[parentIndex].get();
            if (n == rootNode) {
                plan->Existing = root_;
                plan->Meta = root_->metaObject();
            } else if (n->Inherited || FindExisting(n->Name)) {
                plan->Existing = FindExisting(n->Name);
                if (!plan->Existing) Fail(n->Line, QStringLiteral("the form has no component %1").arg(n->Name));
                const QMetaObject* declared = FindLayoutClass(n->ClassName);
                bool fits = false;
                for (const QMetaObject* mo = plan->Existing->metaObject(); mo && !fits; mo = mo->superClass())
                    fits = BareClassName(mo->className()).compare(n->ClassName, Qt::CaseInsensitive) == 0 ||
                           (declared && mo == declared);
                if (!fits)
                    Fail(n->Line, QStringLiteral("%1 is a %2, not a %3")
                                      .arg(n->Name, LayoutClassName(plan->Existing), n->ClassName));
                plan->Meta = plan->Existing->metaObject();
            } else {
                plan->Meta = FindLayoutClass(n->ClassName);
                if (!plan->Meta) Fail(n->Line, QStringLiteral("unknown class %1").arg(n->ClassName));
                const QMetaObject* parentMeta = plan->Parent ? plan->Parent->Meta : nullptr;
                if (IsWidgetClass(plan->Meta) && !IsWidgetClass(parentMeta))
                    Fail(n->Line, QStringLiteral("a %1 cannot be placed inside a component that is no control")
                                      .arg(n->ClassName));
            }
            for (const TLayoutProperty& p : n->Properties) plan->Values.emplace_back(&p, Resolve(*plan, p));
            const size_t index = planned_.size();
            planned_.push_back(std::move(plan));
            for (auto it = n->Children.rbegin(); it != n->Children.rend(); ++it) work.emplace_back(it->get(), index);
        }
    }

    TResolved Resolve(const TPlanned& plan, const TLayoutProperty& p)
    {
        TResolved r;
        const QString className = plan.Node->ClassName;
        const QMetaObject* meta = plan.Meta;
        QString name = p.Name;
        const int dot = name.indexOf(QLatin1Char('.'));
        const QString head = dot < 0 ? name : name.left(dot);
        const QString tail = dot < 0 ? QString() : name.mid(dot + 1);
        QString expected;

        // Events.
        if (dot < 0) {
            QString event;
            if (EventKindOf(meta, name, &event) != TEventKind::None) {
                if (p.Value.Kind != TLayoutValue::vkIdent)
                    Fail(p.Line, QStringLiteral("%1 takes the name of a handler, not %2").arg(event, KindName(p.Value)));
                r.Target = TResolved::tEvent;
                r.Event = event;
                r.Value = p.Value.Text.compare(QLatin1String("nil"), Qt::CaseInsensitive) == 0 ? QString() : p.Value.Text;
                if (options_.HandlerOwner && !r.Value.toString().isEmpty()) {
                    const QObject* probe = plan.Existing;
                    std::unique_ptr<QObject> temp;
                    QString error;
                    // The handler's arguments are checked against the class;
                    // a new component's class is known only by its meta-object.
                    if (!probe) {
                        bool nameFound = false;
                        const QMetaObject* om = options_.HandlerOwner->metaObject();
                        for (int i = 0; i < om->methodCount(); ++i)
                            nameFound = nameFound || QString::fromLatin1(om->method(i).name())
                                                             .compare(r.Value.toString(), Qt::CaseInsensitive) == 0;
                        if (!nameFound)
                            Fail(p.Line, QStringLiteral("the form has no handler %1 for %2").arg(r.Value.toString(), event));
                    } else if (!LayoutHandlerFits(probe, event, options_.HandlerOwner, r.Value.toString(), &error)) {
                        Fail(p.Line, error);
                    }
                }
                return r;
            }
        }
        // Font.<part> of a control.
        if (head.compare(QLatin1String("Font"), Qt::CaseInsensitive) == 0 && IsWidgetClass(meta) && !tail.isEmpty()) {
            r.Target = TResolved::tFont;
            r.Sub = tail;
            const TLayoutValue& v = p.Value;
            if (tail.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0) {
                if (v.Kind != TLayoutValue::vkString) Fail(p.Line, QStringLiteral("Font.Name takes a string, not %1").arg(KindName(v)));
                r.Value = v.Text;
            } else if (tail.compare(QLatin1String("Height"), Qt::CaseInsensitive) == 0 ||
                       tail.compare(QLatin1String("Size"), Qt::CaseInsensitive) == 0) {
                if (v.Kind != TLayoutValue::vkInteger || !IntegerFits(v.Integer) || v.Integer == 0 ||
                    std::abs(v.Integer) > 2000)
                    Fail(p.Line, QStringLiteral("Font.%1 takes a whole number from 1 to 2000 (negative for Height)").arg(tail));
                r.Value = static_cast<int>(v.Integer);
            } else if (tail.compare(QLatin1String("Color"), Qt::CaseInsensitive) == 0) {
                QColor c;
                if (v.Kind == TLayoutValue::vkIdent && ColorFromIdent(v.Text, c)) r.Value = c;
                else if (v.Kind == TLayoutValue::vkInteger) r.Value = ColorFromTColor(v.Integer);
                else Fail(p.Line, QStringLiteral("Font.Color takes a colour, not %1").arg(KindName(v)));
            } else if (tail.compare(QLatin1String("Charset"), Qt::CaseInsensitive) == 0) {
                int cs = 0;
                if (v.Kind == TLayoutValue::vkIdent && CharsetValue(v.Text, cs)) r.Value = cs;
                else if (v.Kind == TLayoutValue::vkInteger && v.Integer >= 0 && v.Integer <= 255) r.Value = static_cast<int>(v.Integer);
                else Fail(p.Line, QStringLiteral("Font.Charset takes a character set name, not %1").arg(KindName(v)));
            } else if (tail.compare(QLatin1String("Style"), Qt::CaseInsensitive) == 0) {
                if (v.Kind != TLayoutValue::vkSet) Fail(p.Line, QStringLiteral("Font.Style takes a set, not %1").arg(KindName(v)));
                int bits = 0;
                for (const QString& item : v.Items) {
                    const int i = FontStyleNames().indexOf(item, 0);
                    int found = -1;
                    for (int k = 0; k < FontStyleNames().size(); ++k)
                        if (FontStyleNames()[k].compare(item, Qt::CaseInsensitive) == 0) found = k;
                    Q_UNUSED(i);
                    if (found < 0) Fail(p.Line, QStringLiteral("unknown font style %1").arg(item));
                    bits |= 1 << found;
                }
                r.Value = bits;
            } else if (tail.compare(QLatin1String("Pitch"), Qt::CaseInsensitive) == 0) {
                r.Sub.clear();  // kept by the system, no meaning here
            } else {
                Fail(p.Line, QStringLiteral("a font has no property %1").arg(tail));
            }
            return r;
        }
        // Page.<property> of the report.
        if (head.compare(QLatin1String("Page"), Qt::CaseInsensitive) == 0 && meta->inherits(&TQuickRep::staticMetaObject) &&
            !tail.isEmpty()) {
            r.Target = TResolved::tPage;
            r.Property = ClassProperty(&TQRPage::staticMetaObject, tail);
            if (!r.Property.isValid()) Fail(p.Line, QStringLiteral("the page has no property %1").arg(tail));
            if (!ConvertForProperty(r.Property, p.Value, r.Value, expected))
                Fail(p.Line, QStringLiteral("Page.%1 takes %2, not %3").arg(tail, expected, KindName(p.Value)));
            return r;
        }
        // "Lines.Strings": the list itself.
        if (!tail.isEmpty() && tail.compare(QLatin1String("Strings"), Qt::CaseInsensitive) == 0) name = head;
        else if (!tail.isEmpty()) Fail(p.Line, QStringLiteral("%1 has no property %2").arg(className, p.Name));

        r.Property = ClassProperty(meta, name);
        if (!r.Property.isValid() && name.compare(QLatin1String("Visible"), Qt::CaseInsensitive) == 0 && IsWidgetClass(meta)) {
            r.Target = TResolved::tVisible;
            QMetaProperty fake;
            if (p.Value.Kind != TLayoutValue::vkIdent ||
                (p.Value.Text.compare(QLatin1String("True"), Qt::CaseInsensitive) != 0 &&
                 p.Value.Text.compare(QLatin1String("False"), Qt::CaseInsensitive) != 0))
                Fail(p.Line, QStringLiteral("Visible takes True or False, not %1").arg(KindName(p.Value)));
            r.Value = p.Value.Text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
            return r;
        }
        // Position and size of a control that does not publish them itself.
        if (!r.Property.isValid() && IsWidgetClass(meta) && GeometryNames().contains(name, Qt::CaseInsensitive)) {
            r.Target = TResolved::tGeometry;
            r.Sub = name.toLower();
            if (p.Value.Kind != TLayoutValue::vkInteger || !IntegerFits(p.Value.Integer))
                Fail(p.Line, QStringLiteral("%1 takes a whole number, not %2").arg(name, KindName(p.Value)));
            r.Value = static_cast<int>(p.Value.Integer);
            return r;
        }
        if (!r.Property.isValid()) Fail(p.Line, QStringLiteral("%1 has no property %2").arg(className, p.Name));
        if (!r.Property.isWritable()) Fail(p.Line, QStringLiteral("%1 of %2 cannot be set").arg(p.Name, className));
        if (IsObjectPointer(r.Property)) {
            r.Target = TResolved::tReference;
            if (p.Value.Kind != TLayoutValue::vkIdent)
                Fail(p.Line, QStringLiteral("%1 takes the name of a component, not %2").arg(p.Name, KindName(p.Value)));
            r.Reference = p.Value.Text.compare(QLatin1String("nil"), Qt::CaseInsensitive) == 0 ? QString() : p.Value.Text;
            if (!r.Reference.isEmpty() && !NameKnown(r.Reference))
                Fail(p.Line, QStringLiteral("%1 names %2, which is not on the form").arg(p.Name, r.Reference));
            return r;
        }
        if (!ConvertForProperty(r.Property, p.Value, r.Value, expected))
            Fail(p.Line, QStringLiteral("%1 takes %2, not %3").arg(p.Name, expected, KindName(p.Value)));
        return r;
    }

    QObject* Lookup(const QString& name) const
    {
        if (QObject* o = FindExisting(name)) return o;
        return nullptr;
    }

    QStringList Apply()
    {
        QStringList made;
        std::vector<std::pair<QObject*, const TResolved*>> references;
        std::vector<std::pair<int, QString>> failures;
        for (const auto& plan : planned_) {
            const TLayoutNode* n = plan->Node;
            if (plan->Existing) {
                plan->Object = plan->Existing;
            } else {
                QObject* parent = plan->Parent ? plan->Parent->Object : root_;
                plan->Object = CreateLayoutComponent(n->ClassName, parent);
                if (!plan->Object) Fail(n->Line, QStringLiteral("%1 could not be created").arg(n->ClassName));
                plan->Object->setObjectName(n->Name);
                if (auto* w = qobject_cast<QWidget*>(plan->Object)) w->setVisible(true);
                made << n->Name;
            }
            QObject* o = plan->Object;
            for (const auto& [prop, r] : plan->Values) {
                switch (r.Target) {
                case TResolved::tProperty:
                    if (!r.Property.write(o, r.Value))
                        failures.emplace_back(prop->Line, QStringLiteral("%1 could not be set").arg(prop->Name));
                    break;
                case TResolved::tPage:
                    if (auto* report = qobject_cast<TQuickRep*>(o)) r.Property.write(report->Page(), r.Value);
                    break;
                case TResolved::tVisible:
                    if (auto* w = qobject_cast<QWidget*>(o)) w->setVisible(r.Value.toBool());
                    break;
                case TResolved::tGeometry:
                    if (auto* w = qobject_cast<QWidget*>(o)) {
                        const int v = r.Value.toInt();
                        if (r.Sub == QLatin1String("left")) w->move(v, w->y());
                        else if (r.Sub == QLatin1String("top")) w->move(w->x(), v);
                        else if (r.Sub == QLatin1String("width")) w->resize(v, w->height());
                        else w->resize(w->width(), v);
                    }
                    break;
                case TResolved::tFont:
                    ApplyFont(qobject_cast<QWidget*>(o), r);
                    break;
                case TResolved::tReference:
                    references.emplace_back(o, &r);
                    break;
                case TResolved::tEvent:
                    // Bound in the order of the text, as a handler bound
                    // before a property may react to it (a text type).
                    if (options_.HandlerOwner) {
                        QString error;
                        if (!BindLayoutEvent(o, r.Event, options_.HandlerOwner, r.Value.toString(), &error))
                            failures.emplace_back(prop->Line, error);
                    } else {
                        RecordLayoutEvent(o, r.Event, r.Value.toString());
                    }
                    break;
                }
            }
        }
        for (const auto& [o, r] : references) r->Property.write(o, QVariant::fromValue(Lookup(r->Reference)));
        if (!failures.empty()) Fail(failures.front().first, failures.front().second);
        return made;
    }

    static void ApplyFont(QWidget* w, const TResolved& r)
    {
        if (!w || r.Sub.isEmpty()) return;
        QFont f = w->font();
        if (r.Sub.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0) {
            f.setFamily(r.Value.toString());
        } else if (r.Sub.compare(QLatin1String("Height"), Qt::CaseInsensitive) == 0) {
            // Negative: character height in pixels at 96 per inch; positive: cell height.
            const int h = std::abs(r.Value.toInt());
            f.setPointSizeF(h * 72.0 / 96.0);
        } else if (r.Sub.compare(QLatin1String("Size"), Qt::CaseInsensitive) == 0) {
            f.setPointSizeF(std::abs(r.Value.toInt()));
        } else if (r.Sub.compare(QLatin1String("Style"), Qt::CaseInsensitive) == 0) {
            const int bits = r.Value.toInt();
            f.setBold(bits & 1);
            f.setItalic(bits & 2);
            f.setUnderline(bits & 4);
            f.setStrikeOut(bits & 8);
        } else if (r.Sub.compare(QLatin1String("Color"), Qt::CaseInsensitive) == 0) {
            QPalette pal = w->palette();
            pal.setColor(QPalette::WindowText, r.Value.value<QColor>());
            w->setPalette(pal);
            return;
        } else if (r.Sub.compare(QLatin1String("Charset"), Qt::CaseInsensitive) == 0) {
            w->setProperty(FontCharsetProperty, r.Value.toInt());
            return;
        }
        w->setFont(f);
    }

    QWidget* root_;
    TLayoutReadOptions options_;
    std::unique_ptr<TLayoutNode> tree_;
    QSet<QString> created_, seenNames_;
    std::vector<std::unique_ptr<TPlanned>> planned_;
};

}  // namespace

QStringList ReadLayoutText(QWidget* Root, const QString& Text, const TLayoutReadOptions& Options)
{
    if (!Root) throw Exception(QStringLiteral("no form to read the layout into"));
    return TReader(Root, Options).Read(Text);
}

}  // namespace kelm24
