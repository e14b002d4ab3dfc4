// kelm24-appserver: serves the application-server object over TCP.
#include "appserver/DataLayer.h"
#include "appserver/PasswordFile.h"
#include "appserver/SocketServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>
#include <algorithm>
#include <csignal>
#include <memory>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

using namespace kelm24;

int main(int argc, char** argv)
{
    // The stop stopFd are blocked in every thread (threads inherit the mask
    // of the one that starts them) and read from a descriptor by the event
    // loop: no handler runs inside a session thread's system call, and the
    // server stops between events, never in the middle of one.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kelm24-appserver"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Serves the application server of the report plug-in over TCP. The database and the address come from "
        "CorvaneS.ini (by default the one under the registry's ServerPath)."));
    parser.addHelpOption();
    QCommandLineOption config(QStringLiteral("config"), QStringLiteral("Server settings file CorvaneS.ini."), QStringLiteral("file"));
    QCommandLineOption listen(QStringLiteral("listen"), QStringLiteral("Address to listen on (default: the settings' ComputerName, else 127.0.0.1)."), QStringLiteral("address"));
    QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Port to listen on; 0 picks a free one (default: the settings' ServerPort)."), QStringLiteral("port"));
    QCommandLineOption maxRequest(QStringLiteral("max-request-bytes"), QStringLiteral("Largest request accepted."), QStringLiteral("bytes"));
    QCommandLineOption maxClients(QStringLiteral("max-clients"), QStringLiteral("Clients served at once (default 512)."), QStringLiteral("count"));
    QCommandLineOption maxPerPeer(QStringLiteral("max-clients-per-peer"), QStringLiteral("Clients served at once from one address (default 64)."), QStringLiteral("count"));
    QCommandLineOption idleTimeout(QStringLiteral("idle-timeout"), QStringLiteral("Seconds a signed-in client may stay quiet (default 1800)."), QStringLiteral("seconds"));
    QCommandLineOption frameTimeout(QStringLiteral("frame-timeout"), QStringLiteral("Seconds a request may take to arrive, and a new client to sign in (default 60)."), QStringLiteral("seconds"));
    QCommandLineOption statementTimeout(QStringLiteral("statement-timeout"), QStringLiteral("Seconds a client statement may run (default 30)."), QStringLiteral("seconds"));
    QCommandLineOption maxAnswer(QStringLiteral("max-answer-bytes"), QStringLiteral("Largest answer sent (default 64 MiB)."), QStringLiteral("bytes"));
    QCommandLineOption tlsCert(QStringLiteral("tls-cert"),
                               QStringLiteral("Server certificate (PEM, chain allowed); with --tls-key every connection is TLS."),
                               QStringLiteral("file"));
    QCommandLineOption tlsKey(QStringLiteral("tls-key"), QStringLiteral("Private key of the certificate (PEM, owner-only)."),
                              QStringLiteral("file"));
    QCommandLineOption setPassword(QStringLiteral("set-password"), QStringLiteral("Sets the user's password (read from standard input) in the password file and ends."), QStringLiteral("user"));
    parser.addOptions({config, listen, port, maxRequest, maxClients, maxPerPeer, idleTimeout, frameTimeout, statementTimeout,
                       maxAnswer, tlsCert, tlsKey, setPassword});
    parser.process(app);

    QTextStream out(stdout), err(stderr);
    try {
        TServerSettings settings = parser.isSet(config) ? TServerSettings::FromIniFile(parser.value(config))
                                                        : TServerSettings::FromRegistry();
        if (parser.isSet(listen)) settings.ListenAddress = parser.value(listen);
        if (parser.isSet(port)) {
            bool ok = false;
            settings.ListenPort = parser.value(port).toInt(&ok);
            if (!ok || settings.ListenPort < 0 || settings.ListenPort > 65535) {
                err << "kelm24-appserver: invalid port " << parser.value(port) << Qt::endl;
                return 2;
            }
        }
        if (parser.isSet(tlsCert)) settings.TlsCertificateFile = parser.value(tlsCert);
        if (parser.isSet(tlsKey)) settings.TlsKeyFile = parser.value(tlsKey);
        if (parser.isSet(setPassword)) {
            // Typing the password, Ctrl-C still ends the program.
            pthread_sigmask(SIG_UNBLOCK, &stopSignals, nullptr);
            QTextStream in(stdin);
            const QString password = in.readLine();
            TPasswordFile(settings.PasswordFile).Set(parser.value(setPassword), password);
            out << "password of " << parser.value(setPassword) << " set in " << settings.PasswordFile << Qt::endl;
            return 0;
        }
        // A limit given on the command line must be a positive number.
        auto positive = [&](const QCommandLineOption& option) -> qint64 {
            bool ok = false;
            const qint64 v = parser.value(option).toLongLong(&ok);
            if (!ok || v <= 0)
                throw Exception(QStringLiteral("--%1 应是正整数: %2").arg(option.names().constFirst(), parser.value(option)));
            return v;
        };
        TListenLimits limits;
        if (parser.isSet(maxRequest)) limits.MaxRequestBytes = positive(maxRequest);
        if (parser.isSet(maxClients)) limits.MaxSessions = static_cast<int>(std::min<qint64>(positive(maxClients), 1 << 20));
        limits.MaxSessionsPerPeer = std::min(limits.MaxSessionsPerPeer, limits.MaxSessions);
        if (parser.isSet(maxPerPeer)) limits.MaxSessionsPerPeer = static_cast<int>(std::min<qint64>(positive(maxPerPeer), 1 << 20));
        if (parser.isSet(idleTimeout)) limits.IdleTimeoutMs = static_cast<int>(std::min<qint64>(positive(idleTimeout), 86400) * 1000);
        if (parser.isSet(frameTimeout)) limits.FrameTimeoutMs = static_cast<int>(std::min<qint64>(positive(frameTimeout), 3600) * 1000);
        if (parser.isSet(statementTimeout))
            settings.StatementTimeoutMs = static_cast<int>(std::min<qint64>(positive(statementTimeout), 86400) * 1000);
        if (parser.isSet(maxAnswer)) settings.MaxAnswerBytes = positive(maxAnswer);
        { TDataLayer probe(settings); }  // a wrong database shows now, not at the first client

        auto server = std::make_unique<TSocketServer>(settings, limits);
        server->Start(settings.ListenAddress, settings.ListenPort);

        const int stopFd = signalfd(-1, &stopSignals, SFD_NONBLOCK | SFD_CLOEXEC);
        if (stopFd < 0) throw Exception(QStringLiteral("signalfd failed"));
        QSocketNotifier notifier(stopFd, QSocketNotifier::Read);
        QObject::connect(&notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);

        if (server->UsesTls()) out << "kelm24-appserver: TLS with certificate " << settings.TlsCertificateFile << Qt::endl;
        out << "kelm24-appserver listening on " << server->serverAddress().toString() << ':' << server->serverPort() << Qt::endl;
        const int rc = app.exec();
        // Every session has ended, its thread too, before the program says so.
        server.reset();
        notifier.setEnabled(false);
        ::close(stopFd);
        out << "kelm24-appserver stopped" << Qt::endl;
        return rc;
    } catch (const Exception& e) {
        err << "kelm24-appserver: " << e.Message() << Qt::endl;
        return 1;
    } catch (const std::exception& e) {
        err << "kelm24-appserver: " << e.what() << Qt::endl;
        return 1;
    }
}
