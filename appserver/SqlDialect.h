// Turns the statements the plug-in and its layouts write (SQL Server style:
// "$$" table prefix, "+" joining texts, ON clauses that name columns without
// their table) into statements the database engine runs with the same result,
// and checks statements that clients send as free text.
#pragma once

#include "appserver/Schema.h"
#include "appserver/SqlTokens.h"

namespace kelm24 {

// One table of a FROM clause, as the statement names it.
struct TSqlTableRef {
    QString Table;  // as written, prefix removed; empty for a sub-query
    QString Alias;  // the alias, or the table name when there is none
    int Depth = 0;  // parenthesis depth of its FROM clause
    int Clause = 0; // which FROM clause (statements may hold several)
    int TableToken = -1, AliasToken = -1;  // token indexes; -1 when absent
    int OpenToken = -1;  // the "(" of a parenthesised item, -1 for a named table
};

// The FROM clauses of a statement: tables, aliases and the ON conditions with
// the tables that are joined by the time each condition is read.
struct TSqlFromClauses {
    QVector<TSqlTableRef> Tables;
    struct TOnCondition {
        int First = 0, Last = 0;  // token range [First, Last)
        int Clause = 0;
        int TablesInScope = 0;    // tables of the clause up to this join, in Tables order
        int FirstTable = 0;       // index in Tables of the clause's first table
    };
    QVector<TOnCondition> Conditions;
    static TSqlFromClauses Parse(const TSqlTokens& tokens);
    // The table an alias (or table name) of the statement stands for, empty when none.
    QString TableOf(const QString& alias) const;
};

// Removes the "$$" table prefix and "database.." qualifiers in place.
void StripTablePrefixes(TSqlTokens& tokens);

class TSqlAdapter {
public:
    TSqlAdapter(const TSchema& schema, TSqlEngine engine) : schema_(schema), engine_(engine) {}
    QString Adapt(const QString& sql) const;

private:
    void ConcatenateTexts(TSqlTokens& tokens, const TSqlFromClauses& from) const;
    void QualifyJoinColumns(TSqlTokens& tokens, const TSqlFromClauses& from) const;
    bool IsTextOperand(const TSqlTokens& tokens, int index, const TSqlFromClauses& from) const;

    const TSchema& schema_;
    TSqlEngine engine_;
};

// Which statements a client may send as text.
enum class TStatementUse { Query, AnyDml, Condition };

// Raises kelm24::Exception with a clear text when the statement is not one
// statement of the allowed kind, or names a table or column the schema lacks.
// A Condition is the text after WHERE of one table (UpdatePrintCount).
void CheckClientSql(const QString& sql, TStatementUse use, const TSchema& schema, const QString& conditionTable = {});

// The table an INSERT, UPDATE or DELETE writes (prefix removed, as written);
// empty for any other statement.
QString WrittenTable(const QString& sql);

}  // namespace kelm24
