#include "TestInstall.h"
#include "i18n/QvLangController.h"

#include <QComboBox>
#include <QMenu>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QWidget>

using namespace kelm24;
using kelm24::test::TestInstall;

namespace {

const char* const Package = R"(<?xml version="1.0" encoding="UTF-8"?>
<TfrmKelm24 Caption="Purchase receipts" Tag="5">
  <btnOk Caption="Print" Hint="Print the receipts" Enabled="False"/>
  <pnlCondition Caption="Conditions">
    <lblCondition Caption="Condition sets"/>
  </pnlCondition>
  <cboDateType Items_2="ROC YYMMDD" Items_0="Western"/>
  <lstCondition Columns_1.Caption="Created" Items_0.Caption="First" Font.Name="Tahoma" Font.Size="11"/>
  <btnCancel Caption="Close" Width="oops" Nonexistent="x" Items_x="y"/>
  <btnOk Caption="Second btnOk is ignored"/>
  <Messages>
    <sOpenDoc Msg="Files written to %s. Open them?"/>
    <sCount Msg="%d files"/>
    <sNoAttribute>text</sNoAttribute>
  </Messages>
</TfrmKelm24>
)";

// A small option form: panel with a label, OK and Cancel, a combo and a list view.
struct SampleForm {
    QWidget form;
    QWidget* panel = new QWidget(&form);
    QLabel* label = new QLabel(QStringLiteral("条件方案"), panel);
    QPushButton* ok = new QPushButton(QStringLiteral("确定"), &form);
    QPushButton* cancel = new QPushButton(QStringLiteral("取消"), &form);
    QComboBox* combo = new QComboBox(&form);
    QTreeWidget* list = new QTreeWidget(&form);
    SampleForm()
    {
        form.setObjectName("TfrmKelm24");
        form.setWindowTitle(QStringLiteral("进货单"));
        panel->setObjectName("pnlCondition");
        label->setObjectName("lblCondition");
        ok->setObjectName("btnOk");
        cancel->setObjectName("btnCancel");
        combo->setObjectName("cboDateType");
        list->setObjectName("lstCondition");
        list->setHeaderLabels({QStringLiteral("方案名称"), QStringLiteral("创建时间")});
        new QTreeWidgetItem(list, {QStringLiteral("方案一")});
    }
};

class LanguagePackages : public ::testing::Test {
protected:
    void SetUp() override
    {
        install.StandardRegistry();
        install.WriteUtf8("client/CorvaneC.ini", "[CodePage]\nUICodePage=936\n");
        install.Write("client/MultiLanguage/CHS/TfrmKelm24.Lng", Package);
    }
    TestInstall install;
};

}  // namespace

TEST_F(LanguagePackages, ApplyChangesExactlyTheNamedComponents)
{
    SampleForm f;
    TQvLangController controller(&f.form);
    QStringList loaded;
    controller.BeforeLoadComponent = [&](QObject* c, xmlNode*) { loaded << c->objectName(); };
    controller.SetLangPackageName("TfrmKelm24");
    EXPECT_EQ(controller.FileName(), install.Client() + "MultiLanguage/CHS/TfrmKelm24.Lng");
    controller.SetActive(true);
    ASSERT_TRUE(controller.Active());
    controller.ApplyTo(&f.form);

    EXPECT_EQ(f.form.windowTitle(), "Purchase receipts");  // the root element goes to the form
    EXPECT_EQ(f.ok->text(), "Print");                       // the first btnOk element wins
    EXPECT_EQ(f.ok->toolTip(), "Print the receipts");
    EXPECT_FALSE(f.ok->isEnabled());
    EXPECT_EQ(f.label->text(), "Condition sets");
    EXPECT_EQ(f.cancel->text(), "Close");  // bad values and unknown paths are ignored
    EXPECT_EQ(f.list->headerItem()->text(0), QStringLiteral("方案名称"));
    EXPECT_EQ(f.list->headerItem()->text(1), "Created");
    EXPECT_EQ(f.list->topLevelItem(0)->text(0), "First");
    EXPECT_EQ(f.list->font().family(), "Tahoma");
    EXPECT_EQ(f.list->font().pointSize(), 11);
    EXPECT_EQ(loaded.first(), "TfrmKelm24");
    EXPECT_TRUE(loaded.contains("btnOk"));
}

