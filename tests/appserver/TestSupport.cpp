#include "tests/appserver/TestSupport.h"

#include "appserver/DataLayer.h"
#include "appserver/PasswordFile.h"
#include "appserver/SocketServer.h"
#include "demo/SampleCompany.h"
#include "runtime/CorvaneIni.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QMutex>
#include <QProcess>
#include <QSemaphore>
#include <QTcpServer>
#include <QThread>
#include <algorithm>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace kelm24::test {

QString BinDir()
{
    QString dir = qEnvironmentVariable("KELM24_BIN_DIR");
    return dir.isEmpty() ? QCoreApplication::applicationDirPath() : dir;
}

int FreePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

QString WriteServerIni(const QString& dir, const TServerSettings& s)
{
    QString path = QDir(dir).filePath(QStringLiteral("CorvaneS.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) throw Exception(QStringLiteral("cannot write ") + path);
    QString text = QStringLiteral("[DBE Setting]\n");
    if (s.Engine == TSqlEngine::SQLite) {
        text += QStringLiteral("MainDBType=SQLITE\nMainDBName=%1\n").arg(QFileInfo(s.DatabaseFile).fileName());
    } else {
        text += QStringLiteral("MainDBType=POSTGRESQL\nMainDBName=%1\nMainServerName=%2\nMainServerPort=%3\nMainUserName=%4\nXXXXXX=%5\n")
                    .arg(s.DatabaseName, s.Host).arg(s.Port).arg(s.UserName, ScramblePassword(s.Password));
    }
    text += QStringLiteral("[DBPasswordCtrl]\nComputerName=127.0.0.1\nServerPort=%1\n").arg(s.ListenPort);
    file.write(text.toUtf8());
    WriteSignIn(dir);
    return path;
}

QString TestPassword(const QString& user) { return user + QStringLiteral("-pass:word"); }

void WriteSignIn(const QString& dir)
{
    // The cheapest cost the file accepts keeps the many sign-ins of the tests quick.
    TPasswordFile users(QDir(dir).filePath(QStringLiteral("CorvaneS.users")));
    const QStringList names = {TSampleCompany::LeaderUser, TSampleCompany::ClerkUser, TSampleCompany::AdminUser};
    QString lines;
    for (const QString& user : names) {
        users.Set(user, TestPassword(user), 10);
        lines += QStringLiteral("*:*:%1:%2\n").arg(user, QString(TestPassword(user)).replace(QLatin1Char(':'), QStringLiteral("\\:")));
    }
    const QString pass = QDir(dir).filePath(QStringLiteral("client.pass"));
    QFile file(pass);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) throw Exception(QStringLiteral("cannot write ") + pass);
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    file.write(lines.toUtf8());
    qputenv("KELM24_APPSERVER_PASSFILE", pass.toUtf8());
}

namespace {
// Generated databases by shape, kept for the life of the test program.
QString SampleDatabase(int receipts, int lines)
{
    static QMutex lock;
    static QHash<QString, QString> made;
    static QTemporaryDir store;
    QMutexLocker guard(&lock);
    const QString key = QStringLiteral("%1x%2").arg(receipts).arg(lines);
    if (!made.contains(key)) {
        QString path = QDir(store.path()).filePath(key + QStringLiteral(".sqlite"));
        TSampleOptions options;
        options.Receipts = receipts;
        options.LinesPerReceipt = lines;
        TSampleCompany(options).WriteSqliteFile(path);
        made.insert(key, path);
    }
    return made.value(key);
}
}  // namespace

TSampleInstall::TSampleInstall(int receipts, int lines)
{
    const QString db = QDir(dir_.path()).filePath(QStringLiteral("company.sqlite"));
    QFile::copy(SampleDatabase(receipts, lines), db);
    TServerSettings s;
    s.DatabaseFile = db;
    s.ListenPort = 0;
    WriteServerIni(dir_.path(), s);
}

QString TSampleInstall::IniFile() const { return QDir(dir_.path()).filePath(QStringLiteral("CorvaneS.ini")); }

TServerProcess::TServerProcess(const QString& iniFile, const QStringList& extraArgs)
{
    process_.setProgram(QDir(BinDir()).filePath(QStringLiteral("kelm24-appserver")));
    process_.setArguments(QStringList{QStringLiteral("--config"), iniFile, QStringLiteral("--listen"),
                                      QStringLiteral("127.0.0.1"), QStringLiteral("--port"), QStringLiteral("0")} + extraArgs);
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.start();
    if (!process_.waitForStarted(10000)) throw Exception(QStringLiteral("kelm24-appserver did not start"));
    QByteArray seen;
    while (port_ == 0) {
        if (!process_.waitForReadyRead(20000))
            throw Exception(QStringLiteral("kelm24-appserver did not report its port: ") + QString::fromUtf8(process_.readAllStandardError()));
        seen += process_.readAllStandardOutput();
        int at = static_cast<int>(seen.indexOf("listening on "));
        int end = static_cast<int>(seen.indexOf('\n', at));
        if (at >= 0 && end > at) port_ = seen.mid(seen.lastIndexOf(':', end) + 1, end - seen.lastIndexOf(':', end) - 1).trimmed().toInt();
    }
}

TServerProcess::~TServerProcess() { Stop(); }

void TServerProcess::Stop()
{
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(15000)) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

TServerThread::TServerThread(TServerSettings settings, TListenLimits limits)
    : settings_(std::move(settings)), limits_(limits)
{
}

void TServerThread::run()
{
    TSocketServer s(settings_, limits_);
    try {
        s.Start(QStringLiteral("127.0.0.1"), 0);
        port = s.serverPort();
        server = &s;
    } catch (const Exception& e) {
        error = e.Message();
    }
    ready.release();
    if (error.isEmpty()) exec();
    server = nullptr;
}

std::unique_ptr<TServerThread> StartServerThread(const TServerSettings& settings, qint64 maxRequestBytes, int frameTimeoutMs,
                                                 int maxSessions)
{
    TListenLimits limits;
    limits.MaxSessions = maxSessions;
    limits.MaxRequestBytes = maxRequestBytes;
    limits.FrameTimeoutMs = frameTimeoutMs;
    return StartServerThread(settings, limits);
}

std::unique_ptr<TServerThread> StartServerThread(const TServerSettings& settings, const TListenLimits& limits)
{
    auto t = std::make_unique<TServerThread>(settings, limits);
    t->start();
    t->ready.acquire();
    if (!t->error.isEmpty()) throw Exception(t->error);
    return t;
}

int ServerThreadPort(const TServerThread& thread) { return thread.port; }

int ServerThreadSessions(TServerThread& thread) { return thread.server ? thread.server->SessionCount() : 0; }

void StopServerThread(std::unique_ptr<TServerThread>& thread)
{
    if (!thread) return;
    thread->quit();
    thread->wait();
    thread.reset();
}

QString PostgreSqlBinDir()
{
    const auto hasServer = [](const QString& dir) {
        return !dir.isEmpty() && QFile::exists(dir + QStringLiteral("/initdb")) && QFile::exists(dir + QStringLiteral("/pg_ctl"));
    };
    const QString fromEnv = qEnvironmentVariable("KELM24_PG_BINDIR");
    if (!fromEnv.isEmpty()) return hasServer(fromEnv) ? fromEnv : QString();
    QProcess config;
    config.start(QStringLiteral("pg_config"), {QStringLiteral("--bindir")});
    if (config.waitForFinished(30000) && config.exitStatus() == QProcess::NormalExit && config.exitCode() == 0) {
        const QString dir = QString::fromLocal8Bit(config.readAllStandardOutput()).trimmed();
        if (hasServer(dir)) return dir;
    }
    // Debian keeps each server version's programs apart; the newest wins.
    QDir versions(QStringLiteral("/usr/lib/postgresql"));
    QStringList names = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) { return a.toDouble() > b.toDouble(); });
    for (const QString& version : names) {
        const QString dir = versions.filePath(version + QStringLiteral("/bin"));
        if (hasServer(dir)) return dir;
    }
    return QString();
}

