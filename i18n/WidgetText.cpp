#include "i18n/WidgetText.h"

#include "runtime/PropUtils.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

namespace kelm24 {

namespace {

bool IsTextType(const QMetaProperty& p)
{
    return p.isValid() && p.metaType().id() == QMetaType::QString;
}

// A QStringList property of the component under the name.
QMetaProperty ListProperty(const QObject* component, const QString& name)
{
    const QMetaProperty p = FindPublishedProperty(component, name);
    return p.isValid() && p.metaType().id() == QMetaType::QStringList ? p : QMetaProperty();
}

}  // namespace

QByteArray TextPropertyName(const QObject* Component, const QString& Name)
{
    if (!Component) return QByteArray();
    const QMetaProperty own = FindPublishedProperty(Component, Name);
    if (IsTextType(own)) return own.name();
    if (Name.compare(QLatin1String("Caption"), Qt::CaseInsensitive) == 0) {
        if (qobject_cast<const QAbstractButton*>(Component) || qobject_cast<const QLabel*>(Component) ||
            qobject_cast<const QAction*>(Component))
            return "text";
        if (qobject_cast<const QGroupBox*>(Component) || qobject_cast<const QMenu*>(Component)) return "title";
        if (const auto* w = qobject_cast<const QWidget*>(Component); w && w->isWindow()) return "windowTitle";
    }
    if (Name.compare(QLatin1String("Hint"), Qt::CaseInsensitive) == 0 &&
        (qobject_cast<const QWidget*>(Component) || qobject_cast<const QAction*>(Component)))
        return "toolTip";
    return QByteArray();
}

bool ReadTextProperty(const QObject* Component, const QString& Name, QString& Value)
{
    const QByteArray name = TextPropertyName(Component, Name);
    if (name.isEmpty()) return false;
    Value = Component->property(name.constData()).toString();
    return true;
}

bool WriteTextProperty(QObject* Component, const QString& Name, const QString& Value)
{
    const QByteArray name = TextPropertyName(Component, Name);
    return !name.isEmpty() && Component->setProperty(name.constData(), Value);
}

bool HasStringList(const QObject* Component, const QString& Name)
{
    QStringList unused;
    return ReadStringList(Component, Name, unused);
}

bool ReadStringList(const QObject* Component, const QString& Name, QStringList& Lines)
{
    if (!Component) return false;
    if (const QMetaProperty p = ListProperty(Component, Name); p.isValid()) {
        Lines = p.read(Component).toStringList();
        return true;
    }
    Lines.clear();
    if (Name.compare(QLatin1String("Items"), Qt::CaseInsensitive) == 0) {
        if (const auto* combo = qobject_cast<const QComboBox*>(Component)) {
            for (int i = 0; i < combo->count(); ++i) Lines << combo->itemText(i);
            return true;
        }
        if (const auto* list = qobject_cast<const QListWidget*>(Component)) {
            for (int i = 0; i < list->count(); ++i) Lines << list->item(i)->text();
            return true;
        }
    }
    if (Name.compare(QLatin1String("Lines"), Qt::CaseInsensitive) == 0) {
        if (const auto* edit = qobject_cast<const QPlainTextEdit*>(Component)) {
            Lines = edit->toPlainText().split(QLatin1Char('\n'));
            return true;
        }
        if (const auto* edit = qobject_cast<const QTextEdit*>(Component)) {
            Lines = edit->toPlainText().split(QLatin1Char('\n'));
            return true;
        }
    }
    return false;
}

bool WriteStringList(QObject* Component, const QString& Name, const QStringList& Lines)
{
    if (!Component) return false;
    if (const QMetaProperty p = ListProperty(Component, Name); p.isValid()) return p.write(Component, Lines);
    if (Name.compare(QLatin1String("Items"), Qt::CaseInsensitive) == 0) {
        if (auto* combo = qobject_cast<QComboBox*>(Component)) {
            const int selected = combo->currentIndex();
            const QSignalBlocker quiet(combo);
            while (combo->count() > Lines.size()) combo->removeItem(combo->count() - 1);
            for (int i = 0; i < Lines.size(); ++i) {
                if (i < combo->count()) combo->setItemText(i, Lines[i]);
                else combo->addItem(Lines[i]);
            }
            combo->setCurrentIndex(selected < combo->count() ? selected : -1);
            return true;
        }
        if (auto* list = qobject_cast<QListWidget*>(Component)) {
            while (list->count() > Lines.size()) delete list->takeItem(list->count() - 1);
            for (int i = 0; i < Lines.size(); ++i) {
                if (i < list->count()) list->item(i)->setText(Lines[i]);
                else list->addItem(Lines[i]);
            }
            return true;
        }
    }
    if (Name.compare(QLatin1String("Lines"), Qt::CaseInsensitive) == 0) {
        if (auto* edit = qobject_cast<QPlainTextEdit*>(Component)) {
            edit->setPlainText(Lines.join(QLatin1Char('\n')));
            return true;
        }
        if (auto* edit = qobject_cast<QTextEdit*>(Component)) {
            edit->setPlainText(Lines.join(QLatin1Char('\n')));
            return true;
        }
    }
    return false;
}

QString FormCaption(const QObject* Form)
{
    QString caption;
    ReadTextProperty(Form, QStringLiteral("Caption"), caption);
    return caption;
}

}  // namespace kelm24
