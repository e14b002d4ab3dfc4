#include "appserver/DataLayer.h"

#include "kelm24/DataPacket.h"

#include <QAtomicInt>
#include <QDate>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMutex>
#include <QSet>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

#include <libpq-fe.h>
#include <sqlite3.h>

namespace kelm24 {

namespace {

QString NewConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("kelm24-data-%1").arg(counter.fetchAndAddRelaxed(1));
}

TFieldType FieldTypeOf(QMetaType type)
{
    switch (type.id()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort:
        return TFieldType::Integer;
    case QMetaType::Double: case QMetaType::Float:
        return TFieldType::Float;
    case QMetaType::Bool: return TFieldType::Boolean;
    case QMetaType::QDate: case QMetaType::QDateTime: return TFieldType::Date;
    case QMetaType::QByteArray: return TFieldType::Blob;
    default: return TFieldType::String;
    }
}

void BindAll(QSqlQuery& q, const TSqlRow& binds)
{
    for (int i = 0; i < binds.size(); ++i) q.bindValue(i, binds[i]);
}

}  // namespace

Variant ToVariant(const QVariant& value)
{
    if (value.isNull()) return Variant::Null();
    switch (value.metaType().id()) {
    case QMetaType::Int: case QMetaType::Short: case QMetaType::UShort: return Variant(value.toInt());
    case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong: {
        qlonglong v = value.toLongLong();
        if (v >= INT32_MIN && v <= INT32_MAX) return Variant(static_cast<int>(v));
        return Variant(static_cast<int64_t>(v));
    }
    case QMetaType::Double: case QMetaType::Float: return Variant(value.toDouble());
    case QMetaType::Bool: return Variant(value.toBool());
    case QMetaType::QDate:
        return Variant::FromDate(static_cast<double>(QDate(1899, 12, 30).daysTo(value.toDate())));
    case QMetaType::QByteArray: return Variant(QString::fromUtf8(value.toByteArray()));
    default: return Variant(value.toString());
    }
}

QVariant ToQVariant(const Variant& value)
{
    switch (value.Type()) {
    case VarType::Empty: case VarType::Null: return QVariant();
    case VarType::Integer: return QVariant(value.ToInt());
    case VarType::Int64: return QVariant(static_cast<qlonglong>(value.ToInt64()));
    case VarType::Boolean: return QVariant(value.ToBool() ? 1 : 0);
    case VarType::Double: case VarType::Date: return QVariant(value.ToDouble());
    case VarType::String: return QVariant(value.ToString());
    case VarType::Dispatch: case VarType::Array: break;
    }
    throw Exception(QStringLiteral("不能把 %1 类型的值作为 SQL 参数").arg(value.TypeName()));
}

// A client statement's stay on the connection. On SQLite an authorizer
// allows, while the statement is prepared, exactly the reads and writes the
// access policy gives its member (no ATTACH, PRAGMA, schema tables or
// functions beyond plain ones), a progress handler ends it at its time limit
// and texts and blobs it builds are held to a bounded length. On PostgreSQL
// it runs under the member's role with a statement timeout.
class TDataLayer::TClientScope {
public:
    TClientScope(TDataLayer& data, TClientMember member) : data_(data), member_(member)
    {
        timer_.start();
        if (data_.settings_.Stop && data_.settings_.Stop->Requested()) {
            stopped_ = true;
            Fail(QString(), QString());
        }
        if (data_.Engine() == TSqlEngine::PostgreSQL) {
            data_.PrepareClientRoles();
            data_.Exec(QStringLiteral("SET statement_timeout = %1").arg(std::max(1, data_.settings_.StatementTimeoutMs)));
            data_.Exec(QStringLiteral("SET ROLE %1").arg(TAccessPolicy::RoleName(member_)));
            CancelOnStop();
            return;
        }
        const QVariant handle = data_.db_.driver()->handle();
        if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
            throw Exception(QStringLiteral("数据库驱动没有给出 SQLite 连接, 不能检查客户端语句的权限"));
        sqlite_ = *static_cast<sqlite3* const*>(handle.constData());
        if (!sqlite_) throw Exception(QStringLiteral("SQLite 连接尚未打开"));
        sqlite3_set_authorizer(sqlite_, &TClientScope::Authorize, this);
        sqlite3_progress_handler(sqlite_, 1000, &TClientScope::Progress, this);
        lengthLimit_ = sqlite3_limit(sqlite_, SQLITE_LIMIT_LENGTH, kMaxValueLength);
    }
    ~TClientScope()
    {
        if (pgCancel_) {
            data_.settings_.Stop->SetCanceller({});
            PQfreeCancel(pgCancel_);
        }
        if (sqlite_) {
            sqlite3_set_authorizer(sqlite_, nullptr, nullptr);
            sqlite3_progress_handler(sqlite_, 0, nullptr, nullptr);
            sqlite3_limit(sqlite_, SQLITE_LIMIT_LENGTH, lengthLimit_);
            return;
        }
        try {
            data_.Exec(QStringLiteral("RESET ROLE"));
            data_.Exec(QStringLiteral("RESET statement_timeout"));
        } catch (const Exception&) {
            // A lost connection keeps nothing to reset.
        }
    }
    TClientScope(const TClientScope&) = delete;
    TClientScope& operator=(const TClientScope&) = delete;

