// One connection to the company database (SQLite or PostgreSQL, same schema,
// same answers). Statements of the plug-in go through the dialect adapter;
// values of the server's own statements are always bound, never pasted.
// A data layer belongs to the thread that opened it.
#pragma once

#include "appserver/AccessPolicy.h"
#include "appserver/ServerSettings.h"
#include "appserver/SqlDialect.h"
#include "kelm24/Variant.h"

#include <QSqlDatabase>
#include <QVariant>
#include <QVector>

namespace kelm24 {

using TSqlRow = QVector<QVariant>;

class TDataLayer {
public:
    // A SQLite file must exist unless create is set.
    explicit TDataLayer(const TServerSettings& settings, bool create = false);
    ~TDataLayer();
    TDataLayer(const TDataLayer&) = delete;
    TDataLayer& operator=(const TDataLayer&) = delete;

    TSqlEngine Engine() const { return settings_.Engine; }
    const TSqlAdapter& Adapter() const { return adapter_; }

    // A statement of the server's own, with "?" placeholders; answers the rows
    // affected. Raises with the database's message on failure.
    int Exec(const QString& sql, const TSqlRow& binds = {});
    // The same statement once for every row of binds.
    void ExecMany(const QString& sql, const QVector<TSqlRow>& rows);
    QVector<TSqlRow> Select(const QString& sql, const TSqlRow& binds = {});
    // A client's query, adapted to the engine, as a data packet variant
    // (kelm24/DataPacket.h). params: Empty or an array of [name, value] pairs.
    // Client statements run under the access policy of their member, within
    // the settings' time and answer-size bounds; a refusal raises with the
    // table or column refused.
    Variant QueryPacket(const QString& clientSql, const Variant& params = Variant(),
                        TClientMember member = TClientMember::Query);
    // A client's statement, adapted: rows of a SELECT, rows affected otherwise.
    // binds: values of its "?" placeholders.
    int ExecClient(const QString& clientSql, TClientMember member, const TSqlRow& binds = {});

    // The user whose session this connection serves: from now on a client
    // statement that names an own-rows table of the access policy reads a
    // temporary table of that name holding this user's rows alone.
    void SetSessionUser(const QString& user);
    // A stored table, named so that the session's own-rows table of the
    // same name cannot stand in for it (for the server's own statements).
    QString StoredTable(const QString& table) const;

    void Begin();
    void Commit();
    void Rollback();
    // Creates every table of the schema (the database must be empty).
    void CreateSchema();

private:
    class TClientScope;
    friend class TClientScope;
    void PrepareClientRoles();
    QString TemporaryTable(const QString& table) const;
    // Copies the session user's rows into the own-rows tables the statement names.
    void RefreshOwnRows(const QString& clientSql);
    [[noreturn]] void Fail(const QString& what, const QString& sql, const QString& error) const;
    TServerSettings settings_;
    TSqlAdapter adapter_;
    QString connectionName_;
    QSqlDatabase db_;
    QString sessionUser_;
    bool ownRowsMade_ = false;
};

// A database value as the variant that crosses the wire: NULL as Null.
Variant ToVariant(const QVariant& value);
QVariant ToQVariant(const Variant& value);

}  // namespace kelm24
