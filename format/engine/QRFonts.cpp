#include "format/engine/QRFonts.h"

#include "runtime/ModulePath.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <fontconfig/fontconfig.h>
#include <mutex>

namespace kelm24 {

namespace {

bool LoadIntoFontconfig(const QString& path)
{
    FcConfig* config = FcConfigCreate();
    if (config == nullptr) return false;
    const QByteArray file = QFile::encodeName(path);
    bool ok = FcConfigParseAndLoad(config, reinterpret_cast<const FcChar8*>(file.constData()), FcTrue) &&
              FcConfigBuildFonts(config) && FcConfigSetCurrent(config);
    FcConfigDestroy(config);  // the current configuration keeps its own reference
    return ok;
}

}  // namespace

QString ReportFontConfigPath()
{
    const QString fromEnv = qEnvironmentVariable("KELM24_FONTCONFIG");
    if (!fromEnv.isEmpty()) return QFileInfo::exists(fromEnv) ? fromEnv : QString();
    const QString dir = ModuleFolder();
    if (dir.isEmpty()) return {};
    for (const QString& candidate : {dir + QStringLiteral("/fonts/kelm24-fonts.conf"),
                                     dir + QStringLiteral("/../fonts/kelm24-fonts.conf")})
        if (QFileInfo::exists(candidate)) return QFileInfo(candidate).canonicalFilePath();
    return {};
}

bool UseReportFonts()
{
    static std::once_flag once;
    static bool inUse = false;
    std::call_once(once, [] {
        const QString path = ReportFontConfigPath();
        if (path.isEmpty()) return;
        if (qEnvironmentVariable("FONTCONFIG_FILE") == path) {
            inUse = true;  // fontconfig read it when it started
            return;
        }
        if (QGuiApplication::instance() == nullptr) {
            if (qEnvironmentVariableIsEmpty("FONTCONFIG_FILE")) qputenv("FONTCONFIG_FILE", QFile::encodeName(path));
            inUse = qEnvironmentVariable("FONTCONFIG_FILE") == path;
        } else {
            inUse = LoadIntoFontconfig(path);
        }
    });
    return inUse;
}

}  // namespace kelm24
