#include "runtime/RuntimeLibrary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <dlfcn.h>

namespace kelm24 {

void* LoadRuntimeLibrary(const QString& LibraryName, const QStringList& Folders, QString* Path)
{
    QStringList candidates;
    if (!LibraryName.contains(QLatin1Char('/'))) {
        for (const QString& folder : Folders)
            if (!folder.isEmpty()) candidates << QDir(folder).filePath(LibraryName);
    }
    candidates << LibraryName;  // as given: the system's search
    for (const QString& candidate : candidates) {
        if (candidate != LibraryName && !QFileInfo::exists(candidate)) continue;
        if (void* handle = dlopen(QFile::encodeName(candidate).constData(), RTLD_NOW | RTLD_LOCAL)) {
            if (Path) *Path = candidate;
            return handle;
        }
    }
    return nullptr;
}

}  // namespace kelm24