TEST_F(LanguagePackages, SkippedEntriesAreListedAndPopupsAreNoForms)
{
    SampleForm f;
    auto* menu = new QMenu(&f.form);  // a pop-up menu is a window but no form
    menu->setTitle(QStringLiteral("操作"));
    TQvLangController controller(&f.form);
    controller.SetLangPackageName("TfrmKelm24");
    controller.SetActive(true);
    controller.ApplyTo(&f.form);
    EXPECT_EQ(menu->title(), QStringLiteral("操作"));
    EXPECT_EQ(f.form.windowTitle(), "Purchase receipts");
    // The entries that stored nothing, each once, with element and line;
    // the root's Tag (a property the form lacks) among them.
    const QStringList failures = controller.Failures();
    EXPECT_EQ(failures.size(), 5) << failures.join('\n').toStdString();
    EXPECT_TRUE(failures.contains("TfrmKelm24 (line 2): Tag=\"5\""));
    EXPECT_TRUE(failures.contains("pnlCondition (line 4): Caption=\"Conditions\""));  // a plain panel has none
    EXPECT_TRUE(failures.contains("btnCancel (line 9): Width=\"oops\""));
    EXPECT_TRUE(failures.contains("btnCancel (line 9): Nonexistent=\"x\""));
    EXPECT_TRUE(failures.contains("btnCancel (line 9): Items_x=\"y\""));
    controller.SetActive(false);
    EXPECT_TRUE(controller.Failures().isEmpty());
}

TEST_F(LanguagePackages, DamagedPackageIsRecoveredOnlyWhenAsked)
{
    install.Write("client/MultiLanguage/CHS/TfrmDamaged.Lng",
                  "<?xml version=\"1.0\"?>\n<TfrmDamaged>\n  <btnOk Caption=\"Print\"/>\n"
                  "  <btnCancel Caption=\"Close <now\"/>\n  <lblCondition Caption=\"Sets\"/>\n</TfrmDamaged>\n");
    SampleForm f;
    TQvLangController controller(&f.form);
    controller.SetLangPackageName("TfrmDamaged");
    EXPECT_THROW(controller.SetActive(true), ELanguageControllerError);
    controller.RecoverDamaged = true;
    controller.SetActive(true);
    controller.ApplyTo(&f.form);
    EXPECT_EQ(f.ok->text(), "Print");
    EXPECT_EQ(f.label->text(), "Sets");
    ASSERT_FALSE(controller.Failures().isEmpty());
    EXPECT_TRUE(controller.Failures().first().contains("line 4")) << controller.Failures().first().toStdString();
}

TEST_F(LanguagePackages, ComboItemsByIndexKeepTheSelection)
{
    SampleForm f;
    TQvLangController controller;
    controller.SetLangPackageName("TfrmKelm24");
    controller.SetActive(true);
    controller.ApplyTo(&f.form);
    ASSERT_EQ(f.combo->count(), 3);  // lines added up to line 2
    EXPECT_EQ(f.combo->itemText(0), "Western");
    EXPECT_EQ(f.combo->itemText(1), "");
    EXPECT_EQ(f.combo->itemText(2), "ROC YYMMDD");

    SampleForm g;
    g.combo->addItems({"a", "b", "c", "d"});
    g.combo->setCurrentIndex(3);
    controller.ApplyTo(&g.form);
    EXPECT_EQ(g.combo->itemText(2), "ROC YYMMDD");
    EXPECT_EQ(g.combo->itemText(3), "d");
    EXPECT_EQ(g.combo->currentIndex(), 3);
}

TEST_F(LanguagePackages, ExcludedComponentsKeepTheirTextsButNotTheirChildren)
{
    SampleForm f;
    TQvLangController controller;
    controller.SetExcludeControls({"  BTNOK ", "pnlCondition"});
    controller.SetLangPackageName("TfrmKelm24");
    controller.SetActive(true);
    controller.ApplyTo(&f.form);
    EXPECT_EQ(f.ok->text(), QStringLiteral("确定"));
    EXPECT_EQ(f.label->text(), "Condition sets");  // owned by the excluded panel, still translated
    EXPECT_EQ(f.cancel->text(), "Close");
    controller.SetExcludeControls({});  // an open reader takes the new list at once
    controller.ApplyTo(&f.form);
    EXPECT_EQ(f.ok->text(), "Print");
}

