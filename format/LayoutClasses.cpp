// The classes a layout text may name, the identifiers of their numeric
// properties, and their event properties bound to the form's methods.
#include "format/LayoutTables.h"
#include "format/LayoutText.h"

#include "controls/Menus.h"
#include "controls/StdCtrls.h"
#include "format/engine/ClientDataSet.h"
#include "format/engine/QRBands.h"
#include "format/engine/QRControls.h"
#include "format/engine/QVQRControls.h"
#include "format/engine/QuickRep.h"

#include <QHash>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QPointer>

namespace kelm24 {

// ------------------------------------------------------------ registry

namespace {
struct TLayoutClass {
    QString Name;
    const QMetaObject* Meta = nullptr;
    TLayoutComponentFactory Create;
};

QHash<QString, TLayoutClass>& LayoutClasses()
{
    static QHash<QString, TLayoutClass> classes;
    return classes;
}
}  // namespace

QString BareClassName(const char* Name)
{
    const QString name = QString::fromLatin1(Name);
    const int colon = name.lastIndexOf(QLatin1Char(':'));
    return colon < 0 ? name : name.mid(colon + 1);
}

void RegisterLayoutClass(const QString& ClassName, const QMetaObject* Meta, TLayoutComponentFactory Create)
{
    LayoutClasses().insert(ClassName.toUpper(), TLayoutClass{ClassName, Meta, std::move(Create)});
}

const QMetaObject* FindLayoutClass(const QString& ClassName)
{
    const auto it = LayoutClasses().constFind(ClassName.toUpper());
    return it == LayoutClasses().constEnd() ? nullptr : it->Meta;
}

QObject* CreateLayoutComponent(const QString& ClassName, QObject* Parent)
{
    const auto it = LayoutClasses().constFind(ClassName.toUpper());
    if (it == LayoutClasses().constEnd()) return nullptr;
    if (it->Meta->inherits(&QWidget::staticMetaObject) && Parent && !Parent->isWidgetType()) return nullptr;
    return it->Create(Parent);
}

QString LayoutClassName(const QObject* Component)
{
    if (!Component) return {};
    for (const QMetaObject* mo = Component->metaObject(); mo; mo = mo->superClass()) {
        const auto it = LayoutClasses().constFind(BareClassName(mo->className()).toUpper());
        if (it != LayoutClasses().constEnd() && it->Meta == mo) return it->Name;
    }
    return BareClassName(Component->metaObject()->className());
}

void RegisterReportLayoutClasses()
{
    static bool done = false;
    if (done) return;
    done = true;
    RegisterLayoutClass<TQuickRep>(QStringLiteral("TQuickRep"));
    RegisterLayoutClass<TQRBand>(QStringLiteral("TQRBand"));
    RegisterLayoutClass<TQRGroup>(QStringLiteral("TQRGroup"));
    RegisterLayoutClass<TQRChildBand>(QStringLiteral("TQRChildBand"));
    RegisterLayoutClass<TQRLabel>(QStringLiteral("TQRLabel"));
    RegisterLayoutClass<TQRDBText>(QStringLiteral("TQRDBText"));
    RegisterLayoutClass<TQRDBIDText>(QStringLiteral("TQRDBIDText"));
    RegisterLayoutClass<TQRExpr>(QStringLiteral("TQRExpr"));
    RegisterLayoutClass<TQRMemo>(QStringLiteral("TQRMemo"));
    RegisterLayoutClass<TQRSysData>(QStringLiteral("TQRSysData"));
    RegisterLayoutClass<TQRImage>(QStringLiteral("TQRImage"));
    RegisterLayoutClass<TQRShape>(QStringLiteral("TQRShape"));
    RegisterLayoutClass<TQVQRDBText>(QStringLiteral("TQVQRDBText"));
    RegisterLayoutClass<TQvQRBarcode>(QStringLiteral("TQvQRBarcode"));
    RegisterLayoutClass<TQvQRDBBarcode>(QStringLiteral("TQvQRDBBarcode"));
    RegisterLayoutClass<TClientDataSet>(QStringLiteral("TClientDataSet"));
    RegisterLayoutClass<TPopupMenu>(QStringLiteral("TPopupMenu"));
    RegisterLayoutClass<TMemo>(QStringLiteral("TMemo"));
    // An item joins its menu; "-" as its caption makes it a separator.
    RegisterLayoutClass(QStringLiteral("TMenuItem"), &TMenuItem::staticMetaObject, [](QObject* parent) -> QObject* {
        auto* item = new TMenuItem(parent);
        if (auto* menu = qobject_cast<QMenu*>(parent)) menu->addAction(item);
        return item;
    });
}

// ------------------------------------------------------------ identifiers

namespace {
TIdentTable Table(std::initializer_list<const char*> names)
{
    TIdentTable t;
    for (const char* n : names) t.Names << QString::fromLatin1(n);
    return t;
}
}  // namespace

const TIdentTable* IdentTableFor(const QString& PropertyName)
{
    static const QHash<QString, TIdentTable> tables = [] {
        QHash<QString, TIdentTable> t;
        t.insert(QStringLiteral("ALIGNMENT"), Table({"taLeftJustify", "taRightJustify", "taCenter"}));
        t.insert(QStringLiteral("BANDTYPE"),
                 Table({"rbTitle", "rbPageHeader", "rbDetail", "rbPageFooter", "rbSummary", "rbGroupHeader",
                        "rbGroupFooter", "rbSubDetail", "rbColumnHeader", "rbOverlay", "rbChild"}));
        t.insert(QStringLiteral("PAGESTYLE"), Table({"psNone", "psFullPage", "psHalfPage"}));
        t.insert(QStringLiteral("PAPERSIZE"),
                 Table({"Default", "Letter", "LetterSmall", "Tabloid", "Ledger", "Legal", "Statement", "Executive",
                        "A3", "A4", "A4Small", "A5", "B4", "B5", "Folio", "Quarto", "qr10X14", "qr11X17", "Note",
                        "Env9", "Env10", "Env11", "Env12", "Env14", "CSheet", "DSheet", "ESheet", "Custom"}));
        t.insert(QStringLiteral("UNITS"), Table({"MM", "Inches", "Pixels", "Characters", "Native"}));
        t.insert(QStringLiteral("ORIENTATION"), Table({"poPortrait", "poLandscape"}));
        t.insert(QStringLiteral("SHAPE"), Table({"qrsRectangle", "qrsCircle", "qrsHorLine", "qrsVertLine",
                                                 "qrsTopAndBottom", "qrsRightAndLeft"}));
        t.insert(QStringLiteral("DATA"), Table({"qrsTime", "qrsDate", "qrsDateTime", "qrsPageNumber", "qrsReportTitle",
                                                "qrsDetailCount", "qrsDetailNo"}));
        t.insert(QStringLiteral("BARTYPE"),
                 Table({"bcCode_2_5_interleaved", "bcCode_2_5_industrial", "bcCode_2_5_matrix", "bcCode39",
                        "bcCode39Extended", "bcCode128A", "bcCode128B", "bcCode128C", "bcCode93", "bcCode93Extended",
                        "bcCodeMSI", "bcCodePostNet", "bcCodeCodabar", "bcCodeEAN8", "bcCodeEAN13", "bcCodeUPC_A",
                        "bcCodeUPC_E0", "bcCodeUPC_E1", "bcCodeUPC_Supp2", "bcCodeUPC_Supp5", "bcCodeEAN128A",
                        "bcCodeEAN128B", "bcCodeEAN128C"}));
        t.insert(QStringLiteral("TEXTPOSITION"), Table({"tpTopLeft", "tpTopRight", "tpTopCenter", "tpBottomLeft",
                                                        "tpBottomRight", "tpBottomCenter"}));
        TIdentTable frame = Table({"qrfTop", "qrfBottom", "qrfLeft", "qrfRight"});
        frame.Values = {qrfTop, qrfBottom, qrfLeft, qrfRight};
        frame.IsSet = true;
        t.insert(QStringLiteral("FRAME"), frame);
        return t;
    }();
    const auto it = tables.constFind(PropertyName.toUpper());
    return it == tables.constEnd() ? nullptr : &*it;
}

bool IdentValue(const TIdentTable& Table, const QString& Ident, int& Value)
{
    for (int i = 0; i < Table.Names.size(); ++i) {
        if (Table.Names[i].compare(Ident, Qt::CaseInsensitive) == 0) {
            Value = Table.ValueOf(i);
            return true;
        }
    }
    // The orientation also reads under the engine's own names.
    if (Ident.compare(QLatin1String("qroPortrait"), Qt::CaseInsensitive) == 0 && Table.Names.value(0) == QLatin1String("poPortrait")) {
        Value = 0;
        return true;
    }
    if (Ident.compare(QLatin1String("qroLandscape"), Qt::CaseInsensitive) == 0 && Table.Names.value(0) == QLatin1String("poPortrait")) {
        Value = 1;
        return true;
    }
    return false;
}

QString IdentName(const TIdentTable& Table, int Value)
{
    for (int i = 0; i < Table.Names.size(); ++i)
        if (Table.ValueOf(i) == Value) return Table.Names[i];
    return {};
}

// ------------------------------------------------------------ colours

namespace {
struct TNamedColor {
    const char* Name;
    quint32 Value;  // $00BBGGRR
};
constexpr TNamedColor NamedColors[] = {
    {"clBlack", 0x000000}, {"clMaroon", 0x000080}, {"clGreen", 0x008000}, {"clOlive", 0x008080},
    {"clNavy", 0x800000},  {"clPurple", 0x800080}, {"clTeal", 0x808000},  {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF},   {"clLime", 0x00FF00},  {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},  {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00}, {"clWhite", 0xFFFFFF},
};
constexpr quint32 ClNone = 0x1FFFFFFF;

quint32 TColorOf(const QColor& c)
{
    return static_cast<quint32>(c.red()) | (static_cast<quint32>(c.green()) << 8) |
           (static_cast<quint32>(c.blue()) << 16);
}
}  // namespace

QColor ColorFromTColor(qint64 Value)
{
    if (Value == ClNone) return QColor(Qt::transparent);
    const auto v = static_cast<quint32>(Value);
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF));
}

