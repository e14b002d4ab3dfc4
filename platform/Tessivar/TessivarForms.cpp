#include "platform/Tessivar/TessivarForms.h"

#include "platform/dialogs/Dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDrag>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QVBoxLayout>
#include <stdexcept>

namespace tessivar {

namespace {

template <class R, class... A>
R Call(QObject* Target, const char* Method, A... Args)
{
    R result{};
    // The return type is named by its meta-type (Q_RETURN_ARG would name it "R").
    if (!QMetaObject::invokeMethod(Target, Method, Qt::DirectConnection, QReturnArgument<R>(QMetaType::fromType<R>().name(), result),
                                   Args...))
        throw std::runtime_error(std::string("SQL builder has no method ") + Method);
    return result;
}

// The classes whose components the layout's field list shows.
bool IsLayoutField(const QObject* Object)
{
    static const QStringList kinds = {QStringLiteral("TQRLabel"), QStringLiteral("TQRDBText"), QStringLiteral("TQRMemo"),
                                      QStringLiteral("TQRImage"), QStringLiteral("TQRExpr")};
    for (const QMetaObject* m = Object->metaObject(); m; m = m->superClass())
        if (kinds.contains(QString::fromLatin1(m->className()).section(QLatin1String("::"), -1))) return true;
    return false;
}

void ShowError(QWidget* Owner, const QString& Text)
{
    kelm24::TMessageRequest request;
    request.Text = Text;
    request.DlgType = kelm24::mtError;
    request.Buttons = {kelm24::mbOK};
    request.Owner = Owner;
    kelm24::TDialogService::MessageBox(request);
}

}  // namespace

// -------------------------------------------------------------- the builder

int TBuilderAccess::RelationCount() const { return Call<int>(builder_, "RelationCount"); }
QString TBuilderAccess::TableName(int Table) const { return Call<QString>(builder_, "RelationTableName", Q_ARG(int, Table)); }
int TBuilderAccess::FieldCount(int Table) const { return Call<int>(builder_, "FieldCount", Q_ARG(int, Table)); }
QString TBuilderAccess::FieldName(int Table, int Field) const
{
    return Call<QString>(builder_, "FieldText", Q_ARG(int, Table), Q_ARG(int, Field));
}
QString TBuilderAccess::FieldColumn(int Table, int Field) const
{
    return Call<QString>(builder_, "FieldColumn", Q_ARG(int, Table), Q_ARG(int, Field));
}
QString TBuilderAccess::FieldCaption(int Table, int Field) const
{
    return Call<QString>(builder_, "FieldCaption", Q_ARG(int, Table), Q_ARG(int, Field));
}
bool TBuilderAccess::FieldPlaced(int Table, int Field) const
{
    return Call<bool>(builder_, "FieldPlaced", Q_ARG(int, Table), Q_ARG(int, Field));
}
QString TBuilderAccess::FieldComponent(int Table, int Field) const
{
    return Call<QString>(builder_, "FieldComponentName", Q_ARG(int, Table), Q_ARG(int, Field));
}
void TBuilderAccess::Unplace(int Table, int Field) const
{
    QMetaObject::invokeMethod(builder_, "SetFieldPlaced", Qt::DirectConnection, Q_ARG(int, Table), Q_ARG(int, Field),
                              Q_ARG(QString, QString()));
}
QStringList TBuilderAccess::LayoutFieldNames() const { return Call<QStringList>(builder_, "LayoutFieldNames"); }
QString TBuilderAccess::MainTable() const { return Call<QString>(builder_, "MainTable"); }

QStringList TBuilderAccess::StatementTables() const
{
    QStringList tables;
    const QString text = builder_->property("FromText").toString() + QLatin1Char(' ') + builder_->property("JoinText").toString();
    static const QRegularExpression named(QStringLiteral("\\$\\$([A-Za-z_][A-Za-z0-9_]*)"));
    for (auto it = named.globalMatch(text); it.hasNext();) {
        const QString t = it.next().captured(1).toUpper();
        if (!tables.contains(t)) tables << t;
    }
    return tables;
}

int TBuilderAccess::AddTable(const QString& Table, const QString& Caption, const QStringList& BaseColumns,
                             const QStringList& Columns) const
{
    return Call<int>(builder_, "AddRelationTable", Q_ARG(QString, Table), Q_ARG(QString, Caption), Q_ARG(QStringList, BaseColumns),
                     Q_ARG(QStringList, Columns));
}

void TBuilderAccess::AddField(int Table, const QString& Field, const QString& Caption, bool Barcode) const
{
    Call<int>(builder_, "AddRelationField", Q_ARG(int, Table), Q_ARG(QString, Field), Q_ARG(QString, Caption), Q_ARG(bool, Barcode));
}

QStringList TBuilderAccess::TableColumns(const QString& Table) const
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!plain.match(Table).hasMatch()) throw std::runtime_error(QStringLiteral("\"%1\" 不是数据表名称").arg(Table).toStdString());
    if (!dataSet_) throw std::runtime_error("no data set");
    dataSet_->setProperty("Active", false);
    dataSet_->setProperty("CommandText", QStringLiteral("SELECT * FROM $$%1 WHERE 1=0").arg(Table));
    // Opening raises the server's refusal as the data set's exception.
    dataSet_->setProperty("Active", true);
    if (!dataSet_->property("Active").toBool()) throw std::runtime_error(QStringLiteral("数据表 %1 无法读取").arg(Table).toStdString());
    QStringList columns = Call<QStringList>(dataSet_, "FieldNames");
    dataSet_->setProperty("Active", false);
    for (QString& c : columns) c = c.toUpper();
    return columns;
}

