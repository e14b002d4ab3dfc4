// Converting a whole form: property groups every component may have, then
// the texts that only some classes hold.
#include "i18n/CodeConverter.h"
#include "i18n/WidgetText.h"
#include "runtime/PropUtils.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QMetaMethod>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolTip>
#include <QTreeWidget>
#include <QWidget>

namespace kelm24 {

namespace {

// Editors inside combo and spin boxes and Qt's own helper objects are parts
// of their widget, not components of the form.
bool IsInternalPart(const QObject* object)
{
    if (object->objectName().startsWith(QLatin1String("qt_"))) return true;
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
    for (QObject* component : Form->findChildren<QObject*>()) {
        if (IsInternalPart(component)) continue;
        ConvertComponent(component);
    }
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
    for (const char* listName : {"Items", "Lines"}) {
        QStringList lines;
        if (!ReadStringList(Component, QString::fromLatin1(listName), lines) || lines.isEmpty()) continue;
        const QString joined = Convert(UIConvertMode, lines.join(QLatin1Char('\n'))).ToString();
        WriteStringList(Component, QString::fromLatin1(listName), joined.split(QLatin1Char('\n')));
    }
    if (const QByteArray qtName = TextPropertyName(Component, QStringLiteral("Text")); !qtName.isEmpty() && !done.contains(qtName))
        Component->setProperty(qtName.constData(), Convert(UIConvertMode, Component->property(qtName.constData()).toString()).ToString());
    // Style: owner drawing has no counterpart in Qt, which draws any text in
    // any font, so the style stays.
    QStringList panels;
    if (ReadStringList(Component, QStringLiteral("Panels"), panels) && !panels.isEmpty()) {
        for (QString& panel : panels) panel = Convert(UIConvertMode, panel).ToString();
        WriteStringList(Component, QStringLiteral("Panels"), panels);
    }
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
    // Word texts of select panels and the like, recognised by their names.
    for (const char* word : {"BeginWord", "FinalWord", "HintWord"}) {
        const QMetaProperty p = FindPublishedProperty(Component, QString::fromLatin1(word));
        if (p.isValid() && p.isWritable() && p.metaType().id() == QMetaType::QString)
            p.write(Component, convert(p.read(Component).toString()));
    }
    QStringList listItems;
    if (ReadStringList(Component, QStringLiteral("ListItems"), listItems) && !listItems.isEmpty()) {
        for (QString& item : listItems) item = convert(item);
        WriteStringList(Component, QStringLiteral("ListItems"), listItems);
    }
}

}  // namespace kelm24