    // Raises with what the engine's error means for the client.
    [[noreturn]] void Fail(const QString& sql, const QString& error) const
    {
        if (!refusal_.isEmpty()) throw Exception(QStringLiteral("%1: %2").arg(TAccessPolicy::MemberName(member_), refusal_));
        if (stopped_) throw Exception(QStringLiteral("%1: 应用服务器正在停止, 语句已中止").arg(TAccessPolicy::MemberName(member_)));
        if (timedOut_ || error.contains(QLatin1String("statement timeout")))
            throw Exception(QStringLiteral("%1: 语句执行超过 %2 秒, 已中止")
                                .arg(TAccessPolicy::MemberName(member_))
                                .arg(data_.settings_.StatementTimeoutMs / 1000.0));
        if (error.contains(QLatin1String("permission denied")))
            throw Exception(QStringLiteral("%1: 不能执行这条语句 (没有权限): %2").arg(TAccessPolicy::MemberName(member_), error));
        data_.Fail(QStringLiteral("SQL 语句执行失败"), sql, error);
    }

private:
    static constexpr int kMaxValueLength = 16 * 1024 * 1024;

    // A PostgreSQL statement waits inside libpq, out of reach of any check
    // of ours: a stop of the server sends the engine a cancel request for it.
    void CancelOnStop()
    {
        TStopSignal* stop = data_.settings_.Stop;
        const QVariant handle = data_.db_.driver()->handle();
        // Qt 6 names the handle's type by the structure behind libpq's typedef.
        if (!stop || !handle.isValid() || (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0))
            return;
        PGconn* connection = *static_cast<PGconn* const*>(handle.constData());
        pgCancel_ = connection ? PQgetCancel(connection) : nullptr;
        if (!pgCancel_) return;
        stop->SetCanceller([this] {
            stopped_ = true;
            char error[256];
            PQcancel(pgCancel_, error, sizeof error);
        });
    }