QString ColorText(const QColor& Color)
{
    if (!Color.isValid() || Color.alpha() == 0) return QStringLiteral("clNone");
    const quint32 v = TColorOf(Color);
    for (const TNamedColor& n : NamedColors)
        if (n.Value == v) return QString::fromLatin1(n.Name);
    return QStringLiteral("$%1").arg(v, 8, 16, QLatin1Char('0')).toUpper();
}

bool ColorFromIdent(const QString& Ident, QColor& Color)
{
    if (Ident.compare(QLatin1String("clNone"), Qt::CaseInsensitive) == 0) {
        Color = QColor(Qt::transparent);
        return true;
    }
    // The system colours of text and windows, as the layouts name them.
    if (Ident.compare(QLatin1String("clWindowText"), Qt::CaseInsensitive) == 0 ||
        Ident.compare(QLatin1String("clBtnText"), Qt::CaseInsensitive) == 0) {
        Color = QColor(Qt::black);
        return true;
    }
    if (Ident.compare(QLatin1String("clWindow"), Qt::CaseInsensitive) == 0 ||
        Ident.compare(QLatin1String("clBtnFace"), Qt::CaseInsensitive) == 0) {
        Color = Ident.compare(QLatin1String("clWindow"), Qt::CaseInsensitive) == 0 ? QColor(Qt::white)
                                                                                     : QColor(240, 240, 240);
        return true;
    }
    for (const TNamedColor& n : NamedColors) {
        if (Ident.compare(QLatin1String(n.Name), Qt::CaseInsensitive) == 0) {
            Color = ColorFromTColor(static_cast<qint64>(n.Value));
            return true;
        }
    }
    return false;
}

