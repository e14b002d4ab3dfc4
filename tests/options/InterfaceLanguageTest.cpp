// The option forms under the three interface languages: the English packages
// the product ships leave no Chinese program text on any form, a damaged
// package still translates the rest, every page keeps the form's size with
// its texts fitting, and a traditional-Chinese interface over a simplified
// database reads and finds the company's texts.
#include "format/engine/ClientDataSet.h"
#include "format/engine/QRControls.h"
#include "format/engine/QRPrinter.h"
#include "format/engine/QuickRep.h"
#include "runtime/AlertLog.h"
#include "tests/format/PageDifference.h"
#include "tests/options/InterfaceLanguageFixture.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QRadioButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QComboBox>
#include <QDirIterator>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace kelm24;
using namespace kelm24::test;

namespace {

QString Listed(const QList<TShownText>& texts)
{
    QString list;
    for (const TShownText& t : texts) list += QStringLiteral("\n  %1 = \"%2\"").arg(t.Where, t.Text);
    return list;
}

QString ReadAll(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The message keys the option forms look texts up by ("sProjectName"), read
// from their sources, so a key added later without an English text is found.
QStringList MessageKeysInSources()
{
    QStringList keys;
    const QRegularExpression key(QStringLiteral("\"(s[A-Z][A-Za-z]+)\""));
    for (QDirIterator it(QStringLiteral(KELM24_SOURCE_DIR "/options"), {QStringLiteral("*.cpp")}, QDir::Files); it.hasNext();) {
        for (const QRegularExpressionMatch& m : key.globalMatch(ReadAll(it.next())))
            if (!keys.contains(m.captured(1))) keys << m.captured(1);
    }
    return keys;
}

}  // namespace

class InterfaceLanguageTest : public InterfaceLanguageFixture {};

TEST_F(InterfaceLanguageTest, EnglishInterfaceLeavesNoChineseProgramTextOnAnyForm)
{
    UseInterface(QStringLiteral("437"));
    for (const TFormCase& form : ProductForms()) {
        SCOPED_TRACE(form.Name.toStdString());
        QWidget* window = form.Show();
        ASSERT_TRUE(window);
        QList<TShownText> chinese;
        // The company's own title in the caption and its name on the layout
        // are its data, not program texts.
        const QString companyName = optionForm->CompanyInfo.value(1);
        for (TShownText text : ShownTexts(window)) {
            text.Text.remove(optionForm->SystemTitle);
            if (!companyName.isEmpty()) text.Text.remove(companyName);
            if (HasChinese(text.Text)) chinese << text;
        }
        EXPECT_TRUE(chinese.isEmpty()) << form.Name.toStdString() << " shows untranslated texts:"
                                       << Listed(chinese).toStdString();
    }
    // Every entry of the shipped packages stored its value.
    const QString log = ReadAll(AlertLogFileName(QStringLiteral("Language"), QStringLiteral("D"), QDate::currentDate()));
    EXPECT_TRUE(log.isEmpty()) << log.toStdString();
    // The walk sees what it should: translated texts of every page, of the
    // layout with its designer menu, and of the preview.
    QList<TShownText> texts = ShownTexts(ShowReceiptForm());
    auto has = [&](const QString& where, const QString& text) {
        for (const TShownText& t : texts)
            if (t.Where == where && t.Text == text) return true;
        return false;
    };
    EXPECT_TRUE(has(QStringLiteral("btnOk.Caption"), QStringLiteral("Print")));
    EXPECT_TRUE(has(QStringLiteral("tsOption3.Caption"), QStringLiteral("Advanced")));
    EXPECT_TRUE(has(QStringLiteral("cboTG013.item 2"), QStringLiteral("Void")));
    EXPECT_TRUE(has(QStringLiteral("splTG002.BeginWords_0"), QStringLiteral("From")));
    EXPECT_TRUE(has(QStringLiteral("nuOpen.Caption"), QStringLiteral("&Open")));
    texts = ShownTexts(ShowLayout(QStringLiteral("TfrmKelm24Fmt")));
    EXPECT_TRUE(has(QStringLiteral("lblTotal1.Caption"), QStringLiteral("Receipt Amt")));
    EXPECT_TRUE(has(QStringLiteral("txtTG005.Hint"), QStringLiteral("Supplier")));
    EXPECT_TRUE(has(QStringLiteral("nuSaveAs.text"), QStringLiteral("Save Layout &As...")));
    EXPECT_TRUE(has(QStringLiteral("txtTG013.Items_0"), QStringLiteral("Y=Approved")));
    texts = ShownTexts(ShowOutputWindow<TfrmVRPreview>());
    EXPECT_TRUE(has(QStringLiteral("frmVRPreview.windowTitle"), QStringLiteral("Print Preview")));
    EXPECT_TRUE(has(QStringLiteral("btnPrint.toolTip"), QStringLiteral("Print")));
    EXPECT_TRUE(has(QStringLiteral("pmPDF.text"), QStringLiteral("Export as .PDF file")));
    // The status bar's paper panel (a panel's text is not walked).
    EXPECT_TRUE(preview->StatusBar->Panel(1)->Text().startsWith(QStringLiteral(" Paper: Letter")))
        << preview->StatusBar->Panel(1)->Text().toStdString();
}

TEST_F(InterfaceLanguageTest, TheWalkFindsAChineseTextNoPackageChanged)
{
    // Without the English packages the same walk lists the Chinese texts.
    UseInterface(QStringLiteral("437"));
    QFile::remove(QDir(languageFolder).filePath(QStringLiteral("TfrmKelm24.Lng")));
    ShowReceiptForm();
    QStringList where;
    for (const TShownText& text : ShownTexts(optionForm))
        if (HasChinese(text.Text)) where << text.Where;
    EXPECT_TRUE(where.contains(QStringLiteral("lblTG001.Caption")));
    EXPECT_TRUE(where.contains(QStringLiteral("cboTG013.item 0")));
    EXPECT_FALSE(where.contains(QStringLiteral("btnOk.Caption")));  // its package is there
}

TEST_F(InterfaceLanguageTest, EveryMessageKeyOfTheOptionFormsHasAnEnglishText)
{
    UseInterface(QStringLiteral("437"));
    const QStringList keys = MessageKeysInSources();
    ASSERT_GE(keys.size(), 20);
    QString packages;
    for (QDirIterator it(languageFolder, {QStringLiteral("*.Lng")}, QDir::Files); it.hasNext();) packages += ReadAll(it.next());
    for (const QString& key : keys) {
        const QRegularExpression entry(QStringLiteral("<%1 Msg=\"([^\"]*)\"").arg(key));
        const QRegularExpressionMatch m = entry.match(packages);
        EXPECT_TRUE(m.hasMatch()) << key.toStdString() << " has no English text";
        EXPECT_FALSE(HasChinese(m.captured(1))) << key.toStdString();
    }
    // Looked up by the class the forms name.
    TfrmKelm24* form = ShowReceiptForm();
    EXPECT_EQ(form->LangText(QStringLiteral("TfrmBaseGene"), QStringLiteral("sProjectName"), QStringLiteral("方案名称")),
              QStringLiteral("Set name"));
    EXPECT_EQ(form->LangText(QStringLiteral("TfrmGeneCondition"), QStringLiteral("sReplaceProj"), QStringLiteral("替换?")),
              QStringLiteral("A condition set of this name already exists. Replace it with this one?"));
}

TEST_F(InterfaceLanguageTest, TranslatedListsStillGiveTheSystemsConditions)
{
    UseInterface(QStringLiteral("437"));
    TfrmKelm24* form = ShowReceiptForm();
    ASSERT_EQ(form->cboTG013->Items().value(2), QStringLiteral("Void"));
    form->edtTG001->SetText(QStringLiteral("3401"));
    form->cboTG013->SetItemIndex(2);   // void
    form->cboPrintSts->SetItemIndex(1);  // not printed
    form->rgSendType->SetItemIndex(1);   // fax/e-mail: the send status goes to "not sent"
    EXPECT_EQ(form->cboSendStatus->ItemIndex(), 1);
    Variant values = Variant::CreateArray(1, form->OptionCount);
    ASSERT_TRUE(static_cast<TfrmBaseGene*>(form)->GetOptionValues(values, form->OptionCount - form->OptionBase));
    EXPECT_EQ(values[4].ToString(), QStringLiteral("='V' "));
    EXPECT_EQ(values[5].ToString(), QStringLiteral("=0"));
    EXPECT_EQ(values[form->OptionCount - 1].ToString(), QStringLiteral("=0"));
}

TEST_F(InterfaceLanguageTest, DamagedPackageLeavesTheRestTranslatedAndNamesTheEntry)
{
    UseInterface(QStringLiteral("437"));
    const QString fileName = QDir(languageFolder).filePath(QStringLiteral("TfrmVRBaseOpt.Lng"));
    QString package = ReadAll(fileName);
    // A value the property cannot take, a property that does not exist, and
    // an element whose attribute breaks the XML (an unescaped "<").
    package.replace(QStringLiteral("<btnPreview Caption=\"Preview\"/>"),
                    QStringLiteral("<btnPreview Caption=\"Preview\" Width=\"wide\" Captoin=\"x\"/>"));
    package.replace(QStringLiteral("<lblDateType Caption=\"Date format\"/>"),
                    QStringLiteral("<lblDateType Caption=\"Date <format\"/>"));
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(package.toUtf8());
    file.close();

    TfrmKelm24* form = ShowReceiptForm();
    EXPECT_EQ(form->btnPreview->Caption(), QStringLiteral("Preview"));
    EXPECT_EQ(form->lblFormStyleName->Caption(), QStringLiteral("Layout style"));
    EXPECT_EQ(form->cboSendStatus->Items().value(2), QStringLiteral("All"));  // after the broken element
    EXPECT_EQ(form->btnPaperSize->Caption(), QStringLiteral("Paper"));
    EXPECT_EQ(form->btnDesign->Hint(), QStringLiteral("Design the layout"));  // the next package still applies

    const QString log = ReadAll(AlertLogFileName(QStringLiteral("Language"), QStringLiteral("D"), QDate::currentDate()));
    EXPECT_TRUE(log.contains(QStringLiteral("TfrmVRBaseOpt.Lng"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("btnPreview (line"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("Width=\"wide\""))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("Captoin=\"x\""))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("line 8"))) << log.toStdString();  // the parser's reason with its line
    EXPECT_FALSE(log.contains(QStringLiteral("Caption=\"Preview\""))) << log.toStdString();
}

namespace {

int TextWidth(const QWidget* w, const QString& text)
{
    QString plain = text;
    plain.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return w->fontMetrics().horizontalAdvance(plain);
}

// What a user would find wrong on the form as it is shown now: a text wider
// than its control, a control that covers another, a control that reaches
// past the edge of its parent.
QStringList LayoutFaults(QWidget* form)
{
    QStringList faults;
    auto name = [](const QWidget* w) {
        return (w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName());
    };
    QList<QWidget*> widgets;
    for (QWidget* w : form->findChildren<QWidget*>())
        if (w->isVisibleTo(form) && !w->isWindow() && !w->objectName().startsWith(QLatin1String("qt_")))
            widgets << w;
    for (QWidget* w : widgets) {
        const QString where = name(w) + QStringLiteral(" (") + name(w->parentWidget()) + QLatin1Char(')');
        auto needs = [&](const QString& text, int extra, int room) {
            const int width = TextWidth(w, text) + extra;
            if (width > room)
                faults << QStringLiteral("%1 cuts \"%2\": needs %3 px, has %4").arg(where, text).arg(width).arg(room);
        };
        if (auto* label = qobject_cast<QLabel*>(w); label && !label->wordWrap()) needs(label->text(), 0, w->width());
        auto* tool = qobject_cast<QToolButton*>(w);
        const bool iconOnly = tool && tool->toolButtonStyle() == Qt::ToolButtonIconOnly;
        if (auto* box = qobject_cast<TBitCheckBox*>(w); box && !box->Caption().isEmpty()) needs(box->Caption(), 20, w->width());
        if (auto* button = qobject_cast<QAbstractButton*>(w); button && !button->text().isEmpty() && !iconOnly) {
            const bool box = qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w);
            needs(button->text(), box ? 20 : 8 + (button->icon().isNull() ? 0 : button->iconSize().width() + 4), w->width());
        }
        if (auto* combo = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < combo->count(); ++i) needs(combo->itemText(i), 24, w->width());
        if (auto* group = qobject_cast<QGroupBox*>(w); group && !group->title().isEmpty()) needs(group->title(), 16, w->width());
        const QWidget* parent = w->parentWidget();
        // A scroll area's contents (the preview's page) scroll inside its viewport.
        const bool scrolled = parent && parent->objectName() == QLatin1String("qt_scrollarea_viewport");
        if (parent && !scrolled && !qobject_cast<const QStackedWidget*>(parent) &&
            (w->x() + w->width() > parent->width() + 1 || w->y() + w->height() > parent->height() + 1))
            faults << QStringLiteral("%1 reaches past its parent: %2 x %3 at %4,%5 in %6 x %7")
                          .arg(where)
                          .arg(w->width())
                          .arg(w->height())
                          .arg(w->x())
                          .arg(w->y())
                          .arg(parent->width())
                          .arg(parent->height());
    }
    for (int i = 0; i < widgets.size(); ++i)
        for (int j = i + 1; j < widgets.size(); ++j) {
            QWidget *a = widgets[i], *b = widgets[j];
            if (a->parentWidget() != b->parentWidget() || qobject_cast<QStackedWidget*>(a->parentWidget())) continue;
            const QRect common = a->geometry().intersected(b->geometry());
            if (common.width() > 1 && common.height() > 1)
                faults << QStringLiteral("%1 and %2 overlap in %3 (%4 x %5)")
                              .arg(name(a), name(b), name(a->parentWidget()))
                              .arg(common.width())
                              .arg(common.height());
        }
    return faults;
}

}  // namespace