    static int Authorize(void* self, int action, const char* a1, const char* a2, const char* database, const char*)
    {
        auto* scope = static_cast<TClientScope*>(self);
        const QString first = QString::fromUtf8(a1 ? a1 : ""), second = QString::fromUtf8(a2 ? a2 : "");
        if (database && qstrcmp(database, "main") != 0 && qstrcmp(database, "temp") != 0 && action != SQLITE_FUNCTION)
            return scope->Refuse(QStringLiteral("不能使用数据库 %1").arg(QString::fromUtf8(database)));
        if (database && qstrcmp(database, "temp") == 0 && action != SQLITE_READ && action != SQLITE_FUNCTION)
            return scope->Refuse(QStringLiteral("不能修改临时数据表 %1").arg(first));
        const TAccessPolicy& policy = TAccessPolicy::Company();
        const TClientMember m = scope->member_;
        // The temporary database holds the session's own-rows tables, to read only.
        if (database && qstrcmp(database, "temp") == 0 && action == SQLITE_READ)
            return scope->Check(policy.AllowsOwnRows(m, first, second), TAccess::Read, first, second);
        switch (action) {
        case SQLITE_SELECT: return SQLITE_OK;
        // A recursive common table is read under its own name, which the
        // policy cannot tell from a table of the engine's; no report needs one.
        case SQLITE_RECURSIVE: return scope->Refuse(QStringLiteral("不能使用递归查询 (WITH RECURSIVE)"));
        case SQLITE_READ: return scope->Check(policy.Allows(m, TAccess::Read, first, second), TAccess::Read, first, second);
        case SQLITE_UPDATE: return scope->Check(policy.Allows(m, TAccess::Update, first, second), TAccess::Update, first, second);
        case SQLITE_INSERT: return scope->Check(policy.Allows(m, TAccess::Insert, first), TAccess::Insert, first, {});
        case SQLITE_DELETE: return scope->Check(policy.Allows(m, TAccess::Delete, first), TAccess::Delete, first, {});
        case SQLITE_FUNCTION:
            return policy.AllowsFunction(second) ? SQLITE_OK : scope->Refuse(QStringLiteral("不能调用函数 %1").arg(second));
        case SQLITE_PRAGMA: return scope->Refuse(QStringLiteral("不能执行 PRAGMA %1").arg(first));
        case SQLITE_ATTACH:
        case SQLITE_DETACH: return scope->Refuse(QStringLiteral("不能连接或断开其他数据库"));
        default: return scope->Refuse(QStringLiteral("不能执行这种语句 (只能查询和允许的新增、修改)"));
        }
    }
    int Check(bool allowed, TAccess access, const QString& table, const QString& column)
    {
        if (allowed) return SQLITE_OK;
        return Refuse(column.isEmpty() ? QStringLiteral("不能%1数据表 %2").arg(TAccessPolicy::AccessName(access), table)
                                       : QStringLiteral("不能%1数据表 %2 的栏位 %3").arg(TAccessPolicy::AccessName(access), table, column));
    }
    int Refuse(const QString& why)
    {
        if (refusal_.isEmpty()) refusal_ = why;
        return SQLITE_DENY;
    }
    static int Progress(void* self)
    {
        auto* scope = static_cast<TClientScope*>(self);
        const TStopSignal* stop = scope->data_.settings_.Stop;
        if (stop && stop->Requested()) {
            scope->stopped_ = true;
            return 1;
        }
        if (scope->timer_.elapsed() <= scope->data_.settings_.StatementTimeoutMs) return 0;
        scope->timedOut_ = true;
        return 1;
    }

    TDataLayer& data_;
    TClientMember member_;
    sqlite3* sqlite_ = nullptr;
    int lengthLimit_ = 0;
    QElapsedTimer timer_;
    QString refusal_;
    bool timedOut_ = false;
    std::atomic<bool> stopped_{false};  // also set by the stopping thread
    PGcancel* pgCancel_ = nullptr;
};

// The roles client statements run under, given exactly the policy's grants:
// made once per database and process (grants made by two threads at once
// collide in the catalogue).
void TDataLayer::PrepareClientRoles()
{
    static QMutex lock;
    static QSet<QString> prepared;
    const QString key = QStringLiteral("%1:%2/%3").arg(settings_.Host).arg(settings_.Port).arg(settings_.DatabaseName);
    QMutexLocker guard(&lock);
    if (prepared.contains(key)) return;
    for (TClientMember member : {TClientMember::Query, TClientMember::FreeSql, TClientMember::PrintCount}) {
        const QString role = TAccessPolicy::RoleName(member);
        if (Select(QStringLiteral("SELECT 1 FROM pg_roles WHERE rolname=?"), {role}).isEmpty()) {
            try {
                Exec(QStringLiteral("CREATE ROLE %1 NOLOGIN").arg(role));
            } catch (const Exception&) {
                // Another server made it in the meantime; a real failure shows below.
            }
        }
        // The server's own role must be able to take the client role.
        if (Select(QStringLiteral("SELECT pg_has_role(current_user, ?, 'MEMBER')"), {role})[0][0].toBool() == false)
            Exec(QStringLiteral("GRANT %1 TO CURRENT_USER").arg(role));
        for (const QString& grant : TAccessPolicy::Company().RoleGrants(member)) Exec(grant);
        // The role must hold nothing beyond those grants: no attribute that
        // passes every check, and no membership (pg_read_server_files and
        // the like) whose rights it would inherit.
        QStringList extra;
        const TSqlRow attributes = Select(QStringLiteral("SELECT rolsuper, rolcreaterole, rolcreatedb, rolcanlogin, rolreplication, "
                                                         "rolbypassrls FROM pg_roles WHERE rolname=?"),
                                          {role})[0];
        const char* const attributeNames[] = {"SUPERUSER", "CREATEROLE", "CREATEDB", "LOGIN", "REPLICATION", "BYPASSRLS"};
        for (int i = 0; i < attributes.size(); ++i)
            if (attributes[i].toBool()) extra << QString::fromLatin1(attributeNames[i]);
        for (const TSqlRow& r : Select(QStringLiteral("SELECT g.rolname FROM pg_auth_members m JOIN pg_roles g ON g.oid = m.roleid "
                                                      "JOIN pg_roles c ON c.oid = m.member WHERE c.rolname=? ORDER BY 1"),
                                       {role}))
            extra << r[0].toString();
        if (!extra.isEmpty())
            throw Exception(QStringLiteral("PostgreSQL 角色 %1 的权限超出客户端语句所需 (%2), 客户端语句不能在其下执行: "
                                           "请去掉这些属性 (ALTER ROLE %1 NO...) 并撤销其所属的角色 (REVOKE ... FROM %1)")
                                .arg(role, extra.join(QStringLiteral(", "))));
    }
    prepared.insert(key);
}

