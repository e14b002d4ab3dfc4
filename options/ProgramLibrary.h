// Running another program's server library for the option form: the file is
// found in the server settings' WorkDLLPath folders, brought up to date,
// loaded for the run only, and its controller gets the arguments and runs.
#pragma once

#include "kelm24/Variant.h"

#include <QStringList>
#include <functional>

namespace kelm24 {

class TProgramLibraryRunner {
public:
    // Brings the file at LocalFile up to date; false (with Error, which may
    // stay empty) when it cannot be used.
    using TUpdater = std::function<bool(const QString& LocalFile, QString& Error)>;
    using TReporter = std::function<void(const QString& Text)>;

    QString FileName;     // "lib" + program code + "S.so"
    QStringList Folders;  // searched in order
    TUpdater Update;      // unset: the file is used as it is
    TReporter Report;     // every failure, with its reason

    // Loads the library, hands Arguments to its controller, executes it and
    // unloads the library; false (reported) on any failure.
    bool Run(const Variant& Arguments);
    // The library's path, updated; empty (reported) when it is nowhere. The
    // first folder holding the file wins; without one, the package folder
    // ("S_PKG") or else the first folder is where the update may put it.
    QString Locate();

private:
    bool Usable(const QString& Path);
    void Fail(const QString& Text) const;
};

}  // namespace kelm24