class FormSizeTest : public InterfaceLanguageFixture, public ::testing::WithParamInterface<const char*> {};

TEST_P(FormSizeTest, EveryPageKeepsTheFormSizeAndItsTextsFit)
{
    const QString codePage = QString::fromLatin1(GetParam());
    UseInterface(codePage);
    // Pictures of every page, when asked for (the reference pictures of the
    // repository are made this way).
    const QString grabDir = qEnvironmentVariable("KELM24_GRAB_DIR");
    const QString language = QDir(languageFolder).dirName();
    TfrmKelm24* form = StartForm<TfrmKelm24>();
    form->show();
    Settle();
    const QSize sizeShown = form->size();
    EXPECT_GE(sizeShown.width(), 708);
    for (int i = 0; i < form->pgOption->PageCount(); ++i) {
        TTabSheet* page = form->pgOption->Page(i);
        if (!page->TabVisible()) continue;
        form->pgOption->SetActivePage(page);
        Settle();
        SCOPED_TRACE((language + QLatin1Char(' ') + page->objectName()).toStdString());
        EXPECT_EQ(form->size(), sizeShown);
        const QStringList faults = LayoutFaults(form);
        EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
        if (!grabDir.isEmpty())
            form->grab().save(QDir(grabDir).filePath(QStringLiteral("TfrmKelm24-%1-%2.png").arg(language, page->objectName())));
    }
    // The save dialog of the form, with its date rules in view.
    auto* dialog = TQVForm::Create<TfrmGeneCondition>(form, form->DateFields, 1);
    dialog->show();
    Settle();
    const QStringList faults = LayoutFaults(dialog);
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
    if (!grabDir.isEmpty())
        dialog->grab().save(QDir(grabDir).filePath(QStringLiteral("TfrmGeneCondition-%1.png").arg(language)));
    delete dialog;
    // The windows of a run: the preview and the send dialogs.
    optionForm = form;
    const QList<std::pair<QString, std::function<QWidget*()>>> windows = {
        {QStringLiteral("TfrmVRPreview"), [this] { return ShowOutputWindow<TfrmVRPreview>(); }},
        {QStringLiteral("TfrmEmailSubject"), [this] { return ShowOutputWindow<TfrmEmailSubject>(); }},
        {QStringLiteral("TfrmVRConvPic"), [this] { return ShowOutputWindow<TfrmVRConvPic>(); }},
        {QStringLiteral("TfrmVRSendOut"), [this] { return ShowOutputWindow<TfrmVRSendOut>(); }}};
    for (const auto& [name, show] : windows) {
        SCOPED_TRACE((language + QLatin1Char(' ') + name).toStdString());
        QWidget* window = show();
        ASSERT_TRUE(window);
        const QStringList windowFaults = LayoutFaults(window);
        EXPECT_TRUE(windowFaults.isEmpty()) << windowFaults.join(QLatin1Char('\n')).toStdString();
        if (!grabDir.isEmpty()) window->grab().save(QDir(grabDir).filePath(QStringLiteral("%1-%2.png").arg(name, language)));
    }
}