TEST_F(LanguagePackages, OpeningAndClosing)
{
    TQvLangController controller;
    int opened = 0, closed = 0;
    controller.AfterOpen = [&](QObject*) { ++opened; };
    controller.AfterClose = [&](QObject*) { ++closed; };
    try {
        controller.SetActive(true);
        FAIL() << "opened without a file";
    } catch (const ELanguageControllerError& e) {
        EXPECT_EQ(e.Message(), "Cannot Find File !");
    }
    QWidget form;
    try {
        controller.ApplyTo(&form);
        FAIL() << "applied while inactive";
    } catch (const ELanguageControllerError& e) {
        EXPECT_EQ(e.Message(), "No active LanguageController!");
    }
    controller.SetLangPackageName("TfrmKelm24");
    controller.SetActive(true);
    EXPECT_EQ(opened, 1);
    controller.SetLangPackageName("TfrmKelm24");  // the same name keeps it open
    EXPECT_TRUE(controller.Active());
    controller.SetLangPackageName("Other");  // another file closes it
    EXPECT_FALSE(controller.Active());
    EXPECT_EQ(closed, 1);

    controller.BeginLoading();
    controller.SetLangPackageName("TfrmKelm24");
    controller.SetActive(true);
    EXPECT_FALSE(controller.Active());  // remembered until loading ends
    controller.EndLoading();
    EXPECT_TRUE(controller.Active());
}

TEST_F(LanguagePackages, HandlersMayCloseOrSwitchThePackageWhileItApplies)
{
    install.Write("client/MultiLanguage/CHS/Other.Lng", "<F><btnCancel Caption=\"Other\"/></F>");
    SampleForm f;
    TQvLangController controller;
    controller.SetLangPackageName("TfrmKelm24");
    controller.AfterLoadComponent = [&](QObject* c, xmlNode*) {
        if (c != f.ok) return;
        controller.SetActive(false);  // the package in use is closed
        delete f.combo;               // and a component not yet visited goes
    };
    controller.SetActive(true);
    controller.ApplyTo(&f.form);  // finishes with the package it started with
    EXPECT_FALSE(controller.Active());
    EXPECT_EQ(f.cancel->text(), "Close");

    SampleForm g;
    controller.AfterLoadComponent = [&](QObject* c, xmlNode*) {
        if (c == g.ok) {
            controller.SetLangPackageName("Other");
            controller.SetActive(true);
        }
    };
    controller.SetLangPackageName("TfrmKelm24");
    controller.SetActive(true);
    controller.ApplyTo(&g.form);
    EXPECT_EQ(g.cancel->text(), "Close");
    controller.AfterLoadComponent = nullptr;
    controller.ApplyTo(&g.form);  // now the other package
    EXPECT_EQ(g.cancel->text(), "Other");
}

TEST_F(LanguagePackages, MalformedPackageRaisesWithTheParserReason)
{
    install.Write("client/MultiLanguage/CHS/Broken.Lng", "<?xml version=\"1.0\"?>\n<Form>\n  <btnOk Caption=\"x\">\n</Form>\n");
    TQvLangController controller;
    controller.SetLangPackageName("Broken");
    try {
        controller.SetActive(true);
        FAIL() << "no error";
    } catch (const ELanguageControllerError& e) {
        EXPECT_TRUE(e.Message().contains("mismatch", Qt::CaseInsensitive)) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains("line 4") || e.Message().contains("line 3")) << e.Message().toStdString();
    }
    EXPECT_FALSE(controller.Active());

    // Bytes that are no GB characters in a package declared GB2312 are an
    // error too, not a caption cut short.
    install.Write("client/MultiLanguage/CHS/BadGb.Lng",
                  "<?xml version=\"1.0\" encoding=\"GB2312\"?>\n<Form><btnOk Caption=\"\xBD\xF8\xFF\xFF\xBB\xF5\"/></Form>\n");
    controller.SetLangPackageName("BadGb");
    try {
        controller.SetActive(true);
        FAIL() << "no error";
    } catch (const ELanguageControllerError& e) {
        EXPECT_TRUE(e.Message().contains("conversion failed", Qt::CaseInsensitive)) << e.Message().toStdString();
    }
}

