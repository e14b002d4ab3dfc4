// The controller class variable and the export that creates controllers.
#pragma once

#include "kelm24/DLLBaseCtrller.h"

namespace kelm24 {

// Creates a new controller of the registered class with every field empty.
using TDLLControllerClass = TDLLBaseController* (*)();

extern TDLLControllerClass DLLControllerClass;

QString NotAssignMessage(const char* variableName);

}  // namespace kelm24
