// The report plug-in library: unit start-up at load, the main block last,
// finalisation at unload.
#include "frame/DLLVRCtrller.h"
#include "frame/Units.h"

namespace {

__attribute__((constructor)) void LibraryLoad()
{
    using namespace kelm24;
    InitializeUnits({&DLLVRCtrllerUnit});
    // Main block: the receipt option form becomes the form class once it is
    // part of the library; until then InitForm reports the class as missing.
}

__attribute__((destructor)) void LibraryUnload()
{
    kelm24::FinalizeUnits();
}

}  // namespace
