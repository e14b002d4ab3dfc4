// Where the module (plug-in or program) that this code is linked into lives,
// so run-time libraries and data files are found beside it.
#pragma once

#include <QString>

namespace kelm24 {

// Full file name of the shared object (or program) this code was linked into,
// symbolic links resolved; empty when it cannot be told.
QString ModuleFileName();
// Its folder, without the closing "/"; empty when it cannot be told.
QString ModuleFolder();

}  // namespace kelm24
