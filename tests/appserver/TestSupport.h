// What the application-server tests stand on: sample databases in temporary
// folders, the server in a thread of the test or as its own process, and a
// PostgreSQL cluster of the test's own on a loopback port.
#pragma once

#include "appserver/ServerSettings.h"
#include "appserver/SocketServer.h"
#include "tests/TestCertificates.h"

#include <QProcess>
#include <QSemaphore>
#include <QThread>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace kelm24::test {

// A folder with a copy of a generated sample database and its CorvaneS.ini.
class TSampleInstall {
public:
    // Databases of the same shape are generated once per test program and copied.
    explicit TSampleInstall(int receipts = 60, int lines = 0);
    QString Dir() const { return dir_.path(); }
    QString IniFile() const;
    TServerSettings Settings() const { return TServerSettings::FromIniFile(IniFile()); }

private:
    QTemporaryDir dir_;
};

// Writes a CorvaneS.ini into dir, with the users' password file beside it
// and a client credential file (WriteSignIn); answers its path.
QString WriteServerIni(const QString& dir, const TServerSettings& settings);
// The password every sample user signs in with in the tests.
QString TestPassword(const QString& user);
// Writes the server's password file for the sample users into dir and a
// client credential file, readable by its owner only, that the socket
// connection of this process finds (KELM24_APPSERVER_PASSFILE).
void WriteSignIn(const QString& dir);

// kelm24-appserver started on a free loopback port; stopped when this ends.
class TServerProcess {
public:
    explicit TServerProcess(const QString& iniFile, const QStringList& extraArgs = {});
    ~TServerProcess();
    int Port() const { return port_; }
    QProcess& Process() { return process_; }
    void Stop();

private:
    QProcess process_;
    int port_ = 0;
};

// The socket server in a thread of this process, for tests that look inside.
class TServerThread : public QThread {
public:
    TServerThread(TServerSettings settings, TListenLimits limits);
    int port = 0;
    QSemaphore ready;
    TSocketServer* server = nullptr;
    QString error;

protected:
    void run() override;

private:
    TServerSettings settings_;
    TListenLimits limits_;
};
std::unique_ptr<TServerThread> StartServerThread(const TServerSettings& settings, qint64 maxRequestBytes = 64 << 20,
                                                 int frameTimeoutMs = 60000, int maxSessions = TListenLimits().MaxSessions);
std::unique_ptr<TServerThread> StartServerThread(const TServerSettings& settings, const TListenLimits& limits);
int ServerThreadPort(const TServerThread& thread);
int ServerThreadSessions(TServerThread& thread);
void StopServerThread(std::unique_ptr<TServerThread>& thread);

// The folder of the PostgreSQL server programs: $KELM24_PG_BINDIR, else
// `pg_config --bindir`, else the newest /usr/lib/postgresql/<version>/bin that
// holds initdb and pg_ctl; empty when none does.
QString PostgreSqlBinDir();

// A PostgreSQL cluster in a temporary folder, run as an unprivileged user
// when the test runs as root. Skip() tells why it could not start (a test
// hands it to KELM24_SKIP_OR_FAIL), empty when it runs.
class TPgCluster {
public:
    TPgCluster();
    ~TPgCluster();
    QString Skip() const { return skip_; }
    int Port() const { return port_; }
    // Creates an empty database and answers settings that name it.
    TServerSettings CreateDatabase(const QString& name);

private:
    QStringList AsOwner(const QString& program, const QStringList& args) const;
    bool Run(const QString& program, const QStringList& args, QString* output = nullptr) const;
    QTemporaryDir dir_;
    QString bin_, data_, skip_, owner_;
    int port_ = 0;
    bool started_ = false;
};

int FreePort();
QString BinDir();  // where the programs and libraries of the build are

}  // namespace kelm24::test
