#include "tests/options/InterfaceLanguageFixture.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMetaProperty>
#include <QSet>
#include <QTabBar>
#include <QTreeWidget>

namespace kelm24::test {

bool HasChinese(const QString& Text)
{
    for (const QChar c : Text)
        if ((c.unicode() >= 0x3400 && c.unicode() <= 0x9FFF) || (c.unicode() >= 0xF900 && c.unicode() <= 0xFAFF))
            return true;
    return false;
}

namespace {

// Properties that hold the user's data, masks or Qt's own settings, not
// texts of the program.
bool DataProperty(const QObject* object, const QByteArray& name)
{
    static const QSet<QByteArray> data = {
        "objectName", "styleSheet", "windowIconText", "windowFilePath", "accessibleName", "accessibleDescription",
        "whatsThis", "statusTip", "locale", "html", "markdown", "plainText", "Text", "EditText", "displayText",
        "currentText", "StoredText", "BeginText", "FinalText", "EditMask", "inputMask", "DateSign", "Discard",
        "placeholderText", "documentTitle", "iconText"};
    if (data.contains(name)) return true;
    // An edit's, spin box's or combo box's own text is what the user typed or chose.
    return name == "text" && (qobject_cast<const QLineEdit*>(object) || qobject_cast<const QAbstractSpinBox*>(object) ||
                              qobject_cast<const QComboBox*>(object));
}

// Whether a user can see the widget: it is shown (a page of a page control
// counts as shown, being one tab away) or it is a pop-up menu of the form.
bool CanBeSeen(const QWidget* widget, const QWidget* form)
{
    for (const QWidget* w = widget; w && w != form; w = w->parentWidget()) {
        if (qobject_cast<const QMenu*>(w)) return true;
        if (const auto* sheet = qobject_cast<const TTabSheet*>(w)) {
            if (!sheet->TabVisible()) return false;
            continue;
        }
        if (w->isHidden()) return false;
    }
    return true;
}

const QWidget* NearestWidget(const QObject* object)
{
    for (; object; object = object->parent())
        if (object->isWidgetType()) return static_cast<const QWidget*>(object);
    return nullptr;
}

void Add(QList<TShownText>& texts, const QObject* object, const QString& what, const QString& text)
{
    if (text.trimmed().isEmpty()) return;
    const QString where = (object->objectName().isEmpty() ? QString::fromLatin1(object->metaObject()->className())
                                                           : object->objectName()) +
                          QLatin1Char('.') + what;
    texts.append({where, text});
}

void AddTree(QList<TShownText>& texts, const QObject* tree, const QTreeWidgetItem* item, const QString& what)
{
    for (int c = 0; c < item->columnCount(); ++c) Add(texts, tree, what, item->text(c));
    for (int i = 0; i < item->childCount(); ++i) AddTree(texts, tree, item->child(i), what);
}

}  // namespace

QList<TShownText> ShownTexts(QWidget* Form)
{
    QList<TShownText> texts;
    QList<QObject*> objects{Form};
    objects << Form->findChildren<QObject*>();
    for (QObject* object : objects) {
        const QWidget* widget = NearestWidget(object);
        if (!widget || !CanBeSeen(widget, Form)) continue;
        const QMetaObject* meta = object->metaObject();
        for (int i = 0; i < meta->propertyCount(); ++i) {
            const QMetaProperty p = meta->property(i);
            if (!p.isReadable() || DataProperty(object, p.name())) continue;
            if (p.metaType().id() == QMetaType::QString) {
                Add(texts, object, QString::fromLatin1(p.name()), p.read(object).toString());
            } else if (p.metaType().id() == QMetaType::QStringList) {
                const QStringList lines = p.read(object).toStringList();
                for (int n = 0; n < lines.size(); ++n)
                    Add(texts, object, QStringLiteral("%1_%2").arg(QString::fromLatin1(p.name())).arg(n), lines[n]);
            }
        }
        if (auto* combo = qobject_cast<QComboBox*>(object))
            for (int n = 0; n < combo->count(); ++n) Add(texts, object, QStringLiteral("item %1").arg(n), combo->itemText(n));
        if (auto* tabs = qobject_cast<QTabBar*>(object))
            for (int n = 0; n < tabs->count(); ++n) Add(texts, object, QStringLiteral("tab %1").arg(n), tabs->tabText(n));
        if (auto* list = qobject_cast<QListWidget*>(object))
            for (int n = 0; n < list->count(); ++n) Add(texts, object, QStringLiteral("item %1").arg(n), list->item(n)->text());
        if (auto* tree = qobject_cast<QTreeWidget*>(object)) {
            AddTree(texts, object, tree->headerItem(), QStringLiteral("header"));
            for (int n = 0; n < tree->topLevelItemCount(); ++n) AddTree(texts, object, tree->topLevelItem(n), QStringLiteral("item"));
        }
    }
    return texts;
}

}  // namespace kelm24::test
