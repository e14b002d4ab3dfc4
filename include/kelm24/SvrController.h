// The controller another program's server library returns from its export
// GetSvrController. An option form that runs that program (RunProgramLibrary)
// hands it the run's argument array (operation 3), lets it run (operation 2)
// and releases it. The operations are called through the virtual table in
// this order, so the class has no virtual destructor: Release frees it.
#pragma once

#include "kelm24/Variant.h"

#include <QString>
#include <cstdint>

namespace kelm24 {

class TSvrController {
public:
    // Slot 0: the library's version text.
    virtual QString GetVersionText() = 0;
    // Slot 1: frees the controller; nothing may use it afterwards.
    virtual void Release() = 0;
    // Slot 2: runs the program with the arguments handed in.
    virtual int32_t Execute() = 0;
    // Slot 3: takes the run's argument array (12 elements, or 7 for mode "B").
    virtual int32_t SetArguments(const Variant& Args) = 0;

protected:
    ~TSvrController() = default;
};

}  // namespace kelm24

using GetSvrControllerProc = kelm24::TSvrController* (*)();
