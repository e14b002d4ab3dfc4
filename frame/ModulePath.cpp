#include "frame/ModulePath.h"

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

}  // namespace kelm24
