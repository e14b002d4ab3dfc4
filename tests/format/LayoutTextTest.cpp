// Layout texts: the program's design read at creation, a changed form
// written and read back, value kinds, the lines a stored layout keeps, and
// damaged or hostile texts.
#include "tests/format/TestFmt.h"

#include "controls/Menus.h"
#include "controls/StdCtrls.h"
#include "format/LayoutTables.h"
#include "format/engine/QRBands.h"
#include "format/engine/QRControls.h"
#include "format/engine/QVQRControls.h"
#include "format/engine/QuickRep.h"
#include "platform/dialogs/Dialogs.h"

#include <QPalette>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kelm24;
using namespace kelm24::test;

namespace {

class LayoutTextTest : public ::testing::Test {
protected:
    LayoutTextTest()
    {
        TDialogService::Reset();
        TDialogService::SetMessageHandler([this](const TMessageRequest& r) {
            shown << r.Caption + QStringLiteral(": ") + r.Text;
            return static_cast<int>(mrOk);
        });
    }
    ~LayoutTextTest() override { TDialogService::Reset(); }

    template <class T>
    T* Find(QWidget* form, const char* name)
    {
        return form->findChild<T*>(QString::fromLatin1(name));
    }

    QStringList shown;
};

QString Nested(int depth)
{
    QString text = QStringLiteral("inherited TestFmt: TTestFmt\n");
    for (int i = 0; i < depth; ++i) text += QStringLiteral("object L%1: TQRBand\n").arg(i);
    for (int i = 0; i < depth; ++i) text += QStringLiteral("end\n");
    return text + QStringLiteral("end\n");
}

}  // namespace

