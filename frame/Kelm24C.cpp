// The report plug-in library: unit start-up at load, the main block last,
// finalisation at unload.
#include "frame/DLLVRCtrller.h"
#include "frame/Units.h"
#include "options/Kelm24OptF.h"

namespace {

__attribute__((constructor)) void LibraryLoad()
{
    using namespace kelm24;
    InitializeUnits({&DLLVRCtrllerUnit});
    // Main block: the receipt option form is the form class.
    frmVRBaseOptClass = &TfrmKelm24::CreateForm;
}

__attribute__((destructor)) void LibraryUnload()
{
    kelm24::FinalizeUnits();
}

}  // namespace
