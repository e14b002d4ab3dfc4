#include "platform/Qvlanguage/Qvlanguage.h"

#include "platform/text/Utf8.h"

#include <opencc.h>

#include <cstring>
#include <dlfcn.h>
#include <limits>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#define QV_EXPORT __attribute__((visibility("default")))

namespace {

// The folder of this library; its data lives in opencc/ beside it.
std::string LibraryFolder()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&LibraryFolder), &info) == 0 || !info.dli_fname) return ".";
    std::string path = info.dli_fname;
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

bool IsAscii(char c)
{
    return static_cast<unsigned char>(c) < 0x80;
}

// One OpenCC converter per direction, opened on first use and kept for the
// life of the process. An OpenCC converter only reads its dictionaries once
// opened, so calls from several threads share it; opening and the memory of
// converted runs are guarded.
//
// No dictionary key holds an ASCII character (ERPPhrases.txt keeps to that
// too), so no phrase spans one and ASCII comes back as it is: a text is
// converted run by run of other characters. Report data repeats its runs
// ("进货单", "仓库" beside changing numbers and codes), so each run is
// converted once and remembered; the new runs of a text go to OpenCC in one
// call, separated by "\n".
class Converter {
public:
    explicit Converter(const char* config) : config_(config) {}
    ~Converter()
    {
        if (handle_ != reinterpret_cast<opencc_t>(-1) && handle_) opencc_close(handle_);
    }

    int Convert(const char* input, char* output, int outputSize)
    {
        if (!input || outputSize < 0 || (outputSize > 0 && !output)) return -1;
        const std::string_view text(input);
        std::vector<std::string_view> runs;
        for (size_t i = 0; i < text.size();) {
            if (IsAscii(text[i])) {
                ++i;
                continue;
            }
            const size_t start = i;
            while (i < text.size() && !IsAscii(text[i])) ++i;
            runs.push_back(text.substr(start, i - start));
            if (!kelm24::IsValidUtf8(runs.back())) return -1;  // OpenCC would read past a cut character
        }
        if (runs.empty()) return Deliver(text, output, outputSize);  // nothing OpenCC would change
        if (!Open()) return -1;
        std::vector<std::string> converted;
        if (!ConvertRuns(runs, converted)) {
            // A dictionary value holding a line break would shift the runs:
            // then the text is converted whole.
            std::string whole;
            if (!Run(std::string(text), whole)) return -1;
            return Deliver(whole, output, outputSize);
        }
        std::string result;
        result.reserve(text.size() + text.size() / 2);
        size_t next = 0;
        for (size_t i = 0; i < text.size();) {
            if (IsAscii(text[i])) {
                result += text[i++];
                continue;
            }
            while (i < text.size() && !IsAscii(text[i])) ++i;
            result += converted[next++];
        }
        return Deliver(result, output, outputSize);
    }

private:
    // Bounded for long sessions, by count and by size: runs of long memo
    // texts rarely repeat and would otherwise fill memory.
    static constexpr size_t MaxRemembered = 200000;
    static constexpr size_t MaxRememberedBytes = 64u << 20;

    bool Open()
    {
        std::call_once(opened_, [this] {
            const std::string file = LibraryFolder() + "/opencc/" + config_;
            handle_ = opencc_open(file.c_str());
        });
        return handle_ != reinterpret_cast<opencc_t>(-1);
    }

    bool Run(const std::string& text, std::string& converted) const
    {
        char* out = opencc_convert_utf8(handle_, text.data(), text.size());
        if (!out) return false;
        converted.assign(out);
        opencc_convert_utf8_free(out);
        return true;
    }

    // The conversion of every run, remembered ones from memory and the rest
    // through one OpenCC call; false when the answer does not split back.
    bool ConvertRuns(const std::vector<std::string_view>& runs, std::vector<std::string>& converted)
    {
        converted.assign(runs.size(), std::string());
        std::vector<size_t> missing;  // indexes into runs
        {
            std::shared_lock<std::shared_mutex> reading(memoryLock_);
            for (size_t i = 0; i < runs.size(); ++i) {
                const auto hit = memory_.find(std::string(runs[i]));
                if (hit != memory_.end()) converted[i] = hit->second;
                else missing.push_back(i);
            }
        }
        if (missing.empty()) return true;
        std::string joined;
        for (size_t k = 0; k < missing.size(); ++k) {
            if (k > 0) joined += '\n';
            joined += runs[missing[k]];
        }
        std::string answer;
        if (!Run(joined, answer)) return false;
        size_t from = 0;
        for (size_t k = 0; k < missing.size(); ++k) {
            const size_t end = answer.find('\n', from);
            if ((end == std::string::npos) != (k + 1 == missing.size())) return false;
            converted[missing[k]] = answer.substr(from, end == std::string::npos ? std::string::npos : end - from);
            from = end + 1;
        }
        std::unique_lock<std::shared_mutex> writing(memoryLock_);
        size_t bytes = 0;
        for (const size_t i : missing) bytes += runs[i].size() + converted[i].size();
        if (memory_.size() + missing.size() > MaxRemembered || memoryBytes_ + bytes > MaxRememberedBytes) {
            memory_.clear();
            memoryBytes_ = 0;
        }
        if (bytes > MaxRememberedBytes) return true;
        for (const size_t i : missing)
            if (memory_.emplace(std::string(runs[i]), converted[i]).second) memoryBytes_ += runs[i].size() + converted[i].size();
        return true;
    }

    static int Deliver(std::string_view text, char* output, int outputSize)
    {
        if (text.size() > static_cast<size_t>(std::numeric_limits<int>::max())) return -1;  // no length to answer
        if (outputSize > 0) {
            size_t n = text.size() < static_cast<size_t>(outputSize) ? text.size() : static_cast<size_t>(outputSize) - 1;
            // A text cut short ends before a whole character, never inside one.
            if (n < text.size())
                while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
            std::memcpy(output, text.data(), n);
            output[n] = '\0';
        }
        return static_cast<int>(text.size());
    }

    const char* config_;
    opencc_t handle_ = nullptr;
    std::once_flag opened_;
    std::shared_mutex memoryLock_;
    std::unordered_map<std::string, std::string> memory_;
    size_t memoryBytes_ = 0;  // of the keys and values in memory_
};

Converter& SimplifiedToTraditional()
{
    static Converter converter("kelm24_s2tw.json");
    return converter;
}

Converter& TraditionalToSimplified()
{
    static Converter converter("kelm24_tw2s.json");
    return converter;
}

}  // namespace

extern "C" {

QV_EXPORT int GBtoBIG5(const char* input, char* output, int outputSize)
{
    return SimplifiedToTraditional().Convert(input, output, outputSize);
}

QV_EXPORT int BIG5toGB(const char* input, char* output, int outputSize)
{
    return TraditionalToSimplified().Convert(input, output, outputSize);
}

// Code-table exports of the original library; not offered here.
QV_EXPORT int GetBIG5Data(const char*, char*, int)
{
    return -1;
}

QV_EXPORT int GetGBData(const char*, char*, int)
{
    return -1;
}

QV_EXPORT int SaveOrder(const char*, char*, int)
{
    return -1;
}
}
