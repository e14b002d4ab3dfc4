#include "format/engine/QRFonts.h"

#include "runtime/ModulePath.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <fontconfig/fontconfig.h>
#include <mutex>

namespace kelm24 {

namespace {

// Qt read its list of font files when the application started; faces that
// the project's file adds from folders of its own (Wine's Tahoma) are given
// to Qt's font database directly.
void AddFacesQtLacks(FcConfig* config)
{
    FcPattern* all = FcPatternCreate();
    FcObjectSet* wanted = FcObjectSetBuild(FC_FAMILY, FC_FILE, nullptr);
    FcFontSet* fonts = FcFontList(config, all, wanted);
    const QStringList known = QFontDatabase::families();
    for (int i = 0; fonts && i < fonts->nfont; ++i) {
        FcChar8* family = nullptr;
        FcChar8* file = nullptr;
        if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &family) != FcResultMatch ||
            FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) != FcResultMatch)
            continue;
        if (!known.contains(QString::fromUtf8(reinterpret_cast<const char*>(family)), Qt::CaseInsensitive))
            QFontDatabase::addApplicationFont(QFile::decodeName(reinterpret_cast<const char*>(file)));
    }
    if (fonts) FcFontSetDestroy(fonts);
    FcObjectSetDestroy(wanted);
    FcPatternDestroy(all);
}

bool LoadIntoFontconfig(const QString& path)
{
    FcConfig* config = FcConfigCreate();
    if (config == nullptr) return false;
    const QByteArray file = QFile::encodeName(path);
    bool ok = FcConfigParseAndLoad(config, reinterpret_cast<const FcChar8*>(file.constData()), FcTrue) &&
              FcConfigBuildFonts(config);
    if (ok) AddFacesQtLacks(config);
    ok = ok && FcConfigSetCurrent(config);
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
