// The texts of a component under the system's property names. A Q_PROPERTY
// of that name (matched exactly, then without case) comes first; for Qt's
// standard widgets the Qt property that plays the part stands in:
// Caption = text (buttons, labels, actions), title (group boxes, menus) or
// windowTitle (windows); Hint = toolTip; Items = the items of combo and list
// boxes; Lines = the lines of plain and rich text edits.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QObject;

namespace kelm24 {

// The Qt property behind a system text property, empty when there is none.
QByteArray TextPropertyName(const QObject* Component, const QString& Name);
bool ReadTextProperty(const QObject* Component, const QString& Name, QString& Value);
bool WriteTextProperty(QObject* Component, const QString& Name, const QString& Value);

// String-list properties (Items, Lines, Panels, or any QStringList property).
bool HasStringList(const QObject* Component, const QString& Name);
bool ReadStringList(const QObject* Component, const QString& Name, QStringList& Lines);
// Writes the lines; a combo box keeps its selected index.
bool WriteStringList(QObject* Component, const QString& Name, const QStringList& Lines);

// The caption of a form: its Caption property, else its window title.
QString FormCaption(const QObject* Form);

}  // namespace kelm24
