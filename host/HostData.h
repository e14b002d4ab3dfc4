// The host's road to the company database: the application server object of
// the installation (in-process when the client settings name the local
// address, else over TCP), in a session of the host's user and company.
#pragma once

#include "kelm24/Automation.h"

#include <QVector>
#include <memory>

namespace kelm24 {

class TSocketConnection;

using THostRow = QVector<Variant>;

class THostData {
public:
    // Uses an application-server object that already has its session.
    explicit THostData(Variant appServer);
    ~THostData();
    // Opens the server named by the client settings of the registry file
    // ("Software\QVS\Corvane" ClientPath + "CorvaneC.ini") and connects; a
    // remote server gets timeoutMs to answer each call.
    static std::shared_ptr<THostData> Open(const QString& user, const QString& company, const QString& database,
                                           int timeoutMs = 300000);

    // Rows of a query; values are bound by name (:K0, :K1 ...) from keys.
    QVector<THostRow> Rows(const QString& sql, const QVector<Variant>& keys = {}) const;
    const Variant& AppServer() const { return server_; }
    QString User, Company, Database;
    QString ServerIniFile;  // the server settings file, when the registry names one

private:
    Variant server_;
    std::unique_ptr<TSocketConnection> connection_;
};

}  // namespace kelm24
