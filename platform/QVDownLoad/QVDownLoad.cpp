#include "QVDownLoad.h"

#include <curl/curl.h>
#include <sys/stat.h>
#include <zip.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Copies text into a buffer of size bytes, cut at a UTF-8 character boundary.
void PutText(char* buffer, int size, const std::string& text)
{
    if (!buffer || size <= 0) return;
    size_t length = std::min(text.size(), static_cast<size_t>(size - 1));
    if (length < text.size())
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

void SetError(char* error, const std::string& text)
{
    PutText(error, QVDownLoadErrorSize, text);
}

std::string Text(const char* text)
{
    return text ? std::string(text) : std::string();
}

// The stamp as a time; -1 when it does not hold 8 or 14 digits.
time_t StampTime(const std::string& stamp)
{
    std::string digits;
    for (char c : stamp)
        if (std::isdigit(static_cast<unsigned char>(c))) digits += c;
    if (digits.size() != 8 && digits.size() != 14) return -1;
    digits.resize(14, '0');
    std::tm tm{};
    tm.tm_year = std::stoi(digits.substr(0, 4)) - 1900;
    tm.tm_mon = std::stoi(digits.substr(4, 2)) - 1;
    tm.tm_mday = std::stoi(digits.substr(6, 2));
    tm.tm_hour = std::stoi(digits.substr(8, 2));
    tm.tm_min = std::stoi(digits.substr(10, 2));
    tm.tm_sec = std::stoi(digits.substr(12, 2));
    if (tm.tm_mon < 0 || tm.tm_mon > 11 || tm.tm_mday < 1 || tm.tm_mday > 31 || tm.tm_hour > 23 || tm.tm_min > 59 ||
        tm.tm_sec > 60)
        return -1;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

std::string StampOf(time_t time)
{
    std::tm tm{};
    localtime_r(&time, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &tm);
    return text;
}

// 1 when file is missing or older than time, else 0.
int OlderThan(const std::string& file, time_t time)
{
    struct stat info{};
    if (stat(file.c_str(), &info) != 0) return 1;
    return info.st_mtime < time ? 1 : 0;
}

// ---------------------------------------------------------------- download

void GlobalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

size_t WriteToFile(char* data, size_t size, size_t count, void* stream)
{
    return std::fwrite(data, size, count, static_cast<FILE*>(stream)) * size;
}

bool IsUrl(const std::string& name)
{
    return name.find("://") != std::string::npos;
}

// Fetches url into file; the reason in error when it fails.
bool Fetch(const std::string& url, FILE* file, const std::string& proxy, const std::string& agent, long timeout,
           std::string& error)
{
    GlobalInit();
    CURL* curl = curl_easy_init();
    if (!curl) {
        error = "curl_easy_init failed";
        return false;
    }
    char reason[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, reason);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteToFile);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, file);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https,ftp,ftps,file");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp,ftps");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    // An empty proxy text means a direct connection, whatever the environment says.
    curl_easy_setopt(curl, CURLOPT_PROXY, proxy.c_str());
    if (!agent.empty()) curl_easy_setopt(curl, CURLOPT_USERAGENT, agent.c_str());
    if (timeout > 0) {
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, timeout);
        // A transfer may take long; one that stalls for the timeout is dead.
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, timeout);
    }
    const CURLcode code = curl_easy_perform(curl);
    if (code != CURLE_OK) error = reason[0] ? reason : curl_easy_strerror(code);
    curl_easy_cleanup(curl);
    return code == CURLE_OK;
}

bool CopyLocal(const std::string& source, FILE* file, std::string& error)
{
    std::FILE* in = std::fopen(source.c_str(), "rb");
    if (!in) {
        error = "Cannot open " + source + ": " + std::strerror(errno);
        return false;
    }
    char block[65536];
    size_t read = 0;
    bool ok = true;
    while ((read = std::fread(block, 1, sizeof block, in)) > 0)
        if (std::fwrite(block, 1, read, file) != read) {
            ok = false;
            break;
        }
    if (std::ferror(in)) {
        error = "Cannot read " + source;
        ok = false;
    } else if (!ok) {
        error = "Cannot write the downloaded file";
    }
    std::fclose(in);
    return ok;
}

// ---------------------------------------------------------------- unzip

