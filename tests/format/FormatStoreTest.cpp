// Stored layouts through the application server (in-process and over TCP):
// revisions, the lock, the local file when the database refuses, the
// character sets of a traditional-Chinese interface, the longest style name
// from the reference host, and a run from the option form.
#include "tests/format/TestFmt.h"

#include "appserver/DataLayer.h"
#include "format/LayoutTables.h"
#include "format/engine/QRControls.h"
#include "format/engine/QRPrinter.h"
#include "format/engine/QVQRControls.h"
#include "format/engine/QuickRep.h"
#include "options/Kelm24OptF.h"
#include "platform/socketconn/SocketConnection.h"
#include "tests/AllowSkip.h"
#include "tests/options/OptionFormFixture.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kelm24;
using namespace kelm24::test;

namespace {

const QString Style = QStringLiteral("样式一");

// The application server as the form sees it, with a hook that runs just
// before a member is passed on (another user's session acting in between).
class TServerInBetween : public IAutomationObject {
public:
    explicit TServerInBetween(Variant server) : server_(std::move(server)) {}
    Variant Invoke(const QString& member, VariantArgs& args) override
    {
        if (before) before(member, args);
        return server_.Call(member, args);
    }
    Variant GetProperty(const QString& name) override { return server_.Get(name); }
    void SetProperty(const QString& name, const Variant& value) override { server_.Set(name, value); }
    std::function<void(const QString&, const VariantArgs&)> before;

private:
    Variant server_;
};

class FormatStoreTest : public OptionFormFixture {
protected:
    FormatStoreTest() { answer = mrYes; }

    // Layouts are written by a session of the report's program, where the
    // user holds the design right.
    Variant designServer = OtherSession();

    // A session of its own on the sample company (another designer).
    Variant OtherSession()
    {
        Variant other(std::make_shared<TAppServer>(install.Settings()));
        TAppServerObject(other).Connect(QStringLiteral("KELM24"), TSampleCompany::LeaderUser, TSampleCompany::CompanyCode,
                                        QStringLiteral("DEMO"), QString());
        return other;
    }
    std::unique_ptr<TTestFmt> Layout(const Variant& server, const QString& style = Style)
    {
        return TTestFmt::Open(server, style, TSampleCompany::CompanyCode, TSampleCompany::LeaderUser,
                              local.path() + QLatin1Char('/'));
    }
    static TQRLabel* Title(QWidget* form) { return form->findChild<TQRLabel*>(QStringLiteral("lblTitle")); }
    static QString Revision(const Variant& server, const QString& style = Style)
    {
        Variant answer;
        if (TAppServerObject(server).GetBlobField(Variant::ArrayOf({QStringLiteral("TTestFmt"), style}), answer) <= 0)
            return QStringLiteral("(none)");
        return answer[0].ToString();
    }
    static QStringList StoredLines(const Variant& server, const QString& style = Style)
    {
        Variant answer;
        TAppServerObject(server).GetBlobField(Variant::ArrayOf({QStringLiteral("TTestFmt"), style}), answer);
        QStringList lines;
        for (const Variant& v : answer[1].Elements()) lines << v.ToString();
        return lines;
    }
    // Stores a revision number over the row, as another designer's save does.
    static void ForceRevision(const Variant& server, const QString& revision)
    {
        const TAppServerObject s(server);
        const QString read = Revision(server);
        ASSERT_EQ(s.RunUpdFlagSQL(Variant::ArrayOf({read.toInt(), read, QStringLiteral("TTestFmt"), Style})), 1);
        ASSERT_GT(s.RunInsUpdSQL(true, Variant::ArrayOf({QStringLiteral("inherited TestFmt: TTestFmt"), QStringLiteral("end")}),
                                 Variant::ArrayOf({TSampleCompany::CompanyCode, TSampleCompany::LeaderUser, QString(), revision,
                                                   QStringLiteral("TTestFmt"), Style, QString()}),
                                 0),
                  0);
    }

