#include "i18n/QvLangController.h"

#include "i18n/XmlErrors.h"

#include "runtime/AlertLog.h"
#include "runtime/CorvaneIni.h"
#include "runtime/TextUtils.h"

#include <QDir>
#include <QFileInfo>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xpath.h>

namespace kelm24 {

namespace {

// Parses a package; on failure null with the parser's first reason in error.
// With recover, a damaged package is read as far as the parser's recovery
// reaches: the document comes back with the first reason in error.
xmlDoc* LoadDocument(const QString& fileName, QString* error, bool recover = false)
{
    TXmlErrorCapture errors;
    const QByteArray file = QFile::encodeName(fileName);
    xmlDoc* document = xmlReadFile(file.constData(), nullptr, XML_PARSE_NONET);
    if (!document && error) *error = errors.First.isEmpty() ? QStringLiteral("Cannot read %1").arg(fileName) : errors.First;
    if (!document && recover) {
        document = xmlReadFile(file.constData(), nullptr, XML_PARSE_NONET | XML_PARSE_RECOVER);
        if (document && !xmlDocGetRootElement(document)) {
            xmlFreeDoc(document);
            document = nullptr;
        }
    }
    return document;
}

}  // namespace

QString LanguageFolder(int DesignType)
{
    QString base, codePage;
    if (DesignType == dtServer) {
        const TCorvaneIniS settings;
        base = settings.ServerPath;
        codePage = settings.UICodePage;
    } else {
        const TCorvaneIniC settings;
        base = settings.ClientPath;
        codePage = settings.UICodePage;
    }
    const QString code = codePage == QLatin1String("936")   ? QStringLiteral("CHS")
                         : codePage == QLatin1String("950") ? QStringLiteral("CHT")
                         : codePage == QLatin1String("437") ? QStringLiteral("ENG")
                                                            : QString();
    if (code.isEmpty() || base.isEmpty()) return QString();
    const QString folder = base + QStringLiteral("MultiLanguage/") + code + QLatin1Char('/');
    return QFileInfo(folder).isDir() ? folder : QString();
}

QString LookupMessage(int DesignType, const QString& PackageName, const QString& Key, const QString& Default)
{
    try {
        const QString folder = LanguageFolder(DesignType);
        const QString fileName = folder + PackageName + QStringLiteral(".Lng");
        if (folder.isEmpty() || Key.isEmpty() || !QFileInfo::exists(fileName)) return Default;
        xmlDoc* document = LoadDocument(fileName, nullptr);
        if (!document) return Default;
        QString text = Default;
        TXmlErrorCapture errors;  // a key that is no XPath name finds nothing
        xmlXPathContextPtr context = xmlXPathNewContext(document);
        const QByteArray path = QStringLiteral("//%1/@%2").arg(Key, QStringLiteral("Msg")).toUtf8();
        xmlXPathObjectPtr result =
            context ? xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(path.constData()), context) : nullptr;
        if (result && result->nodesetval && result->nodesetval->nodeNr > 0 &&
            result->nodesetval->nodeTab[0]->type == XML_ATTRIBUTE_NODE) {
            QString found;
            if (AttributeText(reinterpret_cast<const xmlAttr*>(result->nodesetval->nodeTab[0]), found)) text = found;
        }
        xmlXPathFreeObject(result);
        xmlXPathFreeContext(context);
        xmlFreeDoc(document);
        return text;
    } catch (...) {
        return Default;
    }
}

QString LookupMessageFmt(int DesignType, const QString& PackageName, const QString& Key, const QString& Default,
                         const QList<Variant>& Args)
{
    const QString text = LookupMessage(DesignType, PackageName, Key, Default);
    bool ok = false;
    const QString formatted = FormatText(text, Args, &ok);
    return ok ? formatted : text;
}

// ---------------------------------------------------------------- controller

TLanguageController::TLanguageController(QObject* Owner) : QObject(Owner) {}

TLanguageController::~TLanguageController()
{
    Close();
}

