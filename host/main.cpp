// kelm24-host: the reference ERP host. Loads a report plug-in by name, gives
// it the host object (messages, counter, validator, pick windows) over the
// installation's database, and drives its controller: the option dialog, or
// print, preview and export runs without it.
#include "kelm24/HostObjects.h"
#include "host/HostManager.h"
#include "kelm24/DLLBaseCtrller.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QWidget>
#include <QTextStream>
#include <dlfcn.h>

using namespace kelm24;

namespace {

// Exit codes: 0 done, 1 failed, 2 bad arguments, 3 the plug-in lacks what the verb needs.
enum { kDone = 0, kFailed = 1, kBadArguments = 2, kNotAvailable = 3 };

QTextStream& Out()
{
    static QTextStream out(stdout);
    return out;
}

QTextStream& Err()
{
    static QTextStream err(stderr);
    return err;
}

QString OneLine(QString text) { return text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' ')); }

void PrintNotify(void*, int32_t code, TDLLBaseController*) { Out() << "notify " << code << Qt::endl; }

int BadArguments(const QString& text)
{
    Err() << "kelm24-host: " << text << Qt::endl << "Try 'kelm24-host --help'." << Qt::endl;
    return kBadArguments;
}

// A failure that comes from a part of the plug-in not yet there.
bool MissingPart(const QString& text) { return text.contains(QLatin1String("Not Assign")); }

}  // namespace