QString TDataLayer::StoredTable(const QString& table) const
{
    return (settings_.Engine == TSqlEngine::SQLite ? QStringLiteral("main.") : QStringLiteral("public.")) + table;
}

QString TDataLayer::TemporaryTable(const QString& table) const
{
    return (settings_.Engine == TSqlEngine::SQLite ? QStringLiteral("temp.") : QStringLiteral("pg_temp.")) + table;
}

// Each own-rows table becomes a temporary table of the same name: both
// engines look a bare name up among the connection's temporary tables
// first, so client statements read it, while the stored table stays out of
// their reach (no grant, no authorizer rule). A copy rather than a view: the
// SQLite authorizer names a view and a common table expression of the same
// name alike, a copy cannot be told from anything else.
void TDataLayer::SetSessionUser(const QString& user)
{
    sessionUser_ = user;
    if (!ownRowsMade_) {
        if (settings_.Engine == TSqlEngine::PostgreSQL) PrepareClientRoles();
        for (const TOwnRowsTable& t : TAccessPolicy::Company().OwnRowsTables()) {
            Exec(QStringLiteral("CREATE TEMP TABLE %1 AS SELECT %2 FROM %3 WHERE 1=0")
                     .arg(t.Table, t.Columns.join(QStringLiteral(", ")), StoredTable(t.Table)));
            if (settings_.Engine != TSqlEngine::PostgreSQL) continue;
            QStringList roles;
            for (TClientMember m : {TClientMember::Query, TClientMember::FreeSql, TClientMember::PrintCount})
                if (TAccessPolicy::SeesOwnRows(m)) roles << TAccessPolicy::RoleName(m);
            Exec(QStringLiteral("GRANT SELECT ON %1 TO %2").arg(TemporaryTable(t.Table), roles.join(QStringLiteral(", "))));
        }
        ownRowsMade_ = true;
    }
    RefreshOwnRows(QString());
}

void TDataLayer::RefreshOwnRows(const QString& clientSql)
{
    if (sessionUser_.isNull()) return;
    for (const TOwnRowsTable& t : TAccessPolicy::Company().OwnRowsTables()) {
        // A statement that does not name the table reads nothing of it.
        if (!clientSql.isNull() && !clientSql.contains(t.Table, Qt::CaseInsensitive)) continue;
        Exec(QStringLiteral("DELETE FROM %1").arg(TemporaryTable(t.Table)));
        Exec(QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM %3 WHERE %4 = ?")
                 .arg(TemporaryTable(t.Table), t.Columns.join(QStringLiteral(", ")), StoredTable(t.Table), t.OwnerColumn),
             {sessionUser_});
    }
}

