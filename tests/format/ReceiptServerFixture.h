// What the receipt tests share: one sample company served by a real
// application server over TCP for the whole suite, and a session of the
// report's program per test.
#pragma once

#include "demo/SampleCompany.h"
#include "kelm24/HostObjects.h"
#include "platform/socketconn/SocketConnection.h"
#include "tests/appserver/TestSupport.h"

#include <gtest/gtest.h>


namespace kelm24::test {

class ReceiptServerFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        install = new TSampleInstall(30);
        server = new TServerProcess(install->IniFile());
    }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
        delete install;
        install = nullptr;
    }
    // Opens the connection and a session of the leader on the receipts.
    void ConnectLeader()
    {
        connection.Port = server->Port();
        connection.ServerName = TSampleCompany::ProgramCode + QStringLiteral("S.Class1");
        connection.Open();
        TAppServerObject(connection.AppServer())
            .Connect(TSampleCompany::ProgramCode, TSampleCompany::LeaderUser, TSampleCompany::CompanyCode,
                     QStringLiteral("DEMO"), QStringLiteral("PURTG"));
    }

    static inline TSampleInstall* install = nullptr;
    static inline TServerProcess* server = nullptr;
    TSocketConnection connection;
};

}  // namespace kelm24::test
