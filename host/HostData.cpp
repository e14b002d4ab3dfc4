#include "host/HostData.h"

#include "kelm24/DataPacket.h"
#include "kelm24/HostObjects.h"
#include "platform/registry/Registry.h"
#include "runtime/CorvaneIni.h"
#include "runtime/TextUtils.h"
#include "platform/socketconn/SocketConnection.h"

#include <QDir>

namespace kelm24 {

THostData::THostData(Variant appServer) : server_(std::move(appServer)) {}

THostData::~THostData() = default;

std::shared_ptr<THostData> THostData::Open(const QString& user, const QString& company, const QString& database, int timeoutMs)
{
    const TCorvaneIniC client;
    if (!client.ErrorCode.isEmpty())
        throw Exception(QStringLiteral("客户端设置不可用 (%1), 注册表文件 %2").arg(client.ErrorCode, RegistryFileName()));
    const int firstServer = client.Servers.LowBound(2);
    const QString address = client.Servers.At(0, firstServer).ToString();
    const int port = client.Servers.At(1, firstServer).ToInt();
    const QString progId = AppServerProgId(QStringLiteral("KELM24"));

    std::shared_ptr<THostData> data;
    if (IsLocalAddress(address)) {
        data = std::make_shared<THostData>(CreateOleObject(progId));
    } else {
        // A port outside 1..65535 would be cut to 16 bits and reach some other service.
        if (port < 1 || port > 65535)
            throw Exception(QStringLiteral("客户端设置的 ServerPort %1 不是有效的端口 (1-65535)").arg(port));
        auto connection = std::make_unique<TSocketConnection>();
        connection->Address = address;
        connection->Port = port;
        connection->TimeoutMs = timeoutMs;
        connection->ServerName = progId;
        connection->User = user;  // its password comes from the user's credential file
        connection->Tls = client.ServerTls;
        connection->TlsCaFile = client.ServerCaFile;
        connection->Open();
        data = std::make_shared<THostData>(connection->AppServer());
        data->connection_ = std::move(connection);
    }
    const QString serverPath = GetServerPath();
    if (!serverPath.isEmpty()) data->ServerIniFile = QDir(serverPath).filePath(QStringLiteral("CorvaneS.ini"));
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
