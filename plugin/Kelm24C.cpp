// The report plug-in library: unit start-up at load, the main block last,
// finalisation at unload.
#include "frame/DLLVRCtrller.h"
#include "frame/Units.h"
#include "frame/VRFormatForm.h"
#include "format/Kelm24FmtF.h"
#include "format/Kelm24Fmt_1F.h"
#include "options/BaseGene.h"
#include "options/Kelm24OptF.h"
#include "update/QVDownLoad.h"

namespace {

// A program library is brought up to date before the option form loads it.
// Set by a variable's initialiser, not by the load function: the hook is itself
// initialised at load, and only an initialiser defined after it in this file is
// sure to run later.
const bool LibraryUpdaterSet = [] {
    kelm24::TfrmBaseGene::LibraryUpdater = [](const QString& Answer, const QString& LocalFile, QString& Error) {
        return kelm24::UpdateFromAnswer(Answer, LocalFile, Error, true);
    };
    return true;
}();

__attribute__((constructor)) void LibraryLoad()
{
    using namespace kelm24;
    InitializeUnits({&DLLVRCtrllerUnit});
    // Main block: the receipt option form is the form class.
    frmVRBaseOptClass = &TfrmKelm24::CreateForm;
    // The receipt layouts the option form names: detail and merged lines.
    RegisterFormatClass(QStringLiteral("TfrmKelm24Fmt"), &TfrmKelm24Fmt::CreateForm);
    RegisterFormatClass(QStringLiteral("TfrmKelm24Fmt_1"), &TfrmKelm24Fmt_1::CreateForm);
}

__attribute__((destructor)) void LibraryUnload()
{
    kelm24::FinalizeUnits();
}

}  // namespace