// ------------------------------------------------------------ fonts

namespace {
struct TCharsetName {
    const char* Name;
    int Value;
};
constexpr TCharsetName Charsets[] = {
    {"ANSI_CHARSET", 0},       {"DEFAULT_CHARSET", 1},   {"SYMBOL_CHARSET", 2},      {"MAC_CHARSET", 77},
    {"SHIFTJIS_CHARSET", 128}, {"HANGEUL_CHARSET", 129}, {"JOHAB_CHARSET", 130},     {"GB2312_CHARSET", 134},
    {"CHINESEBIG5_CHARSET", 136}, {"GREEK_CHARSET", 161}, {"TURKISH_CHARSET", 162}, {"VIETNAMESE_CHARSET", 163},
    {"HEBREW_CHARSET", 177},   {"ARABIC_CHARSET", 178},  {"BALTIC_CHARSET", 186},    {"RUSSIAN_CHARSET", 204},
    {"THAI_CHARSET", 222},     {"EASTEUROPE_CHARSET", 238}, {"OEM_CHARSET", 255},
};
}  // namespace

bool CharsetValue(const QString& Ident, int& Value)
{
    for (const TCharsetName& c : Charsets) {
        if (Ident.compare(QLatin1String(c.Name), Qt::CaseInsensitive) == 0) {
            Value = c.Value;
            return true;
        }
    }
    return false;
}

