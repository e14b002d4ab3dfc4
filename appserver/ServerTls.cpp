#include "appserver/ServerTls.h"

#include "kelm24/Variant.h"

#include <QDateTime>
#include <QFile>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <memory>

namespace kelm24 {

namespace {

QByteArray ReadWhole(const QString& path, const QString& what)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(QStringLiteral("无法读取%1文件 %2: %3").arg(what, path, file.errorString()));
    return file.readAll();
}

// Whether the private key belongs to the first certificate: a mismatch would
// only show as every client's failed handshake.
bool KeyMatches(const QByteArray& certificatePem, const QByteArray& keyPem)
{
    std::unique_ptr<BIO, decltype(&BIO_free)> certBio(BIO_new_mem_buf(certificatePem.constData(), static_cast<int>(certificatePem.size())), &BIO_free);
    std::unique_ptr<BIO, decltype(&BIO_free)> keyBio(BIO_new_mem_buf(keyPem.constData(), static_cast<int>(keyPem.size())), &BIO_free);
    if (!certBio || !keyBio) return false;
    std::unique_ptr<X509, decltype(&X509_free)> cert(PEM_read_bio_X509(certBio.get(), nullptr, nullptr, nullptr), &X509_free);
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(PEM_read_bio_PrivateKey(keyBio.get(), nullptr, nullptr, nullptr),
                                                           &EVP_PKEY_free);
    return cert && key && X509_check_private_key(cert.get(), key.get()) == 1;
}

}  // namespace

QSslConfiguration TServerTls::Load(const QString& certificateFile, const QString& keyFile)
{
    if (certificateFile.isEmpty() || keyFile.isEmpty())
        throw Exception(QStringLiteral("TLS 需要服务器证书和私钥两个文件 (--tls-cert, --tls-key)"));
    if (!QSslSocket::supportsSsl())
        throw Exception(QStringLiteral("Qt 的 TLS 后端不可用 (需要 OpenSSL 3): %1").arg(QSslSocket::sslLibraryBuildVersionString()));
    const QByteArray certificatePem = ReadWhole(certificateFile, QStringLiteral("证书"));
    const QList<QSslCertificate> chain = QSslCertificate::fromData(certificatePem, QSsl::Pem);
    if (chain.isEmpty()) throw Exception(QStringLiteral("证书文件 %1 不含 PEM 格式的证书").arg(certificateFile));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (chain.first().effectiveDate() > now || chain.first().expiryDate() < now)
        throw Exception(QStringLiteral("证书文件 %1 的证书现在无效 (有效期 %2 至 %3)")
                            .arg(certificateFile, chain.first().effectiveDate().toString(Qt::ISODate),
                                 chain.first().expiryDate().toString(Qt::ISODate)));

    // Like the server's own password file, the key is its owner's alone.
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteGroup |
                                            QFileDevice::WriteOther;
    if (QFile::exists(keyFile) && (QFile::permissions(keyFile) & others))
        throw Exception(QStringLiteral("私钥文件 %1 其他用户也能读写, 请用 chmod 600 只留给服务器的用户").arg(keyFile));
    const QByteArray keyPem = ReadWhole(keyFile, QStringLiteral("私钥"));
    QSslKey key;
    for (QSsl::KeyAlgorithm algorithm : {QSsl::Rsa, QSsl::Ec, QSsl::Dsa}) {
        key = QSslKey(keyPem, algorithm, QSsl::Pem, QSsl::PrivateKey);
        if (!key.isNull()) break;
    }
    if (key.isNull())
        throw Exception(QStringLiteral("私钥文件 %1 不含未加密的 PEM 私钥 (RSA 或 EC)").arg(keyFile));
    if (!KeyMatches(certificatePem, keyPem))
        throw Exception(QStringLiteral("私钥文件 %1 与证书文件 %2 的证书不相配").arg(keyFile, certificateFile));

    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificateChain(chain);
    configuration.setPrivateKey(key);
    configuration.setProtocol(QSsl::TlsV1_2OrLater);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    return configuration;
}

}  // namespace kelm24
