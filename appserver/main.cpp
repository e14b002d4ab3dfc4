// kelm24-appserver: serves the application-server object over TCP.
#include "appserver/DataLayer.h"
#include "appserver/SocketServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>
#include <algorithm>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

using namespace kelm24;

namespace {

int signalPipe[2];

void OnSignal(int)
{
    char c = 1;
    [[maybe_unused]] ssize_t n = write(signalPipe[1], &c, 1);
}

}  // namespace

int main(int argc, char** argv)
{
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
    parser.addOptions({config, listen, port, maxRequest, maxClients});
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
        TListenLimits limits;
        if (parser.isSet(maxRequest)) limits.MaxRequestBytes = parser.value(maxRequest).toLongLong();
        if (parser.isSet(maxClients)) limits.MaxSessions = std::max(1, parser.value(maxClients).toInt());
        { TDataLayer probe(settings); }  // a wrong database shows now, not at the first client

        TSocketServer server(settings, limits);
        server.Start(settings.ListenAddress, settings.ListenPort);

        if (socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) throw Exception(QStringLiteral("socketpair failed"));
        QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
        QObject::connect(&notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
        std::signal(SIGTERM, OnSignal);
        std::signal(SIGINT, OnSignal);
        std::signal(SIGPIPE, SIG_IGN);

        out << "kelm24-appserver listening on " << server.serverAddress().toString() << ':' << server.serverPort()
            << Qt::endl;
        int rc = app.exec();
        out << "kelm24-appserver stopped" << Qt::endl;
        return rc;
    } catch (const Exception& e) {
        err << "kelm24-appserver: " << e.Message() << Qt::endl;
        return 1;
    }
}