int main(int argc, char** argv)
{
    // Without a display the host runs headless: pick windows answer from a script.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kelm24-host"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "The reference ERP host of the report plug-in.\n\nVerbs:\n"
        "  (none)   load the plug-in, start its option form and report the controller's answers\n"
        "  dialog   show the option dialog; without a screen it needs --grab: the dialog is shown,\n"
        "           pictured into the file and closed\n"
        "  print    print with the conditions on the form (or --type/--number: the host's conditions)\n"
        "  preview  the same as a preview\n"
        "  export   export the pages of --type/--number to picture or PDF files (--format, --out, --dpi)\n\n"
        "The installation is found through the registry file ($KELM24_REGISTRY, else /etc/kelm24/registry.ini).\n"
        "Exit codes: 0 done, 1 failed, 2 bad arguments, 3 the plug-in lacks what the verb needs."));
    parser.addHelpOption();
    const QCommandLineOption plugin(QStringLiteral("plugin"), QStringLiteral("Plug-in library to load."), QStringLiteral("file"),
                                    QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("libKelm24C.so")));
    const QCommandLineOption user(QStringLiteral("user"), QStringLiteral("User code (default Leader)."), QStringLiteral("code"), QStringLiteral("Leader"));
    const QCommandLineOption company(QStringLiteral("company"), QStringLiteral("Company code (default DEMO)."), QStringLiteral("code"), QStringLiteral("DEMO"));
    const QCommandLineOption database(QStringLiteral("database"), QStringLiteral("Database name (default DEMO)."), QStringLiteral("name"), QStringLiteral("DEMO"));
    const QCommandLineOption lang(QStringLiteral("lang"), QStringLiteral("Message language: CHS or ENG."), QStringLiteral("lang"), QStringLiteral("CHS"));
    const QCommandLineOption type(QStringLiteral("type"), QStringLiteral("Receipt document type of a host run."), QStringLiteral("type"));
    const QCommandLineOption number(QStringLiteral("number"), QStringLiteral("Receipt number of a host run (empty: all of the type)."), QStringLiteral("number"));
    const QCommandLineOption format(QStringLiteral("format"), QStringLiteral("Export file type: bmp, jpg, gif or pdf."), QStringLiteral("type"), QStringLiteral("pdf"));
    const QCommandLineOption outPrefix(QStringLiteral("out"), QStringLiteral("Export path and file name prefix."), QStringLiteral("prefix"));
    const QCommandLineOption dpi(QStringLiteral("dpi"), QStringLiteral("Export resolution (default 96)."), QStringLiteral("dpi"), QStringLiteral("96"));
    const QCommandLineOption noFax(QStringLiteral("no-fep"), QStringLiteral("Mark the Fax/Email module disabled."));
    const QCommandLineOption timeout(QStringLiteral("timeout"),
                                     QStringLiteral("Longest wait in seconds for an answer of a remote application server (default 300)."),
                                     QStringLiteral("seconds"), QStringLiteral("300"));
    const QCommandLineOption grab(QStringLiteral("grab"), QStringLiteral("dialog: save a picture of the shown dialog (PNG) and close it."),
                                  QStringLiteral("file"));
    parser.addOptions({plugin, user, company, database, lang, type, number, format, outPrefix, dpi, noFax, timeout, grab});
    parser.addPositionalArgument(QStringLiteral("verb"), QStringLiteral("dialog, print, preview or export"), QStringLiteral("[verb]"));
    if (!parser.parse(QCoreApplication::arguments())) return BadArguments(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        Out() << parser.helpText();
        return kDone;
    }
    const QStringList verbs = {QStringLiteral("dialog"), QStringLiteral("print"), QStringLiteral("preview"), QStringLiteral("export")};
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) return BadArguments(QStringLiteral("only one verb may be given"));
    const QString verb = positional.value(0);
    if (!verb.isEmpty() && !verbs.contains(verb)) return BadArguments(QStringLiteral("unknown verb \"%1\"").arg(verb));
    const QStringList fileTypes = {QStringLiteral("bmp"), QStringLiteral("jpg"), QStringLiteral("gif"), QStringLiteral("pdf")};
    const int fileType = static_cast<int>(fileTypes.indexOf(parser.value(format).toLower()));
    bool dpiOk = false;
    const int resolution = parser.value(dpi).toInt(&dpiOk);
    if (verb == QLatin1String("export")) {
        if (fileType < 0) return BadArguments(QStringLiteral("unknown export format \"%1\"").arg(parser.value(format)));
        if (!dpiOk || resolution < 1) return BadArguments(QStringLiteral("--dpi needs a positive whole number"));
        if (!parser.isSet(type) || !parser.isSet(outPrefix)) return BadArguments(QStringLiteral("export needs --type and --out"));
    }
    if (parser.isSet(number) && !parser.isSet(type)) return BadArguments(QStringLiteral("--number needs --type"));
    if (parser.isSet(grab) && verb != QLatin1String("dialog")) return BadArguments(QStringLiteral("--grab goes with the dialog verb"));
    // Nobody could close a modal dialog without a screen.
    if (verb == QLatin1String("dialog") && !parser.isSet(grab) && QGuiApplication::platformName() == QLatin1String("offscreen"))
        return BadArguments(QStringLiteral("dialog needs a screen; without one give --grab FILE"));
    bool waitOk = false;
    const int waitSeconds = parser.value(timeout).toInt(&waitOk);
    if (!waitOk || waitSeconds < 1 || waitSeconds > 86400) return BadArguments(QStringLiteral("--timeout needs whole seconds from 1 to 86400"));
    if (parser.value(lang).compare(QLatin1String("CHS"), Qt::CaseInsensitive) != 0 &&
        parser.value(lang).compare(QLatin1String("ENG"), Qt::CaseInsensitive) != 0)
        return BadArguments(QStringLiteral("--lang is CHS or ENG"));

    // The installation's database, through its application server.
    std::shared_ptr<THostData> data;
    try {
        data = THostData::Open(parser.value(user), parser.value(company), parser.value(database), waitSeconds * 1000);
    } catch (const Exception& e) {
        Err() << "kelm24-host: cannot open the installation's database: " << OneLine(e.Message()) << Qt::endl;
        return kFailed;
    }
    const bool headless = QGuiApplication::platformName() == QLatin1String("offscreen");
    std::shared_ptr<TPickChooser> chooser =
        headless ? std::shared_ptr<TPickChooser>(std::make_shared<TScriptedChooser>()) : std::make_shared<TDialogChooser>();
    THostOptions options;
    options.Language = parser.value(lang).toUpper();
    RegisterHostFactory(data, chooser, options);
    Variant host = CreateOleObject(HostProgId);

    const QByteArray path = parser.value(plugin).toLocal8Bit();
    void* handle = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        Err() << "kelm24-host: cannot load " << path << ": " << dlerror() << Qt::endl;
        return kFailed;
    }
    auto getController = reinterpret_cast<GetControllerProc>(dlsym(handle, "GetController"));
    if (!getController) {
        Err() << "kelm24-host: " << path << " has no export GetController" << Qt::endl;
        dlclose(handle);
        return kFailed;
    }
    Out() << "loaded " << path << Qt::endl;
    int rc = kDone;
    try {
        std::unique_ptr<TDLLBaseController> ctrl(getController());
        ctrl->HostObject = host;
        ctrl->OnNotify = TNotifyMethod{&PrintNotify, nullptr};
        const Variant params = Variant::ArrayOf({parser.value(user), parser.value(company), parser.value(database), 0,
                                                 HostModuleList(parser.isSet(noFax) ? QStringList{QStringLiteral("FEP")} : QStringList{})});
        int32_t init = -1;
        try {
            init = ctrl->InitForm(params);
            Out() << "InitForm " << init << Qt::endl;
        } catch (const Exception& e) {
            const QString text = OneLine(e.Message());
            Err() << "kelm24-host: InitForm failed: " << text << Qt::endl;
            if (MissingPart(text)) Err() << "kelm24-host: this plug-in has no option form yet; no verb can run" << Qt::endl;
            rc = MissingPart(text) ? kNotAvailable : kFailed;
        }
        if (rc == kDone) {
            Variant info;
            if (ctrl->GetFormInfo(info) == 0)
                Out() << "form " << info[0].ToString() << ' ' << info[1].ToString() << ' ' << info[2].ToString() << ' '
                      << info[3].ToString() << Qt::endl;
            Out() << "version " << ctrl->GetVersionText() << Qt::endl;
            if (init != 0) {
                Err() << "kelm24-host: the option form did not start (InitForm answered " << init << ")" << Qt::endl;
                rc = kFailed;
            }
        }
        if (rc == kDone && !verb.isEmpty()) {
            const Variant conditions = Variant::ArrayOf({parser.value(type), parser.value(number)});
            int32_t answer = 0;
            if (verb == QLatin1String("dialog") && parser.isSet(grab)) {
                // Shown without a modal loop, pictured, then closed as Cancel would.
                ctrl->SetVisible(true);
                QApplication::processEvents();
                QWidget* window = QWidget::find(WId(ctrl->GetHandle()));
                const bool saved = window && window->grab().save(parser.value(grab), "PNG");
                ctrl->SetVisible(false);
                ctrl->FreeForm();
                if (!saved) {
                    Err() << "kelm24-host: cannot save a picture of the dialog to " << parser.value(grab) << Qt::endl;
                    rc = kFailed;
                } else {
                    Out() << "dialog pictured in " << parser.value(grab) << Qt::endl;
                }
            } else if (verb == QLatin1String("dialog")) {
                answer = ctrl->ShowModalForm().ToInt();
                Out() << "dialog closed with " << answer << Qt::endl;
            } else if (verb == QLatin1String("export")) {
                answer = ctrl->RunCommand(11, Variant::ArrayOf({conditions, fileType, parser.value(outPrefix), resolution}));
            } else {
                const bool preview = verb == QLatin1String("preview");
                answer = parser.isSet(type) ? ctrl->RunCommand(6, Variant::ArrayOf({preview, conditions}))
                                            : ctrl->RunCommand(5, Variant::ArrayOf({preview}));
            }
            if (verb != QLatin1String("dialog")) {
                Out() << verb << ' ' << answer << Qt::endl;
                if (answer != 0) {
                    Err() << "kelm24-host: " << verb << " failed (the controller answered " << answer << ")" << Qt::endl;
                    rc = kFailed;
                }
            }
        }
        Out() << "ResultCode " << ctrl->ResultCode << Qt::endl;
    } catch (const Exception& e) {
        Err() << "kelm24-host: " << OneLine(e.Message()) << Qt::endl;
        rc = MissingPart(e.Message()) ? kNotAvailable : kFailed;
    } catch (const std::exception& e) {
        Err() << "kelm24-host: " << e.what() << Qt::endl;
        rc = kFailed;
    }
    UnregisterOleFactory(HostProgId);
    host = Variant();
    dlclose(handle);
    return rc;
}
