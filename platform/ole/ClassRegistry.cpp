#include "platform/ole/ClassRegistry.h"

#include "platform/registry/Registry.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <dlfcn.h>

namespace kelm24 {

namespace {
using CreateProc = IAutomationObject* (*)(const char*, char*, int);
const char* const kCreateExport = "Kelm24CreateObject";
}  // namespace

QString RegisteredClassLibrary(const QString& progId)
{
    const QString file = RegistryFileName();
    QString library = ReadRegistryString(QStringLiteral("Software\\Classes\\") + progId, QStringLiteral("InprocServer"));
    if (library.isEmpty()) return {};
    library.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QFileInfo(library).isAbsolute() ? library : QFileInfo(file).absoluteDir().filePath(library);
}

std::shared_ptr<IAutomationObject> CreateRegisteredObject(const QString& progId, const QString& library)
{
    // Libraries stay loaded: objects they made may outlive any one caller.
    static QMutex lock;
    static QHash<QString, CreateProc> loaded;
    CreateProc create = nullptr;
    {
        QMutexLocker guard(&lock);
        create = loaded.value(library);
        if (!create) {
            void* handle = dlopen(QFile::encodeName(library).constData(), RTLD_NOW | RTLD_LOCAL);
            if (!handle)
                throw Exception(QStringLiteral("Cannot load %1 for %2: %3").arg(library, progId, QString::fromLocal8Bit(dlerror())));
            create = reinterpret_cast<CreateProc>(dlsym(handle, kCreateExport));
            if (!create) throw Exception(QStringLiteral("%1 has no export %2").arg(library, QLatin1String(kCreateExport)));
            loaded.insert(library, create);
        }
    }
    char error[512] = {};
    IAutomationObject* object = create(progId.toUtf8().constData(), error, sizeof error);
    if (!object) throw Exception(QStringLiteral("Cannot create object %1: %2").arg(progId, QString::fromUtf8(error)));
    return std::shared_ptr<IAutomationObject>(object);
}

}  // namespace kelm24
