// The download library, loaded by name at run time. Texts are UTF-8 and
// null-terminated; an error buffer holds 256 bytes and always receives a
// terminated text (cut at a character boundary), empty on success.
//
// Stamps are local times written "yyyyMMddhhmmss" (other characters between
// the digits, as in "yyyy/MM/dd hh:mm:ss", are skipped; eight digits mean
// midnight of that day). A local file must be replaced when it is missing or
// was last modified before the stamp; an empty or unreadable stamp never asks
// for a download.
#pragma once

#define QVDL_EXPORT __attribute__((visibility("default")))

extern "C" {
// flag1, flag2: reserved, zero. proxy: "" for a direct connection. agent: the
// user-agent text. timeout: seconds to connect and the longest stall of the
// transfer ("60"). remoteZip: an http://, https://, ftp:// or file:// URL, or
// a local path. The file is written to localZip only when complete.
// Non-zero on success.
typedef int (*TQVDownLoadFileEx)(int flag1, int flag2, const char* proxy, const char* agent, const char* timeout,
                                 const char* remoteZip, const char* localZip, char* error);
// Unpacks every entry of zipName below folder (created when missing); refuses
// the whole archive, before writing anything, when an entry is absolute, climbs
// with "..", or is a symbolic link. Files are replaced by rename, so a library
// a process has mapped keeps its old copy. Non-zero on success.
typedef int (*TUnZipFilesOrDir)(const char* zipName, const char* folder, char* error);
// Non-zero when localFile must be replaced by the version of the stamp.
typedef int (*TCompareFileToDown)(const char* stamp, const char* localFile);
// As CompareFileToDown: 1 replace, 0 current, -1 unreadable stamp (reason in error).
typedef int (*TCompareFileToDownEx)(const char* stamp, const char* localFile, char* error);
// The same question with the stamp of a remote archive: 1 when the local
// file is missing or older than the archive file remoteZip (a local path).
typedef int (*TNeedDownLoad)(const char* remoteZip, const char* localFile);
// The entry names of zipName, one a line ("\n"), into list (size bytes);
// the number of entries, or -1 (reason in list) when unreadable or too long.
typedef int (*TUnZipFilesList)(const char* zipName, char* list, int size);
// The entries as "<File><Name>n</Name><Size>s</Size><Modify>stamp</Modify></File>"
// one after the other; as UnZipFilesList for the result.
typedef int (*TUnZipFilesXML)(const char* zipName, char* xml, int size);
// The answer of an update folder for a file: "<Modify>stamp</Modify><Path>
// folder/name</Path>" when folder holds "<lower-case name>.zip", else empty;
// the length of the answer, or -1 when it does not fit.
typedef int (*TGetFileList)(const char* folder, const char* fileName, char* answer, int size);

QVDL_EXPORT int QVDownLoadFileEx(int flag1, int flag2, const char* proxy, const char* agent, const char* timeout,
                                 const char* remoteZip, const char* localZip, char* error);
QVDL_EXPORT int UnZipFilesOrDir(const char* zipName, const char* folder, char* error);
QVDL_EXPORT int CompareFileToDown(const char* stamp, const char* localFile);
QVDL_EXPORT int CompareFileToDownEx(const char* stamp, const char* localFile, char* error);
QVDL_EXPORT int NeedDownLoad(const char* remoteZip, const char* localFile);
QVDL_EXPORT int UnZipFilesList(const char* zipName, char* list, int size);
QVDL_EXPORT int UnZipFilesXML(const char* zipName, char* xml, int size);
QVDL_EXPORT int GetFileList(const char* folder, const char* fileName, char* answer, int size);
}

// The size of every error buffer.
constexpr int QVDownLoadErrorSize = 256;
