// kelm24-receipt-pages: prints the sample company's showcase receipts to
// files. It talks to kelm24-appserver over TCP as the plug-in does, builds
// each receipt's statement as the receipt form does for a host run, lets the
// receipt layout generate the pages, and writes every page as PNG and PDF.
#include "demo/SampleCompany.h"
#include "format/Kelm24FmtF.h"
#include "format/Kelm24Fmt_1F.h"
#include "format/engine/QRPrinter.h"
#include "format/engine/QuickRep.h"
#include "kelm24/HostObjects.h"
#include "host/Counter.h"
#include "host/HostData.h"
#include "i18n/CodeConverter.h"
#include "options/Kelm24Query.h"
#include "output/libPDF.h"
#include "platform/socketconn/SocketConnection.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QTextStream>

using namespace kelm24;

namespace {

struct TShowcase {
    const char* type;
    const char* number;
    const char* what;
};

const TShowcase kBatch[] = {{"3401", "20231228001", "6 lines"},           {"3401", "20231228002", "16 lines"},
                            {"3401", "20231228003", "void"},              {"2801", "20231228004", "US dollars"},
                            {"3401", "20231228005", "no lines"},          {"3402", "20231228006", "approval history"},
                            {"3401", "20231228'010", "quote in the number"}};

// A file name part for a document number ("20231228'010" -> "20231228_010").
QString FilePart(const QString& number)
{
    QString part = number;
    for (QChar& c : part)
        if (!c.isLetterOrNumber()) c = QLatin1Char('_');
    return part;
}

}  // namespace

