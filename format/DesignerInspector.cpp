#include "format/DesignerInspector.h"

#include "format/DreamDesigner.h"
#include "platform/dialogs/Dialogs.h"
#include "runtime/PropUtils.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMetaProperty>
#include <QTableWidget>
#include <QRegularExpression>
#include <QScrollBar>
#include <QVBoxLayout>

namespace kelm24 {

namespace {

// The colour names of the system's colour properties.
const QList<QPair<QString, QColor>>& ColorNames()
{
    static const QList<QPair<QString, QColor>> names = {
        {QStringLiteral("clBlack"), QColor(0, 0, 0)},       {QStringLiteral("clMaroon"), QColor(128, 0, 0)},
        {QStringLiteral("clGreen"), QColor(0, 128, 0)},     {QStringLiteral("clOlive"), QColor(128, 128, 0)},
        {QStringLiteral("clNavy"), QColor(0, 0, 128)},      {QStringLiteral("clPurple"), QColor(128, 0, 128)},
        {QStringLiteral("clTeal"), QColor(0, 128, 128)},    {QStringLiteral("clGray"), QColor(128, 128, 128)},
        {QStringLiteral("clSilver"), QColor(192, 192, 192)}, {QStringLiteral("clRed"), QColor(255, 0, 0)},
        {QStringLiteral("clLime"), QColor(0, 255, 0)},      {QStringLiteral("clYellow"), QColor(255, 255, 0)},
        {QStringLiteral("clBlue"), QColor(0, 0, 255)},      {QStringLiteral("clFuchsia"), QColor(255, 0, 255)},
        {QStringLiteral("clAqua"), QColor(0, 255, 255)},    {QStringLiteral("clWhite"), QColor(255, 255, 255)}};
    return names;
}

QString ColorText(const QColor& c)
{
    if (!c.isValid() || c.alpha() == 0) return QStringLiteral("clNone");
    for (const auto& n : ColorNames())
        if (n.second == c) return n.first;
    return c.name();
}

bool ReadColor(const QString& Text, QColor& Color)
{
    const QString t = Text.trimmed();
    if (t.compare(QLatin1String("clNone"), Qt::CaseInsensitive) == 0) {
        Color = Qt::transparent;
        return true;
    }
    for (const auto& n : ColorNames()) {
        if (n.first.compare(t, Qt::CaseInsensitive) == 0) {
            Color = n.second;
            return true;
        }
    }
    if (!t.startsWith(QLatin1Char('#'))) return false;
    Color = QColor::fromString(t);
    return Color.isValid();
}

// "宋体,9" with ",Bold", ",Italic", ",Underline" as the font has them.
QString FontText(const QFont& f)
{
    QString t = f.family() + QLatin1Char(',') + QString::number(f.pointSizeF());
    if (f.bold()) t += QStringLiteral(",Bold");
    if (f.italic()) t += QStringLiteral(",Italic");
    if (f.underline()) t += QStringLiteral(",Underline");
    return t;
}

bool ReadFont(const QString& Text, QFont& Font)
{
    const QStringList parts = Text.split(QLatin1Char(','));
    if (parts.size() < 2 || parts[0].trimmed().isEmpty()) return false;
    bool ok = false;
    const double size = parts[1].trimmed().toDouble(&ok);
    if (!ok || size <= 0 || size > 1000) return false;
    QFont f(parts[0].trimmed());
    f.setPointSizeF(size);
    for (int i = 2; i < parts.size(); ++i) {
        const QString style = parts[i].trimmed();
        if (style.compare(QLatin1String("Bold"), Qt::CaseInsensitive) == 0)
            f.setBold(true);
        else if (style.compare(QLatin1String("Italic"), Qt::CaseInsensitive) == 0)
            f.setItalic(true);
        else if (style.compare(QLatin1String("Underline"), Qt::CaseInsensitive) == 0)
            f.setUnderline(true);
        else
            return false;
    }
    Font = f;
    return true;
}

bool IsEventProperty(const QMetaProperty& p)
{
    return p.metaType().id() >= QMetaType::User && !(p.metaType().flags() & QMetaType::PointerToQObject);
}

// The published properties of a component: those its own classes declare
// (not the ones Qt's widget classes have), plus the font.
QList<QMetaProperty> PublishedProperties(const QObject* Component)
{
    QList<QMetaProperty> list;
    const QMetaObject* meta = Component->metaObject();
    const int first = Component->isWidgetType() ? QWidget::staticMetaObject.propertyCount() : QObject::staticMetaObject.propertyCount();
    for (int i = first; i < meta->propertyCount(); ++i) {
        const QMetaProperty p = meta->property(i);
        if (!p.isReadable()) continue;
        bool shadowed = false;  // a derived class's property of the same name wins
        for (const QMetaProperty& q : list)
            if (QLatin1String(q.name()).compare(QLatin1String(p.name()), Qt::CaseInsensitive) == 0) shadowed = true;
        if (!shadowed) list.append(p);
    }
    if (Component->isWidgetType()) list.append(QWidget::staticMetaObject.property(QWidget::staticMetaObject.indexOfProperty("font")));
    return list;
}

void RefuseValue(const QString& Text)
{
    TMessageRequest request;
    request.Text = Text;
    request.Caption = QStringLiteral("Property error");
    request.DlgType = mtError;
    request.Buttons = {mbOK};
    TDialogService::MessageBox(request);
}

}  // namespace

// ------------------------------------------------------- properties by the designer

QStringList TDreamDesigner::PropertyNames(const QObject* Component) const
{
    QStringList names;
    if (!Component) return names;
    names << QStringLiteral("Name");
    for (const QMetaProperty& p : PublishedProperties(Component)) {
        if (!showEvents_ && IsEventProperty(p)) continue;
        QString name = QLatin1String(p.name());
        if (name == QLatin1String("font")) name = QStringLiteral("Font");
        names << name;
    }
    std::sort(names.begin() + 1, names.end(), [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return names;
}

QString TDreamDesigner::PropertyText(const QObject* Component, const QString& Name) const
{
    if (!Component) return QString();
    if (Name.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0) return Component->objectName();
    const QMetaProperty p = FindPublishedProperty(Component, Name);
    if (!p.isValid()) return QString();
    const QVariant v = p.read(Component);
    if (p.isEnumType()) return QString::fromLatin1(p.enumerator().valueToKey(v.toInt()));
    switch (p.metaType().id()) {
    case QMetaType::Bool: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Int: {
        const QStringList names = PropertyEnum(Name);
        const int i = v.toInt();
        return i >= 0 && i < names.size() ? names[i] : QString::number(i);
    }
    case QMetaType::QColor: return ColorText(v.value<QColor>());
    case QMetaType::QFont: return FontText(v.value<QFont>());
    case QMetaType::QStringList: return v.toStringList().join(QLatin1Char('|'));
    default: break;
    }
    if (p.metaType().flags() & QMetaType::PointerToQObject) {
        const QObject* o = v.value<QObject*>();
        return o ? o->objectName() : QString();
    }
    return v.toString();
}

bool TDreamDesigner::SetPropertyText(QObject* Component, const QString& Name, const QString& Text)
{
    if (!Component || !Allowed(daEdit)) return false;
    if (Name.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0) {
        // Stored layouts and the SQL builder know components by their names.
        if (Text != Component->objectName()) RefuseValue(QStringLiteral("The Name of %1 cannot be changed").arg(Component->objectName()));
        return Text == Component->objectName();
    }
    const QMetaProperty p = FindPublishedProperty(Component, Name);
    if (!p.isValid() || !p.isWritable() || (!showEvents_ && IsEventProperty(p))) {
        RefuseValue(QStringLiteral("Property %1 cannot be written").arg(Name));
        return false;
    }
    const QString t = Text.trimmed();
    if (const auto check = checks_.find(Name.toUpper()); check != checks_.end()) {
        const QString refusal = (*check)(Component, t);
        if (!refusal.isEmpty()) {
            RefuseValue(refusal);
            return false;
        }
    }
    QVariant value;
    bool ok = true;
    if (p.isEnumType()) {
        const int v = p.enumerator().keyToValue(t.toLatin1().constData(), &ok);
        value = v;
        if (!ok) RefuseValue(QStringLiteral("'%1' is not a valid value of %2").arg(Text, Name));
    } else {
        switch (p.metaType().id()) {
        case QMetaType::Bool:
            if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 || t == QLatin1String("1"))
                value = true;
            else if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0 || t == QLatin1String("0"))
                value = false;
            else
                ok = false;
            if (!ok) RefuseValue(QStringLiteral("'%1' is not a valid boolean value").arg(Text));
            break;
        case QMetaType::Int: {
            const int named = static_cast<int>(PropertyEnum(Name).indexOf(QRegularExpression(
                QStringLiteral("^%1$").arg(QRegularExpression::escape(t)), QRegularExpression::CaseInsensitiveOption)));
            value = named >= 0 ? named : t.toInt(&ok);
            if (!ok) RefuseValue(QStringLiteral("'%1' is not a valid integer value").arg(Text));
            break;
        }
        case QMetaType::Double:
            value = t.toDouble(&ok);
            if (!ok) RefuseValue(QStringLiteral("'%1' is not a valid floating point value").arg(Text));
            break;
        case QMetaType::QColor: {
            QColor c;
            ok = ReadColor(t, c);
            value = c;
            if (!ok) RefuseValue(QStringLiteral("'%1' is not a valid colour (a name such as clRed, or #rrggbb)").arg(Text));
            break;
        }
        case QMetaType::QFont: {
            QFont f;
            ok = ReadFont(Text, f);
            value = f;
            if (!ok) RefuseValue(QStringLiteral("'%1' is not a valid font (family,size[,Bold][,Italic][,Underline])").arg(Text));
            break;
        }
        case QMetaType::QStringList: value = Text.isEmpty() ? QStringList() : Text.split(QLatin1Char('|')); break;
        case QMetaType::QString: value = Text; break;
        default:
            if (p.metaType().flags() & QMetaType::PointerToQObject) {
                QObject* target = t.isEmpty() ? nullptr : form_->findChild<QObject*>(t);
                ok = t.isEmpty() || target;
                if (!ok) RefuseValue(QStringLiteral("'%1' is not a valid component reference").arg(Text));
                value = QVariant::fromValue(target);
            } else {
                value = Text;
                ok = value.convert(p.metaType());
                if (!ok) RefuseValue(QStringLiteral("'%1' is not a valid value of %2").arg(Text, Name));
            }
        }
    }
    if (!ok) return false;
    if (!p.write(Component, value)) {
        RefuseValue(QStringLiteral("'%1' is not a valid value of %2").arg(Text, Name));
        return false;
    }
    if (auto* w = qobject_cast<QWidget*>(Component)) w->update();
    UpdateOverlay();
    return true;
}

// ------------------------------------------------------------------- the window

TDesignerInspector::TDesignerInspector(TDreamDesigner* Designer)
    : QWidget(Designer->Form(), Qt::Tool), designer_(Designer)
{
    setObjectName(QStringLiteral("ObjectInspector"));
    setWindowTitle(QStringLiteral("Object Inspector"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    title_ = new QLabel(this);
    layout->addWidget(title_);
    grid_ = new QTableWidget(0, 2, this);
    grid_->setHorizontalHeaderLabels({QStringLiteral("Property"), QStringLiteral("Value")});
    grid_->verticalHeader()->hide();
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    layout->addWidget(grid_);
    resize(300, 480);
    connect(grid_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!filling_ && item->column() == 1) Commit(item->row(), item->text());
    });
    // A font or colour opens its dialog on a double click of its name.
    connect(grid_, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        if (column != 0 || !component_ || TDialogService::Headless()) return;
        const QString name = grid_->item(row, 0)->text();
        const QMetaProperty p = FindPublishedProperty(component_, name);
        if (!p.isValid()) return;
        if (p.metaType().id() == QMetaType::QFont) {
            bool ok = false;
            const QFont chosen = QFontDialog::getFont(&ok, p.read(component_).value<QFont>(), this);
            if (ok) Commit(row, FontText(chosen));
        } else if (p.metaType().id() == QMetaType::QColor) {
            const QColor chosen = QColorDialog::getColor(p.read(component_).value<QColor>(), this);
            if (chosen.isValid()) Commit(row, ColorText(chosen));
        }
    });
}