    // Saving with the style name given, revisions and a reload, on a server.
    void SavesAndLoadsThrough(const Variant& server)
    {
        auto form = Layout(server);
        Title(form.get())->SetCaption(QStringLiteral("第一版"));
        Title(form.get())->move(333, 7);
        bool handled = false;
        form->SaveChanges(handled);
        EXPECT_TRUE(handled);
        ASSERT_TRUE(form->Saved) << shown.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(Revision(server), QStringLiteral("0"));
        EXPECT_TRUE(Shown(QStringLiteral("你是否想要保存呢?")));

        ForceRevision(server, QStringLiteral("998"));
        Title(form.get())->SetCaption(QStringLiteral("第二版"));
        shown.clear();
        form->SaveChanges(handled);
        ASSERT_TRUE(form->Saved) << shown.join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(Shown(QStringLiteral("该格式档[样式一]已经存在，你是否想要继续保存呢?")))
            << shown.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(Revision(server), QStringLiteral("999"));
        form->SaveChanges(handled);
        EXPECT_EQ(Revision(server), QStringLiteral("1"));  // 999 counts as 0

        const QStringList stored = StoredLines(server);
        EXPECT_EQ(stored.first(), QStringLiteral("inherited TestFmt: TTestFmt"));
        EXPECT_TRUE(stored.contains(QStringLiteral("        Caption = '第二版'")));
        EXPECT_FALSE(stored.join(QLatin1Char('\n')).contains(QStringLiteral("Tag =")));

        auto fresh = Layout(server);
        EXPECT_EQ(Title(fresh.get())->Caption(), QStringLiteral("第二版"));
        EXPECT_EQ(Title(fresh.get())->pos(), QPoint(333, 7));
        EXPECT_FALSE(fresh->isVisible());
        // Another style has nothing stored: the design stays.
        auto plain = Layout(server, QStringLiteral("别的"));
        EXPECT_EQ(Title(plain.get())->Caption(), QStringLiteral("采购进货单"));
    }

    // Whether a message box showed the text (the converter pads short texts).
    bool Shown(const QString& text) const
    {
        for (const QString& s : shown)
            if (s.trimmed() == text) return true;
        return false;
    }

    QTemporaryDir local;
};

}  // namespace

TEST_F(FormatStoreTest, LayoutsAreStoredAndReadInProcessWithRevisions)
{
    SavesAndLoadsThrough(designServer);
}

TEST_F(FormatStoreTest, LayoutsAreStoredAndReadOverTcp)
{
    TServerSettings settings = install.Settings();
    settings.ListenPort = 0;
    TServerProcess process(WriteServerIni(install.Dir(), settings));
    TSocketConnection connection;
    connection.Port = process.Port();
    connection.ServerName = QStringLiteral("KELM24S.Class1");
    connection.Open();
    const Variant server = connection.AppServer();
    TAppServerObject(server).Connect(QStringLiteral("KELM24"), TSampleCompany::LeaderUser, TSampleCompany::CompanyCode,
                                     QStringLiteral("DEMO"), QString());
    SavesAndLoadsThrough(server);
}