int main(int argc, char** argv)
{
    // The offscreen platform's notes about raising windows say nothing here.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (text.startsWith(QLatin1String("This plugin does not support"))) return;
        QTextStream(stderr) << (type == QtDebugMsg || type == QtInfoMsg ? "" : "warning: ") << text << Qt::endl;
    });
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Prints the showcase receipts of the sample company to PNG and PDF files."));
    parser.addHelpOption();
    QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Port of kelm24-appserver on 127.0.0.1."), QStringLiteral("n"));
    QCommandLineOption serverIni(QStringLiteral("server-ini"), QStringLiteral("The server's CorvaneS.ini (for the merged layout's connection)."),
                                 QStringLiteral("file"));
    QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Folder of the files."), QStringLiteral("dir"));
    QCommandLineOption merged(QStringLiteral("merged"), QStringLiteral("The merged-lines layout."));
    QCommandLineOption english(QStringLiteral("english"), QStringLiteral("The English interface (code page 437)."));
    QCommandLineOption background(QStringLiteral("background"), QStringLiteral("The pre-printed page file."), QStringLiteral("file"));
    QCommandLineOption dpi(QStringLiteral("dpi"), QStringLiteral("Resolution of the PNG files (default 150)."), QStringLiteral("n"),
                           QStringLiteral("150"));
    parser.addOptions({port, serverIni, out, merged, english, background, dpi});
    parser.process(app);
    QTextStream cout(stdout), cerr(stderr);
    if (!parser.isSet(port) || !parser.isSet(out)) {
        cerr << "kelm24-receipt-pages: give --port and --out (see --help)" << Qt::endl;
        return 2;
    }
    try {
        TSocketConnection connection;
        connection.Port = parser.value(port).toInt();
        connection.ServerName = TSampleCompany::ProgramCode + QStringLiteral("S.Class1");
        connection.Open();
        TAppServerObject server(connection.AppServer());
        server.Connect(TSampleCompany::ProgramCode, TSampleCompany::LeaderUser, TSampleCompany::CompanyCode,
                       QStringLiteral("DEMO"), QStringLiteral("PURTG"));
        auto hostData = std::make_shared<THostData>(connection.AppServer());
        hostData->User = TSampleCompany::LeaderUser;
        hostData->Company = TSampleCompany::CompanyCode;
        hostData->Database = QStringLiteral("DEMO");
        hostData->ServerIniFile = parser.value(serverIni);
        const Variant counter(std::make_shared<TCounter>(hostData));
        // The system settings as the option form hands them over.
        QStringList sys;
        const Variant info = TCounterObject(counter).GetSysInfo(TSampleCompany::CompanyCode);
        for (int i = 0; i < info.Count(2); ++i) sys << info.At(0, i).ToString() + QLatin1Char('=') + info.At(1, i).ToString();
        const QStringList company{TSampleCompany::CompanyCode, QStringLiteral("苏州恒润贸易有限公司")};
        const QString uiCodePage = parser.isSet(english) ? QStringLiteral("437") : QStringLiteral("936");
        QDir().mkpath(parser.value(out));
        int files = 0, pages = 0;
        QElapsedTimer timer;
        timer.start();
        for (const TShowcase& r : kBatch) {
            const QString type = QString::fromLatin1(r.type), number = QString::fromUtf8(r.number);
            TKelm24Query query;
            query.Input.Summary = parser.isSet(merged);
            query.Input.Sys003 = QStringLiteral("RMB");
            query.Input.PrintStatus = QStringLiteral("全部");
            QString sql;
            query.BuildReportSQL(1, Variant::ArrayOf({Variant(type), Variant(number)}), sql);
            query.ComposeSQL(sql);
            std::unique_ptr<TfrmKelm24Fmt> form(parser.isSet(merged) ? TQVForm::Create<TfrmKelm24Fmt_1>(nullptr)
                                                                     : TQVForm::Create<TfrmKelm24Fmt>(nullptr));
            form->SetConverter(new TCodeConverter(form.get(), QStringLiteral("936"), uiCodePage, QStringLiteral("936"), QString()));
            if (parser.isSet(background)) form->QuickRep1->SetPictureFile(parser.value(background));
            form->LocalAppServer = connection.AppServer();
            form->CompanyCode = TSampleCompany::CompanyCode;
            form->DatabaseName = QStringLiteral("DEMO");
            form->DateType = 1;
            form->SysInfo = &sys;
            form->CompanyInfo = &company;
            form->Counter = counter;
            form->InitDataSets();
            if (form->OpenReportData(sql) < 0) throw Exception(QStringLiteral("the statement of %1 failed").arg(number));
            form->SetFrameText(0, parser.isSet(english) ? QStringLiteral("Purchase Receipt") : QStringLiteral("进货单"));
            form->SetFrameText(1, QStringLiteral("20231228"));
            form->SetNoteLines({QStringLiteral("1. 本单一式三联: 白联仓库, 红联财务, 黄联采购。"), QStringLiteral("2. 收货后请于三日内完成检验。"),
                                QStringLiteral("3. 如有疑问请联系采购部 0512-6258 8000。")});
            form->SetSignInLines({QStringLiteral("核准:"), QStringLiteral("审核:"), QStringLiteral("经办:")});
            form->SetApprovalDocType(type);
            form->SetApprovalLookup(type == QLatin1String("3402"), TSampleCompany::ProgramCode, TSampleCompany::CompanyCode);
            if (!form->PrepareReport()) throw Exception(QStringLiteral("the pages of %1 were not generated").arg(number));
            TQRPrinter* printer = form->ReportPrinter();
            const QString base = QDir(parser.value(out)).filePath(type + QLatin1Char('-') + FilePart(number));
            for (int p = 1; p <= printer->PageCount(); ++p) {
                const QImage page = printer->PageImage(p, parser.value(dpi).toDouble());
                const QString png = base + QStringLiteral("-p%1.png").arg(p);
                if (!page.save(png, "PNG")) throw Exception(QStringLiteral("cannot write %1").arg(png));
                TPrintPDF pdf;
                pdf.SetFileName(base + QStringLiteral("-p%1.pdf").arg(p));
                pdf.SetTitle(type + QLatin1Char('-') + number);
                pdf.StartDocument();
                pdf.DrawPageImage(0, 0, page);
                pdf.FinishDocument();
                files += 2;
            }
            pages += printer->PageCount();
            cout << "  " << type << '-' << number << " (" << QString::fromUtf8(r.what) << "): " << printer->PageCount()
                 << (printer->PageCount() == 1 ? " page" : " pages") << Qt::endl;
        }
        cout << pages << " pages, " << files << " files in " << QDir(parser.value(out)).absolutePath() << " ("
             << timer.elapsed() << " ms)" << Qt::endl;
        return 0;
    } catch (const std::exception& e) {
        cerr << "kelm24-receipt-pages: " << e.what() << Qt::endl;
        return 1;
    }
}
