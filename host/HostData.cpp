#include "host/HostData.h"

#include "frame/DataPacket.h"
#include "frame/HostObjects.h"
#include "platform/ole/ClassRegistry.h"
#include "platform/ole/IniText.h"
#include "platform/socketconn/SocketConnection.h"

#include <QDir>

namespace kelm24 {

THostData::THostData(Variant appServer) : server_(std::move(appServer)) {}

THostData::~THostData() = default;

std::shared_ptr<THostData> THostData::Open(const QString& user, const QString& company, const QString& database)
{
    const TIniText registry = TIniText::FromFile(RegistryFilePath());
    const QString key = QStringLiteral("Software\\QVS\\Corvane");
    QString clientPath = registry.Value(key, QStringLiteral("ClientPath"));
    if (clientPath.isEmpty())
        throw Exception(QStringLiteral("注册表文件 %1 没有客户端路径 (ClientPath)").arg(RegistryFilePath()));
    clientPath.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const TIniText client = TIniText::FromFile(QDir(clientPath).filePath(QStringLiteral("CorvaneC.ini")));
    QString address = client.Value(QStringLiteral("Server Information"), QStringLiteral("ComputerName")).trimmed();
    if (address.endsWith(QLatin1Char(';'))) address.chop(1);
    address = address.section(QLatin1Char(';'), 0, 0).trimmed();
    if (address.isEmpty()) address = QStringLiteral("127.0.0.1");
    const int port = client.Value(QStringLiteral("Server Information"), QStringLiteral("ServerPort"), QStringLiteral("211")).toInt();
    const QString progId = AppServerProgId(QStringLiteral("KELM24"));

    std::shared_ptr<THostData> data;
    if (address == QLatin1String("127.0.0.1") || address.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) {
        data = std::make_shared<THostData>(CreateOleObject(progId));
    } else {
        auto connection = std::make_unique<TSocketConnection>();
        connection->Address = address;
        connection->Port = port;
        connection->ServerName = progId;
        connection->Open();
        data = std::make_shared<THostData>(connection->AppServer());
        data->connection_ = std::move(connection);
    }
    QString serverPath = registry.Value(key, QStringLiteral("ServerPath"));
    if (!serverPath.isEmpty())
        data->ServerIniFile = QDir(serverPath.replace(QLatin1Char('\\'), QLatin1Char('/'))).filePath(QStringLiteral("CorvaneS.ini"));
    TAppServerObject(data->server_).Connect(QStringLiteral("HOST"), user, company, database, QString());
    data->User = user;
    data->Company = company;
    data->Database = database;
    return data;
}

QVector<THostRow> THostData::Rows(const QString& sql, const QVector<Variant>& keys) const
{
    Variant params = Variant::CreateArray(0, static_cast<int>(keys.size()) - 1);
    for (int i = 0; i < keys.size(); ++i) params[i] = Variant::ArrayOf({QStringLiteral("K%1").arg(i), keys[i]});
    TDataPacket packet = TDataPacket::FromVariant(server_.Call(member::AS_GetRecords, {QStringLiteral("pvdTemp"), sql, params}));
    QVector<THostRow> rows;
    rows.reserve(static_cast<int>(packet.Rows.size()));
    for (auto& r : packet.Rows) rows.push_back(THostRow(r.begin(), r.end()));
    return rows;
}

}  // namespace kelm24
