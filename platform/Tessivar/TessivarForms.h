// The relation wizard's windows: the tool window with the field list the
// designer takes fields from, and the dialog that joins a related table.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QStringList>
#include <QTreeWidget>
#include <QToolButton>

class QComboBox;
class QLineEdit;
class QListWidget;
class QTableWidget;
class QLabel;

namespace tessivar {

// The SQL builder and the data set, reached through their invokable methods
// and properties.
class TBuilderAccess {
public:
    TBuilderAccess(QObject* Builder, QObject* DataSet) : builder_(Builder), dataSet_(DataSet) {}
    QObject* Builder() const { return builder_; }
    QObject* DataSet() const { return dataSet_; }

    int RelationCount() const;
    QString TableName(int Table) const;
    int FieldCount(int Table) const;
    QString FieldName(int Table, int Field) const;  // "RT0.MA005"
    QString FieldColumn(int Table, int Field) const;  // "RT0MA005"
    QString FieldCaption(int Table, int Field) const;
    bool FieldPlaced(int Table, int Field) const;
    QString FieldComponent(int Table, int Field) const;
    void Unplace(int Table, int Field) const;
    QStringList LayoutFieldNames() const;
    // The report's main table, whose fields come without a join.
    QString MainTable() const;
    // The tables the report statement names ("$$PURMA" → "PURMA").
    QStringList StatementTables() const;
    // Adds the related table with its offered fields; raises std::exception
    // (the builder's) for names it refuses.
    int AddTable(const QString& Table, const QString& Caption, const QStringList& BaseColumns, const QStringList& Columns) const;
    void AddField(int Table, const QString& Field, const QString& Caption, bool Barcode) const;

    // The columns of a table as the server has it, read through the data
    // set; raises std::exception with the server's message when it refuses.
    QStringList TableColumns(const QString& Table) const;

private:
    QObject* builder_;
    QObject* dataSet_;
};

// A list view whose drag carries the view itself as the drag's source.
class TDragList : public QTreeWidget {
    Q_OBJECT
public:
    explicit TDragList(QWidget* Parent);

protected:
    void startDrag(Qt::DropActions Actions) override;
};

// A tool button that is dragged (the label tool) as well as clicked.
class TDragButton : public QToolButton {
    Q_OBJECT
public:
    explicit TDragButton(QWidget* Parent) : QToolButton(Parent) {}

protected:
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;

private:
    QPoint pressAt_;
    bool pressed_ = false;
};

class TRelationWizard;

class TTessivarWindow : public QWidget {
    Q_OBJECT
public:
    TTessivarWindow(QWidget* Form, QObject* Builder, QObject* DataSet);
    void SetDataSet(QObject* DataSet) { access_ = TBuilderAccess(access_.Builder(), DataSet); }
    // Opens the relation dialog (not modal: the call returns at once).
    TRelationWizard* OpenWizard();

public slots:
    // Lists the builder's fields and the layout's fields again.
    void Refresh();

private:
    QPointer<QWidget> form_;
    TBuilderAccess access_;
    TDragList* lvExtending;
    TDragList* lvFields;
    TDragButton* tbLabel;
    QToolButton* tbAddTable;
    QPointer<TRelationWizard> wizard_;
};

class TRelationWizard : public QDialog {
    Q_OBJECT
public:
    TRelationWizard(QWidget* Parent, const TBuilderAccess& Access);

    // Reads the columns of the chosen table; false (after a message) when
    // the server does not answer for it.
    bool LoadTable(const QString& Table);
    // Adds the join pair chosen in the two column lists.
    void AddJoin();
    // Adds the table to the builder; false (after a message, the dialog
    // stays open) when something is missing or refused.
    bool Finish();

    QComboBox* cboTable;
    QLineEdit* edtCaption;
    QComboBox* cboBaseColumn;
    QComboBox* cboJoinColumn;
    QToolButton* btnAddJoin;
    QListWidget* lbJoins;
    // Column 0: the column, checked to offer it; column 1: checked for a barcode.
    QTableWidget* tblFields;
    QLabel* lblStatus;

private:
    void Message(const QString& Text);
    TBuilderAccess access_;
    QString loaded_;
};

}  // namespace tessivar
