// What the update tests stand on: an HTTP server on 127.0.0.1 that runs in
// its own thread (the downloader blocks the caller's), and zip archives.
#pragma once

#include <QByteArray>
#include <QMap>
#include <QMutex>
#include <QSemaphore>
#include <QString>
#include <QStringList>
#include <QThread>
#include <atomic>
#include <utility>
#include <vector>

// Answers GET requests with the files it was given, 404 for the rest.
class THttpPeer : public QThread {
public:
    THttpPeer();
    ~THttpPeer() override;
    void Serve(const QString& path, const QByteArray& body);
    quint16 Port() const { return port_; }
    QString Url(const QString& path) const;
    QStringList Requests();    // "GET /path" in order
    QStringList UserAgents();  // the User-Agent of each request

protected:
    void run() override;

private:
    QMutex mutex_;
    QMap<QString, QByteArray> files_;
    QStringList requests_, agents_;
    QSemaphore ready_;
    std::atomic<bool> stop_{false};
    quint16 port_ = 0;
};

// A zip archive of the given entries (name, content); a name ending in "/"
// is a folder.
QByteArray MakeZip(const std::vector<std::pair<QString, QByteArray>>& entries);
void WriteFile(const QString& name, const QByteArray& bytes);
QByteArray ReadFile(const QString& name);