// -------------------------------------------------------------- drag sources

TDragList::TDragList(QWidget* Parent) : QTreeWidget(Parent)
{
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setRootIsDecorated(false);
}

void TDragList::startDrag(Qt::DropActions)
{
    QTreeWidgetItem* item = currentItem();
    if (!item || !(item->flags() & Qt::ItemIsDragEnabled)) return;
    auto* drag = new QDrag(this);
    auto* mime = new QMimeData;
    mime->setText(item->text(1));
    drag->setMimeData(mime);
    drag->exec(Qt::CopyAction);
}

void TDragButton::mousePressEvent(QMouseEvent* Event)
{
    pressAt_ = Event->position().toPoint();
    pressed_ = Event->button() == Qt::LeftButton;
    QToolButton::mousePressEvent(Event);
}

void TDragButton::mouseMoveEvent(QMouseEvent* Event)
{
    if (pressed_ && (Event->position().toPoint() - pressAt_).manhattanLength() >= QApplication::startDragDistance()) {
        pressed_ = false;
        setDown(false);
        auto* drag = new QDrag(this);
        auto* mime = new QMimeData;
        mime->setText(objectName());
        drag->setMimeData(mime);
        drag->exec(Qt::CopyAction);
        return;
    }
    QToolButton::mouseMoveEvent(Event);
}

// -------------------------------------------------------------- tool window

TTessivarWindow::TTessivarWindow(QWidget* Form, QObject* Builder, QObject* DataSet)
    : QWidget(Form, Qt::Tool), form_(Form), access_(Builder, DataSet)
{
    setObjectName(QStringLiteral("frmTessivar"));
    setWindowTitle(QStringLiteral("扩展栏位"));
    auto* layout = new QVBoxLayout(this);
    auto* tools = new QHBoxLayout;
    tbLabel = new TDragButton(this);
    tbLabel->setObjectName(QStringLiteral("tbLabel"));
    tbLabel->setText(QStringLiteral("标签"));
    tbLabel->setToolTip(QStringLiteral("拖到区段上新建标签"));
    tbAddTable = new QToolButton(this);
    tbAddTable->setObjectName(QStringLiteral("tbAddTable"));
    tbAddTable->setText(QStringLiteral("添加关联表..."));
    tools->addWidget(tbLabel);
    tools->addWidget(tbAddTable);
    tools->addStretch();
    layout->addLayout(tools);
    layout->addWidget(new QLabel(QStringLiteral("关联表栏位 (拖到区段上)"), this));
    lvExtending = new TDragList(this);
    lvExtending->setObjectName(QStringLiteral("lvExtending"));
    lvExtending->setHeaderLabels({QStringLiteral("栏位"), QStringLiteral("名称"), QStringLiteral("说明"), QStringLiteral("表"),
                                  QStringLiteral("序")});
    layout->addWidget(lvExtending, 2);
    layout->addWidget(new QLabel(QStringLiteral("格式中的栏位"), this));
    lvFields = new TDragList(this);
    lvFields->setObjectName(QStringLiteral("lvFields"));
    lvFields->setHeaderLabels({QStringLiteral("说明"), QStringLiteral("元件")});
    layout->addWidget(lvFields, 1);
    resize(320, 460);
    connect(tbAddTable, &QToolButton::clicked, this, [this] { OpenWizard(); });
    QObject::connect(Builder, SIGNAL(Changed()), this, SLOT(Refresh()));
    Refresh();
}

