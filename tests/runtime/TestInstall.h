// A client installation in a temporary folder with its own registry file,
// so tests never read or write anything outside it.
#pragma once

#include "runtime/CodePage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kelm24::test {

class TestInstall {
public:
    TestInstall() : saved_(qgetenv("KELM24_REGISTRY")), savedLang_(qgetenv("LC_ALL"))
    {
        qputenv("KELM24_REGISTRY", Path(QStringLiteral("registry.ini")).toUtf8());
        qputenv("LC_ALL", "C.UTF-8");
    }
    ~TestInstall()
    {
        qputenv("KELM24_REGISTRY", saved_);
        qputenv("LC_ALL", savedLang_);
    }
    QString Path(const QString& relative = QString()) const { return dir_.path() + QLatin1Char('/') + relative; }
    QString Client() const { return Path(QStringLiteral("client/")); }
    QString Server() const { return Path(QStringLiteral("server/")); }

    // Writes the registry key with the given value lines.
    void Registry(const QString& values, const QString& key = QStringLiteral("Software\\QVS\\Corvane")) const
    {
        Write(QStringLiteral("registry.ini"), (QStringLiteral("[") + key + QStringLiteral("]\n") + values).toUtf8());
    }
    void StandardRegistry(const QString& extra = QString()) const
    {
        Registry(QStringLiteral("ClientPath=") + Client() + QStringLiteral("\nServerPath=") + Server() + QStringLiteral("\n") + extra);
    }
    void Write(const QString& relative, const QByteArray& bytes) const
    {
        const QString file = Path(relative);
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    void WriteGb(const QString& relative, const QString& text) const { Write(relative, EncodeCodePage(text, 936)); }
    void WriteUtf8(const QString& relative, const QString& text) const { Write(relative, text.toUtf8()); }

private:
    QTemporaryDir dir_;
    QByteArray saved_, savedLang_;
};

}  // namespace kelm24::test
