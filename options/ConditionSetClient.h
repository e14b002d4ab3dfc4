// The saved condition sets of one user and one program as the application
// server keeps them: names and values travel in the data code page, and an
// error text the server answers is raised as an exception.
#pragma once

#include "kelm24/Variant.h"

#include <functional>

namespace kelm24 {

class TConditionSetClient {
public:
    using TToDataCodePage = std::function<QString(const QString& Text)>;

    TConditionSetClient(Variant AppServer, QString UserCode, QString ProgramCode, TToDataCodePage ToData);

    // Chooses the sets the server's "pvdConSave" provider answers next.
    void Load() const;
    // Stores a set under Name (dated today); an existing name only with Replace.
    void Insert(const QString& Name, const QString& Specs, const QString& Values, bool Replace) const;
    void Delete(const QString& Name) const;
    // Empty when renamed, else the server's reason; raises when the call itself fails.
    QString Rename(const QString& OldName, const QString& NewName) const;

private:
    Variant Key(const QString& Name) const;
    Variant appServer_;
    QString user_, program_;
    TToDataCodePage toData_;
};

}  // namespace kelm24