TEST_F(LanguagePackages, GbDeclaredPackages)
{
    const QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"GB2312\"?>\n<Form><btnOk Caption=\"打印\"/>"
                                        "<sTitle Msg=\"进货单\"/></Form>\n");
    QByteArray bytes = EncodeCodePage(text, 936);
    install.Write("client/MultiLanguage/CHS/Gb.Lng", bytes);
    SampleForm f;
    TQvLangController controller;
    controller.SetLangPackageName("Gb");
    controller.SetActive(true);
    controller.ApplyTo(&f.form);
    EXPECT_EQ(f.ok->text(), QStringLiteral("打印"));
    EXPECT_EQ(LookupMessage(dtClient, "Gb", "sTitle", "d"), QStringLiteral("进货单"));
}

TEST_F(LanguagePackages, MessagesNeverRaise)
{
    EXPECT_EQ(LookupMessage(dtClient, "TfrmKelm24", "sOpenDoc", "d"), "Files written to %s. Open them?");
    EXPECT_EQ(LookupMessage(dtClient, "TfrmKelm24", "sMissing", QStringLiteral("创建目录失败：")), QStringLiteral("创建目录失败："));
    EXPECT_EQ(LookupMessage(dtClient, "TfrmKelm24", "sNoAttribute", "d"), "d");
    EXPECT_EQ(LookupMessage(dtClient, "NoPackage", "sOpenDoc", "d"), "d");
    EXPECT_EQ(LookupMessage(dtClient, "TfrmKelm24", "bad key[", "d"), "d");
    EXPECT_EQ(LookupMessage(dtServer, "TfrmKelm24", "sOpenDoc", "d"), "d");  // the server has no language folder
    EXPECT_EQ(LookupMessageFmt(dtClient, "TfrmKelm24", "sOpenDoc", "d", {"/tmp/out"}), "Files written to /tmp/out. Open them?");
    EXPECT_EQ(LookupMessageFmt(dtClient, "TfrmKelm24", "sCount", "d", {3}), "3 files");
    EXPECT_EQ(LookupMessageFmt(dtClient, "TfrmKelm24", "sCount", "d", {}), "%d files");  // arguments missing
    EXPECT_EQ(LookupMessageFmt(dtClient, "X", "sOpenDoc", QStringLiteral("转出文件为：%s\r\r是否打开文件？"), {"/d"}),
              QStringLiteral("转出文件为：/d\r\r是否打开文件？"));
}

TEST_F(LanguagePackages, CodePageWithoutLanguageFolder)
{
    install.WriteUtf8("client/CorvaneC.ini", "[CodePage]\nUICodePage=1252\n");
    EXPECT_EQ(LanguageFolder(dtClient), "");
    EXPECT_EQ(LookupMessage(dtClient, "TfrmKelm24", "sOpenDoc", "Default"), "Default");
    TQvLangController controller;
    controller.SetLangPackageName("TfrmKelm24");
    EXPECT_EQ(controller.FileName(), "");
    EXPECT_THROW(controller.SetActive(true), ELanguageControllerError);
}

