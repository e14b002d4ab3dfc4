// TVRSQLBuilder: the layout's SQL builder (component "SQLReBuilder" on a
// format form). It keeps the related tables a user joined to the report
// statement in the designer, the fields of those tables that may be placed on
// the layout (with the component each one is placed as), and the component
// number counter. From the six parts of the report statement it builds the
// extended select, join, group and order texts that bring the placed fields
// into the data set, and it rewrites a finished statement with them.
//
// Its state is published as properties, so the layout text keeps it with a
// stored layout and a style with added fields prints them on the next run.
#pragma once

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

namespace kelm24 {

// A field of a related table that may be placed on the layout.
struct TVRFieldProperty {
    QString FieldName;      // column of the related table ("MA008")
    QString Caption;        // what the user reads ("电话")
    bool Barcode = false;   // placed as a barcode instead of a data text
    bool Placed = false;
    QString ComponentName;  // the component the field is placed as
};

// A table joined to the report statement; its alias is "RT" + its index.
// Without join columns it is the statement's own main table, named by its
// table name (its fields are offered without a join).
struct TVRRelationTable {
    QString TableName;  // without the "$$" prefix ("PURMA")
    QString Caption;
    // Join columns: (column of the report statement, column of this table).
    QList<QPair<QString, QString>> JoinColumns;
    QList<TVRFieldProperty> Fields;
};

class TVRSQLBuilder : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(int MaxComponentNum READ MaxComponentNum WRITE SetMaxComponentNum)
    Q_PROPERTY(QStringList Relations READ Relations WRITE SetRelations)
    Q_PROPERTY(QString SelectText READ SelectText WRITE SetSelectText)
    Q_PROPERTY(QString FromText READ FromText WRITE SetFromText)
    Q_PROPERTY(QString WhereText READ WhereText WRITE SetWhereText)
    Q_PROPERTY(QString GroupByText READ GroupByText WRITE SetGroupByText)
    Q_PROPERTY(QString OrderByText READ OrderByText WRITE SetOrderByText)
    Q_PROPERTY(QString JoinText READ JoinText WRITE SetJoinText)
    Q_PROPERTY(QString OwnerFormClass READ OwnerFormClass WRITE SetOwnerFormClass)

public:
    explicit TVRSQLBuilder(QObject* Owner = nullptr);

    // In use: the report statement is extended with the placed fields.
    bool Active() const { return active_; }
    void SetActive(bool On) { active_ = On; }
    QString OwnerFormClass() const { return ownerFormClass_; }
    void SetOwnerFormClass(const QString& Name) { ownerFormClass_ = Name; }

    // The number the next designer-added component is named with.
    int MaxComponentNum() const { return maxComponentNum_; }
    void SetMaxComponentNum(int Value) { maxComponentNum_ = Value; }
    // The current number, and the counter moves on.
    Q_INVOKABLE int TakeComponentNum() { return maxComponentNum_++; }

    // --- design information: who designs which program on which tables
    Q_INVOKABLE void InitVRInfo(const QString& Program, const QString& User, const QString& MainTable,
                                const QString& Database, const QString& Company);
    QString Program() const { return program_; }
    QString User() const { return user_; }
    Q_INVOKABLE QString MainTable() const { return mainTable_; }
    QString Database() const { return database_; }
    QString Company() const { return company_; }
    // The layout's own data fields: for each, the character with code 3, the
    // field, the character with code 3, its hint (as the format form lists them).
    Q_INVOKABLE void SetLayoutFields(const QString& FieldList);
    // The layout's data fields as (field, hint) pairs.
    QList<QPair<QString, QString>> LayoutFields() const { return layoutFields_; }
    Q_INVOKABLE QStringList LayoutFieldNames() const;