std::string ZipError(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

struct TArchive {
    zip_t* zip = nullptr;
    std::string error;

    explicit TArchive(const std::string& name)
    {
        int code = 0;
        zip = zip_open(name.c_str(), ZIP_RDONLY, &code);
        if (!zip) error = "Cannot open archive " + name + ": " + ZipError(code);
    }
    ~TArchive()
    {
        if (zip) zip_discard(zip);
    }
    TArchive(const TArchive&) = delete;
    TArchive& operator=(const TArchive&) = delete;
};

// True when the entry stays inside the target folder and is no link.
bool SafeEntry(zip_t* zip, zip_uint64_t index, const std::string& name)
{
    if (name.empty() || name[0] == '/' || name[0] == '\\') return false;
    if (name.size() > 1 && name[1] == ':') return false;  // a drive letter
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("/\\", start);
        if (end == std::string::npos) end = name.size();
        if (name.compare(start, end - start, "..") == 0 && end - start == 2) return false;
        start = end + 1;
    }
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(zip, index, 0, &system, &attributes) == 0 && system == ZIP_OPSYS_UNIX &&
        S_ISLNK(attributes >> 16))
        return false;
    return true;
}

bool ExtractFile(zip_t* zip, zip_uint64_t index, const fs::path& target, std::string& error)
{
    zip_file_t* entry = zip_fopen_index(zip, index, 0);
    if (!entry) {
        error = std::string("Cannot read entry: ") + zip_strerror(zip);
        return false;
    }
    fs::path temporary = target;
    temporary += ".unzip-part";
    std::FILE* out = std::fopen(temporary.c_str(), "wb");
    bool ok = out != nullptr;
    if (!ok) error = "Cannot write " + target.string() + ": " + std::strerror(errno);
    char block[65536];
    zip_int64_t read = 0;
    while (ok && (read = zip_fread(entry, block, sizeof block)) > 0)
        ok = std::fwrite(block, 1, static_cast<size_t>(read), out) == static_cast<size_t>(read);
    if (ok && read < 0) {
        error = std::string("Cannot read entry: ") + zip_file_strerror(entry);
        ok = false;
    } else if (out && !ok && error.empty()) {
        error = "Cannot write " + target.string();
    }
    zip_fclose(entry);
    if (out && std::fclose(out) != 0 && ok) {
        error = "Cannot write " + target.string();
        ok = false;
    }
    std::error_code code;
    if (ok) {
        // A rename replaces the directory entry: a process that has the old
        // library mapped keeps it, the next load gets the new one.
        fs::rename(temporary, target, code);
        if (code) {
            error = "Cannot replace " + target.string() + ": " + code.message();
            ok = false;
        }
    }
    if (!ok) fs::remove(temporary, code);
    return ok;
}

// Writes the answer of a listing into buffer; the count, or -1.
int PutList(const std::string& text, int count, char* buffer, int size)
{
    if (static_cast<long long>(text.size()) >= size) {
        PutText(buffer, size, "List too long for the buffer");
        return -1;
    }
    PutText(buffer, size, text);
    return count;
}

}  // namespace