INSTANTIATE_TEST_SUITE_P(InterfaceLanguages, FormSizeTest, ::testing::Values("936", "950", "437"));

TEST_F(InterfaceLanguageTest, TraditionalInterfaceReadsAndFindsTheSimplifiedCompanyTexts)
{
    // Interface 950 over the sample company's simplified (GB) database: the
    // data conversion is on.
    UseInterface(QStringLiteral("950"), QStringLiteral("936"));
    TfrmKelm24* form = StartForm<TfrmKelm24>();
    ASSERT_TRUE(started);
    ASSERT_EQ(form->Converter()->DBConvertMode, 2);
    // A condition set stored under a simplified name.
    ASSERT_EQ(form->AppServer
                  .Call(member::InsertConTable,
                        {Variant::ArrayOf({QStringLiteral("进货单打印条件"), form->UserCode, QStringLiteral("20240105"),
                                           form->ProgramCode, QStringLiteral("edtTG001.text;"), QStringLiteral("3401"),
                                           false})})
                  .ToString(),
              QString());
    form->show();
    Settle();
    // The program's texts and the company's texts in traditional characters.
    EXPECT_EQ(form->tsOption1->Caption(), QStringLiteral("基本選項"));
    EXPECT_EQ(form->btnOk->Caption(), QStringLiteral("列印"));
    QStringList sets;
    for (int i = 0; i < form->lstCondition->ItemCount(); ++i) sets << form->lstCondition->Item(i)->Caption();
    EXPECT_TRUE(sets.contains(QStringLiteral("進貨單列印條件"))) << sets.join(QLatin1Char(',')).toStdString();
    EXPECT_EQ(form->ClientDataSet1->FieldByName(QStringLiteral("NCONDITION")).DisplayLabel(), QStringLiteral("NCONDITION"));

    form->edtTG001->setFocus();
    form->edtTG001Enter();
    form->edtTG001->SetText(QStringLiteral("3401"));
    form->edtTG001Exit();
    EXPECT_EQ(form->txtTG001->Caption(), QStringLiteral("一般進貨單"));
    EXPECT_EQ(form->edtNote1->Text(), QStringLiteral("1. 本單一式三聯: 白聯倉庫, 紅聯財務, 黃聯採購。"));

    // Typed in traditional characters, the pick finds the simplified rows.
    form->edtTG001Enter();
    form->edtTG001->SetText(QStringLiteral("進口"));
    chooser->Rows.push_back({0});
    static_cast<TfrmBaseGene*>(form)->DoF2Key(Qt::Key_F2, form->edtTG001);
    EXPECT_EQ(form->edtTG001->Text(), QStringLiteral("2801"));
    EXPECT_EQ(form->txtTG001->Caption(), QStringLiteral("進口進貨單"));

    // The converted lists still give the system's conditions.
    EXPECT_EQ(form->cboTG013->Items().value(0), QStringLiteral("已審核"));
    Variant values = Variant::CreateArray(1, form->OptionCount);
    ASSERT_TRUE(static_cast<TfrmBaseGene*>(form)->GetOptionValues(values, form->OptionCount - form->OptionBase));
    EXPECT_EQ(values[4].ToString(), QStringLiteral("='Y' "));

    // The set, opened from its traditional caption, restores its values.
    for (int i = 0; i < form->lstCondition->ItemCount(); ++i)
        if (form->lstCondition->Item(i)->Caption() == QStringLiteral("進貨單列印條件")) form->lstCondition->SetItemIndex(i);
    form->btnOpenClick();
    EXPECT_EQ(form->edtTG001->Text(), QStringLiteral("3401"));
    EXPECT_EQ(form->txtTG001->Caption(), QStringLiteral("一般進貨單"));
}

