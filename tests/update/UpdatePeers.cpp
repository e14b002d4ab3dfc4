#include "tests/update/UpdatePeers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <zip.h>

THttpPeer::THttpPeer()
{
    start();
    ready_.acquire();
}

THttpPeer::~THttpPeer()
{
    stop_ = true;
    wait();
}

void THttpPeer::Serve(const QString& path, const QByteArray& body)
{
    QMutexLocker lock(&mutex_);
    files_[path] = body;
}

QString THttpPeer::Url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path);
}

QStringList THttpPeer::Requests()
{
    QMutexLocker lock(&mutex_);
    return requests_;
}

QStringList THttpPeer::UserAgents()
{
    QMutexLocker lock(&mutex_);
    return agents_;
}

void THttpPeer::run()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    port_ = server.serverPort();
    ready_.release();
    while (!stop_) {
        if (!server.waitForNewConnection(50)) continue;
        QTcpSocket* socket = server.nextPendingConnection();
        QByteArray head;
        while (!head.contains("\r\n\r\n") && socket->waitForReadyRead(2000)) head += socket->readAll();
        const QList<QByteArray> lines = head.split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        const QString path = QString::fromUtf8(first.value(1));
        QByteArray agent;
        for (const QByteArray& line : lines)
            if (line.toLower().startsWith("user-agent:")) agent = line.mid(11).trimmed();
        QByteArray body;
        bool found = false;
        {
            QMutexLocker lock(&mutex_);
            requests_ << QString::fromUtf8(first.value(0)) + QLatin1Char(' ') + path;
            agents_ << QString::fromUtf8(agent);
            found = files_.contains(path);
            body = files_.value(path);
        }
        const QByteArray status = found ? "200 OK" : "404 Not Found";
        socket->write("HTTP/1.1 " + status + "\r\nContent-Length: " + QByteArray::number(body.size()) +
                      "\r\nConnection: close\r\n\r\n" + body);
        socket->flush();
        while (socket->bytesToWrite() > 0 && socket->waitForBytesWritten(2000)) {
        }
        socket->disconnectFromHost();
        if (socket->state() != QAbstractSocket::UnconnectedState) socket->waitForDisconnected(2000);
        delete socket;
    }
}

QByteArray MakeZip(const std::vector<std::pair<QString, QByteArray>>& entries)
{
    QTemporaryDir dir;
    const QByteArray name = QFile::encodeName(dir.filePath(QStringLiteral("a.zip")));
    int error = 0;
    zip_t* zip = zip_open(name.constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip) return {};
    std::vector<QByteArray> keep;  // libzip reads the buffers when it closes
    keep.reserve(entries.size());
    for (const auto& [entry, content] : entries) {
        const QByteArray entryName = entry.toUtf8();
        if (entry.endsWith(QLatin1Char('/'))) {
            zip_dir_add(zip, entryName.constData(), ZIP_FL_ENC_UTF_8);
            continue;
        }
        keep.push_back(content);
        zip_source_t* source = zip_source_buffer(zip, keep.back().constData(), keep.back().size(), 0);
        zip_file_add(zip, entryName.constData(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
    }
    if (zip_close(zip) != 0) return {};
    return ReadFile(dir.filePath(QStringLiteral("a.zip")));
}

void WriteFile(const QString& name, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(name).absolutePath());
    QFile file(name);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
}

QByteArray ReadFile(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
