// What a client's statement may touch: the one place that says, member by
// member, which tables and columns the statements a client sends as text may
// read and write. The database engine enforces it (an authorizer on SQLite,
// a role with exactly these grants on PostgreSQL); the server's own
// statements (sign-in, layouts, condition sets) run outside it.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace kelm24 {

// The members that run statements written by the client.
enum class TClientMember {
    Query,       // AS_GetRecords through Provider1, Provider2, pvdTemp
    FreeSql,     // RunFreeSQL
    PrintCount,  // UpdatePrintCount
};

enum class TAccess { Read, Insert, Update, Delete };

// A document table whose prints and sends are counted: the columns that
// count, and the key a condition must name.
struct TDocumentTable {
    QString Table;
    QStringList Key;
    QStringList CountColumns;
    // The key values a print-count condition names, in Key order. The
    // condition must be "column = constant" for every key column, joined by
    // AND (the layout writes "TG001='3401'  and TG002='20240102001' ");
    // anything else raises.
    QStringList KeyValues(const QString& condition) const;
};

// A table whose rows belong to users. Client statements that name it see,
// under the same name, a table of the session's own: its user's rows
// (OwnerColumn = the user) and only Columns; the stored table itself is
// not theirs to read.
struct TOwnRowsTable {
    QString Table;
    QString OwnerColumn;
    QStringList Columns;
};

class TAccessPolicy {
public:
    static const TAccessPolicy& Company();

    // column empty: the table as a whole (a count of its rows, an insert, a delete).
    bool Allows(TClientMember member, TAccess access, const QString& table, const QString& column = {}) const;
    // Functions a client statement may call: plain arithmetic, text and
    // aggregates; nothing that reaches files, extensions or the engine's state.
    bool AllowsFunction(const QString& name) const;
    const TDocumentTable* DocumentTable(const QString& table) const;
    const QVector<TOwnRowsTable>& OwnRowsTables() const { return ownRows_; }
    // Whether the member's statements may read the column of the session's
    // own-rows table of that name.
    bool AllowsOwnRows(TClientMember member, const QString& table, const QString& column) const;
    // The members whose statements see own-rows tables.
    static bool SeesOwnRows(TClientMember member) { return member != TClientMember::PrintCount; }

    // The name of the PostgreSQL role a member's statements run under, and
    // the statements that give it exactly the grants above.
    static QString RoleName(TClientMember member);
    QStringList RoleGrants(TClientMember member) const;

    static QString MemberName(TClientMember member);
    static QString AccessName(TAccess access);

private:
    struct TRule {
        TClientMember Member;
        TAccess Access;
        QString Table;
        QStringList Columns;  // empty: every column
    };
    TAccessPolicy();
    void Grant(TClientMember member, TAccess access, const QString& table, const QStringList& columns = {});
    QVector<TRule> rules_;
    QVector<TDocumentTable> documents_;
    QVector<TOwnRowsTable> ownRows_;
};

}  // namespace kelm24
