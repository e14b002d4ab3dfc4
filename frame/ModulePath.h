#pragma once

#include <QString>

namespace kelm24 {

// Full file name of the shared object (or program) this code was linked into.
QString ModuleFileName();

}  // namespace kelm24