namespace {

// The texts a printed page showed last, by label: every label of the layout
// that printed (its last text), with the data fields read from the company's
// rows marked as data.
struct TPrintedText {
    QString Name, Text;
    bool Data;
};

QList<TPrintedText> PrintedTexts(TfrmKelm24Fmt* layout)
{
    QList<TPrintedText> texts;
    for (TQRCustomLabel* label : layout->findChildren<TQRCustomLabel*>()) {
        if (!label->Enabled() || label->PrintedText().isEmpty()) continue;
        const bool data = qobject_cast<TQRDBText*>(label) && !qobject_cast<TQRDBIDText*>(label);
        texts.append({label->objectName(), label->PrintedText(), data});
    }
    return texts;
}

}  // namespace

class PrintedReceiptTest : public InterfaceLanguageFixture, public ::testing::WithParamInterface<const char*> {};

TEST_P(PrintedReceiptTest, ReceiptPrintsInTheInterfaceLanguage)
{
    const QString codePage = QString::fromLatin1(GetParam());
    UseInterface(codePage);
    const QString language = QDir(languageFolder).dirName();
    TfrmKelm24Fmt* layout = PrintReceipt(QStringLiteral("2801"), QStringLiteral("20231228004"));
    ASSERT_TRUE(layout);
    ASSERT_EQ(layout->ReportPrinter()->PageCount(), 1);
    const QString grabDir = qEnvironmentVariable("KELM24_GRAB_DIR");
    if (!grabDir.isEmpty())
        layout->ReportPrinter()->PageImage(1, 96).save(QDir(grabDir).filePath(QStringLiteral("Receipt-%1.png").arg(language)));
    auto printed = [layout](const char* name) {
        auto* label = layout->findChild<TQRCustomLabel*>(QString::fromLatin1(name));
        return label ? label->PrintedText() : QStringLiteral("<no %1>").arg(QString::fromLatin1(name));
    };
    if (codePage == QLatin1String("437")) {
        // Fully English but for the company's data (its name, the rows' texts).
        QStringList chinese;
        for (const TPrintedText& t : PrintedTexts(layout)) {
            const bool titleField = t.Name == QLatin1String("txtTH068C") || t.Name == QLatin1String("txtTH069C");
            if ((!t.Data || titleField) && t.Name != QLatin1String("lblCompany") && HasChinese(t.Text))
                chinese << t.Name + QStringLiteral(" = ") + t.Text;
        }
        EXPECT_TRUE(chinese.isEmpty()) << chinese.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(printed("txtTG013"), QStringLiteral("Approved"));
        EXPECT_EQ(printed("lblTotal1"), QStringLiteral("Receipt Amt"));
        EXPECT_EQ(printed("txtTH068C"), QStringLiteral("Sampled"));
        EXPECT_TRUE(printed("txtTG019TA").endsWith(QStringLiteral("CENTS ONLY"))) << printed("txtTG019TA").toStdString();
        // In the English interface's face, as the forms are.
        EXPECT_EQ(layout->findChild<QWidget*>(QStringLiteral("lblTotal1"))->font().family(), QStringLiteral("Tahoma"));
    } else if (codePage == QLatin1String("950")) {
        // Data conversion on: the company's simplified texts print in
        // traditional characters, and the layout's own texts too.
        EXPECT_EQ(printed("lblCompany"), QStringLiteral("蘇州恆潤貿易有限公司"));
        EXPECT_EQ(printed("txtMA002"), QStringLiteral("宏遠包裝"));
        EXPECT_EQ(printed("txtCMSMC002"), QStringLiteral("原料倉"));
        EXPECT_EQ(printed("txtTG013"), QStringLiteral("已審核"));
        EXPECT_EQ(printed("lblTotal1"), QStringLiteral("進貨金額"));
        // The layout's data set reads in the display code page and keeps the stored text.
        TField& supplier = layout->ClientDataSet1->FieldByName(QStringLiteral("MA002"));
        EXPECT_EQ(supplier.DisplayText(), QStringLiteral("宏遠包裝"));
        EXPECT_EQ(supplier.AsString(), QStringLiteral("宏远包装"));
        EXPECT_EQ(layout->QuickRep1->PictureFile(), QStringLiteral(":/backgrounds/CHT_KELM24F.svg"));
    } else {
        EXPECT_EQ(printed("txtMA002"), QStringLiteral("宏远包装"));
        EXPECT_EQ(printed("txtTG013"), QStringLiteral("已审核"));
        EXPECT_EQ(printed("lblTotal1"), QStringLiteral("进货金额"));
    }
}

