// The update downloader: asks the download library whether a program library
// is older than the version the host names, fetches the new one as a zip
// archive and unpacks it over the old file.
#pragma once

#include <QString>

namespace kelm24 {

// The upgrade switch: registry key and value.
inline const QString UpgraderRegistryPath = QStringLiteral("Software\\HOLB\\Tamrik");
inline const QString UpgraderRegistryValue = QStringLiteral("GoAhead");
// The log of failed updates, beside the running program.
inline const QString UpdateLogName = QStringLiteral("QVDownLoadNewFileU");

// The download library, loaded for one run and unloaded when freed. A missing
// library or function is no error here: each call reports its own text.
class TQVDownLoad {
public:
    // The file name the downloader loads; tests point it elsewhere.
    static inline QString LibraryName = QStringLiteral("libQVDownLoad.so");

    explicit TQVDownLoad(const QString& libraryName = LibraryName);
    ~TQVDownLoad();
    TQVDownLoad(const TQVDownLoad&) = delete;
    TQVDownLoad& operator=(const TQVDownLoad&) = delete;

    bool Loaded() const { return handle_ != nullptr; }
    QString LibraryPath() const { return path_; }

    // True when LocalFile must be replaced; raises when the function is missing.
    bool CompareFileToDown(const QString& Stamp, const QString& LocalFile) const;
    // False with the library's reason when the transfer fails.
    bool QVDownLoadFileEx(const QString& RemoteZip, const QString& LocalZip, QString& Reason) const;
    bool UnZipFilesOrDir(const QString& ZipName, const QString& Folder, QString& Reason) const;

private:
    void* Function(const char* name) const;

    void* handle_ = nullptr;
    QString path_;
    void* compareFileToDown_ = nullptr;
    void* downLoadFileEx_ = nullptr;
    void* unZipFilesOrDir_ = nullptr;
    void* compareFileToDownEx_ = nullptr;
    void* needDownLoad_ = nullptr;
    void* unZipFilesList_ = nullptr;
    void* unZipFilesXML_ = nullptr;
    void* getFileList_ = nullptr;
};

// What the host's file-list answer names.
struct TUpdateAnswer {
    QString Stamp;
    QString RemoteFolder;  // up to and including the last "/" or "\"
};
// Reads "<Modify>s</Modify><Path>p</Path>" or "Modify = 's'" "Path = 'p'".
TUpdateAnswer ParseUpdateAnswer(const QString& Answer);

// True when the registry switch, trimmed, is "1". A missing key is logged.
bool UpgradeAllowed();
// A local file on a network share ("//host/..." or "\\host\...").
bool IsNetworkPath(const QString& LocalFile);
// The folder of update logs: "Log" beside the running program.
QString UpdateLogFolder();

// True when LocalFile is current or was updated; false with the reason in
// Error (also logged) when the update failed. Interactive offers Abort/Retry
// when the download or the unpacking fails.
bool UpdateFile(const QString& Stamp, const QString& RemoteFolder, const QString& LocalFile, bool Interactive,
                QString& Error);
// Parses the host's answer and runs UpdateFile.
bool UpdateFromAnswer(const QString& Answer, const QString& LocalFile, QString& Error, bool Interactive);

}  // namespace kelm24
