#include "platform/Qvlanguage/Qvlanguage.h"

#include <opencc.h>

#include <cstring>
#include <dlfcn.h>
#include <mutex>
#include <string>

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

// One OpenCC converter per direction, opened on first use and kept for the
// life of the process; calls are serialised.
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
        const size_t length = std::strlen(input);
        bool ascii = true;
        for (size_t i = 0; i < length && ascii; ++i) ascii = static_cast<unsigned char>(input[i]) < 0x80;
        if (ascii) return Deliver(input, length, output, outputSize);  // nothing OpenCC would change
        std::lock_guard<std::mutex> lock(mutex_);
        if (!Open()) return -1;
        char* converted = opencc_convert_utf8(handle_, input, length);
        if (!converted) return -1;
        const int result = Deliver(converted, std::strlen(converted), output, outputSize);
        opencc_convert_utf8_free(converted);
        return result;
    }

private:
    bool Open()
    {
        if (!handle_) {
            const std::string file = LibraryFolder() + "/opencc/" + config_;
            handle_ = opencc_open(file.c_str());
        }
        return handle_ != reinterpret_cast<opencc_t>(-1);
    }

    static int Deliver(const char* text, size_t length, char* output, int outputSize)
    {
        if (outputSize > 0) {
            const size_t n = length < static_cast<size_t>(outputSize) ? length : static_cast<size_t>(outputSize) - 1;
            std::memcpy(output, text, n);
            output[n] = '\0';
        }
        return static_cast<int>(length);
    }

    const char* config_;
    opencc_t handle_ = nullptr;
    std::mutex mutex_;
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