TDataLayer::TDataLayer(const TServerSettings& settings, bool create)
    : settings_(settings), adapter_(TSchema::Company(), settings.Engine), connectionName_(NewConnectionName())
{
    if (settings_.Engine == TSqlEngine::SQLite) {
        if (!create && !QFileInfo::exists(settings_.DatabaseFile))
            throw Exception(QStringLiteral("找不到数据库文件 %1").arg(settings_.DatabaseFile));
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
        db_.setDatabaseName(settings_.DatabaseFile);
        db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    } else {
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName_);
        db_.setHostName(settings_.Host);
        db_.setPort(settings_.Port);
        db_.setDatabaseName(settings_.DatabaseName);
        db_.setUserName(settings_.UserName);
        db_.setPassword(settings_.Password);
        db_.setConnectOptions(QStringLiteral("connect_timeout=10"));
    }
    if (!db_.open()) {
        QString error = db_.lastError().text();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName_);
        throw Exception(QStringLiteral("无法打开数据库 %1: %2")
                            .arg(settings_.Engine == TSqlEngine::SQLite ? settings_.DatabaseFile : settings_.DatabaseName, error));
    }
    // Client SQL is checked with the standard reading of literals: a
    // backslash is a character. A database set otherwise would let a
    // backslash end a literal early and run the rest as SQL.
    if (settings_.Engine == TSqlEngine::PostgreSQL) Exec(QStringLiteral("SET standard_conforming_strings = on"));
}

TDataLayer::~TDataLayer()
{
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName_);
}

void TDataLayer::Fail(const QString& what, const QString& sql, const QString& error) const
{
    throw Exception(QStringLiteral("%1: %2\n语句: %3").arg(what, error, sql.simplified().left(2000)));
}

int TDataLayer::Exec(const QString& sql, const TSqlRow& binds)
{
    QSqlQuery q(db_);
    // Statements without values run unprepared: PostgreSQL prepares no DDL.
    if (binds.isEmpty()) {
        if (!q.exec(sql)) Fail(QStringLiteral("SQL 语句执行失败"), sql, q.lastError().text());
        return q.numRowsAffected();
    }
    if (!q.prepare(sql)) Fail(QStringLiteral("SQL 语句无法执行"), sql, q.lastError().text());
    BindAll(q, binds);
    if (!q.exec()) Fail(QStringLiteral("SQL 语句执行失败"), sql, q.lastError().text());
    return q.numRowsAffected();
}

void TDataLayer::ExecMany(const QString& sql, const QVector<TSqlRow>& rows)
{
    QSqlQuery q(db_);
    if (!q.prepare(sql)) Fail(QStringLiteral("SQL 语句无法执行"), sql, q.lastError().text());
    for (const TSqlRow& row : rows) {
        BindAll(q, row);
        if (!q.exec()) Fail(QStringLiteral("SQL 语句执行失败"), sql, q.lastError().text());
    }
}

QVector<TSqlRow> TDataLayer::Select(const QString& sql, const TSqlRow& binds)
{
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (!q.prepare(sql)) Fail(QStringLiteral("SQL 语句无法执行"), sql, q.lastError().text());
    BindAll(q, binds);
    if (!q.exec()) Fail(QStringLiteral("SQL 查询失败"), sql, q.lastError().text());
    QVector<TSqlRow> rows;
    const int n = q.record().count();
    while (q.next()) {
        TSqlRow row(n);
        for (int i = 0; i < n; ++i) row[i] = q.value(i);
        rows.push_back(std::move(row));
    }
    return rows;
}

