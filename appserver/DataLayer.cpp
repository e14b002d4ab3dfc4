#include "appserver/DataLayer.h"

#include "kelm24/DataPacket.h"

#include <QAtomicInt>
#include <QDate>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

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

Variant TDataLayer::QueryPacket(const QString& clientSql, const Variant& params)
{
    const QString sql = adapter_.Adapt(clientSql);
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (!q.prepare(sql)) Fail(QStringLiteral("SQL 语句无法执行"), sql, q.lastError().text());
    if (params.IsArray()) {
        for (const Variant& p : params.Elements()) {
            if (!p.IsArray() || p.Count() < 2) throw Exception(QStringLiteral("查询参数应是 [名称, 值] 的数组"));
            QString name = p[p.LowBound()].ToString();
            q.bindValue(name.startsWith(QLatin1Char(':')) ? name : QLatin1Char(':') + name, ToQVariant(p[p.LowBound() + 1]));
        }
    }
    if (!q.exec()) Fail(QStringLiteral("SQL 查询失败"), sql, q.lastError().text());

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
    while (q.next()) {
        std::vector<Variant> row(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            Variant v = ToVariant(q.value(i));
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
    }
    for (int i = 0; i < n; ++i)
        if (typedByValues[i] && !seen[i]) fields[i].Type = TFieldType::String;
    packet.Fields = std::move(fields);
    return packet.ToVariant();
}

int TDataLayer::ExecClient(const QString& clientSql)
{
    const QString sql = adapter_.Adapt(clientSql);
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (!q.exec(sql)) Fail(QStringLiteral("SQL 语句执行失败"), sql, q.lastError().text());
    if (!q.isSelect()) return q.numRowsAffected();
    int rows = 0;
    while (q.next()) ++rows;
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