QString CharsetName(int Value)
{
    for (const TCharsetName& c : Charsets)
        if (c.Value == Value) return QString::fromLatin1(c.Name);
    return QString::number(Value);
}

const QStringList& FontStyleNames()
{
    static const QStringList names{QStringLiteral("fsBold"), QStringLiteral("fsItalic"), QStringLiteral("fsUnderline"),
                                   QStringLiteral("fsStrikeOut")};
    return names;
}

// ------------------------------------------------------------ events

namespace {
struct TEventSpec {
    const QMetaObject* Meta;
    const char* Name;
    TEventKind Kind;
};

const std::vector<TEventSpec>& EventSpecs()
{
    static const std::vector<TEventSpec> specs{
        {&TQRCustomLabel::staticMetaObject, "OnPrint", TEventKind::Text},
        {&TQVQRDBText::staticMetaObject, "OnTextTypeChange", TEventKind::Notify},
        {&TQvQRBarcode::staticMetaObject, "OnInvalidChar", TEventKind::Text},
        {&TQRBand::staticMetaObject, "BeforePrint", TEventKind::BoolRef},
        {&TQRBand::staticMetaObject, "AfterPrint", TEventKind::BoolValue},
        {&TQuickRep::staticMetaObject, "BeforePrint", TEventKind::BoolRef},
        {&TQuickRep::staticMetaObject, "AfterPrint", TEventKind::Notify},
        {&TQuickRep::staticMetaObject, "OnStartPage", TEventKind::Notify},
        {&TQuickRep::staticMetaObject, "OnEndPage", TEventKind::Notify},
        {&TQuickRep::staticMetaObject, "OnPreview", TEventKind::Notify},
        {&TMenuItem::staticMetaObject, "OnClick", TEventKind::NotifyEvent},
        {&TPopupMenu::staticMetaObject, "OnPopup", TEventKind::NotifyEvent},
    };
    return specs;
}

QByteArray EventRecordName(const QString& Event) { return "_k24_ev_" + Event.toLatin1(); }

// Whether a parameter type names a pointer to a class that Meta is or inherits.
bool SenderTypeFits(const QByteArray& TypeName, const QMetaObject* Meta)
{
    if (!TypeName.endsWith('*')) return false;
    const QString bare = BareClassName(TypeName.left(TypeName.size() - 1).constData());
    for (const QMetaObject* mo = Meta; mo; mo = mo->superClass())
        if (BareClassName(mo->className()) == bare) return true;
    return false;
}

bool MethodFits(const QMetaMethod& m, TEventKind Kind, const QMetaObject* SenderMeta)
{
    const QList<QByteArray> types = m.parameterTypes();
    switch (Kind) {
    case TEventKind::Text:
        return types.size() == 2 && SenderTypeFits(types[0], SenderMeta) && types[1] == "QString&";
    case TEventKind::BoolRef:
        return types.size() == 2 && SenderTypeFits(types[0], SenderMeta) && types[1] == "bool&";
    case TEventKind::BoolValue:
        return types.size() == 2 && SenderTypeFits(types[0], SenderMeta) && types[1] == "bool";
    case TEventKind::Notify:
    case TEventKind::NotifyEvent:
        return types.size() == 1 && SenderTypeFits(types[0], SenderMeta);
    case TEventKind::None:
        break;
    }
    return false;
}

// The most derived method of that name that fits; -1 when none.
int FindHandler(const QObject* Owner, const QString& Method, TEventKind Kind, const QMetaObject* SenderMeta,
                bool* NameFound)
{
    const QMetaObject* mo = Owner->metaObject();
    for (int i = mo->methodCount() - 1; i >= 0; --i) {
        const QMetaMethod m = mo->method(i);
        if (m.methodType() != QMetaMethod::Method && m.methodType() != QMetaMethod::Slot) continue;
        if (QString::fromLatin1(m.name()).compare(Method, Qt::CaseInsensitive) != 0) continue;
        if (NameFound) *NameFound = true;
        if (MethodFits(m, Kind, SenderMeta)) return i;
    }
    return -1;
}

// Calls a handler; the sender is passed as the object pointer (QObject is the
// first base of every component class, so the address serves any of them).
void Invoke(const QPointer<QObject>& Owner, int Index, QObject* Sender, void* Second)
{
    if (!Owner) return;
    void* args[] = {nullptr, &Sender, Second};
    QMetaObject::metacall(Owner.data(), QMetaObject::InvokeMetaMethod, Index, args);
}

QString KindText(TEventKind Kind)
{
    switch (Kind) {
    case TEventKind::Text: return QStringLiteral("(Sender, var Text)");
    case TEventKind::BoolRef: return QStringLiteral("(Sender, var Print)");
    case TEventKind::BoolValue: return QStringLiteral("(Sender, Printed)");
    default: return QStringLiteral("(Sender)");
    }
}
}  // namespace