TEST_F(FormatStoreTest, ALostLockOrARefusedInsertKeepsTheChangesInTheLocalFile)
{
    auto between = std::make_shared<TServerInBetween>(designServer);
    const Variant server(std::static_pointer_cast<IAutomationObject>(between));
    const Variant other = OtherSession();

    // Someone else stores the same new style just before ours is inserted.
    auto form = Layout(server);
    Title(form.get())->SetCaption(QStringLiteral("我的修改"));
    between->before = [&](const QString& member, const VariantArgs&) {
        if (member != member::RunInsUpdSQL) return;
        between->before = nullptr;
        TAppServerObject(other).RunInsUpdSQL(false, Variant::ArrayOf({QStringLiteral("inherited TestFmt: TTestFmt"), QStringLiteral("end")}),
                                             Variant::ArrayOf({TSampleCompany::CompanyCode, TSampleCompany::LeaderUser, QString(),
                                                               QStringLiteral("TTestFmt"), Style, QString(), QString()}),
                                             0);
    };
    bool handled = false;
    form->SaveChanges(handled);
    EXPECT_FALSE(form->Saved);
    EXPECT_FALSE(form->Saving);
    EXPECT_TRUE(Shown(QStringLiteral("保存格式档失败，请重新编辑保存！！"))) << shown.join(QLatin1Char('|')).toStdString();
    const QString file = local.filePath(QStringLiteral("C_DATA/TTestFmt_样式一.dat"));
    EXPECT_EQ(form->LocalLayoutFile(Style), file);
    ASSERT_TRUE(QFileInfo::exists(file));

    // Someone else stores a newer revision between our read and our lock.
    Title(form.get())->SetCaption(QStringLiteral("再次修改"));
    between->before = [&](const QString& member, const VariantArgs&) {
        if (member != member::RunUpdFlagSQL) return;
        between->before = nullptr;
        ForceRevision(other, QStringLiteral("5"));
    };
    shown.clear();
    form->SaveChanges(handled);
    EXPECT_FALSE(form->Saved);
    EXPECT_TRUE(Shown(QStringLiteral("锁定格式档失败，请重新编辑保存！！"))) << shown.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(Revision(designServer), QStringLiteral("5"));

    // The load-local action brings the changes back.
    auto fresh = Layout(server);
    EXPECT_EQ(Title(fresh.get())->Caption(), QStringLiteral("采购进货单"));
    TDialogService::ScriptInputs({QStringLiteral("样式一")});
    fresh->nuLoadLocClick();
    EXPECT_EQ(Title(fresh.get())->Caption(), QStringLiteral("再次修改"));
    // Ctrl+Alt+L is the same action; "No" to the question leaves the form.
    Title(fresh.get())->SetCaption(QStringLiteral("x"));
    fresh->show();
    answer = mrNo;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_L, Qt::ControlModifier | Qt::AltModifier);
    QApplication::sendEvent(fresh.get(), &press);
    EXPECT_EQ(Title(fresh.get())->Caption(), QStringLiteral("x"));
    EXPECT_TRUE(Shown(QStringLiteral("是否加载上次保存失败时的修改!")));
    answer = mrYes;
    TDialogService::ScriptInputs({QStringLiteral("样式一")});
    QKeyEvent again(QEvent::KeyPress, Qt::Key_L, Qt::ControlModifier | Qt::AltModifier);
    QApplication::sendEvent(fresh.get(), &again);
    EXPECT_EQ(Title(fresh.get())->Caption(), QStringLiteral("再次修改"));
}

TEST_F(FormatStoreTest, StyleNamePromptRules)
{
    auto form = Layout(designServer, NewStyleName);
    Title(form.get())->SetCaption(QStringLiteral("新样式"));
    // "<New>" is refused, a name too long is refused, then one is taken.
    TDialogService::ScriptInputs({QStringLiteral("<new>"), QString(41, QLatin1Char('x')), QStringLiteral("新的")});
    bool handled = false;
    form->SaveChanges(handled);
    EXPECT_TRUE(form->Saved) << shown.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(form->StyleName, QStringLiteral("新的"));
    EXPECT_TRUE(Shown(QStringLiteral("请输入一个新的凭证格式档名称")));
    EXPECT_TRUE(Shown(QStringLiteral("自定单据格式名称不可大于 40 码")));
    EXPECT_EQ(Revision(designServer, QStringLiteral("新的")), QStringLiteral("0"));

    // Cancelling the prompt for a "<New>" style saves nothing.
    auto other = Layout(designServer, NewStyleName);
    TDialogService::ScriptInputs({QString()});
    other->SaveChanges(handled);
    EXPECT_FALSE(other->Saved);
    EXPECT_FALSE(other->Saving);

    // Without a counter the longest name is 0: every non-empty name is too long.
    other->Counter = Variant();
    EXPECT_EQ(other->QueryMaxStyleNameLength(), 0);
    other->MaxStyleNameLength = 0;
    shown.clear();
    TDialogService::ScriptInputs({QStringLiteral("a"), QString()});
    QString name;
    EXPECT_FALSE(other->AskStyleName(QStringLiteral("k"), QStringLiteral("c"), QStringLiteral("p"), QStringLiteral("p"), name));
    EXPECT_TRUE(Shown(QStringLiteral("自定单据格式名称不可大于 0 码")));
}