void TTessivarWindow::Refresh()
{
    lvExtending->clear();
    try {
        for (int t = 0; t < access_.RelationCount(); ++t) {
            for (int f = 0; f < access_.FieldCount(t); ++f) {
                const QString caption = access_.FieldCaption(t, f);
                auto* item = new QTreeWidgetItem(lvExtending, {access_.FieldName(t, f) + QStringLiteral(" ") + caption,
                                                               access_.FieldColumn(t, f), caption, QString::number(t),
                                                               QString::number(f)});
                // A placed field is shown greyed with its component; dragging it is refused by the form.
                if (access_.FieldPlaced(t, f)) {
                    item->setForeground(0, Qt::gray);
                    item->setToolTip(0, access_.FieldComponent(t, f));
                }
            }
        }
    } catch (const std::exception& e) {
        ShowError(this, QString::fromUtf8(e.what()));
    }
    lvFields->clear();
    if (form_) {
        for (QWidget* w : form_->findChildren<QWidget*>()) {
            if (!IsLayoutField(w) || w->objectName().isEmpty()) continue;
            const QString hint = w->property("Hint").toString();
            new QTreeWidgetItem(lvFields, {hint.isEmpty() ? w->objectName() : hint, w->objectName()});
        }
    }
}

TRelationWizard* TTessivarWindow::OpenWizard()
{
    if (!wizard_) wizard_ = new TRelationWizard(this, access_);
    wizard_->open();
    wizard_->raise();
    return wizard_;
}

// -------------------------------------------------------------- the dialog