    // --- relation tables and their fields
    Q_INVOKABLE int RelationCount() const { return static_cast<int>(relations_.size()); }
    const TVRRelationTable& Relation(int Index) const;
    Q_INVOKABLE QString RelationTableName(int Index) const { return Relation(Index).TableName; }
    // Adds a table joined on "column = column" pairs (BaseColumns[i] of the
    // report statement with Columns[i] of the table) and answers its index.
    // Names must be plain SQL names (letters, digits, "_", one "." after an
    // alias in a base column); anything else raises kelm24::Exception, since
    // the names go into the statement as they are. Only the main table (of
    // InitVRInfo) may come without join columns.
    Q_INVOKABLE int AddRelationTable(const QString& TableName, const QString& Caption, const QStringList& BaseColumns,
                                     const QStringList& Columns);
    // Removes a table none of whose fields is placed; false otherwise.
    Q_INVOKABLE bool RemoveRelationTable(int Index);
    // Adds a field of a table that may be placed; answers its index (an
    // existing field of that name keeps its index and takes the caption).
    Q_INVOKABLE int AddRelationField(int Table, const QString& FieldName, const QString& Caption, bool Barcode);
    Q_INVOKABLE int FieldCount(int Table) const;
    const TVRFieldProperty& FieldProperty(int Table, int Field) const;
    // "RT<table>.<field>", the field as the statement names it (the main
    // table's own name for a field of the main table).
    Q_INVOKABLE QString FieldText(int Table, int Field) const;
    // "RT<table><field>": the column the data set answers with.
    Q_INVOKABLE QString FieldColumn(int Table, int Field) const;
    Q_INVOKABLE QString FieldCaption(int Table, int Field) const { return FieldProperty(Table, Field).Caption; }
    Q_INVOKABLE bool FieldBarcode(int Table, int Field) const { return FieldProperty(Table, Field).Barcode; }
    Q_INVOKABLE void SetFieldBarcode(int Table, int Field, bool Barcode);
    Q_INVOKABLE bool FieldPlaced(int Table, int Field) const { return FieldProperty(Table, Field).Placed; }
    Q_INVOKABLE QString FieldComponentName(int Table, int Field) const { return FieldProperty(Table, Field).ComponentName; }
    // Marks the field as placed under ComponentName (an empty name unplaces it).
    Q_INVOKABLE void SetFieldPlaced(int Table, int Field, const QString& ComponentName);
    // The field placed under a component name: true with its indexes.
    bool FindFieldByComponent(const QString& ComponentName, int& Table, int& Field) const;
    // Unplaces the field placed as ComponentName; false when there is none.
    bool UnplaceComponent(const QString& ComponentName);
    // Whether any field is placed.
    Q_INVOKABLE bool HasPlacedFields() const;

    // --- the statement
    // True when the builder knows no report statement (no select or no from).
    Q_INVOKABLE bool IsSQLNull() const;
    // Whether these parts make a statement the builder can work on (a select
    // list and a from clause): then Apply takes them and the relation wizard
    // may run on them.
    bool Build(const QString& Select, const QString& From, const QString& OrderBy, const QString& GroupBy,
               const QString& Where, const QString& Join) const;
    // Takes the six parts as the report statement the extension works on.
    // DesignerFlag 1: the parts of a design session, 0: of a print run.
    void Apply(const QString& Select, const QString& From, int DesignerFlag, const QString& OrderBy,
               const QString& GroupBy, const QString& Where, const QString& Join);
    int DesignerFlag() const { return designerFlag_; }

    // The base parts as applied (the published properties).
    QString SelectText() const { return select_; }
    void SetSelectText(const QString& Text) { select_ = Text; }
    QString FromText() const { return from_; }
    void SetFromText(const QString& Text) { from_ = Text; }
    QString WhereText() const { return where_; }
    void SetWhereText(const QString& Text) { where_ = Text; }
    // The plain group and order parts.
    QString GroupByText() const { return groupBy_; }
    void SetGroupByText(const QString& Text) { groupBy_ = Text; }
    QString OrderByText() const { return orderBy_; }
    void SetOrderByText(const QString& Text) { orderBy_ = Text; }
    QString JoinText() const { return join_; }
    void SetJoinText(const QString& Text) { join_ = Text; }

    // The parts with the placed fields: the select list gains
    // "RTn.FIELD AS RTnFIELD" for each, the joins a LEFT JOIN of each table
    // that has a placed field, a group-by with columns gains the fields; the
    // order is the plain one.
    QString ExtendedSelect() const;
    QString ExtendedJoin() const;
    QString ExtendedGroupBy() const;
    QString ExtendedOrderBy() const;
    // The report statement SQL with the base texts replaced by the extended
    // ones, every occurrence: select, join, the trimmed group-by and the
    // trimmed order-by. A base text that is empty is never searched for (it
    // would match everywhere): with no joins of its own the statement gets
    // the extended joins right after its from text.
    QString ExtendSQL(const QString& SQL) const;

    // Relation lines as published (one "T" line per table, then one "F"
    // line per field of it).
    QStringList Relations() const;
    // Reads relation lines; raises kelm24::Exception on a line it cannot read
    // (the tables there were stay).
    void SetRelations(const QStringList& Lines);

signals:
    // Relation tables or placed marks changed (the wizard's field list follows).
    void Changed();

private:
    int AppendTable(const QString& TableName, const QString& Caption, const QStringList& BaseColumns,
                    const QStringList& Columns, bool OwnTableAllowed);
    TVRFieldProperty& MutableField(int Table, int Field);
    bool TableUsed(int Table) const;

    bool active_ = true;
    QString ownerFormClass_ = QStringLiteral("TfrmVRBaseFmt");
    int maxComponentNum_ = 1;
    QString program_, user_, mainTable_, database_, company_;
    QList<QPair<QString, QString>> layoutFields_;
    QList<TVRRelationTable> relations_;
    QString select_, from_, where_, groupBy_, orderBy_, join_;
    int designerFlag_ = 0;
};

}  // namespace kelm24