// Packages are files users copy between installations: one made by mistake
// or on purpose must neither read other files nor stall the form.
TEST_F(LanguagePackages, HostilePackagesReadNothingElseAndFinish)
{
    install.Write("client/secret.dtd", "<!ENTITY s \"SECRET\">\n<!ATTLIST btnCancel Hint CDATA \"SECRET\">\n");
    install.Write("client/secret.txt", "SECRET");
    const QByteArray external = "<?xml version=\"1.0\"?>\n<!DOCTYPE TfrmKelm24 SYSTEM \"" + install.Client().toUtf8() +
                                "secret.dtd\" [\n<!ENTITY t SYSTEM \"" + install.Client().toUtf8() +
                                "secret.txt\">\n<!ENTITY co \"Kelm\">\n]>\n"
                                "<TfrmKelm24><btnOk Caption=\"&co; &s;\"/><pnlCondition>&t;</pnlCondition>"
                                "<btnCancel Caption=\"Close\"/><sMsg Msg=\"&co; &s;\"/></TfrmKelm24>\n";
    install.Write("client/MultiLanguage/CHS/External.Lng", external);
    SampleForm f;
    TQvLangController controller;
    controller.SetLangPackageName("External");
    try {
        controller.SetActive(true);
        controller.ApplyTo(&f.form);
    } catch (const ELanguageControllerError&) {
        // refusing the package is as good as ignoring the outside files
    }
    for (QObject* o : f.form.findChildren<QObject*>())
        for (const char* p : {"text", "toolTip", "windowTitle"})
            EXPECT_FALSE(o->property(p).toString().contains("SECRET")) << o->objectName().toStdString() << ' ' << p;
    EXPECT_FALSE(LookupMessage(dtClient, "External", "sMsg", "d").contains("SECRET"));
    EXPECT_TRUE(LookupMessage(dtClient, "External", "sMsg", "d").startsWith("Kelm"));  // internal entities still expand

    // 140 KB referencing a 20,000-character entity 20,000 times in one
    // attribute: 400 MB of text. The attribute is ignored, the rest applies.
    QByteArray large = "<?xml version=\"1.0\"?>\n<!DOCTYPE F [<!ENTITY a \"" + QByteArray(20000, 'x') +
                       "\">]>\n<TfrmKelm24><btnOk Caption=\"";
    for (int i = 0; i < 20000; ++i) large += "&a;";
    large += "\" Hint=\"&a;\"/><sMsg Msg=\"";
    for (int i = 0; i < 20000; ++i) large += "&a;";
    large += "\"/></TfrmKelm24>\n";
    install.Write("client/MultiLanguage/CHS/Large.Lng", large);
    controller.SetLangPackageName("Large");
    controller.SetActive(true);
    controller.ApplyTo(&f.form);
    EXPECT_EQ(f.ok->toolTip(), QString(20000, 'x'));
    EXPECT_NE(f.ok->text().size(), 400000000);
    EXPECT_EQ(LookupMessage(dtClient, "Large", "sMsg", "d"), "d");

    QByteArray deep = "<TfrmKelm24>";
    for (int i = 0; i < 5000; ++i) deep += "<a>";
    for (int i = 0; i < 5000; ++i) deep += "</a>";
    install.Write("client/MultiLanguage/CHS/Deep.Lng", deep + "</TfrmKelm24>");
    controller.SetLangPackageName("Deep");
    try {
        controller.SetActive(true);
        FAIL() << "a package nested 5,000 deep opened";
    } catch (const ELanguageControllerError& e) {
        EXPECT_TRUE(e.Message().contains("depth", Qt::CaseInsensitive)) << e.Message().toStdString();
    }
}

TEST_F(LanguagePackages, ValuesThatDoNotFitThePropertyAreIgnored)
{
    install.Write("client/MultiLanguage/CHS/Fit.Lng",
                  "<F><spnCopies value=\"4294967298\" minimum=\" -3 \" maximum=\"$40\" Cursor=\"crHourGlass\"/>"
                  "<btnOk Cursor=\"-21\"/><btnCancel Cursor=\"crNothing\"/>"
                  "<cboDateType Items_2000000000=\"far away\" Items_1=\"near\"/></F>");
    QWidget form;
    auto* copies = new QSpinBox(&form);
    copies->setObjectName("spnCopies");
    copies->setRange(0, 100);
    copies->setValue(5);
    auto* combo = new QComboBox(&form);
    combo->setObjectName("cboDateType");
    auto* ok = new QPushButton(&form);
    ok->setObjectName("btnOk");
    auto* cancel = new QPushButton(&form);
    cancel->setObjectName("btnCancel");
    cancel->setCursor(Qt::IBeamCursor);
    TQvLangController controller;
    controller.SetLangPackageName("Fit");
    controller.SetActive(true);
    controller.ApplyTo(&form);
    EXPECT_EQ(copies->value(), 5);     // 4294967298 does not fit an int: not stored as 2
    EXPECT_EQ(copies->minimum(), -3);  // a value that fits is stored
    EXPECT_EQ(copies->maximum(), 64);  // "$" hexadecimal
    // Cursors by the system's names and numbers; an unknown name changes nothing.
    EXPECT_EQ(copies->cursor().shape(), Qt::WaitCursor);
    EXPECT_EQ(ok->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(cancel->cursor().shape(), Qt::IBeamCursor);
    ASSERT_EQ(combo->count(), 2);      // line 2,000,000,000 is not made by adding empty lines
    EXPECT_EQ(combo->itemText(1), "near");
}