TRelationWizard::TRelationWizard(QWidget* Parent, const TBuilderAccess& Access) : QDialog(Parent), access_(Access)
{
    setObjectName(QStringLiteral("frmRelationWizard"));
    setWindowTitle(QStringLiteral("关联表向导"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    cboTable = new QComboBox(this);
    cboTable->setObjectName(QStringLiteral("cboTable"));
    cboTable->setEditable(true);
    cboTable->addItems(access_.StatementTables());
    cboTable->setCurrentIndex(-1);
    form->addRow(QStringLiteral("关联表"), cboTable);
    edtCaption = new QLineEdit(this);
    edtCaption->setObjectName(QStringLiteral("edtCaption"));
    form->addRow(QStringLiteral("说明"), edtCaption);
    auto* join = new QHBoxLayout;
    cboBaseColumn = new QComboBox(this);
    cboBaseColumn->setObjectName(QStringLiteral("cboBaseColumn"));
    cboBaseColumn->setEditable(true);
    cboBaseColumn->addItems(access_.LayoutFieldNames());
    cboJoinColumn = new QComboBox(this);
    cboJoinColumn->setObjectName(QStringLiteral("cboJoinColumn"));
    btnAddJoin = new QToolButton(this);
    btnAddJoin->setObjectName(QStringLiteral("btnAddJoin"));
    btnAddJoin->setText(QStringLiteral("="));
    btnAddJoin->setToolTip(QStringLiteral("加入关联条件"));
    join->addWidget(cboBaseColumn);
    join->addWidget(btnAddJoin);
    join->addWidget(cboJoinColumn);
    form->addRow(QStringLiteral("关联栏位"), join);
    lbJoins = new QListWidget(this);
    lbJoins->setObjectName(QStringLiteral("lbJoins"));
    lbJoins->setMaximumHeight(70);
    form->addRow(QString(), lbJoins);
    layout->addLayout(form);
    tblFields = new QTableWidget(0, 2, this);
    tblFields->setObjectName(QStringLiteral("tblFields"));
    tblFields->setHorizontalHeaderLabels({QStringLiteral("提供的栏位"), QStringLiteral("条码")});
    tblFields->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(tblFields);
    lblStatus = new QLabel(this);
    layout->addWidget(lblStatus);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("btnOk"));
    layout->addWidget(buttons);
    resize(420, 480);
    connect(cboTable, &QComboBox::textActivated, this, [this](const QString& t) { LoadTable(t); });
    connect(cboTable->lineEdit(), &QLineEdit::editingFinished, this, [this] {
        if (cboTable->currentText().trimmed().toUpper() != loaded_) LoadTable(cboTable->currentText());
    });
    connect(btnAddJoin, &QToolButton::clicked, this, [this] { AddJoin(); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (Finish()) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void TRelationWizard::Message(const QString& Text)
{
    lblStatus->setText(Text);
    ShowError(this, Text);
}

bool TRelationWizard::LoadTable(const QString& Table)
{
    const QString table = Table.trimmed().toUpper();
    QStringList columns;
    try {
        columns = access_.TableColumns(table);
    } catch (const std::exception& e) {
        Message(QStringLiteral("数据表 %1 无法读取: %2").arg(table, QString::fromUtf8(e.what())));
        return false;
    }
    loaded_ = table;
    cboTable->setEditText(table);
    if (edtCaption->text().isEmpty()) edtCaption->setText(table);
    cboJoinColumn->clear();
    cboJoinColumn->addItems(columns);
    lbJoins->clear();
    tblFields->setRowCount(static_cast<int>(columns.size()));
    for (int r = 0; r < columns.size(); ++r) {
        auto* offer = new QTableWidgetItem(columns[r]);
        offer->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        offer->setCheckState(Qt::Unchecked);
        auto* barcode = new QTableWidgetItem;
        barcode->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        barcode->setCheckState(Qt::Unchecked);
        tblFields->setItem(r, 0, offer);
        tblFields->setItem(r, 1, barcode);
    }
    lblStatus->setText(QStringLiteral("%1: %2 个栏位").arg(table).arg(columns.size()));
    return true;
}

void TRelationWizard::AddJoin()
{
    const QString base = cboBaseColumn->currentText().trimmed(), column = cboJoinColumn->currentText().trimmed();
    if (base.isEmpty() || column.isEmpty()) return;
    lbJoins->addItem(base + QStringLiteral(" = ") + column);
}

bool TRelationWizard::Finish()
{
    if (loaded_.isEmpty()) {
        Message(QStringLiteral("请选择关联表"));
        return false;
    }
    QStringList base, columns;
    for (int i = 0; i < lbJoins->count(); ++i) {
        const QStringList pair = lbJoins->item(i)->text().split(QStringLiteral(" = "));
        base << pair.value(0);
        columns << pair.value(1);
    }
    if (base.isEmpty() && loaded_.compare(access_.MainTable(), Qt::CaseInsensitive) != 0) {
        Message(QStringLiteral("请至少加入一个关联条件"));
        return false;
    }
    QList<int> offered;
    for (int r = 0; r < tblFields->rowCount(); ++r)
        if (tblFields->item(r, 0)->checkState() == Qt::Checked) offered << r;
    if (offered.isEmpty()) {
        Message(QStringLiteral("请至少选择一个提供的栏位"));
        return false;
    }
    try {
        const int table = access_.AddTable(loaded_, edtCaption->text(), base, columns);
        for (int r : offered)
            access_.AddField(table, tblFields->item(r, 0)->text(), edtCaption->text() + QLatin1Char('.') + tblFields->item(r, 0)->text(),
                             tblFields->item(r, 1)->checkState() == Qt::Checked);
    } catch (const std::exception& e) {
        Message(QString::fromUtf8(e.what()));
        return false;
    }
    return true;
}

}  // namespace tessivar
