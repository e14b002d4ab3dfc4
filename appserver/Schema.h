// The tables of the company database: names, columns and their kinds. The
// data layer creates them, checks names in client SQL against them, and the
// SQLite adapter resolves unqualified join columns with them.
#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

namespace kelm24 {

enum class TColumnKind { Text, Integer, Number };

struct TColumnDef {
    QString Name;
    TColumnKind Kind = TColumnKind::Text;
    int Length = 0;  // declared length of a text column (VARCHAR(n)); 0 unbounded
};

struct TTableDef {
    QString Name;
    QVector<TColumnDef> Columns;
    QStringList Key;  // primary key columns, may be empty
    int ColumnIndex(const QString& column) const;  // -1 when absent; without case
    bool HasColumn(const QString& column) const { return ColumnIndex(column) >= 0; }
};

enum class TSqlEngine { SQLite, PostgreSQL };

class TSchema {
public:
    static const TSchema& Company();  // every table of the company database

    const QVector<TTableDef>& Tables() const { return tables_; }
    const TTableDef* Table(const QString& name) const;  // nullptr when unknown; without case
    // True when some table has a column of this name.
    bool IsColumn(const QString& column) const;
    QStringList CreateStatements(TSqlEngine engine) const;

private:
    TSchema();
    void Add(TTableDef table);
    QVector<TTableDef> tables_;
    QHash<QString, int> byName_;
    QSet<QString> columns_;
};

}  // namespace kelm24