TEST_F(LayoutTextTest, TheBaseDesignGivesEveryComponentOfTheForm)
{
    std::unique_ptr<TfrmVRBaseFmt> form(TQVForm::Create<TfrmVRBaseFmt>());
    ASSERT_NE(form->QuickRep1, nullptr);
    EXPECT_EQ(form->objectName(), QStringLiteral("frmVRBaseFmt"));
    EXPECT_EQ(form->QuickRep1->Hint(), QStringLiteral("页面"));
    EXPECT_EQ(form->QuickRep1->Zoom(), 80);
    EXPECT_EQ(form->QuickRep1->Page()->PaperSize(), qrpLetter);
    EXPECT_EQ(form->QuickRep1->Page()->Units(), qruMM);
    EXPECT_DOUBLE_EQ(form->QuickRep1->Page()->LeftMargin(), 10);
    EXPECT_EQ(form->QuickRep1->PageStyle(), psNone);
    EXPECT_EQ(form->QuickRep1->DataSetObject(), form->ClientDataSet1);
    EXPECT_EQ(form->dsBarCode->DataSet(), form->ClientDataSet1);
    ASSERT_NE(form->qrLostFocus, nullptr);
    EXPECT_EQ(form->qrLostFocus->parent(), form->QuickRep1);

    // The popup menu in its order, with separators after the three items.
    QStringList order;
    for (QAction* a : form->PopupMenu1->actions()) order << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    EXPECT_EQ(order, (QStringList{"ShowObjectInsp1", "mnuDOCtoEMF", "-", "nuAlignToGrid", "nuBringToFront", "nuSendToBack",
                                  "-", "nuAlignSelected", "nuSize", "sss1", "miDel", "-", "nuSave", "nuSaveAs", "nuSaveLoc",
                                  "nuLoadLoc"}));
    EXPECT_EQ(form->miDel->Caption(), QStringLiteral("删除(&Del)"));
    EXPECT_FALSE(form->miDel->Enabled());
    EXPECT_FALSE(form->nuSaveLoc->Visible());
    EXPECT_FALSE(form->nuLoadLoc->Visible());
    EXPECT_EQ(form->nuSave->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(form->nuSaveAs->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    EXPECT_EQ(BoundLayoutEvent(form->nuSave, QStringLiteral("OnClick")), QStringLiteral("nuSaveClick"));

    // The numeral table: twenty texts, the blank unit trimmed.
    ASSERT_EQ(form->memoChCapital->Lines().size(), 22);
    ASSERT_EQ(form->NumeralTable.size(), 20);
    EXPECT_EQ(form->NumeralTable[1], QStringLiteral("壹"));
    EXPECT_EQ(form->NumeralTable[15], QString());
    EXPECT_EQ(form->NumeralTable[19], QStringLiteral("整"));
    EXPECT_EQ(form->memoChCapital->Lines()[20], QStringLiteral("负"));
}

TEST_F(LayoutTextTest, ADerivedDesignAppliesOverTheBase)
{
    std::unique_ptr<TTestFmt> form(TQVForm::Create<TTestFmt>());
    EXPECT_EQ(DesignClassChain(form.get()), (QStringList{"TfrmVRBaseFmt", "TTestFmt"}));
    EXPECT_EQ(form->objectName(), QStringLiteral("TestFmt"));
    // Inherited: changed where the derived text says so, kept elsewhere.
    EXPECT_EQ(form->QuickRep1->Zoom(), 100);
    EXPECT_EQ(form->QuickRep1->Page()->PaperSize(), qrpA4);
    EXPECT_EQ(form->QuickRep1->Hint(), QStringLiteral("页面"));
    // Added: the band and its fields, their data set and handlers.
    auto* band = Find<TQRBand>(form.get(), "QRBand1");
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(band->parent(), form->QuickRep1);
    EXPECT_EQ(band->BandType(), rbDetail);
    auto* number = Find<TQRDBText>(form.get(), "txtTG002");
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->DataSet(), form->ClientDataSet1);
    EXPECT_EQ(number->font().family(), QStringLiteral("宋体"));
    EXPECT_DOUBLE_EQ(number->font().pointSizeF(), 9);
    EXPECT_EQ(number->property(FontCharsetProperty).toInt(), 134);
    // The text-type handler was bound before the text type was set, so the
    // date formatter is bound through it.
    auto* date = Find<TQVQRDBText>(form.get(), "txtTG003");
    ASSERT_NE(date, nullptr);
    EXPECT_EQ(BoundLayoutEvent(date, QStringLiteral("OnPrint")), QStringLiteral("OnDatePrint"));
    auto* title = Find<TQRLabel>(form.get(), "lblTitle");
    ASSERT_NE(title, nullptr);
    EXPECT_TRUE(title->font().bold());
    EXPECT_EQ(title->PrintText(), QStringLiteral("[采购进货单]"));
    EXPECT_EQ(form->titlePrints, 1);
}

TEST_F(LayoutTextTest, AChangedFormReadsBackIntoAFreshOneAlike)
{
    std::unique_ptr<TTestFmt> form(TQVForm::Create<TTestFmt>());
    auto* title = Find<TQRLabel>(form.get(), "lblTitle");
    auto* number = Find<TQRDBText>(form.get(), "txtTG002");
    auto* band = Find<TQRBand>(form.get(), "QRBand1");
    title->move(320, 9);
    title->SetCaption(QStringLiteral("It's \"quoted\"\x03 and 中文"));
    title->SetAlignment(taCenter);
    QFont f = number->font();
    f.setItalic(true);
    f.setPointSizeF(12);
    number->setFont(f);
    number->setProperty(FontCharsetProperty, 136);
    QPalette pal = number->palette();
    pal.setColor(QPalette::WindowText, QColor(0x12, 0x34, 0x56));
    number->setPalette(pal);
    number->SetMask(QStringLiteral("#,##0.00"));
    number->SetFrame(qrfTop | qrfLeft);
    form->QuickRep1->Page()->SetOrientation(qroLandscape);
    // A field added in the designer, with a text type and a dictionary.
    auto* added = new TQVQRDBText(band);
    added->setObjectName(QStringLiteral("ExTxtTG0041"));
    added->SetDataSet(form->ClientDataSet1);
    added->SetDataField(QStringLiteral("TG004"));
    added->SetDictText(QStringLiteral("1\x03一||2\x03二||"));
    BindLayoutEvent(added, QStringLiteral("OnTextTypeChange"), form.get(), QStringLiteral("BindOnPrint"));
    added->SetTextType(5);
    added->setGeometry(10, 20, 80, 15);
    form->DesignerAdded << added->objectName();

    const QStringList lines = form->LayoutLines();
    const QString text = lines.join(QLatin1Char('\n'));
    EXPECT_TRUE(text.startsWith(QStringLiteral("inherited TestFmt: TTestFmt"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("object ExTxtTG0041: TQVQRDBText"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Font.Charset = CHINESEBIG5_CHARSET"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Font.Color = $00563412"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Frame = [qrfTop, qrfLeft]"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Page.Orientation = poLandscape"))) << text.toStdString();
    // Unchanged components and properties are not written.
    EXPECT_FALSE(text.contains(QStringLiteral("PopupMenu1"))) << text.toStdString();

    std::unique_ptr<TTestFmt> fresh(TQVForm::Create<TTestFmt>());
    ASSERT_TRUE(fresh->ApplyLayoutText(text)) << shown.join(QLatin1Char('\n')).toStdString();
    auto* title2 = Find<TQRLabel>(fresh.get(), "lblTitle");
    auto* number2 = Find<TQRDBText>(fresh.get(), "txtTG002");
    EXPECT_EQ(title2->pos(), QPoint(320, 9));
    EXPECT_EQ(title2->Caption(), title->Caption());
    EXPECT_EQ(title2->Alignment(), int(taCenter));
    EXPECT_EQ(BoundLayoutEvent(title2, QStringLiteral("OnPrint")), QStringLiteral("lblTitlePrint"));
    EXPECT_TRUE(number2->font().italic());
    EXPECT_DOUBLE_EQ(number2->font().pointSizeF(), 12);
    EXPECT_EQ(number2->property(FontCharsetProperty).toInt(), 136);
    EXPECT_EQ(number2->palette().color(QPalette::WindowText), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(number2->Mask(), QStringLiteral("#,##0.00"));
    EXPECT_EQ(number2->Frame(), qrfTop | qrfLeft);
    EXPECT_EQ(fresh->QuickRep1->Page()->Orientation(), int(qroLandscape));
    auto* added2 = Find<TQVQRDBText>(fresh.get(), "ExTxtTG0041");
    ASSERT_NE(added2, nullptr);
    EXPECT_EQ(added2->parent(), Find<TQRBand>(fresh.get(), "QRBand1"));
    EXPECT_EQ(added2->DataSet(), fresh->ClientDataSet1);
    EXPECT_EQ(added2->DataField(), QStringLiteral("TG004"));
    EXPECT_EQ(added2->DictText(), added->DictText());
    EXPECT_EQ(added2->TextType(), 5);
    EXPECT_EQ(added2->geometry(), QRect(10, 20, 80, 15));
    EXPECT_EQ(BoundLayoutEvent(added2, QStringLiteral("OnPrint")), QStringLiteral("OnDictionaryPrint"));
    EXPECT_TRUE(fresh->DesignerAdded.contains(QStringLiteral("ExTxtTG0041")));
    // Written again, the fresh form gives the same text.
    EXPECT_EQ(fresh->LayoutLines(), lines);
}

TEST_F(LayoutTextTest, ValuesOfEveryKindAreRead)
{
    std::unique_ptr<TTestFmt> form(TQVForm::Create<TTestFmt>());
    const QString text = QStringLiteral(
        "inherited TestFmt: TTestFmt\n"
        "  inherited QuickRep1: TQuickRep\n"
        "    inherited QRBand1: TQRBand\n"
        "      Color = clYellow\n"
        "      object memo1: TQRMemo\n"
        "        Lines.Strings = (\n"
        "          'one'\n"
        "          'it''s two'\n"
        "          #20013#25991)\n"
        "        Caption = 'a' +\n"
        "          'b'#9'c'\n"
        "        Transparent = false\n"
        "        Width = $40\n"
        "        Visible = False\n"
        "      end\n"
        "      object shape1: TQRShape\n"
        "        Shape = qrsHorLine\n"
        "        PenColor = 255\n"
        "        BrushColor = clNone\n"
        "      end\n"
        "      object code1: TQvQRDBBarcode\n"
        "        BarType = bcCodeCodabar\n"
        "        DataSet = ClientDataSet2\n"
        "        OnInvalidChar = OnBarCodeInvalidChar\n"
        "      end\n"
        "    end\n"
        "  end\n"
        "end\n");
    ASSERT_TRUE(form->ApplyLayoutText(text)) << shown.join(QLatin1Char('\n')).toStdString();
    auto* memo = Find<TQRMemo>(form.get(), "memo1");
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->Lines(), (QStringList{"one", "it's two", "中文"}));
    EXPECT_EQ(memo->Caption(), QStringLiteral("ab\tc"));
    EXPECT_FALSE(memo->Transparent());
    EXPECT_EQ(memo->width(), 64);
    EXPECT_FALSE(memo->Printable());
    EXPECT_EQ(Find<TQRBand>(form.get(), "QRBand1")->Color(), QColor(Qt::yellow));
    auto* shape = Find<TQRShape>(form.get(), "shape1");
    EXPECT_EQ(shape->Shape(), int(TQRShape::qrsHorLine));
    EXPECT_EQ(shape->PenColor(), QColor(Qt::red));
    EXPECT_EQ(shape->BrushColor().alpha(), 0);
    auto* code = Find<TQvQRDBBarcode>(form.get(), "code1");
    EXPECT_EQ(code->BarType(), int(bcCodeCodabar));
    EXPECT_EQ(code->DataSetObject(), form->ClientDataSet2);
    QString replacement;
    ASSERT_TRUE(code->OnInvalidChar);
    code->OnInvalidChar(code, replacement);
    EXPECT_EQ(replacement, QStringLiteral("0"));
    EXPECT_EQ(form->DesignerAdded, (QStringList{"memo1", "shape1", "code1"}));
}

TEST_F(LayoutTextTest, ReadingALayoutAgainReusesItsComponents)
{
    std::unique_ptr<TTestFmt> form(TQVForm::Create<TTestFmt>());
    const QString text = QStringLiteral(
        "inherited TestFmt: TTestFmt\n  inherited QuickRep1: TQuickRep\n    inherited QRBand1: TQRBand\n"
        "      object ExLbl1: TQRLabel\n        Caption = 'x'\n      end\n    end\n  end\nend\n");
    ASSERT_TRUE(form->ApplyLayoutText(text));
    ASSERT_TRUE(form->ApplyLayoutText(QString(text).replace(QStringLiteral("'x'"), QStringLiteral("'y'"))));
    EXPECT_EQ(form->findChildren<TQRLabel*>(QStringLiteral("ExLbl1")).size(), 1);
    EXPECT_EQ(Find<TQRLabel>(form.get(), "ExLbl1")->Caption(), QStringLiteral("y"));
    EXPECT_EQ(form->DesignerAdded, QStringList{"ExLbl1"});
}

TEST_F(LayoutTextTest, StoredLinesKeepWhatIsWorthStoring)
{
    const QStringList all{
        "inherited TestFmt: TTestFmt",
        "  inherited QuickRep1: TQuickRep",
        "    ReportTitle = 'run time'",
        "    inherited QRBand1: TQRBand",
        "      Tag = 3",
        "    end",
        "    inherited lblTitle: TQRLabel",
        "      Left = 12",
        "      Tag = 4",
        "      Items.Strings = (",
        "        'a'",
        "        'b)')",
        "      Hint = 'x' +",
        "        'y'",
        "      OnPrint = lblTitlePrint",
        "    end",
        "    object ExTxt1: TQVQRDBText",
        "      DataField = 'TG004'",
        "      TextType = 2",
        "    end",
        "  end",
        "end",
    };
    QStringList needed;
    GetMyNeedProp(all, needed);
    EXPECT_EQ(needed, (QStringList{
                          "inherited TestFmt: TTestFmt",
                          "  inherited QuickRep1: TQuickRep",
                          "    inherited lblTitle: TQRLabel",
                          "      Left = 12",
                          "      Items.Strings = (",
                          "        'a'",
                          "        'b)')",
                          "      Hint = 'x' +",
                          "        'y'",
                          "      OnPrint = lblTitlePrint",
                          "    end",
                          "    object ExTxt1: TQVQRDBText",
                          "      DataField = 'TG004'",
                          "      TextType = 2",
                          "    end",
                          "  end",
                          "end",
                      }));
}

TEST_F(LayoutTextTest, LayoutFilesRoundTrip)
{
    QTemporaryDir dir;
    std::unique_ptr<TTestFmt> form(TQVForm::Create<TTestFmt>());
    Find<TQRLabel>(form.get(), "lblTitle")->SetCaption(QStringLiteral("文件"));
    const QString path = dir.filePath(QStringLiteral("sub/TTestFmt_a.dat"));
    SaveMyFormToFile(form.get(), path);
    std::unique_ptr<TTestFmt> fresh(TQVForm::Create<TTestFmt>());
    LoadMyFormFromFile(fresh.get(), path);
    EXPECT_EQ(Find<TQRLabel>(fresh.get(), "lblTitle")->Caption(), QStringLiteral("文件"));
    EXPECT_THROW(LoadMyFormFromFile(fresh.get(), dir.filePath(QStringLiteral("missing.dat"))), Exception);
}

// ------------------------------------------------------------ damaged and hostile texts

struct TBadText {
    const char* Name;
    QString Text;
    int Line;
    const char* Says;
};

TEST_F(LayoutTextTest, DamagedTextsAreRefusedByLineAndTheFormKeepsItsDesign)
{
    const QString head = QStringLiteral("inherited TestFmt: TTestFmt\n  inherited QuickRep1: TQuickRep\n");
    const std::vector<TBadText> cases{
        {"unknown class", head + "    object X1: TNoSuchClass\n    end\n  end\nend\n", 3, "unknown class TNoSuchClass"},
        {"unknown property", head + "    Zoom = 50\n    NoSuchProperty = 1\n  end\nend\n", 4, "no property NoSuchProperty"},
        {"wrong value type", head + "    Zoom = 'big'\n  end\nend\n", 3, "Zoom takes a whole number"},
        {"bool as number", head + "    PrintIfEmpty = 1\n  end\nend\n", 3, "True or False"},
        {"number too large", head + "    Zoom = 99999999999\n  end\nend\n", 3, "32 bits"},
        {"unterminated object", head + "    Zoom = 50\n", 2, "\"end\" is missing"},
        {"unterminated string", head + "    Hint = 'abc\n  end\nend\n", 3, "unterminated string"},
        {"unknown component", head + "    inherited NoBand: TQRBand\n    end\n  end\nend\n", 3, "no component NoBand"},
        {"wrong class", head + "    inherited ClientDataSet1: TQRBand\n    end\n  end\nend\n", 3, "not a TQRBand"},
        {"unknown reference", head + "    DataSet = NoSet\n  end\nend\n", 3, "NoSet"},
        {"unknown handler", head + "    inherited lblTitle: TQRLabel\n      OnPrint = NoHandler\n    end\n  end\nend\n", 4,
         "no handler NoHandler"},
        {"handler of another shape", head + "    inherited lblTitle: TQRLabel\n      OnPrint = WrongShape\n    end\n  end\nend\n",
         4, "does not take the arguments"},
        {"duplicate name", head + "    object A1: TQRLabel\n    end\n    object A1: TQRLabel\n    end\n  end\nend\n", 5,
         "already on the form"},
        {"control inside a data set", head + "  end\n  inherited ClientDataSet1: TClientDataSet\n    object L1: TQRLabel\n    end\n  end\nend\n",
         5, "no control"},
        {"another form's layout", "inherited frmOther: TfrmOtherFmt\nend\n", 1, "TfrmOtherFmt"},
        {"text after the end", head + "  end\nend\nend\n", 5, "follows the end"},
    };
    std::unique_ptr<TTestFmt> form(TQVForm::Create<TTestFmt>());
    const QStringList before = form->LayoutLines();
    for (const TBadText& c : cases) {
        shown.clear();
        EXPECT_FALSE(form->ApplyLayoutText(c.Text)) << c.Name;
        ASSERT_EQ(shown.size(), 1) << c.Name;
        EXPECT_TRUE(shown[0].startsWith(QStringLiteral("Open Error: "))) << c.Name;
        EXPECT_TRUE(shown[0].contains(QStringLiteral("line %1:").arg(c.Line))) << c.Name << ": " << shown[0].toStdString();
        EXPECT_TRUE(shown[0].contains(QString::fromUtf8(c.Says))) << c.Name << ": " << shown[0].toStdString();
        EXPECT_EQ(form->LayoutLines(), before) << c.Name;
        EXPECT_EQ(form->QuickRep1->Zoom(), 100) << c.Name;
    }
    EXPECT_TRUE(form->DesignerAdded.isEmpty());
}

TEST_F(LayoutTextTest, HostileSizesAreRefusedWithoutExhaustingTheProgram)
{
    std::unique_ptr<TTestFmt> form(TQVForm::Create<TTestFmt>());
    const QStringList before = form->LayoutLines();
    // 100,000 nested components.
    EXPECT_FALSE(form->ApplyLayoutText(Nested(100000)));
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains(QStringLiteral("line 65:"))) << shown[0].toStdString();
    EXPECT_TRUE(shown[0].contains(QStringLiteral("nested deeper"))) << shown[0].toStdString();
    // A 50 MB text: refused at the line where it passes the limit.
    QString big = QStringLiteral("inherited TestFmt: TTestFmt\n");
    const QString line = QStringLiteral("  Tag = 1 \n").leftJustified(1000, QLatin1Char(' '));
    big.reserve(52 * 1024 * 1024);
    while (big.size() < 50 * 1024 * 1024) big += line;
    shown.clear();
    EXPECT_FALSE(form->ApplyLayoutText(big));
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains(QStringLiteral("longer than"))) << shown[0].toStdString();
    const int limitLine = 1 + (16 * 1024 * 1024 - 31) / 1000 + 1;
    EXPECT_TRUE(shown[0].contains(QStringLiteral("line %1:").arg(limitLine)) ||
                shown[0].contains(QStringLiteral("line %1:").arg(limitLine + 1)))
        << shown[0].toStdString();
    // A list of too many lines.
    QString list = QStringLiteral("inherited TestFmt: TTestFmt\n  inherited memoChCapital: TMemo\n    Lines.Strings = (\n");
    for (int i = 0; i < 100001; ++i) list += QStringLiteral("'x'\n");
    list += QStringLiteral(")\n  end\nend\n");
    shown.clear();
    EXPECT_FALSE(form->ApplyLayoutText(list));
    EXPECT_EQ(form->memoChCapital->Lines().size(), 22);
    EXPECT_EQ(form->LayoutLines(), before);
}

TEST_F(LayoutTextTest, ParsedTreesKeepTheirLines)
{
    const auto tree = ParseLayoutText(QStringLiteral("object a: TQRLabel\n  Caption = 'x'\n  object b: TQRLabel\n  end\nend"));
    EXPECT_FALSE(tree->Inherited);
    EXPECT_EQ(tree->Name, QStringLiteral("a"));
    ASSERT_EQ(tree->Properties.size(), 1u);
    EXPECT_EQ(tree->Properties[0].Line, 2);
    ASSERT_EQ(tree->Children.size(), 1u);
    EXPECT_EQ(tree->Children[0]->Line, 3);
    EXPECT_THROW(ParseLayoutText(QString()), ELayoutError);
    try {
        ParseLayoutText(QStringLiteral("object a: TQRLabel\n  Caption 'x'\nend"));
        FAIL();
    } catch (const ELayoutError& e) {
        EXPECT_EQ(e.Line(), 2);
    }
}
