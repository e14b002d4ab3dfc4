// Classes registered in the registry file rather than by a module already in
// the process, like in-process COM servers: section "Software\Classes\<ProgID>"
// names a shared library in its entry "InprocServer" (a relative path is taken
// from the registry file's folder). The library exports, with C linkage,
//   kelm24::IAutomationObject* Kelm24CreateObject(const char* progId, char* error, int errorSize)
// answering a new object (owned by the caller) or nullptr with a message in error.
#pragma once

#include "kelm24/Automation.h"

namespace kelm24 {

// The library registered for progId, or empty when none is.
QString RegisteredClassLibrary(const QString& progId);
// Loads the registered library (once per process) and creates the object;
// raises with the loader's or the library's message when that fails.
std::shared_ptr<IAutomationObject> CreateRegisteredObject(const QString& progId, const QString& library);

}  // namespace kelm24