bool TLanguageController::Active() const
{
    return document_ && xmlDocGetRootElement(document_.get());
}

void TLanguageController::SetActive(bool Value)
{
    if (loading_) {
        pendingActive_ = Value;
        return;
    }
    if (Value == Active()) return;
    if (Value) {
        Open();
        return;
    }
    if (BeforeClose) BeforeClose(this);
    Close();
    if (AfterClose) AfterClose(this);
}

void TLanguageController::EndLoading()
{
    loading_ = false;
    if (pendingActive_) SetActive(true);
}

void TLanguageController::Open()
{
    if (BeforeOpen) BeforeOpen(this);
    Close();
    if (fileName_.isEmpty()) throw ELanguageControllerError(QStringLiteral("Cannot Find File %1!").arg(fileName_));
    QString error;
    xmlDoc* document = LoadDocument(fileName_, &error, RecoverDamaged);
    if (!document) throw ELanguageControllerError(error);
    loadError_ = error;
    document_.reset(document, xmlFreeDoc);
    reader_ = std::make_shared<TLangReader>(document, exclude_, BeforeLoadComponent, AfterLoadComponent);
    if (AfterOpen) AfterOpen(this);
}

QStringList TLanguageController::Failures() const
{
    QStringList failures;
    if (!loadError_.isEmpty()) failures << loadError_;
    if (reader_) failures << reader_->Failures();
    return failures;
}

void TLanguageController::Close()
{
    loadError_.clear();
    reader_.reset();
    document_.reset();
}

void TLanguageController::SetExcludeControls(const QStringList& List)
{
    exclude_ = List;
    if (reader_) reader_->SetExcludeControls(exclude_);
}

void TLanguageController::SetLangPackageName(const QString& Name)
{
    if (Name == packageName_) return;
    packageName_ = Name;
    // Without a language folder there is no package: nothing is read from
    // the working folder.
    const QString folder = LanguageFolder(DesignType);
    const QString fileName = folder.isEmpty() || Name.isEmpty() ? QString() : folder + Name + QStringLiteral(".Lng");
    if (fileName == fileName_) return;
    fileName_ = fileName;
    SetActive(false);
}

void TLanguageController::ApplyTo(QObject* Component)
{
    if (!reader_) throw ELanguageControllerError(QStringLiteral("No active LanguageController!"));
    const std::shared_ptr<xmlDoc> document = document_;  // kept until this apply ends
    const std::shared_ptr<TLangReader> reader = reader_;
    reader->ApplyTo(Component);
}

void ApplyLanguagePackages(TLanguageController& Controller, QObject* Component, const QStringList& PackageNames)
{
    if (!Component || LanguageFolder(Controller.DesignType).isEmpty()) return;
    Controller.RecoverDamaged = true;
    for (const QString& name : PackageNames) {
        try {
            Controller.SetActive(false);
            Controller.SetLangPackageName(name);
            if (!QFileInfo::exists(Controller.FileName())) continue;  // no package of its own
            Controller.SetActive(true);
            Controller.ApplyTo(Component);
            for (const QString& failure : Controller.Failures())
                WriteLog(QStringLiteral("Language"), Controller.FileName() + QStringLiteral(": ") + failure,
                         QStringLiteral("D"));
        } catch (const Exception& e) {
            WriteLog(QStringLiteral("Language"), Controller.FileName() + QStringLiteral(": ") + e.Message(),
                     QStringLiteral("D"));
        }
    }
    try {
        Controller.SetActive(false);
    } catch (const Exception&) {
    }
}

void ApplyWindowLanguage(QObject* Window, int DesignType)
{
    if (!Window) return;
    QString name = QString::fromLatin1(Window->metaObject()->className());
    name = name.mid(name.lastIndexOf(QLatin1Char(':')) + 1);
    TLanguageController controller;
    controller.DesignType = DesignType;
    ApplyLanguagePackages(controller, Window, {name});
}

}  // namespace kelm24
