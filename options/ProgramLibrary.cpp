#include "options/ProgramLibrary.h"

#include "kelm24/SvrController.h"
#include "runtime/CorvaneIni.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <dlfcn.h>

namespace kelm24 {

void TProgramLibraryRunner::Fail(const QString& Text) const
{
    if (Report) Report(Text);
}

bool TProgramLibraryRunner::Usable(const QString& Path)
{
    QString error;
    if (Update && !Update(Path, error)) {
        if (!error.isEmpty()) Fail(error);
        return false;
    }
    return QFileInfo::exists(Path);
}

QString TProgramLibraryRunner::Locate()
{
    if (Folders.isEmpty()) {
        Fail(QStringLiteral("没有设置程序库目录, 无法执行 %1").arg(FileName));
        return QString();
    }
    QString packageFolder;
    for (const QString& folder : Folders) {
        if (packageFolder.isEmpty() && folder.toUpper().contains(QLatin1String("S_PKG"))) packageFolder = folder;
        const QString candidate = NativeFolder(folder) + FileName;
        if (QFileInfo::exists(candidate) && Usable(candidate)) return candidate;
    }
    const QString candidate = NativeFolder(packageFolder.isEmpty() ? Folders.first() : packageFolder) + FileName;
    if (!Usable(candidate)) {
        Fail(QStringLiteral("找不到程序库 %1").arg(candidate));
        return QString();
    }
    return candidate;
}

bool TProgramLibraryRunner::Run(const Variant& Arguments)
{
    const QString path = Locate();
    if (path.isEmpty()) return false;

    void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    QCoreApplication::processEvents();
    if (!handle) {
        Fail(QStringLiteral("Load Library %1 Error! %2").arg(path, QString::fromLocal8Bit(dlerror())));
        return false;
    }
    bool ok = false;
    auto getController = reinterpret_cast<GetSvrControllerProc>(dlsym(handle, "GetSvrController"));
    if (!getController) {
        Fail(QStringLiteral("Get Library Procedure Address Error! %1: GetSvrController").arg(path));
    } else {
        TSvrController* controller = nullptr;
        try {
            controller = getController();
            if (!controller) throw Exception(QStringLiteral("%1: GetSvrController 没有返回控制器").arg(path));
            controller->SetArguments(Arguments);
            controller->Execute();
            ok = true;
        } catch (const Exception& e) {
            Fail(e.Message());
        } catch (const std::exception& e) {
            Fail(QString::fromLocal8Bit(e.what()));
        }
        if (controller) controller->Release();
    }
    dlclose(handle);
    QCoreApplication::processEvents();
    return ok;
}

}  // namespace kelm24
