#include "format/MergedDelivered.h"

#include "kelm24/Variant.h"

#include <QAtomicInt>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace kelm24 {

namespace {

QAtomicInt connectionNumber;

// "Key=Value;..." into its entries; keys without case.
QString Entry(const QString& connectString, const QString& key)
{
    for (const QString& part : connectString.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const int eq = part.indexOf(QLatin1Char('='));
        if (eq > 0 && part.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0) return part.mid(eq + 1).trimmed();
    }
    return QString();
}

}  // namespace

TMergedDelivered::TMergedDelivered() = default;

TMergedDelivered::~TMergedDelivered()
{
    if (connection_.isEmpty()) return;
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        if (db.isValid()) db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
}

bool TMergedDelivered::Connected() const
{
    return !connection_.isEmpty() && QSqlDatabase::database(connection_, false).isOpen();
}

void TMergedDelivered::Connect(const QString& connectString)
{
    const QString driver = Entry(connectString, QStringLiteral("Driver"));
    if (driver.isEmpty()) throw Exception(QStringLiteral("连接字符串没有指定驱动: ") + connectString);
    if (!QSqlDatabase::isDriverAvailable(driver)) throw Exception(QStringLiteral("没有数据库驱动 ") + driver);
    if (connection_.isEmpty()) connection_ = QStringLiteral("kelm24-merged-%1").arg(connectionNumber.fetchAndAddRelaxed(1));
    QSqlDatabase db = QSqlDatabase::contains(connection_) ? QSqlDatabase::database(connection_, false)
                                                          : QSqlDatabase::addDatabase(driver, connection_);
    db.setDatabaseName(Entry(connectString, QStringLiteral("Database")));
    db.setHostName(Entry(connectString, QStringLiteral("Host")));
    const QString port = Entry(connectString, QStringLiteral("Port"));
    if (!port.isEmpty()) db.setPort(port.toInt());
    db.setUserName(Entry(connectString, QStringLiteral("User")));
    db.setPassword(Entry(connectString, QStringLiteral("Password")));
    // A SQLite file that is not there would be created empty: refuse it instead.
    if (driver == QLatin1String("QSQLITE")) db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (!db.open()) throw Exception(db.lastError().text());
}

QString TMergedDelivered::Statement(const QString& database, bool warehouse, bool price, bool lot)
{
    QString sql = QStringLiteral(" SELECT  TD015,TD009 FROM  ") + database + QStringLiteral("..") + QStringLiteral("PURTD ") +
                  QStringLiteral(" INNER JOIN ") + database + QStringLiteral("..") +
                  QStringLiteral("PURTH ON TH011 = TD001 AND TH012=TD002 AND TH013=TD003 ") +
                  QStringLiteral(" WHERE TH004=:TH004 AND TH008=:TH008 AND TH001=:TH001 AND TH002=:TH002 ");
    if (warehouse) sql += QStringLiteral(" AND TH009=:TH009");
    if (price) sql += QStringLiteral(" AND TH018=:TH018");
    if (lot) sql += QStringLiteral(" AND TH010=:TH010");
    return sql;
}

QString TMergedDelivered::ForDriver(const QString& statement)
{
    // SQLite and PostgreSQL name tables without the database: "DEMO..PURTD"
    // becomes "PURTD" (outside quoted texts; the statement has none).
    static const QRegularExpression qualifier(QStringLiteral("\\b[A-Za-z_][A-Za-z0-9_]*\\.\\."));
    QString sql = statement;
    return sql.replace(qualifier, QString());
}

double TMergedDelivered::Delivered(const QString& database, const TMergedLine& line, bool convert,
                                   const TUnitConvert& unitConvert)
{
    if (!Connected()) throw Exception(QStringLiteral("没有连接数据库"));
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    if (!query.prepare(ForDriver(Statement(database, line.HasWarehouse, line.HasPrice, line.HasLot))))
        throw Exception(query.lastError().text());
    query.bindValue(QStringLiteral(":TH004"), line.Item);
    query.bindValue(QStringLiteral(":TH008"), line.Unit);
    query.bindValue(QStringLiteral(":TH001"), line.Type);
    query.bindValue(QStringLiteral(":TH002"), line.Number);
    if (line.HasWarehouse) query.bindValue(QStringLiteral(":TH009"), line.Warehouse);
    if (line.HasPrice) query.bindValue(QStringLiteral(":TH018"), line.Price);
    if (line.HasLot) query.bindValue(QStringLiteral(":TH010"), line.Lot);
    if (!query.exec()) throw Exception(query.lastError().text());
    double delivered = 0;
    while (query.next()) {
        double quantity = query.value(0).toDouble();
        const QString orderUnit = query.value(1).toString();
        if (convert && orderUnit != line.Unit && unitConvert) quantity = unitConvert(line.Item, quantity, orderUnit, line.Unit);
        delivered += quantity;
    }
    return delivered;
}

}  // namespace kelm24