TEventKind EventKindOf(const QMetaObject* Meta, const QString& Name, QString* Canonical)
{
    for (const TEventSpec& s : EventSpecs()) {
        if (Meta->inherits(s.Meta) && Name.compare(QLatin1String(s.Name), Qt::CaseInsensitive) == 0) {
            if (Canonical) *Canonical = QString::fromLatin1(s.Name);
            return s.Kind;
        }
    }
    return TEventKind::None;
}

QStringList EventNamesOf(const QMetaObject* Meta)
{
    QStringList names;
    for (const TEventSpec& s : EventSpecs())
        if (Meta->inherits(s.Meta) && !names.contains(QLatin1String(s.Name))) names << QString::fromLatin1(s.Name);
    return names;
}

QStringList LayoutEventNames(const QObject* Component)
{
    return Component ? EventNamesOf(Component->metaObject()) : QStringList();
}

void RecordLayoutEvent(QObject* Component, const QString& Event, const QString& Method)
{
    QString name;
    if (!Component || EventKindOf(Component->metaObject(), Event, &name) == TEventKind::None) return;
    Component->setProperty(EventRecordName(name).constData(), Method.isEmpty() ? QVariant() : QVariant(Method));
}

QString BoundLayoutEvent(const QObject* Component, const QString& Event)
{
    QString name;
    if (!Component || EventKindOf(Component->metaObject(), Event, &name) == TEventKind::None) return {};
    return Component->property(EventRecordName(name).constData()).toString();
}

bool LayoutHandlerFits(const QObject* Component, const QString& Event, const QObject* Owner, const QString& Method,
                       QString* Error)
{
    const TEventKind kind = Component ? EventKindOf(Component->metaObject(), Event) : TEventKind::None;
    if (kind == TEventKind::None) {
        if (Error) *Error = QStringLiteral("no event %1").arg(Event);
        return false;
    }
    if (!Owner) return true;
    bool nameFound = false;
    if (FindHandler(Owner, Method, kind, Component->metaObject(), &nameFound) >= 0) return true;
    if (Error) {
        *Error = nameFound ? QStringLiteral("the handler %1 does not take the arguments of %2 %3")
                                 .arg(Method, Event, KindText(kind))
                           : QStringLiteral("the form has no handler %1 for %2").arg(Method, Event);
    }
    return false;
}

