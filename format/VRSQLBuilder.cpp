#include "format/VRSQLBuilder.h"

#include "kelm24/Variant.h"

#include <QRegularExpression>

namespace kelm24 {

namespace {

const QChar kFieldMark(3);

// A plain SQL name, optionally qualified once ("PURTG.TG005").
bool IsSqlName(const QString& Name, bool AllowQualified)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    static const QRegularExpression qualified(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*(\\.[A-Za-z_][A-Za-z0-9_]*)?$"));
    return (AllowQualified ? qualified : plain).match(Name).hasMatch();
}

QString CheckedName(const QString& Name, bool AllowQualified, const char* What)
{
    const QString n = Name.trimmed();
    if (!IsSqlName(n, AllowQualified))
        throw Exception(QStringLiteral("SQL 生成器: %1 \"%2\" 不是有效的名称").arg(QString::fromUtf8(What), Name));
    return n;
}

// A clause text that holds nothing but its keyword (" Group By ") adds nothing.
bool OnlyKeyword(const QString& Text, const QString& Keyword)
{
    const QString t = Text.simplified();
    return t.isEmpty() || t.compare(Keyword, Qt::CaseInsensitive) == 0;
}

// Captions travel inside tab-separated lines.
QString LineSafe(const QString& Text)
{
    QString t = Text;
    for (QChar& c : t)
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r')) c = QLatin1Char(' ');
    return t;
}

}  // namespace

TVRSQLBuilder::TVRSQLBuilder(QObject* Owner) : QObject(Owner)
{
    setObjectName(QStringLiteral("SQLReBuilder"));
}

void TVRSQLBuilder::InitVRInfo(const QString& Program, const QString& User, const QString& MainTable,
                               const QString& Database, const QString& Company)
{
    program_ = Program;
    user_ = User;
    mainTable_ = MainTable;
    database_ = Database;
    company_ = Company;
}

void TVRSQLBuilder::SetLayoutFields(const QString& FieldList)
{
    layoutFields_.clear();
    // kFieldMark field kFieldMark hint, repeated.
    const QStringList parts = FieldList.split(kFieldMark);
    for (int i = 1; i + 1 < parts.size(); i += 2) layoutFields_.append({parts[i], parts[i + 1]});
}

QStringList TVRSQLBuilder::LayoutFieldNames() const
{
    QStringList names;
    for (const auto& f : layoutFields_)
        if (!f.first.isEmpty() && !names.contains(f.first, Qt::CaseInsensitive)) names << f.first;
    return names;
}

const TVRRelationTable& TVRSQLBuilder::Relation(int Index) const
{
    if (Index < 0 || Index >= relations_.size())
        throw Exception(QStringLiteral("SQL 生成器: 没有第 %1 个关联表").arg(Index));
    return relations_[Index];
}

int TVRSQLBuilder::AddRelationTable(const QString& TableName, const QString& Caption, const QStringList& BaseColumns,
                                    const QStringList& Columns)
{
    QString table = TableName.trimmed();
    if (table.startsWith(QLatin1String("$$"))) table = table.mid(2);
    return AppendTable(table, Caption, BaseColumns, Columns, !mainTable_.isEmpty() && table.compare(mainTable_, Qt::CaseInsensitive) == 0);
}

int TVRSQLBuilder::AppendTable(const QString& TableName, const QString& Caption, const QStringList& BaseColumns,
                               const QStringList& Columns, bool OwnTableAllowed)
{
    QString table = TableName.trimmed();
    if (table.startsWith(QLatin1String("$$"))) table = table.mid(2);
    TVRRelationTable relation;
    relation.TableName = CheckedName(table, false, "数据表").toUpper();
    relation.Caption = LineSafe(Caption);
    if ((BaseColumns.isEmpty() && !OwnTableAllowed) || BaseColumns.size() != Columns.size())
        throw Exception(QStringLiteral("SQL 生成器: 关联表 %1 需要成对的关联栏位").arg(relation.TableName));
    for (int i = 0; i < Columns.size(); ++i)
        relation.JoinColumns.append({CheckedName(BaseColumns[i], true, "栏位"), CheckedName(Columns[i], false, "栏位")});
    relations_.append(relation);
    emit Changed();
    return static_cast<int>(relations_.size()) - 1;
}

bool TVRSQLBuilder::TableUsed(int Table) const
{
    for (const TVRFieldProperty& f : Relation(Table).Fields)
        if (f.Placed) return true;
    return false;
}

bool TVRSQLBuilder::RemoveRelationTable(int Index)
{
    // Later tables would change their alias "RTn": only the last one goes,
    // and only while nothing of it is on the layout.
    if (Index != relations_.size() - 1 || TableUsed(Index)) return false;
    relations_.removeLast();
    emit Changed();
    return true;
}

int TVRSQLBuilder::AddRelationField(int Table, const QString& FieldName, const QString& Caption, bool Barcode)
{
    Relation(Table);
    const QString name = CheckedName(FieldName, false, "栏位").toUpper();
    QList<TVRFieldProperty>& fields = relations_[Table].Fields;
    for (int i = 0; i < fields.size(); ++i) {
        if (fields[i].FieldName == name) {
            fields[i].Caption = LineSafe(Caption);
            return i;
        }
    }
    TVRFieldProperty field;
    field.FieldName = name;
    field.Caption = LineSafe(Caption);
    field.Barcode = Barcode;
    fields.append(field);
    emit Changed();
    return static_cast<int>(fields.size()) - 1;
}

int TVRSQLBuilder::FieldCount(int Table) const { return static_cast<int>(Relation(Table).Fields.size()); }

const TVRFieldProperty& TVRSQLBuilder::FieldProperty(int Table, int Field) const
{
    const TVRRelationTable& relation = Relation(Table);
    if (Field < 0 || Field >= relation.Fields.size())
        throw Exception(QStringLiteral("SQL 生成器: 关联表 %1 没有第 %2 个栏位").arg(relation.TableName).arg(Field));
    return relation.Fields[Field];
}

TVRFieldProperty& TVRSQLBuilder::MutableField(int Table, int Field)
{
    FieldProperty(Table, Field);
    return relations_[Table].Fields[Field];
}

QString TVRSQLBuilder::FieldText(int Table, int Field) const
{
    const TVRFieldProperty& f = FieldProperty(Table, Field);
    if (relations_[Table].JoinColumns.isEmpty()) return relations_[Table].TableName + QLatin1Char('.') + f.FieldName;
    return QStringLiteral("RT%1.%2").arg(Table).arg(f.FieldName);
}

QString TVRSQLBuilder::FieldColumn(int Table, int Field) const
{
    return QStringLiteral("RT%1%2").arg(Table).arg(FieldProperty(Table, Field).FieldName);
}

void TVRSQLBuilder::SetFieldBarcode(int Table, int Field, bool Barcode) { MutableField(Table, Field).Barcode = Barcode; }

void TVRSQLBuilder::SetFieldPlaced(int Table, int Field, const QString& ComponentName)
{
    TVRFieldProperty& f = MutableField(Table, Field);
    f.ComponentName = ComponentName;
    f.Placed = !ComponentName.isEmpty();
    emit Changed();
}

bool TVRSQLBuilder::FindFieldByComponent(const QString& ComponentName, int& Table, int& Field) const
{
    if (ComponentName.isEmpty()) return false;
    for (int t = 0; t < relations_.size(); ++t) {
        for (int f = 0; f < relations_[t].Fields.size(); ++f) {
            const TVRFieldProperty& p = relations_[t].Fields[f];
            if (p.Placed && p.ComponentName.compare(ComponentName, Qt::CaseInsensitive) == 0) {
                Table = t;
                Field = f;
                return true;
            }
        }
    }
    return false;
}

bool TVRSQLBuilder::UnplaceComponent(const QString& ComponentName)
{
    int t = -1, f = -1;
    if (!FindFieldByComponent(ComponentName, t, f)) return false;
    SetFieldPlaced(t, f, QString());
    return true;
}

bool TVRSQLBuilder::HasPlacedFields() const
{
    for (int t = 0; t < relations_.size(); ++t)
        if (TableUsed(t)) return true;
    return false;
}

bool TVRSQLBuilder::IsSQLNull() const
{
    return OnlyKeyword(select_, QStringLiteral("Select")) || OnlyKeyword(from_, QStringLiteral("From"));
}

bool TVRSQLBuilder::Build(const QString& Select, const QString& From, const QString&, const QString&, const QString&,
                          const QString&) const
{
    return !OnlyKeyword(Select, QStringLiteral("Select")) && !OnlyKeyword(From, QStringLiteral("From"));
}

void TVRSQLBuilder::Apply(const QString& Select, const QString& From, int DesignerFlag, const QString& OrderBy,
                          const QString& GroupBy, const QString& Where, const QString& Join)
{
    select_ = Select;
    from_ = From;
    orderBy_ = OrderBy;
    groupBy_ = GroupBy;
    where_ = Where;
    join_ = Join;
    designerFlag_ = DesignerFlag;
}

QString TVRSQLBuilder::ExtendedSelect() const
{
    QString columns;
    for (int t = 0; t < relations_.size(); ++t)
        for (int f = 0; f < relations_[t].Fields.size(); ++f)
            if (relations_[t].Fields[f].Placed) columns += QStringLiteral(", %1 AS %2").arg(FieldText(t, f), FieldColumn(t, f));
    if (columns.isEmpty()) return select_;
    return select_.trimmed() + columns + QLatin1Char(' ');
}

QString TVRSQLBuilder::ExtendedJoin() const
{
    QString joins;
    for (int t = 0; t < relations_.size(); ++t) {
        // The main table is in the statement already.
        if (!TableUsed(t) || relations_[t].JoinColumns.isEmpty()) continue;
        const TVRRelationTable& r = relations_[t];
        QStringList on;
        for (const auto& pair : r.JoinColumns) on << QStringLiteral("RT%1.%2 = %3").arg(t).arg(pair.second, pair.first);
        joins += QStringLiteral(" LEFT JOIN $$%1 AS RT%2 ON %3 ").arg(r.TableName).arg(t).arg(on.join(QStringLiteral(" AND ")));
    }
    if (joins.isEmpty()) return join_;
    return join_.trimmed().isEmpty() ? joins : join_.trimmed() + joins;
}

QString TVRSQLBuilder::ExtendedGroupBy() const
{
    const QString group = groupBy_.trimmed();
    // Only a grouped statement needs the new columns in its group-by.
    if (OnlyKeyword(group, QStringLiteral("Group By"))) return group;
    QString columns;
    for (int t = 0; t < relations_.size(); ++t)
        for (int f = 0; f < relations_[t].Fields.size(); ++f)
            if (relations_[t].Fields[f].Placed) columns += QStringLiteral(", ") + FieldText(t, f);
    return group + columns;
}

QString TVRSQLBuilder::ExtendedOrderBy() const { return orderBy_.trimmed(); }

QString TVRSQLBuilder::ExtendSQL(const QString& SQL) const
{
    QString result = SQL;
    if (!select_.isEmpty()) result.replace(select_, ExtendedSelect());
    if (!join_.trimmed().isEmpty()) {
        result.replace(join_, ExtendedJoin());
    } else if (!from_.isEmpty()) {
        const QString joins = ExtendedJoin();
        const qsizetype at = result.indexOf(from_);
        if (!joins.isEmpty() && at >= 0) result.insert(at + from_.size(), joins);
    }
    const QString group = groupBy_.trimmed();
    if (!group.isEmpty()) result.replace(group, ExtendedGroupBy());
    const QString order = orderBy_.trimmed();
    if (!order.isEmpty()) result.replace(order, ExtendedOrderBy());
    return result;
}

QStringList TVRSQLBuilder::Relations() const
{
    QStringList lines;
    for (const TVRRelationTable& r : relations_) {
        QStringList joins;
        for (const auto& pair : r.JoinColumns) joins << pair.first + QLatin1Char('=') + pair.second;
        lines << QStringList{QStringLiteral("T"), r.TableName, r.Caption, joins.join(QLatin1Char(';'))}.join(QLatin1Char('\t'));
        for (const TVRFieldProperty& f : r.Fields)
            lines << QStringList{QStringLiteral("F"), f.FieldName, f.Caption, f.Barcode ? QStringLiteral("1") : QStringLiteral("0"),
                                 f.Placed ? f.ComponentName : QString()}
                         .join(QLatin1Char('\t'));
    }
    return lines;
}

void TVRSQLBuilder::SetRelations(const QStringList& Lines)
{
    // Read into a copy: a line that cannot be read leaves the builder as it was.
    TVRSQLBuilder read;
    for (const QString& line : Lines) {
        if (line.trimmed().isEmpty()) continue;
        const QStringList p = line.split(QLatin1Char('\t'));
        if (p[0] == QLatin1String("T") && p.size() == 4) {
            QStringList base, columns;
            for (const QString& pair : p[3].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
                const qsizetype eq = pair.indexOf(QLatin1Char('='));
                base << pair.left(eq);
                columns << (eq < 0 ? QString() : pair.mid(eq + 1));
            }
            read.AppendTable(p[1], p[2], base, columns, true);
        } else if (p[0] == QLatin1String("F") && p.size() == 5 && read.RelationCount() > 0) {
            const int table = read.RelationCount() - 1;
            const int field = read.AddRelationField(table, p[1], p[2], p[3] == QLatin1String("1"));
            read.SetFieldPlaced(table, field, p[4]);
        } else {
            throw Exception(QStringLiteral("SQL 生成器: 无法读取关联表设置 \"%1\"").arg(line));
        }
    }
    relations_ = read.relations_;
    emit Changed();
}

}  // namespace kelm24
