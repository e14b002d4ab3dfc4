// What the option-form tests stand on: a sample company installation with a
// registry file and client settings, the reference host object over the
// company database, and a recorder of the message boxes the forms show.
#pragma once

#include "appserver/AppServer.h"
#include "demo/SampleCompany.h"
#include "host/HostData.h"
#include "host/HostManager.h"
#include "host/PickWindow.h"
#include "options/BaseGene.h"
#include "platform/dialogs/Dialogs.h"
#include "tests/appserver/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <gtest/gtest.h>

namespace kelm24::test {

class OptionFormFixture : public ::testing::Test {
protected:
    OptionFormFixture()
    {
        WriteInstallation(QStringLiteral("[Server Information]\nComputerName=127.0.0.1\nServerPort=2110\n"
                                          "[CodePage]\nUICodePage=936\nDBCodePage=936\n"));
        hostServer = Variant(std::make_shared<TAppServer>(install.Settings()));
        TAppServerObject(hostServer).Connect(QStringLiteral("HOST"), TSampleCompany::LeaderUser,
                                             TSampleCompany::CompanyCode, QStringLiteral("DEMO"), QString());
        data = std::make_shared<THostData>(hostServer);
        data->Company = TSampleCompany::CompanyCode;
        data->ServerIniFile = install.IniFile();
        chooser = std::make_shared<TScriptedChooser>();
        MakeHost();
        TDialogService::Reset();
        TDialogService::SetMessageHandler([this](const TMessageRequest& r) {
            shown << r.Text;
            return answer;
        });
    }
    ~OptionFormFixture() override
    {
        TDialogService::Reset();
        qunsetenv("KELM24_REGISTRY");
    }

    void MakeHost()
    {
        manager = std::make_shared<THostManager>(data, chooser, options);
        host = Variant(std::shared_ptr<IAutomationObject>(manager));
    }

    // Client settings (server address) and a registry file naming the folders
    // and the in-process server library.
    void WriteInstallation(const QString& clientIni)
    {
        const QDir dir(install.Dir());
        dir.mkpath(QStringLiteral("client"));
        QFile client(dir.filePath(QStringLiteral("client/CorvaneC.ini")));
        ASSERT_TRUE(client.open(QIODevice::WriteOnly));
        client.write(clientIni.toUtf8());
        client.close();
        const QString registry = dir.filePath(QStringLiteral("registry.ini"));
        QFile reg(registry);
        ASSERT_TRUE(reg.open(QIODevice::WriteOnly));
        reg.write(QStringLiteral("[Software\\QVS\\Corvane]\nClientPath=%1/client\nServerPath=%1\n"
                                 "[Software\\Classes\\KELM24S.Class1]\nInprocServer=%2\n")
                      .arg(install.Dir(), QDir(BinDir()).filePath(QStringLiteral("libKelm24S.so")))
                      .toUtf8());
        reg.close();
        qputenv("KELM24_REGISTRY", registry.toUtf8());
    }

    // The host parameter array: user, company, database, window, module list.
    static Variant HostParams(int count = 5)
    {
        Variant modules = Variant::CreateArray(0, 1, 0, 0);
        modules.At(0, 0) = QStringLiteral("FEP");
        modules.At(1, 0) = true;
        std::vector<Variant> all{TSampleCompany::LeaderUser, TSampleCompany::CompanyCode, QStringLiteral("DEMO"),
                                 Variant(0), modules};
        all.resize(size_t(count));
        return Variant::ArrayOf(all);
    }

    template <class Form>
    Form* StartForm(int paramCount = 5, const QString& module = QStringLiteral("/opt/kelm24/libKelm24C.so"))
    {
        Form* form = TQVForm::Create<Form>();
        form->SetModulePath(module);
        form->HostObject = host;
        started = form->InitFromHost(HostParams(paramCount));
        return form;
    }

    // Runs deferred deletions and pending events.
    static void Settle()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
    }

    TSampleInstall install;
    Variant hostServer;
    std::shared_ptr<THostData> data;
    std::shared_ptr<TScriptedChooser> chooser;
    THostOptions options;
    std::shared_ptr<THostManager> manager;
    Variant host;
    QStringList shown;
    int answer = mrOk;
    bool started = false;
};

}  // namespace kelm24::test