bool BindLayoutEvent(QObject* Component, const QString& Event, QObject* Owner, const QString& Method, QString* Error)
{
    QString name;
    const TEventKind kind = Component ? EventKindOf(Component->metaObject(), Event, &name) : TEventKind::None;
    if (kind == TEventKind::None) {
        if (Error) *Error = QStringLiteral("no event %1").arg(Event);
        return false;
    }
    int index = -1;
    if (!Method.isEmpty()) {
        if (!Owner) {
            if (Error) *Error = QStringLiteral("no form to take the handler %1").arg(Method);
            return false;
        }
        if (!LayoutHandlerFits(Component, name, Owner, Method, Error)) return false;
        index = FindHandler(Owner, Method, kind, Component->metaObject(), nullptr);
    }
    const QPointer<QObject> owner(Owner);
    const bool clear = index < 0;
    if (auto* label = qobject_cast<TQRCustomLabel*>(Component); label && name == QLatin1String("OnPrint")) {
        if (clear) label->OnPrint = nullptr;
        else label->OnPrint = [owner, index](QObject* s, QString& v) { Invoke(owner, index, s, &v); };
    } else if (auto* text = qobject_cast<TQVQRDBText*>(Component); text && name == QLatin1String("OnTextTypeChange")) {
        if (clear) text->OnTextTypeChange = nullptr;
        else text->OnTextTypeChange = [owner, index](TQVQRDBText* s) { Invoke(owner, index, s, nullptr); };
    } else if (auto* barcode = qobject_cast<TQvQRBarcode*>(Component); barcode && name == QLatin1String("OnInvalidChar")) {
        if (clear) barcode->OnInvalidChar = nullptr;
        else barcode->OnInvalidChar = [owner, index](QObject* s, QString& v) { Invoke(owner, index, s, &v); };
    } else if (auto* band = qobject_cast<TQRBand*>(Component)) {
        if (name == QLatin1String("BeforePrint")) {
            if (clear) band->BeforePrint = nullptr;
            else band->BeforePrint = [owner, index](TQRBand* s, bool& p) { Invoke(owner, index, s, &p); };
        } else {
            if (clear) band->AfterPrint = nullptr;
            else band->AfterPrint = [owner, index](TQRBand* s, bool p) { Invoke(owner, index, s, &p); };
        }
    } else if (auto* report = qobject_cast<TQuickRep*>(Component)) {
        if (name == QLatin1String("BeforePrint")) {
            if (clear) report->BeforePrint = nullptr;
            else report->BeforePrint = [owner, index](TQuickRep* s, bool& p) { Invoke(owner, index, s, &p); };
        } else {
            TQRNotifyEvent handler;
            if (!clear) handler = [owner, index](TQuickRep* s) { Invoke(owner, index, s, nullptr); };
            if (name == QLatin1String("AfterPrint")) report->AfterPrint = handler;
            else if (name == QLatin1String("OnStartPage")) report->OnStartPage = handler;
            else if (name == QLatin1String("OnEndPage")) report->OnEndPage = handler;
            else report->OnPreview = handler;
        }
    } else {
        TNotifyEvent handler;
        if (!clear) {
            handler.Data = Owner;
            handler.Code = [owner, index](QObject* s) { Invoke(owner, index, s, nullptr); };
        }
        if (auto* item = qobject_cast<TMenuItem*>(Component)) item->OnClick = handler;
        else if (auto* menu = qobject_cast<TPopupMenu*>(Component)) menu->OnPopup = handler;
    }
    RecordLayoutEvent(Component, name, clear ? QString() : Method);
    return true;
}

// ------------------------------------------------------------ published properties

// Run-time states that a layout never stores or sets.
bool IsRunTimeState(const QString& Name)
{
    return Name.compare(QLatin1String("Active"), Qt::CaseInsensitive) == 0;
}

// The published property of a class: most derived class first, the exact
// name before one that differs in case; only the system's names (capital
// first letter).
QMetaProperty ClassProperty(const QMetaObject* Meta, const QString& Name)
{
    if (IsRunTimeState(Name)) return {};
    for (const QMetaObject* mo = Meta; mo; mo = mo->superClass()) {
        QMetaProperty loose;
        for (int i = mo->propertyOffset(); i < mo->propertyCount(); ++i) {
            const QMetaProperty p = mo->property(i);
            const QString pn = QString::fromLatin1(p.name());
            if (pn.isEmpty() || !pn[0].isUpper()) continue;
            if (pn == Name) return p;
            if (!loose.isValid() && pn.compare(Name, Qt::CaseInsensitive) == 0) loose = p;
        }
        if (loose.isValid()) return loose;
    }
    return {};
}

const QStringList& GeometryNames()
{
    static const QStringList names{QStringLiteral("Left"), QStringLiteral("Top"), QStringLiteral("Width"),
                                   QStringLiteral("Height")};
    return names;
}

bool IsObjectPointer(const QMetaProperty& p) { return (p.metaType().flags() & QMetaType::PointerToQObject) != 0; }

}  // namespace kelm24
