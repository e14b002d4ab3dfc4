#include "update/QVDownLoad.h"


#include "runtime/ModulePath.h"
#include "kelm24/Variant.h"
#include "platform/QVDownLoad/QVDownLoad.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/registry/Registry.h"
#include "platform/registry/SystemInfo.h"
#include "runtime/AlertLog.h"
#include "runtime/CorvaneIni.h"
#include "runtime/RuntimeLibrary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <dlfcn.h>
#include <functional>

namespace kelm24 {

namespace {

void Log(const QString& text)
{
    WriteLogIn(UpdateLogFolder(), UpdateLogName, text, QStringLiteral("D"));
}

// The text between open and the next close after it; empty when open is absent.
QString Between(const QString& text, const QString& open, const QString& close)
{
    const qsizetype start = text.indexOf(open);
    if (start < 0) return QString();
    const qsizetype from = start + open.size();
    const qsizetype end = text.indexOf(close, from);
    return end < 0 ? text.mid(from) : text.mid(from, end - from);
}

QString Field(const QString& answer, const QString& tag)
{
    const QString open = QLatin1Char('<') + tag + QLatin1Char('>');
    if (answer.contains(open)) return Between(answer, open, QStringLiteral("</") + tag + QLatin1Char('>'));
    return Between(answer, tag + QStringLiteral(" = '"), QStringLiteral("'"));
}

// Runs one step until it succeeds; on failure, Interactive asks Abort/Retry.
// Raises the step's message when it finally fails.
void RunStep(const std::function<bool(QString&)>& step, const QString& failure, bool Interactive)
{
    for (;;) {
        QString reason;
        if (step(reason)) return;
        const QString message = failure + reason;
        if (!Interactive) throw Exception(message);
        TMessageRequest request;
        request.Text = message;
        request.DlgType = mtError;
        request.Buttons = {mbAbort, mbRetry};
        if (TDialogService::MessageBox(request) != mrRetry) throw Exception(message);
    }
}

}  // namespace

// ---------------------------------------------------------------- TQVDownLoad

TQVDownLoad::TQVDownLoad(const QString& libraryName)
{
    const QString client = GetClientPath();
    handle_ = LoadRuntimeLibrary(libraryName,
                                 {ModuleFolder(),
                                  client.isEmpty() ? QString() : QDir(client).filePath(QStringLiteral("C_QVBIN")),
                                  HostProgramFolder()},
                                 &path_);
    compareFileToDown_ = Function("CompareFileToDown");
    downLoadFileEx_ = Function("QVDownLoadFileEx");
    unZipFilesOrDir_ = Function("UnZipFilesOrDir");
    compareFileToDownEx_ = Function("CompareFileToDownEx");
    needDownLoad_ = Function("NeedDownLoad");
    unZipFilesList_ = Function("UnZipFilesList");
    unZipFilesXML_ = Function("UnZipFilesXML");
    getFileList_ = Function("GetFileList");
}

TQVDownLoad::~TQVDownLoad()
{
    if (handle_) dlclose(handle_);
}

void* TQVDownLoad::Function(const char* name) const
{
    return handle_ ? dlsym(handle_, name) : nullptr;
}

bool TQVDownLoad::CompareFileToDown(const QString& Stamp, const QString& LocalFile) const
{
    if (!compareFileToDown_) throw Exception(QStringLiteral("function QvDownLoad.CompareFileToDown not found!"));
    const auto compare = reinterpret_cast<TCompareFileToDown>(compareFileToDown_);
    return compare(Stamp.toUtf8().constData(), QFile::encodeName(LocalFile).constData()) != 0;
}

bool TQVDownLoad::QVDownLoadFileEx(const QString& RemoteZip, const QString& LocalZip, QString& Reason) const
{
    if (!downLoadFileEx_) {
        Reason = QStringLiteral("function QvDownLoad.QVDownLoadFile not found!");
        return false;
    }
    char error[QVDownLoadErrorSize] = {};
    const auto download = reinterpret_cast<TQVDownLoadFileEx>(downLoadFileEx_);
    const bool ok = download(0, 0, "", "HOLB", "60", QFile::encodeName(RemoteZip).constData(),
                             QFile::encodeName(LocalZip).constData(), error) != 0;
    error[QVDownLoadErrorSize - 1] = '\0';
    Reason = ok ? QString() : QString::fromUtf8(error);
    return ok;
}

bool TQVDownLoad::UnZipFilesOrDir(const QString& ZipName, const QString& Folder, QString& Reason) const
{
    if (!unZipFilesOrDir_) {
        Reason = QStringLiteral("function QvDownLoad.UnZipFilesOrDir not found!");
        return false;
    }
    char error[QVDownLoadErrorSize] = {};
    const auto unzip = reinterpret_cast<TUnZipFilesOrDir>(unZipFilesOrDir_);
    const bool ok =
        unzip(QFile::encodeName(ZipName).constData(), QFile::encodeName(Folder).constData(), error) != 0;
    error[QVDownLoadErrorSize - 1] = '\0';
    Reason = ok ? QString() : QString::fromUtf8(error);
    return ok;
}

// ---------------------------------------------------------------- the update run

TUpdateAnswer ParseUpdateAnswer(const QString& Answer)
{
    TUpdateAnswer answer;
    answer.Stamp = Field(Answer, QStringLiteral("Modify"));
    const QString path = Field(Answer, QStringLiteral("Path"));
    const qsizetype slash = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    answer.RemoteFolder = path.left(slash + 1);
    return answer;
}

bool UpgradeAllowed()
{
    TRegistry registry;
    if (!registry.OpenKeyReadOnly(UpgraderRegistryPath)) {
        Log(QStringLiteral("Read Upgrader Registry Error: No UPGRADER_REGISTRY_PATH"));
        return false;
    }
    return registry.ReadString(UpgraderRegistryValue).trimmed() == QLatin1String("1");
}

bool IsNetworkPath(const QString& LocalFile)
{
    return LocalFile.startsWith(QLatin1String("//")) || LocalFile.startsWith(QLatin1String("\\\\"));
}

QString UpdateLogFolder()
{
    return QDir::cleanPath(HostProgramFolder() + QStringLiteral("/Log"));
}

bool UpdateFile(const QString& Stamp, const QString& RemoteFolder, const QString& LocalFile, bool Interactive,
                QString& Error)
{
    Error.clear();
    if (!UpgradeAllowed()) return true;
    try {
        TQVDownLoad downloader;
        if (!downloader.CompareFileToDown(Stamp, LocalFile)) return true;
        if (IsNetworkPath(LocalFile)) throw Exception(QStringLiteral("Net File can't update![") + LocalFile + QLatin1Char(']'));

        // Remote folders may be written with "\" (as the host's settings do)
        // or "/" (URLs, local paths); both end up as "/". Only the file name
        // is put in lower case: folders and URL paths keep their letters.
        const QString name = QFileInfo(LocalFile).fileName();
        QString folder = RemoteFolder.trimmed().replace(QLatin1Char('\\'), QLatin1Char('/'));
        if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
        const QString remoteZip = folder + name.toLower() + QStringLiteral(".zip");
        const QString localZip = TempFolder() + QLatin1Char('/') + name + QStringLiteral(".zip");

        RunStep([&](QString& reason) { return downloader.QVDownLoadFileEx(remoteZip, localZip, reason); },
                QStringLiteral("DownLoad new file[") + LocalFile + QStringLiteral("] failed. "), Interactive);
        RunStep(
            [&](QString& reason) {
                return downloader.UnZipFilesOrDir(localZip, QFileInfo(LocalFile).absolutePath(), reason);
            },
            QStringLiteral("Unzip new file[") + LocalFile + QStringLiteral("] failed. "), Interactive);
        QFile::remove(localZip);
        return true;
    } catch (const Exception& e) {
        Error = e.Message();
    } catch (const std::exception& e) {
        Error = QString::fromLocal8Bit(e.what());
    }
    Log(Error);
    return false;
}

bool UpdateFromAnswer(const QString& Answer, const QString& LocalFile, QString& Error, bool Interactive)
{
    const TUpdateAnswer answer = ParseUpdateAnswer(Answer);
    return UpdateFile(answer.Stamp, answer.RemoteFolder, LocalFile, Interactive, Error);
}

}  // namespace kelm24
