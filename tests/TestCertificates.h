// A certificate authority, a server certificate it signed for 127.0.0.1 and
// localhost (its key readable by its owner only), and a second authority
// that vouches for nothing here, made with the openssl program. Servers the
// tests start on loopback (the application server, the mail server) use them.
#pragma once

#include "kelm24/Variant.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace kelm24::test {

class TTestCertificates {
public:
    TTestCertificates()
    {
        const QStringList ec = {QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                                QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};
        for (const QString& ca : {QStringLiteral("ca"), QStringLiteral("other")})
            Run(QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + ec +
                QStringList{QStringLiteral("-keyout"), Path(ca + QStringLiteral(".key")), QStringLiteral("-out"), Path(ca + QStringLiteral(".pem")),
                            QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=Kelm24 test %1").arg(ca)});
        Run(QStringList{QStringLiteral("req"), QStringLiteral("-new")} + ec +
            QStringList{QStringLiteral("-keyout"), Key(), QStringLiteral("-out"), Path(QStringLiteral("server.csr")), QStringLiteral("-subj"),
                        QStringLiteral("/CN=127.0.0.1")});
        QFile ext(Path(QStringLiteral("server.ext")));
        if (!ext.open(QIODevice::WriteOnly)) throw Exception(QStringLiteral("cannot write ") + ext.fileName());
        ext.write("subjectAltName=IP:127.0.0.1,DNS:localhost\nextendedKeyUsage=serverAuth\n");
        ext.close();
        Run({QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"), Path(QStringLiteral("server.csr")), QStringLiteral("-CA"), Ca(),
             QStringLiteral("-CAkey"), Path(QStringLiteral("ca.key")), QStringLiteral("-CAcreateserial"), QStringLiteral("-out"), Certificate(),
             QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-extfile"), Path(QStringLiteral("server.ext"))});
        for (const QString& key : {Key(), Path(QStringLiteral("ca.key")), Path(QStringLiteral("other.key"))})
            QFile::setPermissions(key, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    QString Path(const QString& name) const { return QDir(dir_.path()).filePath(name); }
    QString Ca() const { return Path(QStringLiteral("ca.pem")); }
    QString OtherCa() const { return Path(QStringLiteral("other.pem")); }
    QString Certificate() const { return Path(QStringLiteral("server.pem")); }
    QString Key() const { return Path(QStringLiteral("server.key")); }

private:
    void Run(const QStringList& args) const
    {
        QProcess p;
        p.start(QStringLiteral("openssl"), args);
        if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            throw Exception(QStringLiteral("openssl %1 failed: %2").arg(args.join(QLatin1Char(' ')), QString::fromUtf8(p.readAllStandardError())));
    }
    QTemporaryDir dir_;
};

}  // namespace kelm24::test
