#include "platform/registry/Registry.h"
#include "platform/registry/SystemInfo.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kelm24;

namespace {

class RegistryFile {
public:
    explicit RegistryFile(const QByteArray& text) : saved_(qgetenv("KELM24_REGISTRY"))
    {
        const QString name = dir_.path() + "/registry.ini";
        QFile file(name);
        file.open(QIODevice::WriteOnly);
        file.write(text);
        qputenv("KELM24_REGISTRY", name.toUtf8());
    }
    ~RegistryFile() { qputenv("KELM24_REGISTRY", saved_); }

private:
    QTemporaryDir dir_;
    QByteArray saved_;
};

}  // namespace

TEST(RegistryStandIn, KeysAndValuesMatchWithoutCase)
{
    RegistryFile file("; installation\n[Software\\QVS\\Corvane]\nClientPath = \"/opt/erp/client\" \nProfileType=1\n"
                      "clientpath=/second\n[SOFTWARE\\qvs\\Corvane\\Upgrade]\nURL=http://x\n");
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly("software\\qvs\\corvane"));
    EXPECT_EQ(registry.ReadString("CLIENTPATH"), "/opt/erp/client");  // the first value wins
    EXPECT_EQ(registry.ReadString("ProfileType"), "1");
    EXPECT_FALSE(registry.ValueExists("URL"));  // a sub-key is a key of its own
    EXPECT_EQ(registry.ReadString("Missing"), "");
    EXPECT_TRUE(registry.OpenKeyReadOnly("Software/QVS/Corvane/Upgrade"));
    EXPECT_EQ(registry.ReadString("url"), "http://x");
    EXPECT_FALSE(registry.OpenKeyReadOnly("Software\\QVS"));
    EXPECT_EQ(ReadRegistryString("Software\\QVS\\Corvane", "ClientPath"), "/opt/erp/client");
}

TEST(RegistryStandIn, MissingFileOpensNoKey)
{
    const QByteArray saved = qgetenv("KELM24_REGISTRY");
    qputenv("KELM24_REGISTRY", "/nonexistent/registry.ini");
    TRegistry registry;
    EXPECT_FALSE(registry.OpenKeyReadOnly("Software\\QVS\\Corvane"));
    EXPECT_EQ(ReadRegistryString("Software\\QVS\\Corvane", "ClientPath"), "");
    qputenv("KELM24_REGISTRY", saved);
}

TEST(RegistryStandIn, AnsiCodePageFromTheLocale)
{
    RegistryFile file("[SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage]\nACP=1252\n");
    const QByteArray saved = qgetenv("LC_ALL");
    const std::pair<const char*, const char*> cases[] = {
        {"zh_CN.GBK", "936"}, {"zh_CN.gb2312", "936"}, {"zh_CN.GB18030", "936"}, {"zh_TW.Big5", "950"},
        {"zh_HK.BIG5-HKSCS", "950"}, {"en_US.UTF-8", "1252"}, {"C", "1252"}};
    for (const auto& [locale, page] : cases) {
        qputenv("LC_ALL", locale);
        EXPECT_EQ(SystemAnsiCodePage(), page) << locale;
    }
    qputenv("LC_ALL", saved);
    EXPECT_FALSE(WindowsUserName().isEmpty());
}
