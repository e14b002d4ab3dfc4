// Driving the designer's tool windows as a user does: the relation wizard
// joining a table and offering some of its columns, and an offered field
// dragged from "lvExtending" onto a band.
#pragma once

#include "format/DreamDesigner.h"
#include "format/VRBaseFmtF.h"
#include "kelm24/HostObjects.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QImage>
#include <QMap>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace kelm24::test {

// The application server with a database that refuses every stored layout.
class TRefusingServer : public IAutomationObject {
public:
    explicit TRefusingServer(Variant server) : server_(std::move(server)) {}
    Variant Invoke(const QString& member, VariantArgs& args) override
    {
        if (member == member::RunInsUpdSQL) return Variant(-1);
        return server_.Call(member, args);
    }
    Variant GetProperty(const QString& name) override { return server_.Get(name); }
    void SetProperty(const QString& name, const Variant& value) override { server_.Set(name, value); }

private:
    Variant server_;
};

template <class T>
T* Child(QObject* parent, const char* name)
{
    T* found = parent->findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

inline QTreeWidget* ExtendingList(QWidget* form) { return form->findChild<QTreeWidget*>(QStringLiteral("lvExtending")); }

// Joins Table on the column pairs and offers the columns of Offered (column ->
// barcode) through the wizard; answers whether the wizard took it and closed.
inline bool JoinTable(QWidget* form, const QString& table, const QList<QPair<QString, QString>>& pairs,
                      const QMap<QString, bool>& offered)
{
    QWidget* tools = Child<QWidget>(form, "frmTessivar");
    if (!tools) return false;
    Child<QToolButton>(tools, "tbAddTable")->click();
    auto* wizard = Child<QDialog>(tools, "frmRelationWizard");
    if (!wizard) return false;
    auto* combo = Child<QComboBox>(wizard, "cboTable");
    combo->setEditText(table);
    emit combo->lineEdit()->editingFinished();
    for (const auto& pair : pairs) {
        Child<QComboBox>(wizard, "cboBaseColumn")->setEditText(pair.first);
        Child<QComboBox>(wizard, "cboJoinColumn")->setCurrentText(pair.second);
        Child<QToolButton>(wizard, "btnAddJoin")->click();
    }
    auto* fields = Child<QTableWidget>(wizard, "tblFields");
    for (int r = 0; r < fields->rowCount(); ++r) {
        const QString column = fields->item(r, 0)->text();
        if (!offered.contains(column)) continue;
        fields->item(r, 0)->setCheckState(Qt::Checked);
        if (offered[column]) fields->item(r, 1)->setCheckState(Qt::Checked);
    }
    Child<QPushButton>(wizard, "btnOk")->click();
    return !wizard->isVisible();
}

// Makes the item of a field list whose second column reads text current.
inline QTreeWidgetItem* PickListItem(QTreeWidget* list, const QString& text)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->text(1) == text) list->setCurrentItem(list->topLevelItem(i));
    return list->currentItem();
}

// Makes the "lvExtending" item of a field (column text "RTnCOLUMN") current.
inline QTreeWidgetItem* PickExtending(QWidget* form, const QString& column)
{
    QTreeWidget* list = ExtendingList(form);
    return list ? PickListItem(list, column) : nullptr;
}

// Drags the "lvExtending" item of a field onto a band; answers whether it was taken.
inline bool DropField(TfrmVRBaseFmt* form, const QString& column, QWidget* band, QPoint at)
{
    if (!PickExtending(form, column)) return false;
    return form->Designer()->DragDrop(ExtendingList(form), band, at);
}

// The designer as a user sees it: a part of the form, the inspector and the
// popup menu side by side.
inline QImage DesignerScreenshot(QWidget* form, const QRect& part, QWidget* inspector, QWidget* menu)
{
    const QPixmap page = form->grab(part), tools = inspector->grab(), popup = menu->grab();
    QImage shot(page.width() + tools.width() + popup.width() + 20, std::max({page.height(), tools.height(), popup.height()}),
                QImage::Format_RGB32);
    shot.fill(Qt::white);
    QPainter p(&shot);
    p.drawPixmap(0, 0, page);
    p.drawPixmap(page.width() + 10, 0, tools);
    p.drawPixmap(page.width() + tools.width() + 20, 0, popup);
    return shot;
}

}  // namespace kelm24::test