TPgCluster::TPgCluster()
{
    bin_ = PostgreSqlBinDir();
    if (bin_.isEmpty()) {
        skip_ = QStringLiteral("the PostgreSQL server programs (initdb, pg_ctl) were not found through KELM24_PG_BINDIR, "
                               "pg_config --bindir or /usr/lib/postgresql/*/bin");
        return;
    }
    // The server refuses to run as root: a root test runs it as "nobody".
    if (geteuid() == 0) {
        owner_ = QStringLiteral("nobody");
        passwd* pw = getpwnam("nobody");
        if (!pw) {
            skip_ = QStringLiteral("running as root and there is no user \"nobody\" to run PostgreSQL as");
            return;
        }
        QFile::setPermissions(dir_.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                               QFileDevice::ReadOther | QFileDevice::ExeOther | QFileDevice::ReadGroup |
                                               QFileDevice::ExeGroup);
        data_ = QDir(dir_.path()).filePath(QStringLiteral("pg"));
        QDir().mkpath(data_);
        if (chown(QFile::encodeName(data_).constData(), pw->pw_uid, pw->pw_gid) != 0) {
            skip_ = QStringLiteral("cannot hand the cluster folder to \"nobody\"");
            return;
        }
    } else {
        data_ = QDir(dir_.path()).filePath(QStringLiteral("pg"));
    }
    QString output;
    if (!Run(bin_ + QStringLiteral("/initdb"), {QStringLiteral("-D"), data_, QStringLiteral("-U"), QStringLiteral("kelm24"),
                                                QStringLiteral("--auth=trust"), QStringLiteral("-E"), QStringLiteral("UTF8"),
                                                QStringLiteral("--locale=C")}, &output)) {
        skip_ = QStringLiteral("initdb failed: ") + output;
        return;
    }
    port_ = FreePort();
    const QString options = QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off").arg(port_).arg(data_);
    if (!Run(bin_ + QStringLiteral("/pg_ctl"), {QStringLiteral("-D"), data_, QStringLiteral("-o"), options, QStringLiteral("-l"),
                                                data_ + QStringLiteral("/server.log"), QStringLiteral("-w"), QStringLiteral("start")},
             &output)) {
        skip_ = QStringLiteral("PostgreSQL did not start: ") + output;
        return;
    }
    started_ = true;
}

