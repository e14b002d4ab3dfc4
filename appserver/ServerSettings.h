// Where the application server keeps its data and where it listens, read from
// the server settings file CorvaneS.ini:
//   [DBE Setting]   MainDBType      SQLITE (default) or POSTGRESQL
//                   MainDBName      SQLite: the database file (relative to the
//                                   settings file's folder); PostgreSQL: the database
//                   MainServerName  PostgreSQL host (default 127.0.0.1)
//                   MainServerPort  PostgreSQL port (default 5432)
//                   MainUserName    PostgreSQL login; XXXXXX its scrambled password
//   [DBPasswordCtrl] ComputerName   address the server listens on (default 127.0.0.1)
//                   ServerPort      port it listens on (default 211)
//                   UserFile        the users' password hashes clients sign in
//                                   against (default CorvaneS.users beside the file)
//                   TlsCertificate  the server's certificate (PEM, chain allowed) and
//                   TlsKey          its private key (PEM): when both are given every
//                                   connection is TLS; an address other than the
//                                   machine's own needs them
#pragma once

#include "appserver/Schema.h"
#include "appserver/StopSignal.h"

#include <QString>

namespace kelm24 {

struct TServerSettings {
    TSqlEngine Engine = TSqlEngine::SQLite;
    QString DatabaseFile;  // SQLite
    QString Host = QStringLiteral("127.0.0.1");
    int Port = 5432;
    QString DatabaseName, UserName, Password;  // PostgreSQL
    QString ListenAddress = QStringLiteral("127.0.0.1");
    int ListenPort = 211;
    QString PasswordFile;  // appserver/PasswordFile.h
    QString TlsCertificateFile, TlsKeyFile;  // both empty: plain TCP, loopback only
    // Bounds on what one client statement may cost: its running time and the
    // size of the answer it builds.
    int StatementTimeoutMs = 30 * 1000;
    qint64 MaxAnswerBytes = 64 * 1024 * 1024;
    // When set, a client statement still running ends once a stop is
    // requested (the server is stopping).
    TStopSignal* Stop = nullptr;

    // Raises when the file does not exist or names no database.
    static TServerSettings FromIniFile(const QString& path);
    // The settings file of the installation: the registry file's
    // "Software\QVS\Corvane" ServerPath + "CorvaneS.ini".
    static TServerSettings FromRegistry();
};

}  // namespace kelm24