void TDesignerInspector::SetComponent(QObject* Component)
{
    component_ = Component;
    Fill();
}

void TDesignerInspector::Refresh() { Fill(); }

int TDesignerInspector::RowOf(const QString& Name) const
{
    for (int r = 0; r < grid_->rowCount(); ++r)
        if (grid_->item(r, 0)->text().compare(Name, Qt::CaseInsensitive) == 0) return r;
    return -1;
}

void TDesignerInspector::Fill()
{
    filling_ = true;
    const int scroll = grid_->verticalScrollBar() ? grid_->verticalScrollBar()->value() : 0;
    grid_->setRowCount(0);
    QObject* c = component_;
    title_->setText(c ? c->objectName() + QStringLiteral(": ") + QString::fromLatin1(c->metaObject()->className()).section(QLatin1String("::"), -1)
                      : QString());
    if (c) {
        const QStringList names = designer_->PropertyNames(c);
        grid_->setRowCount(static_cast<int>(names.size()));
        for (int r = 0; r < names.size(); ++r) {
            auto* nameItem = new QTableWidgetItem(names[r]);
            nameItem->setFlags(Qt::ItemIsEnabled);
            grid_->setItem(r, 0, nameItem);
            const QString text = designer_->PropertyText(c, names[r]);
            auto* value = new QTableWidgetItem(text);
            const QMetaProperty p = FindPublishedProperty(c, names[r]);
            QStringList choices;
            if (p.isValid() && p.metaType().id() == QMetaType::Bool) choices = {QStringLiteral("False"), QStringLiteral("True")};
            if (p.isValid() && p.metaType().id() == QMetaType::Int) choices = designer_->PropertyEnum(names[r]);
            if (p.isValid() && p.isEnumType())
                for (int k = 0; k < p.enumerator().keyCount(); ++k) choices << QString::fromLatin1(p.enumerator().key(k));
            const bool readOnly = r == 0 || !designer_->Allowed(daEdit);
            value->setFlags(readOnly ? Qt::ItemIsEnabled : (Qt::ItemIsEnabled | Qt::ItemIsEditable | Qt::ItemIsSelectable));
            grid_->setItem(r, 1, value);
            if (!choices.isEmpty() && !readOnly) {
                auto* combo = new QComboBox(grid_);
                combo->addItems(choices);
                combo->setCurrentText(text);
                connect(combo, &QComboBox::textActivated, this, [this, r](const QString& t) { Commit(r, t); });
                grid_->setCellWidget(r, 1, combo);
            } else if (p.isValid() && (p.metaType().id() == QMetaType::QFont || p.metaType().id() == QMetaType::QColor)) {
                value->setToolTip(p.metaType().id() == QMetaType::QFont ? QStringLiteral("family,size[,Bold][,Italic][,Underline]")
                                                                        : QStringLiteral("clRed, #rrggbb"));
            }
        }
    }
    if (grid_->verticalScrollBar()) grid_->verticalScrollBar()->setValue(scroll);
    filling_ = false;
}

void TDesignerInspector::Commit(int Row, const QString& Text)
{
    if (!component_ || Row < 0 || Row >= grid_->rowCount()) return;
    const QString name = grid_->item(Row, 0)->text();
    designer_->SetPropertyText(component_, name, Text);
    // Taken or not, the grid shows the component's value now.
    Fill();
}

bool TDesignerInspector::EditValue(const QString& Name, const QString& Text)
{
    const int row = RowOf(Name);
    if (row < 0 || !component_) return false;
    const QString before = designer_->PropertyText(component_, Name);
    if (auto* combo = qobject_cast<QComboBox*>(grid_->cellWidget(row, 1))) {
        const int index = combo->findText(Text, Qt::MatchFixedString);
        if (index < 0) {
            Commit(row, Text);  // refused with its message
        } else {
            combo->setCurrentIndex(index);
            emit combo->textActivated(combo->itemText(index));
        }
    } else {
        if (!(grid_->item(row, 1)->flags() & Qt::ItemIsEditable)) return false;
        grid_->item(row, 1)->setText(Text);
    }
    return designer_->PropertyText(component_, Name) != before || before == Text;
}

}  // namespace kelm24
