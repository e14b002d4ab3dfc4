// A private print system for tests: a cupsd of its own (configuration, spool,
// log and state folders in a temporary folder, listening only on a local
// socket) with one cups-pdf queue. Started by the constructor, stopped by the
// destructor. Clients reach it through CUPS_SERVER, which the constructor sets.
#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <sys/stat.h>
#include <unistd.h>
#include <pwd.h>

namespace kelm24::test {

class TPrivateCups {
public:
    // queue: the printer's name; pageSize: the queue's default paper.
    explicit TPrivateCups(const QString& queue, const QString& pageSize = QStringLiteral("A4")) : queue_(queue)
    {
        // The scheduler's helpers run as "lp": the folders must be reachable.
        QFile::setPermissions(dir_.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                               QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                               QFileDevice::ExeOther);
        for (const char* sub : {"conf", "spool/tmp", "log", "cache", "run"}) QDir(dir_.path()).mkpath(QLatin1String(sub));
        chmod(QFile::encodeName(Path("spool/tmp")).constData(), 01777);
        socket_ = Path("run/cups.sock");
        Write("conf/cupsd.conf", QStringLiteral("Listen %1\nLogLevel info\nWebInterface No\nBrowsing Off\n"
                                                "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                                "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n")
                                     .arg(socket_));
        // cupsd refuses to run jobs as root: its helpers run as lp.
        Write("conf/cups-files.conf", QStringLiteral("ServerRoot %1\nRequestRoot %2\nTempDir %3\nCacheDir %4\nStateDir %5\n"
                                                     "AccessLog %6/access_log\nErrorLog %6/error_log\nPageLog %6/page_log\n"
                                                     "User lp\nGroup lp\nSystemGroup root\n")
                                          .arg(Path("conf"), Path("spool"), Path("spool/tmp"), Path("cache"), Path("run"), Path("log")));
        daemon_.setProcessChannelMode(QProcess::MergedChannels);
        daemon_.start(QStringLiteral("/usr/sbin/cupsd"), {"-f", "-c", Path("conf/cupsd.conf"), "-s", Path("conf/cups-files.conf")});
        if (!daemon_.waitForStarted(10000)) {
            error_ = QStringLiteral("cupsd did not start");
            return;
        }
        qputenv("CUPS_SERVER", socket_.toLocal8Bit());
        QElapsedTimer timer;
        timer.start();
        while (!QFile::exists(socket_) && timer.elapsed() < 15000) QThread::msleep(50);
        if (!QFile::exists(socket_)) {
            error_ = QStringLiteral("cupsd is not listening: ") + QString::fromLocal8Bit(daemon_.readAll()) + Log();
            return;
        }
        QProcess admin;
        admin.setProcessChannelMode(QProcess::MergedChannels);
        admin.start(QStringLiteral("lpadmin"), {"-p", queue_, "-E", "-v", "cups-pdf:/" + queue_, "-P",
                                                "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd", "-o", "PageSize=" + pageSize});
        if (!admin.waitForFinished(30000) || admin.exitCode() != 0)
            error_ = QStringLiteral("lpadmin failed: ") + QString::fromLocal8Bit(admin.readAll());
    }

    ~TPrivateCups()
    {
        if (daemon_.state() != QProcess::NotRunning) {
            daemon_.terminate();
            if (!daemon_.waitForFinished(10000)) daemon_.kill(), daemon_.waitForFinished(5000);
        }
        qunsetenv("CUPS_SERVER");
        for (const QString& f : produced_) QFile::remove(f);
    }

    bool Ready() const { return error_.isEmpty(); }
    QString Error() const { return error_; }
    QString Log() const
    {
        QFile f(Path("log/error_log"));
        return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll().right(4000)) : QString();
    }

    // cups-pdf writes a queue without its own settings file into
    // /var/spool/cups-pdf/<job user>/, naming the file after the job title.
    QString OutputFolder() const
    {
        const passwd* user = getpwuid(getuid());
        return QStringLiteral("/var/spool/cups-pdf/") + QString::fromLocal8Bit(user ? user->pw_name : "ANONYMOUS");
    }

    // Waits until the job titled title has been written and answers its file
    // (empty after timeoutMs).
    QString WaitForOutput(const QString& title, int timeoutMs = 90000)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs) {
            const QStringList found = QDir(OutputFolder()).entryList({title + "*.pdf"}, QDir::Files);
            if (!found.isEmpty() && QueueIsEmpty()) {
                const QString file = QDir(OutputFolder()).filePath(found.first());
                produced_ << file;
                return file;
            }
            QThread::msleep(200);
        }
        return QString();
    }

    bool QueueIsEmpty() const
    {
        QProcess status;
        status.start(QStringLiteral("lpstat"), {"-o", queue_});
        status.waitForFinished(10000);
        return status.readAllStandardOutput().trimmed().isEmpty();
    }

private:
    QString Path(const QString& sub) const { return QDir(dir_.path()).filePath(sub); }
    void Write(const QString& sub, const QString& text)
    {
        QFile f(Path(sub));
        if (f.open(QIODevice::WriteOnly)) f.write(text.toUtf8());
    }

    QTemporaryDir dir_;
    QString queue_, socket_, error_;
    QProcess daemon_;
    QStringList produced_;
};

}  // namespace kelm24::test