TEST_F(FormatStoreTest, TraditionalChineseReadsBig5CharsetsAndStoresGb2312)
{
    // A stored layout of a simplified-Chinese installation.
    const Variant other = OtherSession();
    ASSERT_GT(TAppServerObject(other).RunInsUpdSQL(
                  false,
                  Variant::ArrayOf({QStringLiteral("inherited TestFmt: TTestFmt"), QStringLiteral("  inherited QuickRep1: TQuickRep"),
                                    QStringLiteral("    inherited QRBand1: TQRBand"), QStringLiteral("      inherited lblTitle: TQRLabel"),
                                    QStringLiteral("        Font.Charset = GB2312_CHARSET"), QStringLiteral("        Left = 301"),
                                    QStringLiteral("      end"), QStringLiteral("    end"), QStringLiteral("  end"), QStringLiteral("end")}),
                  Variant::ArrayOf({TSampleCompany::CompanyCode, TSampleCompany::LeaderUser, QString(), QStringLiteral("TTestFmt"),
                                    Style, QString(), QString()}),
                  0),
              0);
    WriteInstallation(QStringLiteral("[Server Information]\nComputerName=127.0.0.1\nServerPort=2110\n"
                                     "[CodePage]\nUICodePage=950\nDBCodePage=936\n"));
    auto form = Layout(designServer);
    ASSERT_EQ(form->UICodePage(), QStringLiteral("950"));
    EXPECT_EQ(Title(form.get())->x(), 301);
    EXPECT_EQ(Title(form.get())->property(FontCharsetProperty).toInt(), 136);
    bool handled = false;
    form->SaveChanges(handled);
    ASSERT_TRUE(form->Saved) << shown.join(QLatin1Char('|')).toStdString();
    const QString stored = StoredLines(designServer).join(QLatin1Char('\n'));
    EXPECT_TRUE(stored.contains(QStringLiteral("Font.Charset = GB2312_CHARSET"))) << stored.toStdString();
    EXPECT_FALSE(stored.contains(QStringLiteral("CHINESEBIG5_CHARSET"))) << stored.toStdString();
}

TEST_F(FormatStoreTest, TheLongestStyleNameComesFromTheDatabaseOnSqlite)
{
    auto form = Layout(designServer);
    form->Counter = THostObject(host).Counter();
    EXPECT_EQ(form->QueryMaxStyleNameLength(), 40);
    form->StartDesigner();
    EXPECT_EQ(form->MaxStyleNameLength, 40);
}

TEST_F(FormatStoreTest, TheLongestStyleNameComesFromTheDatabaseOnPostgreSql)
{
    TPgCluster pg;
    if (!pg.Skip().isEmpty()) KELM24_SKIP_OR_FAIL(pg.Skip().toStdString());
    TServerSettings settings = pg.CreateDatabase(QStringLiteral("kelm24fmt"));
    {
        TDataLayer layer(settings, true);
        TSampleOptions sample;
        sample.Receipts = 2;
        TSampleCompany(sample).Write(layer);
    }
    Variant server(std::make_shared<TAppServer>(settings));
    TAppServerObject(server).Connect(QStringLiteral("KELM24"), TSampleCompany::LeaderUser, TSampleCompany::CompanyCode,
                                     QStringLiteral("DEMO"), QString());
    auto pgData = std::make_shared<THostData>(server);
    pgData->Company = TSampleCompany::CompanyCode;
    auto pgHost = Variant(std::shared_ptr<IAutomationObject>(std::make_shared<THostManager>(pgData, chooser, options)));
    auto form = Layout(server);
    form->Counter = THostObject(pgHost).Counter();
    EXPECT_EQ(form->QueryMaxStyleNameLength(), 40);
    // The declared length holds there: a longer name is refused by the database.
    EXPECT_LT(TAppServerObject(server).RunInsUpdSQL(false, Variant::ArrayOf({QStringLiteral("end")}),
                                                    Variant::ArrayOf({TSampleCompany::CompanyCode, TSampleCompany::LeaderUser,
                                                                      QString(), QStringLiteral("TTestFmt"), QString(41, QLatin1Char('n')),
                                                                      QString(), QString()}),
                                                    0),
              0);
}

