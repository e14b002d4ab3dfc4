#include "runtime/ModulePath.h"

#include <QFileInfo>
#include <dlfcn.h>

namespace kelm24 {

QString ModuleFileName()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ModuleFileName), &info) == 0 || !info.dli_fname) return QString();
    char resolved[4096];
    const char* name = realpath(info.dli_fname, resolved) ? resolved : info.dli_fname;
    return QString::fromLocal8Bit(name);
}

QString ModuleFolder()
{
    const QString file = ModuleFileName();
    return file.isEmpty() ? QString() : QFileInfo(file).absolutePath();
}

}  // namespace kelm24
