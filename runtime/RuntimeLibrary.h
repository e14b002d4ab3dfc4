// Loading the run-time libraries of an installation by name: from each
// folder given, in order, where the file exists, then through the dynamic
// loader's own search.
#pragma once

#include <QString>
#include <QStringList>

namespace kelm24 {

// The handle of the loaded library, or null when none loads. A name with a
// "/" is loaded as it is. Path receives the file that loaded.
void* LoadRuntimeLibrary(const QString& LibraryName, const QStringList& Folders, QString* Path = nullptr);

}  // namespace kelm24
