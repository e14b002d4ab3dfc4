// The language controller: opens a language package (an XML file below the
// installation's MultiLanguage folder) and applies it to a form and every
// component the form owns; looks single message texts up in a package.
#pragma once

#include "i18n/CodeConverter.h"
#include "i18n/LangReader.h"
#include "kelm24/Variant.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

namespace kelm24 {

class ELanguageControllerError : public Exception {
public:
    using Exception::Exception;
};

// The language folder of the installation for the interface code page
// ("936" CHS, "950" CHT, "437" ENG), ending with "/"; empty for any other
// code page or a folder that does not exist.
QString LanguageFolder(int DesignType);
// The "Msg" attribute of the first element named Key in the package;
// Default when there is none or anything fails. Never raises.
QString LookupMessage(int DesignType, const QString& PackageName, const QString& Key, const QString& Default);
// The same, formatted with Args; the unformatted text when the arguments do not fit.
QString LookupMessageFmt(int DesignType, const QString& PackageName, const QString& Key, const QString& Default,
                         const QList<Variant>& Args);

class TLanguageController;

// Applies the packages PackageNames (in order; one that is missing is
// skipped) of the interface's language folder to Component and what it owns,
// through Controller. A damaged entry is skipped and the rest applied; every
// failure goes to the alert log "Language" with the package and the entry.
void ApplyLanguagePackages(TLanguageController& Controller, QObject* Component, const QStringList& PackageNames);
// The package named after Window's class (without namespace) applied to it:
// how the small windows that are no maker's form get their language.
void ApplyWindowLanguage(QObject* Window, int DesignType);

class TLanguageController : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(QStringList ExcludeControls READ ExcludeControls WRITE SetExcludeControls)
    Q_PROPERTY(QString LangPackageName READ LangPackageName WRITE SetLangPackageName)
    Q_PROPERTY(int DesignType MEMBER DesignType)

public:
    using TNotifyHandler = std::function<void(QObject* Sender)>;

    explicit TLanguageController(QObject* Owner = nullptr);
    ~TLanguageController() override;

    bool Active() const;
    // Opens or closes the package; raises ELanguageControllerError with
    // "Cannot Find File %s!" or the parser's reason.
    void SetActive(bool Value);
    QStringList ExcludeControls() const { return exclude_; }
    void SetExcludeControls(const QStringList& List);
    QString LangPackageName() const { return packageName_; }
    // A new package file closes the open one.
    void SetLangPackageName(const QString& Name);
    QString FileName() const { return fileName_; }

    // Applies the open package to Component and what it owns; raises
    // "No active LanguageController!" when no package is open.
    void ApplyTo(QObject* Component);
    TLangReader* Reader() const { return reader_.get(); }

    // While a form's stored settings are being applied, Active is only
    // remembered; it takes effect when loading ends.
    void BeginLoading() { loading_ = true; }
    void EndLoading();

    // A package that does not parse cleanly is read as far as the parser can
    // recover (the forms set it: one damaged entry should not leave a whole
    // form untranslated); without it such a package raises with the reason.
    bool RecoverDamaged = false;
    // What went wrong with the open package: the parser's reason for a
    // damaged one that was recovered, then every entry that stored nothing.
    QStringList Failures() const;

    int DesignType = dtClient;
    TNotifyHandler AfterClose, AfterOpen, BeforeClose, BeforeOpen;
    TLoadComponentEvent AfterLoadComponent, BeforeLoadComponent;

private:
    void Open();
    void Close();

    QString packageName_;
    QString fileName_;
    QStringList exclude_;
    QString loadError_;
    // Shared so that an apply in progress keeps its package when a load
    // handler closes or replaces it.
    std::shared_ptr<xmlDoc> document_;
    std::shared_ptr<TLangReader> reader_;
    bool loading_ = false;
    bool pendingActive_ = false;
};

// The controller placed on the forms.
class TQvLangController : public TLanguageController {
    Q_OBJECT

public:
    using TLanguageController::TLanguageController;
};

}  // namespace kelm24
