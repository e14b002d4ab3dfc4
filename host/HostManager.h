// The host object "PratelWorkCenter.Manager": messages from the message table,
// version and product, help, the next format form's style, the file list of a
// newer library, and the counter, validator and pick-window objects.
#pragma once

#include "host/Counter.h"
#include "host/PickWindow.h"
#include "host/Validator.h"

namespace kelm24 {

struct THostOptions {
    QString Language = QStringLiteral("CHS");  // CHS: Chinese message texts; ENG: English ones
    int VersionType = 1;
    int ProductId = 3;
    QString UpdateFolder;  // where newer program libraries wait to be fetched, each as "<name>.zip"
};

class THostManager : public TAutomationObject {
public:
    THostManager(std::shared_ptr<THostData> data, std::shared_ptr<TPickChooser> chooser, THostOptions options = {});

    QString Message(const QString& type, const QString& id);
    QString FormStyle() const { return formStyle_; }
    QStringList HelpCalls() const { return helpCalls_; }

private:
    QString FileList(const QString& fileName) const;
    std::shared_ptr<THostData> data_;
    THostOptions options_;
    Variant counter_, validator_, f2_;
    QString formStyle_;
    QStringList helpCalls_;
};

// A message text with its "%s"/"%d" places filled from args in order (as the
// plug-in formats them); a place without an argument stays as it is.
QString FormatMessage(const QString& text, const QStringList& args);

// The module list of the host parameters (element 4): row 0 the module names,
// row 1 their enabled flags as booleans; the named modules are disabled.
Variant HostModuleList(const QStringList& disabled);

// Registers "PratelWorkCenter.Manager" in the factory registry, creating a host
// object over the given data.
void RegisterHostFactory(std::shared_ptr<THostData> data, std::shared_ptr<TPickChooser> chooser, THostOptions options = {});

}  // namespace kelm24
