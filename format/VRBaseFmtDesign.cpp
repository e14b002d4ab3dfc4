// TfrmVRBaseFmt with its designer and SQL builder: the designer's settings and
// events, the designer items of the popup menu, adding fields by dragging
// them onto a band, and the builder operations the option form calls.
#include "format/VRBaseFmtF.h"

#include "controls/Menus.h"
#include "format/DreamDesigner.h"
#include "format/VRSQLBuilder.h"
#include "format/engine/ClientDataSet.h"
#include "format/engine/QRBands.h"
#include "format/engine/QRControls.h"
#include "format/engine/QREvaluator.h"
#include "format/engine/QVQRControls.h"
#include "format/engine/QuickRep.h"
#include "runtime/ModulePath.h"
#include "options/VRBaseOptF.h"
#include "runtime/RuntimeLibrary.h"

#include <QAbstractItemView>
#include <QFileInfo>
#include <QProcess>
#include <QTreeWidget>
#include <dlfcn.h>

namespace kelm24 {

namespace {

// The builder and the designer are components of the base design.
const bool kDesignerClassesRegistered = [] {
    RegisterLayoutClass(QStringLiteral("TVRSQLBuilder"), &TVRSQLBuilder::staticMetaObject,
                        [](QObject* parent) -> QObject* { return new TVRSQLBuilder(parent); });
    RegisterLayoutClass(QStringLiteral("TDreamDesigner"), &TDreamDesigner::staticMetaObject, [](QObject* parent) -> QObject* {
        auto* form = qobject_cast<QWidget*>(parent);
        return form ? new TDreamDesigner(form) : nullptr;
    });
    return true;
}();

template <class T>
TDreamDesigner::TComponentFactory Factory()
{
    return [](QWidget* parent) -> QWidget* { return new T(parent); };
}

bool IsAny(const QObject* Object, std::initializer_list<const QMetaObject*> Classes)
{
    for (const QMetaObject* c : Classes)
        if (Object->metaObject()->inherits(c)) return true;
    return false;
}

// The name a band's data-set property gives: the component it names, or its text.
QString PropertyName(const QObject* Object, const char* Property)
{
    const QVariant v = Object->property(Property);
    if (!v.isValid()) return QString();
    if (v.metaType().flags() & QMetaType::PointerToQObject) {
        const QObject* o = v.value<QObject*>();
        return o ? o->objectName() : QString();
    }
    return v.toString();
}

// The current item of a list view that started a drag.
QTreeWidgetItem* DraggedItem(QObject* Source)
{
    auto* list = qobject_cast<QTreeWidget*>(Source);
    return list ? list->currentItem() : nullptr;
}

}  // namespace

TDreamDesigner* TfrmVRBaseFmt::Designer() const { return qobject_cast<TDreamDesigner*>(DreamDesigner1); }
TVRSQLBuilder* TfrmVRBaseFmt::Builder() const { return qobject_cast<TVRSQLBuilder*>(SQLReBuilder); }

void TfrmVRBaseFmt::SetupDesigner()
{
    SQLReBuilder = findChild<TVRSQLBuilder*>(QStringLiteral("SQLReBuilder"));
    DreamDesigner1 = findChild<TDreamDesigner*>(QStringLiteral("DreamDesigner1"));
    TDreamDesigner* designer = Designer();
    if (!designer) return;
    // Every report control is a component the user may select and move; the
    // kinds the designer adds can be made by class name.
    designer->RegisterClass(&TQRLabel::staticMetaObject, Factory<TQRLabel>());
    designer->RegisterClass(&TQVQRDBText::staticMetaObject, Factory<TQVQRDBText>());
    designer->RegisterClass(&TQvQRDBBarcode::staticMetaObject, Factory<TQvQRDBBarcode>());
    designer->RegisterClass(&TQRPrintable::staticMetaObject);
    designer->RegisterClass(&TQRBand::staticMetaObject, {}, true);
    designer->RegisterPropertyEnum(QStringLiteral("Alignment"),
                                   {QStringLiteral("taLeftJustify"), QStringLiteral("taRightJustify"), QStringLiteral("taCenter")});
    designer->RegisterPropertyEnum(QStringLiteral("TextPosition"),
                                   {QStringLiteral("tpTopLeft"), QStringLiteral("tpTopRight"), QStringLiteral("tpTopCenter"),
                                    QStringLiteral("tpBottomLeft"), QStringLiteral("tpBottomRight"), QStringLiteral("tpBottomCenter")});
    designer->RegisterPropertyEnum(QStringLiteral("Shape"),
                                   {QStringLiteral("qrsRectangle"), QStringLiteral("qrsCircle"), QStringLiteral("qrsHorLine"),
                                    QStringLiteral("qrsVertLine"), QStringLiteral("qrsTopAndBottom"), QStringLiteral("qrsRightAndLeft")});
    // A data-set reference names a data set, not any component; a band's or
    // expression's text must read as an expression of the report, or the
    // next run would fail on it.
    designer->RegisterPropertyCheck(QStringLiteral("DataSet"), [this](QObject*, const QString& Text) {
        return Text.isEmpty() || findChild<TClientDataSet*>(Text) ? QString()
                                                                  : QStringLiteral("'%1' is not a data set of the layout").arg(Text);
    });
    designer->RegisterPropertyCheck(QStringLiteral("Expression"), [this](QObject*, const QString& Text) {
        if (!QuickRep1) return QString();
        TQREvaluator expression;
        expression.SetDataSets(QuickRep1->DataSets());
        expression.SetFunctions(&QuickRep1->Functions());
        try {
            expression.Prepare(Text);
        } catch (const std::exception& e) {
            return QString::fromUtf8(e.what());
        }
        return QString();
    });
    designer->SetPopupMenu(PopupMenu1);
    // Fields may be created by dropping them on a band.
    designer->Allow(daInsert, true);

    designer->OnLoadChanges = [this](bool& Handled) { LoadChanges(Handled); };
    designer->OnSaveChanges = [this](bool& Handled) { SaveChanges(Handled); };
    designer->OnActiveChanged = [this] { DreamDesigner1ActiveChanged(); };
    designer->OnDragOver = [this](QObject* s, QWidget* t, const QPoint& p, bool& a) { DreamDesigner1DragOver(s, t, p, a); };
    designer->OnDragDrop = [this](QObject* s, QWidget* t, const QPoint& p) { DreamDesigner1DragDrop(s, t, p); };
    designer->OnDeleteComponent = [this](QWidget* c) { DreamDesigner1DeleteComponent(c); };
    designer->OnShowProperty = [this](QWidget* c) { DreamDesigner1ShowProperty(c); };

    const auto bind = [this](TMenuItem* item, std::function<void()> run) {
        if (item) item->OnClick = TNotifyEvent{this, [run](QObject*) { run(); }};
    };
    bind(ShowObjectInsp1, [designer] { designer->ShowInspector(); });
    bind(mnuDOCtoEMF, [this] { mnuDOCtoEMFClick(); });
    bind(nuAlignToGrid, [designer] { designer->AlignToGrid(); });
    bind(nuBringToFront, [designer] { designer->BringToFront(); });
    bind(nuSendToBack, [designer] { designer->SendToBack(); });
    bind(nuAlignSelected, [designer] { designer->ShowAlignDialog(); });
    bind(nuSize, [designer] { designer->ShowSizeDialog(); });
    bind(sss1, [designer] { designer->ShowScaleDialog(); });
    bind(miDel, [this] { miDelClick(); });
    if (PopupMenu1) PopupMenu1->OnPopup = TNotifyEvent{this, [this](QObject*) { PopupMenu1Popup(); }};
}

bool TfrmVRBaseFmt::DesignerActive() { return Designer() && Designer()->Active(); }

void TfrmVRBaseFmt::StartDesignMode()
{
    TDreamDesigner* designer = Designer();
    if (!designer) return;
    designer->Start();
    // The relation wizard's field list comes up with design mode.
    if (designer->Active() && SQLBuilderInUse()) RunTessivar();
}

// ------------------------------------------------------------------ events

void TfrmVRBaseFmt::DreamDesigner1ActiveChanged()
{
    if (DesignerActive()) return;
    if (TfrmVRBaseOpt* owner = OptionForm())
        owner->CloseDesigner();
    else
        CloseDesigner();
}

void TfrmVRBaseFmt::DreamDesigner1ShowProperty(QWidget* Component)
{
    // Only what the designer added may be deleted.
    if (Designer() && Component) Designer()->Allow(daDelete, DesignerAdded.contains(Component->objectName()));
}

void TfrmVRBaseFmt::DreamDesigner1DeleteComponent(QWidget* Component)
{
    if (!Component) return;
    DesignerAdded.removeAll(Component->objectName());
    if (Builder()) Builder()->UnplaceComponent(Component->objectName());
}

void TfrmVRBaseFmt::PopupMenu1Popup()
{
    if (!miDel || !Designer()) return;
    const QList<QWidget*> selection = Designer()->Selection();
    bool deletable = !selection.isEmpty();
    for (QWidget* w : selection)
        deletable = deletable && IsAny(w, {&TQVQRDBText::staticMetaObject, &TQvQRDBBarcode::staticMetaObject});
    miDel->SetEnabled(deletable);
}

void TfrmVRBaseFmt::miDelClick()
{
    TDreamDesigner* designer = Designer();
    if (!designer) return;
    PopupMenu1Popup();
    if (!miDel->Enabled()) return;
    const bool allowed = designer->Allowed(daDelete);
    designer->Allow(daDelete, true);
    designer->DeleteSelected();
    designer->Allow(daDelete, allowed);
}

void TfrmVRBaseFmt::mnuDOCtoEMFClick()
{
    const QString folder = ClientPath + QStringLiteral("C_QVBIN/");
    const QString program = folder + QStringLiteral("zez2iri");
    if (!QFileInfo(program).isExecutable() || !QProcess::startDetached(program, {}, folder))
        FormMessage(QStringLiteral("ConverterError"), QStringLiteral("无法执行转换程序 %s"), mtError, {mbOK}, program);
}

// ------------------------------------------------------------------ dragging fields

void TfrmVRBaseFmt::DreamDesigner1DragOver(QObject* Source, QWidget* Target, const QPoint& Point, bool& Accept)
{
    Accept = false;
    auto* band = qobject_cast<TQRBand*>(Target);
    if (!band || !Source) return;
    const QString source = Source->objectName();
    if (source == QLatin1String("lvExtending") || source == QLatin1String("tbLabel")) {
        if (source == QLatin1String("lvExtending")) {
            QTreeWidgetItem* item = DraggedItem(Source);
            TVRSQLBuilder* builder = Builder();
            if (!item || !builder) return;
            bool tableOk = false, fieldOk = false;
            const int table = item->text(3).toInt(&tableOk), field = item->text(4).toInt(&fieldOk);
            if (!tableOk || !fieldOk || table < 0 || table >= builder->RelationCount() || field < 0 ||
                field >= builder->FieldCount(table) || builder->FieldPlaced(table, field))
                return;
        }
        // Only a band that prints the report's own rows takes the field.
        const QString reportSet = QuickRep1 && QuickRep1->DataSetObject() ? QuickRep1->DataSetObject()->objectName().toUpper() : QString();
        const QString dataSet = PropertyName(band, "DataSet").toUpper(), expression = PropertyName(band, "Expression").toUpper();
        Accept = (dataSet.isEmpty() && expression.isEmpty()) ||
                 (!reportSet.isEmpty() && (dataSet.contains(reportSet) || expression.contains(reportSet)));
        return;
    }
    if (!qobject_cast<QAbstractItemView*>(Source)) return;
    // Another list view lists the layout's fields by component name: such a
    // field moves within its own band only.
    QTreeWidgetItem* item = DraggedItem(Source);
    QWidget* field = item ? findChild<QWidget*>(item->text(1)) : nullptr;
    Accept = field && field->parentWidget() == band && Point.y() >= 0 && Point.y() < band->height() &&
             IsAny(field, {&TQRLabel::staticMetaObject, &TQRDBText::staticMetaObject, &TQRMemo::staticMetaObject,
                           &TQRImage::staticMetaObject, &TQRExpr::staticMetaObject});
}

void TfrmVRBaseFmt::DreamDesigner1DragDrop(QObject* Source, QWidget* Target, const QPoint& Point)
{
    TDreamDesigner* designer = Designer();
    auto* band = qobject_cast<TQRBand*>(Target);
    if (!designer || !band || !Source) return;
    const QString source = Source->objectName();
    try {
        QWidget* made = nullptr;
        QString name;
        if (source == QLatin1String("lvExtending")) {
            QTreeWidgetItem* item = DraggedItem(Source);
            TVRSQLBuilder* builder = Builder();
            if (!item || !builder) return;
            const int table = item->text(3).toInt(), field = item->text(4).toInt();
            const QString column = builder->FieldColumn(table, field);
            const QString hint = item->text(2);
            if (builder->FieldBarcode(table, field)) {
                made = designer->CreateComponent(QStringLiteral("TQvQRDBBarcode"), band, QRect(Point, QSize(100, 105)));
                SetupNewBarcode(column, hint, name, made);
            } else {
                made = designer->CreateComponent(QStringLiteral("TQVQRDBText"), band, QRect(Point, QSize(100, 13)));
                SetupNewDataText(column, hint, name, made);
            }
            builder->SetFieldPlaced(table, field, name);
        } else if (source == QLatin1String("tbLabel")) {
            made = designer->CreateComponent(QStringLiteral("TQRLabel"), band, QRect(Point, QSize(100, 13)));
            SetupNewLabel(name, made);
        } else {
            QTreeWidgetItem* item = DraggedItem(Source);
            QWidget* field = item ? findChild<QWidget*>(item->text(1)) : nullptr;
            if (!field) return;
            if (auto* printable = qobject_cast<TQRPrintable*>(field)) printable->SetEnabled(true);
            field->move(Point);
            designer->Select(band);
            designer->Select(field);
            return;
        }
        if (!DesignerAdded.contains(name)) DesignerAdded << name;
        designer->Select(made);
    } catch (const std::exception& e) {
        FormMessage(QStringLiteral("CreateError"), QStringLiteral("Create Error %d"), mtError, {mbOK}, QString::fromUtf8(e.what()));
    }
}

// ------------------------------------------------------------------ SQL builder

bool TfrmVRBaseFmt::SQLBuilderInUse() { return Builder() && Builder()->Active() && SQLBuilderOn; }

void TfrmVRBaseFmt::SetSQLBuilderOn(bool On)
{
    SQLBuilderOn = On;
    if (Builder()) Builder()->SetActive(On);
}

bool TfrmVRBaseFmt::BuildExtendedSQL(const QString& Select, const QString& From, const QString& OrderBy,
                                     const QString& GroupBy, const QString& Where, const QString& Join)
{
    return SQLBuilderInUse() && Builder()->Build(Select, From, OrderBy, GroupBy, Where, Join);
}

bool TfrmVRBaseFmt::IsExtendedSQLEmpty() { return !Builder() || Builder()->IsSQLNull(); }

void TfrmVRBaseFmt::ApplyExtendedSQL(const QString& Select, const QString& From, int DesignerFlag, const QString& OrderBy,
                                     const QString& GroupBy, const QString& Where, const QString& Join)
{
    if (Builder()) Builder()->Apply(Select, From, DesignerFlag, OrderBy, GroupBy, Where, Join);
}

void TfrmVRBaseFmt::InitDesignInfo(const QString& Program, const QString& User, const QString& MainTable,
                                   const QString& Database, const QString& Company)
{
    TVRSQLBuilder* builder = Builder();
    if (!builder) return;
    builder->InitVRInfo(Program, User, MainTable, Database, Company);
    QString fields;
    GetFieldList(this, fields);
    builder->SetLayoutFields(fields);
}

void TfrmVRBaseFmt::ExtendSQL(const QString& SQL, QString& Result)
{
    Result = SQLBuilderInUse() ? Builder()->ExtendSQL(SQL) : SQL;
}

int TfrmVRBaseFmt::NextComponentNumber()
{
    // The builder's counter is stored with the layout, so names stay unique
    // across design sessions.
    return Builder() ? Builder()->TakeComponentNum() : ++componentNumber_;
}

void TfrmVRBaseFmt::RunTessivar()
{
    // The client's program folder first, then the folder of this library.
    void* library = LoadRuntimeLibrary(QStringLiteral("libTessivar.so"),
                                       {ClientPath + QStringLiteral("C_QVBIN/"), ModuleFolder() + QLatin1Char('/')});
    if (!library) {
        FormMessage(QStringLiteral("DLLCallError"), QStringLiteral("DLL Call Error"), mtError, {mbOK});
        return;
    }
    using TGetSQLFixed = int (*)(QWidget* form, QObject* builder, QObject* dataSet);
    auto fixed = reinterpret_cast<TGetSQLFixed>(dlsym(library, "GetSQLFixed"));
    if (!fixed) {
        FormMessage(QStringLiteral("TessivarInternalError"), QStringLiteral("Create Tessivar Internal Error"), mtError, {mbOK});
    } else if (SQLBuilderInUse()) {
        // The wizard's windows keep using the data set, so it lives with the
        // form; unnamed, it is no part of the stored layout.
        TClientDataSet* temp = nullptr;
        for (QObject* child : children())
            if (child->property("TessivarData").toBool()) temp = qobject_cast<TClientDataSet*>(child);
        if (!temp) {
            temp = new TClientDataSet(this);
            temp->setProperty("TessivarData", true);
        }
        temp->SetRemoteServer(AppServer());
        temp->SetProviderName(QStringLiteral("pvdTemp"));
        if (fixed(this, SQLReBuilder, temp) != 0)
            FormMessage(QStringLiteral("TessivarError"), QStringLiteral("Create Tessivar Error"), mtError, {mbOK});
    }
    // The wizard keeps its windows: the library stays loaded however often it is closed.
    dlclose(library);
}

}  // namespace kelm24
