#include "frame/DLLBaseCtrller.h"

namespace kelm24 {

TDLLControllerClass DLLControllerClass = nullptr;

QString NotAssignMessage(const char* variableName)
{
    return QStringLiteral("QVS DLL Internal Error :\rNot Assign \"%1\" varible").arg(QLatin1String(variableName));
}

}  // namespace kelm24

extern "C" __attribute__((visibility("default"))) kelm24::TDLLBaseController* GetController()
{
    if (!kelm24::DLLControllerClass) throw kelm24::Exception(kelm24::NotAssignMessage("DLLControllerClass"));
    return kelm24::DLLControllerClass();
}
