// Receipt rows through the application server over TCP against the same
// statement run directly on the SQLite file in one process.
#include "demo/SampleCompany.h"
#include "kelm24/DataPacket.h"
#include "kelm24/HostObjects.h"
#include "platform/socketconn/SocketConnection.h"
#include "tests/appserver/ReceiptQuery.h"
#include "tests/appserver/TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <algorithm>

using namespace kelm24;

namespace {

double Best(const std::function<int()>& run, int times, int& rows)
{
    double best = 1e99;
    for (int i = 0; i < times; ++i) {
        QElapsedTimer t;
        t.start();
        rows = run();
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int receipts = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000;
    const int lines = 20, times = 3;
    try {
        QElapsedTimer t;
        t.start();
        test::TSampleInstall install(receipts, lines);
        out << "sample company of " << receipts << " receipts x " << lines << " lines written in " << t.elapsed() << " ms"
            << Qt::endl;
        const QString sql = test::ReceiptDetailStatement(QString(), QString(), QString(), false, false);

        int directRows = 0, serverRows = 0;
        TDataLayer direct(install.Settings());
        const double directMs = Best([&] { return direct.QueryPacket(sql)[1].Count(); }, times, directRows);

        test::TServerProcess process(install.IniFile());
        TSocketConnection c;
        c.Port = process.Port();
        c.ServerName = QStringLiteral("KELM24S.Class1");
        c.Open();
        TAppServerObject(c.AppServer()).Connect(TSampleCompany::ProgramCode, TSampleCompany::LeaderUser,
                                                TSampleCompany::CompanyCode, QStringLiteral("DEMO"), QStringLiteral("PURTG"));
        const double serverMs = Best(
            [&] {
                Variant packet = c.AppServer().Call(member::AS_GetRecords, {QStringLiteral("Provider1"), sql, Variant()});
                return packet[1].Count();
            },
            times, serverRows);
        int fields = TDataPacket::FromVariant(direct.QueryPacket(sql)).Fields.size();
        out << "detail statement: " << directRows << " rows x " << fields << " fields" << Qt::endl;
        out << "direct on the SQLite file, one process: " << directMs << " ms (best of " << times << ")" << Qt::endl;
        out << "through kelm24-appserver over TCP:      " << serverMs << " ms (best of " << times << ")" << Qt::endl;
        out << "ratio server/direct: " << serverMs / directMs << " (target: at most 3)" << Qt::endl;
        if (serverRows != directRows) {
            out << "row counts differ: " << serverRows << " over TCP" << Qt::endl;
            return 1;
        }
        return 0;
    } catch (const Exception& e) {
        QTextStream(stderr) << "bench_appserver: " << e.Message() << Qt::endl;
        return 1;
    }
}
