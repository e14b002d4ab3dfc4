// kelm24-host: loads a report plug-in by name and drives its controller.
#include "kelm24/DLLBaseCtrller.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QTextStream>
#include <dlfcn.h>

using namespace kelm24;

namespace {

QTextStream& Out()
{
    static QTextStream out(stdout);
    return out;
}

void PrintNotify(void*, int32_t code, TDLLBaseController*)
{
    Out() << "notify " << code << Qt::endl;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kelm24-host"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Loads a report plug-in and drives its controller."));
    parser.addHelpOption();
    QCommandLineOption plugin(QStringLiteral("plugin"), QStringLiteral("Plug-in library to load."), QStringLiteral("file"),
                              QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("libKelm24C.so")));
    parser.addOption(plugin);
    parser.process(app);

    QByteArray path = parser.value(plugin).toLocal8Bit();
    void* handle = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        QTextStream(stderr) << "kelm24-host: cannot load " << path << ": " << dlerror() << Qt::endl;
        return 1;
    }
    auto getController = reinterpret_cast<GetControllerProc>(dlsym(handle, "GetController"));
    if (!getController) {
        QTextStream(stderr) << "kelm24-host: " << path << " has no GetController" << Qt::endl;
        return 1;
    }
    int rc = 0;
    try {
        std::unique_ptr<TDLLBaseController> ctrl(getController());
        ctrl->OnNotify = TNotifyMethod{&PrintNotify, nullptr};
        Out() << "loaded " << path << Qt::endl;
        Out() << "IsFormFreed " << ctrl->IsFormFreed() << Qt::endl;
        try {
            int32_t result = ctrl->InitForm(Variant::ArrayOf({"DS", "Leader", "DEMO", 0, Variant()}));
            Out() << "InitForm " << result << Qt::endl;
        } catch (const Exception& e) {
            Out() << "InitForm raised: " << QString(e.Message()).replace(QLatin1Char('\r'), QLatin1Char(' ')) << Qt::endl;
        }
        Out() << "GetVisible " << ctrl->GetVisible() << Qt::endl;
        Out() << "ShowModalForm " << ctrl->ShowModalForm().ToInt() << Qt::endl;
    } catch (const std::exception& e) {
        QTextStream(stderr) << "kelm24-host: " << e.what() << Qt::endl;
        rc = 1;
    }
    dlclose(handle);
    return rc;
}
