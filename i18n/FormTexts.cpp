// Converting a whole form: property groups every component may have, then
// the texts that only some classes hold.
#include "i18n/CodeConverter.h"
#include "i18n/WidgetText.h"
#include "runtime/PropUtils.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QMetaMethod>
#include <QPointer>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolTip>
#include <QTreeWidget>
#include <QWidget>

namespace kelm24 {

namespace {

// Components are the widgets and actions of the form. Editors inside combo
// and spin boxes, Qt's own helper objects and the inner parts of composite
// controls are parts of their widget; plain objects (list items, columns,
// status panels) are elements that their control converts.
bool IsInternalPart(const QObject* object, const QObject* form)
{
    if (!object->isWidgetType() && !qobject_cast<const QAction*>(object)) return true;
    if (object->objectName().startsWith(QLatin1String("qt_")) || IsInnerPart(object, form)) return true;
    const QObject* parent = object->parent();
    return parent && (qobject_cast<const QComboBox*>(parent) || qobject_cast<const QAbstractSpinBox*>(parent));
}

void ConvertTreeItem(QTreeWidgetItem* item, const std::function<QString(const QString&)>& convert)
{
    for (int c = 0; c < item->columnCount(); ++c) item->setText(c, convert(item->text(c)));
    for (int i = 0; i < item->childCount(); ++i) ConvertTreeItem(item->child(i), convert);
}

bool HasInvokable(const QObject* object, const char* signature)
{
    return object->metaObject()->indexOfMethod(QMetaObject::normalizedSignature(signature).constData()) >= 0;
}

// A grid that is not a QTableWidget: ColCount and RowCount properties and
// the invokable Cells(int,int) / SetCells(int,int,QString), optionally
// CellHints / SetCellHints.
void ConvertGridByProtocol(QObject* grid, const char* getter, const char* setter,
                           const std::function<QString(const QString&)>& convert)
{
    if (!HasInvokable(grid, QByteArray(getter) + "(int,int)") || !HasInvokable(grid, QByteArray(setter) + "(int,int,QString)"))
        return;
    const int cols = grid->property("ColCount").toInt(), rows = grid->property("RowCount").toInt();
    for (int c = 0; c < cols; ++c)
        for (int r = 0; r < rows; ++r) {
            QString text;
            QMetaObject::invokeMethod(grid, getter, Qt::DirectConnection, Q_RETURN_ARG(QString, text), Q_ARG(int, c), Q_ARG(int, r));
            if (!text.isEmpty())
                QMetaObject::invokeMethod(grid, setter, Qt::DirectConnection, Q_ARG(int, c), Q_ARG(int, r), Q_ARG(QString, convert(text)));
        }
}

// The objects a control answers by index, Method(n) for n below its Count property.
QList<QObject*> IndexedElements(const QObject* control, const char* countProperty, const char* method)
{
    QList<QObject*> elements;
    const QMetaProperty count = FindPublishedProperty(control, QString::fromLatin1(countProperty));
    if (!count.isValid() || !HasInvokable(control, QByteArray(method) + "(int)")) return elements;
    for (int i = 0, n = count.read(control).toInt(); i < n; ++i) {
        QObject* element = nullptr;
        QMetaObject::invokeMethod(const_cast<QObject*>(control), method, Qt::DirectConnection,
                                  Q_RETURN_ARG(QObject*, element), Q_ARG(int, i));
        if (element) elements << element;
    }
    return elements;
}

// A text or string-list property of the object through the conversion.
void ConvertNamedTexts(QObject* object, const char* name, const std::function<QString(const QString&)>& convert)
{
    const QMetaProperty p = FindPublishedProperty(object, QString::fromLatin1(name));
    if (!p.isValid() || !p.isWritable()) return;
    if (p.metaType().id() == QMetaType::QString) {
        p.write(object, convert(p.read(object).toString()));
    } else if (p.metaType().id() == QMetaType::QStringList) {
        QStringList texts = p.read(object).toStringList();
        if (texts.isEmpty()) return;
        for (QString& text : texts) text = convert(text);
        p.write(object, texts);
    }
}

}  // namespace

void TCodeConverter::ConvertFormTexts(QWidget* Form) const
{
    if (!translator_ || !Form) return;
    ConvertFormCaption(Form);
    QString hint;
    if (ReadTextProperty(Form, QStringLiteral("Hint"), hint))
        WriteTextProperty(Form, QStringLiteral("Hint"), Convert(UIConvertMode, hint).ToString());
    // The screen's menu and hint fonts follow the interface code page.
    QFont menuFont = QApplication::font("QMenu");
    ApplyUIFont(UIConvertMode, menuFont);
    QApplication::setFont(menuFont, "QMenu");
    QFont hintFont = QToolTip::font();
    ApplyUIFont(UIConvertMode, hintFont);
    QToolTip::setFont(hintFont);
    if (UIConvertMode == 0) return;
    // The components are taken first; converting one may delete helper
    // objects of another (a text edit's document blocks), so each is guarded.
    QList<QPointer<QObject>> components;
    for (QObject* object : Form->findChildren<QObject*>())
        if (!IsInternalPart(object, Form)) components << object;
    for (const QPointer<QObject>& component : components)
        if (component) ConvertComponent(component);
}

void TCodeConverter::ConvertComponent(QObject* Component) const
{
    // Property groups, in order. A Qt property that stands for two system
    // names (a label's text is its Caption and its Text) is converted once.
    QSet<QByteArray> done;
    for (const char* fontName : {"Font", "TitleFont"}) {
        const QMetaProperty p = FindPublishedProperty(Component, QString::fromLatin1(fontName));
        if (p.isValid() && p.isWritable() && p.metaType().id() == QMetaType::QFont) {
            QFont font = p.read(Component).value<QFont>();
            ApplyUIFont(UIConvertMode, font);
            p.write(Component, font);
        }
    }
    for (const char* textName : {"Caption", "Hint", "ButtonHint"}) {
        const QByteArray qtName = TextPropertyName(Component, QString::fromLatin1(textName));
        if (qtName.isEmpty() || done.contains(qtName)) continue;
        done.insert(qtName);
        Component->setProperty(qtName.constData(), Convert(UIConvertMode, Component->property(qtName.constData()).toString()).ToString());
    }
    // Qt's own "text" of a label or button is its Caption, a memo's Text its
    // Lines, a combo box's Text its selected item: each is converted once.
    const QByteArray textName = TextPropertyName(Component, QStringLiteral("Text"));
    bool textShown = textName != "Text" && !TextPropertyName(Component, QStringLiteral("Caption")).isEmpty();
    for (const char* listName : {"Items", "Lines"}) {
        QStringList lines;
        if (!ReadStringList(Component, QString::fromLatin1(listName), lines) || lines.isEmpty()) continue;
        // Line by line, in one batch: an item holding a line break stays one item.
        WriteStringList(Component, QString::fromLatin1(listName), ConvertTexts(UIConvertMode, lines));
        textShown = textShown || qstrcmp(listName, "Lines") == 0;
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(Component))
        textShown = textShown || (combo->currentIndex() >= 0 && combo->currentText() == combo->itemText(combo->currentIndex()));
    if (!textName.isEmpty() && !done.contains(textName) && !textShown)
        Component->setProperty(textName.constData(), Convert(UIConvertMode, Component->property(textName.constData()).toString()).ToString());
    // Style: owner drawing has no counterpart in Qt, which draws any text in
    // any font, so the style stays.
    QStringList panels;
    if (ReadStringList(Component, QStringLiteral("Panels"), panels) && !panels.isEmpty()) {
        for (QString& panel : panels) panel = Convert(UIConvertMode, panel).ToString();
        WriteStringList(Component, QStringLiteral("Panels"), panels);
    }
    for (QObject* panel : IndexedElements(Component, "PanelCount", "Panels"))  // status bars of the control set
        ConvertNamedTexts(panel, "Text", [this](const QString& text) { return Convert(UIConvertMode, text).ToString(); });
    const int direction = UIConvertMode == 1 ? cdBig5ToGB : UIConvertMode == 2 ? cdGBToBig5 : cdNone;
    if (direction != cdNone) ConvertClassTexts(Component, direction);
}

void TCodeConverter::ConvertClassTexts(QObject* Component, int Direction) const
{
    const auto convert = [this, Direction](const QString& text) { return ConvertText(Direction, text); };
    if (auto* tree = qobject_cast<QTreeWidget*>(Component)) {  // list and tree views
        if (QTreeWidgetItem* header = tree->headerItem())
            for (int c = 0; c < header->columnCount(); ++c) header->setText(c, convert(header->text(c)));
        for (int i = 0; i < tree->topLevelItemCount(); ++i) ConvertTreeItem(tree->topLevelItem(i), convert);
    } else if (auto* tabs = qobject_cast<QTabBar*>(Component)) {
        for (int i = 0; i < tabs->count(); ++i) tabs->setTabText(i, convert(tabs->tabText(i)));
    } else if (auto* pages = qobject_cast<QTabWidget*>(Component)) {
        for (int i = 0; i < pages->count(); ++i) pages->setTabText(i, convert(pages->tabText(i)));
    } else if (auto* grid = qobject_cast<QTableWidget*>(Component)) {  // string grids, the aligned grid
        for (int c = 0; c < grid->columnCount(); ++c)
            if (QTableWidgetItem* h = grid->horizontalHeaderItem(c)) h->setText(convert(h->text()));
        for (int r = 0; r < grid->rowCount(); ++r)
            if (QTableWidgetItem* h = grid->verticalHeaderItem(r)) h->setText(convert(h->text()));
        for (int r = 0; r < grid->rowCount(); ++r)
            for (int c = 0; c < grid->columnCount(); ++c) {
                QTableWidgetItem* cell = grid->item(r, c);
                if (!cell) continue;
                cell->setText(convert(cell->text()));
                if (!cell->toolTip().isEmpty()) cell->setToolTip(convert(cell->toolTip()));
                QFont font = cell->font();
                ApplyUIFont(UIConvertMode, font);
                cell->setFont(font);
            }
    } else if (auto* combo = qobject_cast<QComboBox*>(Component)) {
        if (combo->currentIndex() < 0 && combo->count() > 0) combo->setCurrentIndex(0);
    } else {
        ConvertGridByProtocol(Component, "Cells", "SetCells", convert);
        ConvertGridByProtocol(Component, "CellHints", "SetCellHints", convert);
    }
    // List views of the control set and the select panel's list: items and
    // columns are objects answered by index.
    for (QObject* column : IndexedElements(Component, "ColumnCount", "Columns")) ConvertNamedTexts(column, "Caption", convert);
    for (QObject* item : IndexedElements(Component, "ItemCount", "Items")) {
        ConvertNamedTexts(item, "Caption", convert);
        ConvertNamedTexts(item, "SubItems", convert);
    }
    // Word texts of select panels and the like, recognised by their names.
    for (const char* word : {"BeginWord", "FinalWord", "BeginWords", "FinalWords", "HintWord", "ChildHints"})
        ConvertNamedTexts(Component, word, convert);
    QStringList listItems;
    if (ReadStringList(Component, QStringLiteral("ListItems"), listItems) && !listItems.isEmpty()) {
        for (QString& item : listItems) item = convert(item);
        WriteStringList(Component, QStringLiteral("ListItems"), listItems);
    }
}

}  // namespace kelm24
