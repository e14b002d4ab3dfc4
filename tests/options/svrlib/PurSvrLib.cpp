// A program's server library as the option form loads it: GetSvrController
// answers a controller that keeps the argument array it is handed and counts
// its runs and releases, so a test can read them back (SvrTestRecord).
#include "kelm24/SvrController.h"

#define SVR_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct TRecord {
    kelm24::Variant Arguments;
    int Executed = 0;
    int Released = 0;
    int Created = 0;
};

TRecord record;

class TTestSvrController final : public kelm24::TSvrController {
public:
    QString GetVersionText() override { return QStringLiteral("PURT99S 1.0"); }
    void Release() override
    {
        ++record.Released;
        delete this;
    }
    int32_t Execute() override
    {
        ++record.Executed;
        return 0;
    }
    // The first text "boom" makes the program fail as a server program may.
    int32_t SetArguments(const kelm24::Variant& Args) override
    {
        record.Arguments = Args;
        if (Args.IsArray() && Args.Count() > 1 && Args[1].ToString() == QLatin1String("boom"))
            throw kelm24::Exception(QStringLiteral("服务端程序执行失败"));
        return 0;
    }

private:
    ~TTestSvrController() = default;
};

}  // namespace

SVR_EXPORT kelm24::TSvrController* GetSvrController()
{
    ++record.Created;
    return new TTestSvrController;
}

// What the controllers of this library were handed: the last argument array
// and the numbers of controllers created, runs and releases.
SVR_EXPORT void SvrTestRecord(kelm24::Variant* Arguments, int* Created, int* Executed, int* Released)
{
    *Arguments = record.Arguments;
    *Created = record.Created;
    *Executed = record.Executed;
    *Released = record.Released;
}