TEST_F(FormatStoreTest, TheOptionFormRunsATestLayoutByClassName)
{
    RegisterFormatClass(QStringLiteral("TfrmKelm24Fmt"), &TTestFmt::CreateForm);
    QPointer<TfrmKelm24> optionForm = StartForm<TfrmKelm24>();
    ASSERT_TRUE(started) << optionForm->ErrorTexts.toStdString();
    auto run = std::make_unique<TfrmVRBaseOpt::TFormatRun>(*optionForm);
    const QString sql = QStringLiteral("SELECT TG001, TG002, TG014 AS TG003 FROM PURTG ORDER BY TG001, TG002");
    ASSERT_EQ(optionForm->OpenFormatForm(sql, *run), 1) << shown.join(QLatin1Char('|')).toStdString();
    auto* layout = dynamic_cast<TTestFmt*>(run->Form());
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(layout->parentWidget(), optionForm.data());
    EXPECT_EQ(layout->lastSQL, sql);
    EXPECT_EQ(layout->ClientDataSet1->ProviderName(), QStringLiteral("Provider1"));
    EXPECT_GT(layout->ClientDataSet1->RecordCount(), 10);
    EXPECT_EQ(layout->DateType, optionForm->cboDateType->ItemIndex() + 1);
    layout->PrintMode = 0;
    layout->Preview();
    EXPECT_GT(layout->GeneratedPages, 0);
    EXPECT_GE(layout->titlePrints, layout->ClientDataSet1->RecordCount());
    // The dates of the receipts print in the report's date style.
    auto* date = layout->findChild<TQRDBText*>(QStringLiteral("txtTG003"));
    const QString printed = date->PrintedText();
    EXPECT_FALSE(printed.isEmpty());
    EXPECT_NE(printed.size(), 8) << printed.toStdString();
    // The first page as a picture: the fields are drawn on it.
    const QImage page = layout->ReportPrinter()->PageImage(1, 96);
    ASSERT_FALSE(page.isNull());
    int ink = 0;
    for (int y = 0; y < page.height(); y += 2)
        for (int x = 0; x < page.width(); x += 2) ink += qGray(page.pixel(x, y)) < 128;
    EXPECT_GT(ink, 200);
    if (qEnvironmentVariableIsSet("KELM24_SAVE_PAGES")) page.save(QStringLiteral("/tmp/fmtbase_page1.png"));

    // Documents of a mail run: a line per recipient, the pages of each.
    optionForm->SendKeyField = QStringLiteral("TG001");
    optionForm->SendAddressField = QStringLiteral("TG002");
    optionForm->SendStatusField = QStringLiteral("TG045");
    layout->SendMode = 1;
    layout->ClientDataSet1->First();
    const QString key = layout->ClientDataSet1->FieldByName(QStringLiteral("TG001")).AsString();
    const QString address = layout->ClientDataSet1->FieldByName(QStringLiteral("TG002")).AsString();
    layout->SendList.clear();
    layout->PageCounter = 1;
    layout->RegisterDocument(QStringLiteral("PURTG"), QStringLiteral("W1"));
    layout->PageCounter = 2;
    layout->RegisterDocument(QStringLiteral("PURTG"), QStringLiteral("W2"));
    EXPECT_EQ(layout->SendList, QStringList{key + QStringLiteral("=") + address +
                                            QStringLiteral("||1,PURTG;TG045;W1;2,PURTG;TG045;W2;")});
    layout->SendMode = 0;
    layout->RegisterDocument(QStringLiteral("PURTG"), QStringLiteral("W3"));
    EXPECT_EQ(layout->SendList.size(), 1);

    // Print counts: not in preview, one more when printing.
    const QString where = QStringLiteral("TG001='%1' and TG002='%2' ").arg(key, address);
    auto count = [&] {
        layout->ClientDataSet2->Close();
        layout->ClientDataSet2->SetCommandText(QStringLiteral("SELECT TG012 FROM PURTG WHERE ") + where);
        layout->ClientDataSet2->Open();
        return layout->ClientDataSet2->FieldByName(QStringLiteral("TG012")).AsInteger();
    };
    const int before = count();
    const Variant args = Variant::ArrayOf({QStringLiteral("$$PURTG"), QStringLiteral("TG012"), where});
    layout->PrintMode = 0;
    layout->UpdatePrintCount(args);
    EXPECT_EQ(count(), before);
    layout->PrintMode = 1;
    layout->UpdatePrintCount(args);
    EXPECT_EQ(count(), before + 1);

    // Fields added in the designer are hidden when the builder is off.
    auto* band = layout->findChild<QWidget*>(QStringLiteral("QRBand1"));
    auto* added = new TQvQRDBBarcode(band);
    added->setObjectName(QStringLiteral("ExBcTG0021"));
    added->SetDataSet(layout->ClientDataSet1);
    added->show();
    layout->DesignerAdded << added->objectName();
    layout->HideBuilderFields();
    EXPECT_FALSE(added->Printable());
    EXPECT_EQ(added->DataSetObject(), nullptr);

    run.reset();  // frees the layout
    delete optionForm;
    Settle();
    RegisterFormatClass(QStringLiteral("TfrmKelm24Fmt"), nullptr);
}

