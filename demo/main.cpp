// kelm24-sample-company: writes the sample company database (SQLite file, or
// a PostgreSQL database named by a server settings file).
#include "demo/SampleCompany.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

using namespace kelm24;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kelm24-sample-company"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes the sample company database of the report plug-in."));
    parser.addHelpOption();
    QCommandLineOption receipts(QStringLiteral("receipts"), QStringLiteral("Number of receipts (default 200)."), QStringLiteral("n"), QStringLiteral("200"));
    QCommandLineOption lines(QStringLiteral("lines"), QStringLiteral("Lines of every receipt (default: varied)."), QStringLiteral("n"), QStringLiteral("0"));
    QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seed of the generator."), QStringLiteral("n"), QStringLiteral("20240601"));
    QCommandLineOption sqlite(QStringLiteral("sqlite"), QStringLiteral("SQLite file to write."), QStringLiteral("file"));
    QCommandLineOption config(QStringLiteral("config"), QStringLiteral("CorvaneS.ini naming the database to fill (an empty one)."), QStringLiteral("file"));
    QCommandLineOption replace(QStringLiteral("replace"), QStringLiteral("Replace an existing SQLite file."));
    parser.addOptions({receipts, lines, seed, sqlite, config, replace});
    parser.process(app);

    QTextStream out(stdout), err(stderr);
    bool okReceipts = false, okLines = false, okSeed = false;
    TSampleOptions options;
    options.Receipts = parser.value(receipts).toInt(&okReceipts);
    options.LinesPerReceipt = parser.value(lines).toInt(&okLines);
    options.Seed = parser.value(seed).toUInt(&okSeed);
    if (!okReceipts || !okLines || !okSeed || options.Receipts < 0 || options.LinesPerReceipt < 0 ||
        parser.isSet(sqlite) == parser.isSet(config)) {
        err << "kelm24-sample-company: give --sqlite FILE or --config CorvaneS.ini, and whole numbers for "
               "--receipts, --lines and --seed (see --help)"
            << Qt::endl;
        return 2;
    }
    try {
        QElapsedTimer timer;
        timer.start();
        TSampleCompany company(options);
        TSampleSummary s;
        if (parser.isSet(sqlite)) {
            s = company.WriteSqliteFile(parser.value(sqlite), parser.isSet(replace));
        } else {
            TDataLayer data(TServerSettings::FromIniFile(parser.value(config)), true);
            s = company.Write(data);
        }
        out << "sample company written: " << s.Receipts << " receipts, " << s.ReceiptLines << " receipt lines, "
            << s.Orders << " orders, " << s.Suppliers << " suppliers, " << s.Items << " items in " << timer.elapsed()
            << " ms" << Qt::endl;
        return 0;
    } catch (const Exception& e) {
        err << "kelm24-sample-company: " << e.Message() << Qt::endl;
        return 1;
    }
}