extern "C" {

int QVDownLoadFileEx(int, int, const char* proxy, const char* agent, const char* timeout, const char* remoteZip,
                     const char* localZip, char* error)
{
    SetError(error, "");
    const std::string remote = Text(remoteZip), local = Text(localZip);
    if (remote.empty() || local.empty()) {
        SetError(error, "No remote or local file name");
        return 0;
    }
    try {
        const fs::path target(local);
        std::error_code code;
        if (target.has_parent_path()) fs::create_directories(target.parent_path(), code);
        fs::path partial = target;
        partial += ".part";
        std::FILE* file = std::fopen(partial.c_str(), "wb");
        if (!file) {
            SetError(error, "Cannot create " + partial.string() + ": " + std::strerror(errno));
            return 0;
        }
        long seconds = 0;
        try {
            seconds = std::stol(Text(timeout));
        } catch (...) {
            seconds = 0;
        }
        std::string reason;
        bool ok = IsUrl(remote) ? Fetch(remote, file, Text(proxy), Text(agent), seconds, reason)
                                : CopyLocal(remote, file, reason);
        if (std::fclose(file) != 0 && ok) {
            reason = "Cannot write " + partial.string();
            ok = false;
        }
        if (ok) {
            fs::rename(partial, target, code);
            if (code) {
                reason = "Cannot write " + local + ": " + code.message();
                ok = false;
            }
        }
        if (!ok) {
            fs::remove(partial, code);
            SetError(error, reason);
        }
        return ok ? 1 : 0;
    } catch (const std::exception& e) {
        SetError(error, e.what());
        return 0;
    }
}

int UnZipFilesOrDir(const char* zipName, const char* folder, char* error)
{
    SetError(error, "");
    try {
        TArchive archive(Text(zipName));
        if (!archive.zip) {
            SetError(error, archive.error);
            return 0;
        }
        const zip_int64_t count = zip_get_num_entries(archive.zip, 0);
        std::vector<std::string> names;
        for (zip_int64_t i = 0; i < count; ++i) {
            const char* name = zip_get_name(archive.zip, static_cast<zip_uint64_t>(i), 0);
            const std::string entry = Text(name);
            if (!SafeEntry(archive.zip, static_cast<zip_uint64_t>(i), entry)) {
                SetError(error, "Unsafe entry in archive: " + entry);
                return 0;
            }
            names.push_back(entry);
        }
        const fs::path base(Text(folder).empty() ? std::string(".") : Text(folder));
        std::error_code code;
        fs::create_directories(base, code);
        if (!fs::is_directory(base)) {
            SetError(error, "Cannot create folder " + base.string());
            return 0;
        }
        for (size_t i = 0; i < names.size(); ++i) {
            std::string name = names[i];
            for (char& c : name)
                if (c == '\\') c = '/';
            const fs::path target = base / name;
            if (name.back() == '/') {
                fs::create_directories(target, code);
                if (code) {
                    SetError(error, "Cannot create folder " + target.string() + ": " + code.message());
                    return 0;
                }
                continue;
            }
            fs::create_directories(target.parent_path(), code);
            std::string reason;
            if (!ExtractFile(archive.zip, i, target, reason)) {
                SetError(error, reason);
                return 0;
            }
        }
        return 1;
    } catch (const std::exception& e) {
        SetError(error, e.what());
        return 0;
    }
}

int CompareFileToDownEx(const char* stamp, const char* localFile, char* error)
{
    SetError(error, "");
    const std::string text = Text(stamp);
    if (text.empty()) return 0;
    const time_t time = StampTime(text);
    if (time == -1) {
        SetError(error, "Unreadable stamp: " + text);
        return -1;
    }
    return OlderThan(Text(localFile), time);
}

int CompareFileToDown(const char* stamp, const char* localFile)
{
    char error[QVDownLoadErrorSize];
    return CompareFileToDownEx(stamp, localFile, error) == 1 ? 1 : 0;
}

int NeedDownLoad(const char* remoteZip, const char* localFile)
{
    struct stat info{};
    if (stat(Text(remoteZip).c_str(), &info) != 0) return 0;
    return OlderThan(Text(localFile), info.st_mtime);
}

int UnZipFilesList(const char* zipName, char* list, int size)
{
    TArchive archive(Text(zipName));
    if (!archive.zip) {
        PutText(list, size, archive.error);
        return -1;
    }
    const zip_int64_t count = zip_get_num_entries(archive.zip, 0);
    std::string text;
    for (zip_int64_t i = 0; i < count; ++i) text += Text(zip_get_name(archive.zip, i, 0)) + "\n";
    return PutList(text, static_cast<int>(count), list, size);
}

int UnZipFilesXML(const char* zipName, char* xml, int size)
{
    TArchive archive(Text(zipName));
    if (!archive.zip) {
        PutText(xml, size, archive.error);
        return -1;
    }
    const zip_int64_t count = zip_get_num_entries(archive.zip, 0);
    std::string text;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        if (zip_stat_index(archive.zip, i, 0, &stat) != 0) continue;
        text += "<File><Name>" + Text(stat.name) + "</Name><Size>" + std::to_string(stat.size) + "</Size><Modify>" +
                StampOf(stat.mtime) + "</Modify></File>";
    }
    return PutList(text, static_cast<int>(count), xml, size);
}

int GetFileList(const char* folder, const char* fileName, char* answer, int size)
{
    PutText(answer, size, "");
    std::string name = fs::path(Text(fileName)).filename().string();
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const fs::path base = fs::absolute(fs::path(Text(folder).empty() ? std::string(".") : Text(folder)));
    struct stat info{};
    if (name.empty() || stat((base / (name + ".zip")).c_str(), &info) != 0) return 0;
    const std::string text = "<Modify>" + StampOf(info.st_mtime) + "</Modify><Path>" + (base / name).string() + "</Path>";
    if (static_cast<long long>(text.size()) >= size) return -1;
    PutText(answer, size, text);
    return static_cast<int>(text.size());
}

}  // extern "C"