TPgCluster::~TPgCluster()
{
    if (started_)
        Run(bin_ + QStringLiteral("/pg_ctl"), {QStringLiteral("-D"), data_, QStringLiteral("-m"), QStringLiteral("fast"),
                                               QStringLiteral("-w"), QStringLiteral("stop")});
}

QStringList TPgCluster::AsOwner(const QString& program, const QStringList& args) const
{
    if (owner_.isEmpty()) return QStringList{program} + args;
    return QStringList{QStringLiteral("runuser"), QStringLiteral("-u"), owner_, QStringLiteral("--"), program} + args;
}

bool TPgCluster::Run(const QString& program, const QStringList& args, QString* output) const
{
    QStringList command = AsOwner(program, args);
    QProcess p;
    p.setWorkingDirectory(QDir::tempPath());
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(command.takeFirst(), command);
    bool ok = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (output) *output = QString::fromLocal8Bit(p.readAll());
    return ok;
}

TServerSettings TPgCluster::CreateDatabase(const QString& name)
{
    TServerSettings s;
    s.Engine = TSqlEngine::PostgreSQL;
    s.Host = QStringLiteral("127.0.0.1");
    s.Port = port_;
    s.UserName = QStringLiteral("kelm24");
    s.DatabaseName = QStringLiteral("postgres");
    {
        TDataLayer admin(s);
        admin.Exec(QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' TEMPLATE template0").arg(name));
    }
    s.DatabaseName = name;
    return s;
}

}  // namespace kelm24::test