Variant TDataLayer::QueryPacket(const QString& clientSql, const Variant& params, TClientMember member)
{
    const QString sql = adapter_.Adapt(clientSql);
    if (TAccessPolicy::SeesOwnRows(member)) RefreshOwnRows(sql);
    TClientScope scope(*this, member);
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (!q.prepare(sql)) scope.Fail(sql, q.lastError().text());
    if (params.IsArray()) {
        for (const Variant& p : params.Elements()) {
            if (!p.IsArray() || p.Count() < 2) throw Exception(QStringLiteral("查询参数应是 [名称, 值] 的数组"));
            QString name = p[p.LowBound()].ToString();
            q.bindValue(name.startsWith(QLatin1Char(':')) ? name : QLatin1Char(':') + name, ToQVariant(p[p.LowBound() + 1]));
        }
    }
    if (!q.exec()) scope.Fail(sql, q.lastError().text());

    const QSqlRecord record = q.record();
    const int n = record.count();
    QVector<TFieldDef> fields(n);
    // SQLite knows no type for an expression whose first row is NULL (the
    // amount of a receipt without lines): such a field takes the type of its
    // values, as the other engines would declare it.
    QVector<bool> typedByValues(n);
    for (int i = 0; i < n; ++i) {
        QString name = record.fieldName(i);
        // PostgreSQL folds unquoted names to lower case; the statements name
        // their columns in upper case.
        if (settings_.Engine == TSqlEngine::PostgreSQL) name = name.toUpper();
        typedByValues[i] = !record.field(i).metaType().isValid();
        fields[i] = TFieldDef{name, typedByValues[i] ? TFieldType::Integer : FieldTypeOf(record.field(i).metaType()), 0};
    }
    QVector<bool> seen(n);
    TDataPacket packet;
    // The answer is held to the size limit while it is built, so a query of
    // every row of every table costs a clear error, not the server's memory.
    qint64 answerBytes = 0;
    while (q.next()) {
        std::vector<Variant> row(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            Variant v = ToVariant(q.value(i));
            // Near its size on the wire: a text's length, a number's nine bytes at most.
            answerBytes += v.IsText() ? 3 + v.ToString().size() : v.IsNull() ? 1 : 9;
            if (v.IsText()) fields[i].Size = std::max(fields[i].Size, static_cast<int>(v.ToString().size()));
            if (typedByValues[i] && !v.IsNull()) {
                seen[i] = true;
                const TFieldType t = v.IsText() ? TFieldType::String : v.Type() == VarType::Double ? TFieldType::Float : TFieldType::Integer;
                // Integer widens to Float; anything but a number makes it a String.
                if (fields[i].Type != TFieldType::String && t != TFieldType::Integer) fields[i].Type = t;
            }
            row[static_cast<size_t>(i)] = std::move(v);
        }
        packet.Rows.push_back(std::move(row));
        if (answerBytes > settings_.MaxAnswerBytes)
            throw Exception(QStringLiteral("%1: 查询结果超过 %2 字节的上限 (已读 %3 行), 请缩小查询条件")
                                .arg(TAccessPolicy::MemberName(member))
                                .arg(settings_.MaxAnswerBytes)
                                .arg(packet.Rows.size()));
    }
    if (q.lastError().isValid()) scope.Fail(sql, q.lastError().text());
    for (int i = 0; i < n; ++i)
        if (typedByValues[i] && !seen[i]) fields[i].Type = TFieldType::String;
    packet.Fields = std::move(fields);
    return std::move(packet).ToVariant();
}

int TDataLayer::ExecClient(const QString& clientSql, TClientMember member, const TSqlRow& binds)
{
    const QString sql = adapter_.Adapt(clientSql);
    if (TAccessPolicy::SeesOwnRows(member)) RefreshOwnRows(sql);
    TClientScope scope(*this, member);
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (binds.isEmpty()) {
        if (!q.exec(sql)) scope.Fail(sql, q.lastError().text());
    } else {
        if (!q.prepare(sql)) scope.Fail(sql, q.lastError().text());
        BindAll(q, binds);
        if (!q.exec()) scope.Fail(sql, q.lastError().text());
    }
    if (!q.isSelect()) return q.numRowsAffected();
    int rows = 0;
    while (q.next()) ++rows;
    if (q.lastError().isValid()) scope.Fail(sql, q.lastError().text());
    return rows;
}

void TDataLayer::Begin()
{
    if (!db_.transaction()) Fail(QStringLiteral("无法开始事务"), QStringLiteral("BEGIN"), db_.lastError().text());
}

void TDataLayer::Commit()
{
    if (!db_.commit()) Fail(QStringLiteral("无法提交事务"), QStringLiteral("COMMIT"), db_.lastError().text());
}

void TDataLayer::Rollback() { db_.rollback(); }

void TDataLayer::CreateSchema()
{
    if (settings_.Engine == TSqlEngine::SQLite) Exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    Begin();
    try {
        for (const QString& statement : TSchema::Company().CreateStatements(settings_.Engine)) Exec(statement);
        Commit();
    } catch (...) {
        Rollback();
        throw;
    }
}

}  // namespace kelm24