namespace {

// What the receipt layout of a host run printed on its last page: the
// voucher name, the first note line and the second sign-off line.
QStringList hostRunTexts;

TVRFormatForm* RecordingReceiptLayout(QWidget* Owner)
{
    TVRFormatForm* made = TfrmKelm24Fmt::CreateForm(Owner);
    auto* layout = dynamic_cast<TfrmKelm24Fmt*>(made);
    layout->QuickRep1->OnEndPage = [layout](TQuickRep*) {
        hostRunTexts = {layout->lblVoucherName->PrintedText(), layout->lblNote1->PrintedText(),
                        layout->lblSignIn2->PrintedText()};
    };
    return made;
}

}  // namespace

TEST_F(InterfaceLanguageTest, HostExportUnderTheTraditionalInterfacePrintsTheTypesTextsInTraditional)
{
    // The host exports without showing the form: the type's texts, read
    // from the simplified database for the run, still print converted.
    UseInterface(QStringLiteral("950"), QStringLiteral("936"));
    optionForm = StartForm<TfrmKelm24>();
    ASSERT_TRUE(started);
    RegisterFormatClass(QStringLiteral("TfrmKelm24Fmt"), &RecordingReceiptLayout);
    hostRunTexts.clear();
    const QTemporaryDir out;
    ASSERT_TRUE(optionForm->ExportForHost(Variant::ArrayOf({Variant(QStringLiteral("2801")), Variant(QStringLiteral("20231228004"))}),
                                          ftBMP, out.filePath(QStringLiteral("receipt")), 96, QString()));
    ASSERT_EQ(hostRunTexts.size(), 3);
    EXPECT_EQ(hostRunTexts[0], QStringLiteral("進貨單"));
    EXPECT_TRUE(hostRunTexts[1].startsWith(QStringLiteral("1. 本單一式三聯"))) << hostRunTexts[1].toStdString();
    EXPECT_EQ(hostRunTexts[2], QStringLiteral("審核:"));
}

TEST_F(InterfaceLanguageTest, AReceiptPrintedFromTheShownFormLooksAsOneFromAHostRun)
{
    // While pages generate the other windows are disabled, the shown option
    // form too, and with it the layout it owns: its texts must not grey.
    UseInterface(QStringLiteral("936"));
    TfrmKelm24Fmt* layout = PrintReceipt(QStringLiteral("2801"), QStringLiteral("20231228004"));
    ASSERT_TRUE(layout);
    const QImage hidden = layout->ReportPrinter()->PageImage(1, 96).convertToFormat(QImage::Format_RGB32);
    ShowReceiptForm();
    layout = PrintReceipt(QStringLiteral("2801"), QStringLiteral("20231228004"));
    ASSERT_TRUE(layout);
    const QImage fromShownForm = layout->ReportPrinter()->PageImage(1, 96).convertToFormat(QImage::Format_RGB32);
    const auto [far, mean] = PageDifference(hidden, fromShownForm);
    EXPECT_LT(far, 0.001);
    EXPECT_LT(mean, 0.5);
}

INSTANTIATE_TEST_SUITE_P(InterfaceLanguages, PrintedReceiptTest, ::testing::Values("936", "950", "437"));