TEST_F(FormatStoreTest, OtherWindowsTakeNoInputWhilePagesGenerate)
{
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    auto form = Layout(designServer);
    bool otherEnabled = true;
    form->QuickRep1->BeforePrint = [&](TQuickRep*, bool&) { otherEnabled = other.isEnabled(); };
    EXPECT_TRUE(form->PrepareReport());
    EXPECT_FALSE(otherEnabled);
    EXPECT_TRUE(other.isEnabled());
    EXPECT_GT(form->GeneratedPages, 0);
}

TEST_F(FormatStoreTest, FileNamesFollowTheClassTheLanguageAndTheStyle)
{
    std::unique_ptr<TfrmProbeFmt_1> form(TQVForm::Create<TfrmProbeFmt_1>());
    form->ClientPath = local.path() + QLatin1Char('/');
    const QString folder = local.path() + QStringLiteral("/C_DATA/");
    EXPECT_EQ(form->LocalLayoutFile(QString()), folder + QStringLiteral("TfrmProbeFmt_1.dat"));
    // A style name never leads out of the layout folder.
    EXPECT_EQ(form->LocalLayoutFile(QStringLiteral("../a/b")), folder + QStringLiteral("TfrmProbeFmt_1_.._a_b.dat"));
    EXPECT_EQ(form->BackgroundPictureFile(), QString());  // only for the Chinese interfaces
    form->UILanguage = 2;
    EXPECT_EQ(form->LocalLayoutFile(QStringLiteral("甲")), folder + QStringLiteral("CHT_TfrmProbeFmt_1_甲.dat"));
    form->UILanguage = 1;
    form->QuickRep1->SetPageStyle(psFullPage);
    EXPECT_EQ(form->BackgroundPictureFile(), folder + QStringLiteral("CHS_PROBEF_1.svg"));
    form->QuickRep1->SetPageStyle(psHalfPage);
    EXPECT_EQ(form->BackgroundPictureFile(), folder + QStringLiteral("CHS_PROBEH_1.svg"));
    // The picture is loaded when it is there; a missing one keeps what there was.
    form->LoadBackgroundPicture();
    EXPECT_FALSE(form->QuickRep1->HasPicture());
    QDir().mkpath(folder);
    QFile svg(folder + QStringLiteral("CHS_PROBEH_1.svg"));
    ASSERT_TRUE(svg.open(QIODevice::WriteOnly));
    svg.write("<svg xmlns='http://www.w3.org/2000/svg' width='100' height='100'><rect width='50' height='50'/></svg>");
    svg.close();
    form->LoadBackgroundPicture();
    EXPECT_TRUE(form->QuickRep1->HasPicture());
    EXPECT_EQ(form->BackgroundFile, folder + QStringLiteral("CHS_PROBEH_1.svg"));
}

TEST_F(FormatStoreTest, SaveKeysAreExactModifierSets)
{
    auto form = Layout(designServer, QStringLiteral("键"));
    Title(form.get())->SetCaption(QStringLiteral("按键保存"));
    // Ctrl+Shift+S is no save key.
    form->show();
    QKeyEvent other(QEvent::KeyPress, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QApplication::sendEvent(form.get(), &other);
    EXPECT_EQ(Revision(designServer, QStringLiteral("键")), QStringLiteral("(none)"));
    form->show();
    QKeyEvent save(QEvent::KeyPress, Qt::Key_S, Qt::ControlModifier);
    QApplication::sendEvent(form.get(), &save);
    EXPECT_EQ(Revision(designServer, QStringLiteral("键")), QStringLiteral("0"));
    EXPECT_TRUE(Shown(QStringLiteral("保存格式档成功，当前的格式档名称变为：键"))) << shown.join(QLatin1Char('|')).toStdString();
    // Ctrl+N saves under a new name.
    TDialogService::ScriptInputs({QStringLiteral("另一个")});
    form->show();
    QKeyEvent saveAs(QEvent::KeyPress, Qt::Key_N, Qt::ControlModifier);
    QApplication::sendEvent(form.get(), &saveAs);
    EXPECT_EQ(form->StyleName, QStringLiteral("另一个"));
    EXPECT_EQ(Revision(designServer, QStringLiteral("另一个")), QStringLiteral("0"));
}
