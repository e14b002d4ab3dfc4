#include "options/VROptF.h"

#include "options/FormParts.h"

#include "runtime/CorvaneIni.h"

namespace kelm24 {

namespace {

const QString NewStyle = QStringLiteral("<New>");

}  // namespace

TfrmVROpt::TfrmVROpt(QWidget* Owner) : TfrmVRBaseOpt(Owner)
{
    setObjectName(QStringLiteral("frmVROpt"));
    BuildVoucherComponents();
}

TfrmVROpt::~TfrmVROpt()
{
    BeginDestroy(this);
}

void TfrmVROpt::BuildVoucherComponents()
{
    auto block = [this](const char* group, const QString& caption, int left, const char* code, const char* button,
                        const QString& hint, const char* lineNames[3], const QString lineCaptions[3], const char* every,
                        const QString& everyCaption, TGroupBox*& g, TLabel*& lblId, TEdit*& edId, TF2Button*& btn,
                        TLabel* labels[3], TEdit* edits[3], TCheckBox*& chk) {
        g = MakeControl<TGroupBox>(tsOption2, group);
        g->SetCaption(caption);
        g->SetBounds(left, 40, 262, 150);
        lblId = MakeControl<TLabel>(g, (QByteArray(code) + "Label").constData());
        lblId->SetCaption(QStringLiteral("编号"));
        lblId->move(10, 24);
        edId = MakeControl<TEdit>(g, code);
        edId->SetMaxLength(6);
        edId->SetBounds(60, 20, 80, 21);
        edId->SetHint(QStringLiteral("[F2]") + hint);
        btn = MakeControl<TF2Button>(g, button);
        btn->SetHint(hint);
        btn->SetF2Control(edId);
        for (int i = 0; i < 3; ++i) {
            labels[i] = MakeControl<TLabel>(g, (QByteArray(lineNames[i]) + "Label").constData());
            labels[i]->SetCaption(lineCaptions[i]);
            labels[i]->move(10, 52 + i * 26);
            edits[i] = MakeControl<TEdit>(g, lineNames[i]);
            edits[i]->SetMaxLength(255);
            edits[i]->SetBounds(60, 48 + i * 26, 192, 21);
        }
        chk = MakeControl<TCheckBox>(g, every);
        chk->SetCaption(everyCaption);
        chk->move(60, 126);
    };
    const char* noteNames[3] = {"edtNote1", "edtNote2", "edtNote3"};
    const QString noteCaptions[3] = {QStringLiteral("页脚一"), QStringLiteral("页脚二"), QStringLiteral("页脚三")};
    TLabel* noteLabels[3];
    TEdit* noteEdits[3];
    block("grpNote", QStringLiteral("页脚"), 8, "edtNoteID", "btnNote", QStringLiteral("页脚信息查询"), noteNames,
          noteCaptions, "chkNoteEPPrint", QStringLiteral("每页打印页脚"), grpNote, lblNoteID, edtNoteID, btnNote,
          noteLabels, noteEdits, chkNoteEPPrint);
    lblNote1 = noteLabels[0], lblNote2 = noteLabels[1], lblNote3 = noteLabels[2];
    edtNote1 = noteEdits[0], edtNote2 = noteEdits[1], edtNote3 = noteEdits[2];
    const char* signNames[3] = {"edtSignIn1", "edtSignIn2", "edtSignIn3"};
    const QString signCaptions[3] = {QStringLiteral("签核一"), QStringLiteral("签核二"), QStringLiteral("签核三")};
    TLabel* signLabels[3];
    TEdit* signEdits[3];
    block("grpSignIn", QStringLiteral("签核"), 278, "edtSignInID", "btnSignIn", QStringLiteral("签核信息查询"), signNames,
          signCaptions, "chkSignInEPPrint", QStringLiteral("每页打印签核"), grpSignIn, lblSignInID, edtSignInID, btnSignIn,
          signLabels, signEdits, chkSignInEPPrint);
    lblSignIn1 = signLabels[0], lblSignIn2 = signLabels[1], lblSignIn3 = signLabels[2];
    edtSignIn1 = signEdits[0], edtSignIn2 = signEdits[1], edtSignIn3 = signEdits[2];
    chkTotalPrint = MakeControl<TCheckBox>(tsOption2, "chkTotalPrint");
    chkTotalPrint->SetCaption(QStringLiteral("每页打印合计"));
    chkTotalPrint->move(8, 198);

    for (TBitBtn* b : {btnOk, btnPreview, btnDesign, btnPrintSetup}) b->SetHint(b->Caption());
    for (const TTextBlock& b : {Footer(), SignOff()}) {
        b.Code->OnEnter = TNotifyEvent{this, [this, code = b.Code](QObject*) { enteredCode_ = code->Text(); }};
        b.Code->OnExit = TNotifyEvent{this, [this, b](QObject*) { CodeExit(b); }};
    }
}

TfrmVROpt::TTextBlock TfrmVROpt::Footer() const
{
    return {grpNote, edtNoteID, {edtNote1, edtNote2, edtNote3}, btnNote, chkNoteEPPrint, "1", "100235"};
}

TfrmVROpt::TTextBlock TfrmVROpt::SignOff() const
{
    return {grpSignIn, edtSignInID, {edtSignIn1, edtSignIn2, edtSignIn3}, btnSignIn, chkSignInEPPrint, "2", "100236"};
}

void TfrmVROpt::SetProgramInfo()
{
    TfrmVRBaseOpt::SetProgramInfo();
    for (TEdit* e : {edtNote1, edtNote2, edtNote3, edtSignIn1, edtSignIn2, edtSignIn3}) e->SetMaxLength(255);
    chkTotalPrint->SetChecked(false);
    chkTotalPrint->SetEnabled(false);
    HostRun = HostExport = false;
}

void TfrmVROpt::ClearBlock(const TTextBlock& Block)
{
    Block.Code->SetText(QString());
    for (TEdit* line : Block.Lines) line->SetText(QString());
}

bool TfrmVROpt::LoadBlock(const TTextBlock& Block, const QString& Code, bool ShowMessages)
{
    ClearBlock(Block);
    if (Code.isEmpty()) return true;
    Variant row;
    if (HostQuery(QStringLiteral("CMSMS"), QStringLiteral("01"), false, row,
                  Variant::ArrayOf({QString::fromLatin1(Block.Kind), Code}))) {
        Block.Code->SetText(Code);
        for (int i = 0; i < 3; ++i) Block.Lines[i]->SetText(RowText(row, i + 1));
        return true;
    }
    if (!ShowMessages) return true;
    ShowMessageRef(QStringLiteral("W"), QStringLiteral("000004"),
                   {GetMessageText(QStringLiteral("R"), QString::fromLatin1(Block.MessageId))}, 0);
    return false;
}

bool TfrmVROpt::LoadFooter(const QString& Code, bool ShowMessages)
{
    return LoadBlock(Footer(), Code, ShowMessages);
}

bool TfrmVROpt::LoadSignOff(const QString& Code, bool ShowMessages)
{
    return LoadBlock(SignOff(), Code, ShowMessages);
}

void TfrmVROpt::CodeExit(const TTextBlock& Block)
{
    const QString code = Block.Code->Text();
    if (code == enteredCode_) return;
    enteredCode_ = code;
    if (!LoadBlock(Block, code, true)) {
        enteredCode_.clear();
        Block.Code->setFocus();
    }
}

void TfrmVROpt::PickBlock(const TTextBlock& Block)
{
    Variant picked;
    F2GetData(QStringLiteral("CMSMS"), QStringLiteral("01"), Variant(QString::fromLatin1(Block.Kind)), false,
              Variant(Block.Code->Text()), picked);
    const Variant row = FirstRow(picked);
    if (!row.IsArray()) return;
    Block.Code->SetText(RowText(row, 0));
    for (int i = 0; i < 3; ++i) Block.Lines[i]->SetText(RowText(row, i + 2));
    enteredCode_ = Block.Code->Text();
}

void TfrmVROpt::DoF2Key(int Key, QWidget* Control)
{
    if (Control == edtNoteID) {
        edtNoteID->setFocus();
        PickBlock(Footer());
    } else if (Control == edtSignInID) {
        edtSignInID->setFocus();
        PickBlock(SignOff());
    } else {
        TfrmVRBaseOpt::DoF2Key(Key, Control);
    }
}

void TfrmVROpt::SetBlockEditable(const TTextBlock& Block, bool Editable)
{
    Block.Code->SetColor(Editable ? clWindow : clBtnFace);
    Block.Code->SetEnabled(Editable);
    Block.Button->SetEnabled(Editable);
    for (TEdit* line : Block.Lines) line->SetEnabled(Editable);
    Block.EveryPage->SetEnabled(Editable);
}

void TfrmVROpt::ApplyDocTypeSettings(const QString& DocType, bool ShowMessages, Variant& Row)
{
    DocTypeCode = DocType;
    Row = Variant();
    bool footerEditable = true, signEditable = true;
    if (!DocType.isEmpty()) {
        Variant r;
        const bool found = HostRun ? HostQuery(QStringLiteral("CMSMQ"), QStringLiteral("08"), false, r,
                                               Variant::ArrayOf({DocType}))
                                   : HostQuery(QStringLiteral("CMSMQ"), QStringLiteral("38"), false, r,
                                               Variant::ArrayOf({DocType, DocTypeSystem}));
        if (!found) {
            ShowMessageRef(QStringLiteral("E"), QStringLiteral("100007"), {}, -1);
            footerEditable = grpNote->isEnabled() && edtNoteID->isEnabled();
            signEditable = grpSignIn->isEnabled() && edtSignInID->isEnabled();
        } else {
            SelectStyle(RowText(r, 9));
            cboFormStyleName->SetEnabled(RowText(r, 10) == QLatin1String("Y"));
            chkNoteEPPrint->SetChecked(RowText(r, 7) == QLatin1String("Y"));
            chkSignInEPPrint->SetChecked(RowText(r, 8) == QLatin1String("Y"));
            Variant p;
            const bool program = HostQuery(QStringLiteral("CMSMT"), QStringLiteral("01"), false, p,
                                           Variant::ArrayOf({ProgramCode})) &&
                                 p.IsArray();
            Row = r;
            VoucherName = RowText(r, 11);
            if (program && cboFormStyleName->Text().isEmpty()) SelectStyle(RowText(p, 12));
            chkTotalPrint->SetEnabled(true);
            chkTotalPrint->SetChecked(RowText(r, 12) != QLatin1String("N"));
            // Footer and sign-off: the type's own code, else the program's.
            auto settle = [&](const TTextBlock& block, int codeAt, int editAt, int programCodeAt, int programEditAt) {
                ClearBlock(block);
                if (!RowText(r, codeAt).isEmpty()) {
                    LoadBlock(block, RowText(r, codeAt), ShowMessages);
                    return RowText(r, editAt) == QLatin1String("Y");
                }
                if (!program) return RowText(r, editAt) != QLatin1String("N");
                if (!RowText(p, programCodeAt).isEmpty()) {
                    LoadBlock(block, RowText(p, programCodeAt), ShowMessages);
                    return RowText(p, programEditAt) == QLatin1String("Y");
                }
                return true;
            };
            footerEditable = settle(Footer(), 1, 2, 0, 1);
            signEditable = settle(SignOff(), 3, 4, 6, 7);
        }
    } else {
        ClearBlock(Footer());
        ClearBlock(SignOff());
        chkTotalPrint->SetEnabled(true);
        chkTotalPrint->SetChecked(false);
        Row = QString();
        Variant p;
        if (HostQuery(QStringLiteral("CMSMT"), QStringLiteral("01"), false, p, Variant::ArrayOf({ProgramCode})) &&
            p.IsArray()) {
            Row = p;
            chkNoteEPPrint->SetChecked(false);
            chkSignInEPPrint->SetChecked(false);
            LoadFooter(RowText(p, 0), ShowMessages);
            footerEditable = RowText(p, 0).isEmpty() || RowText(p, 1) == QLatin1String("Y");
            LoadSignOff(RowText(p, 6), ShowMessages);
            signEditable = RowText(p, 6).isEmpty() || RowText(p, 7) == QLatin1String("Y");
            SelectStyle(RowText(p, 12));
        }
    }
    grpNote->SetEnabled(true);
    grpSignIn->SetEnabled(true);
    SetBlockEditable(Footer(), footerEditable);
    SetBlockEditable(SignOff(), signEditable);
    if (!(HostRun && !HostExport)) {
        const QString style = TUserDefIni().LookupFormat(ProgramCode.toUpper(), DocType);
        if (style != NewStyle) SelectStyle(style);
    }
}

namespace {

// Marks a host run (and whether it exports) while it lasts: the dialog used
// afterwards presets its document types as a dialog does.
class THostRunScope {
public:
    THostRunScope(bool& run, bool& exporting, bool isExport) : run_(run), export_(exporting)
    {
        run_ = true;
        export_ = isExport;
    }
    ~THostRunScope() { run_ = export_ = false; }

private:
    bool& run_;
    bool& export_;
};

}  // namespace

bool TfrmVROpt::ExecuteForHost(const Variant& AParams, bool APreview)
{
    const THostRunScope scope(HostRun, HostExport, false);
    // A host run counts the form as converted (the run's statement does so
    // too): the type's voucher name, notes and sign-off lines read now come
    // in the display code page, as they do when the user types the type.
    SetFormConverted(true);
    Variant row;
    ApplyDocTypeSettings(RowText(AParams, 0), true, row);
    if (row.IsEmpty()) return false;
    return TfrmVRBaseOpt::ExecuteForHost(AParams, APreview);
}

bool TfrmVROpt::ExportForHost(const Variant& AParams, int AFileType, const QString& APath, int AResolution,
                              const QString& AExtra)
{
    const THostRunScope scope(HostRun, HostExport, true);
    // A host run counts the form as converted (the run's statement does so
    // too): the type's voucher name, notes and sign-off lines read now come
    // in the display code page, as they do when the user types the type.
    SetFormConverted(true);
    Variant row;
    ApplyDocTypeSettings(RowText(AParams, 0), false, row);
    if (row.IsEmpty()) return false;
    return TfrmVRBaseOpt::ExportForHost(AParams, AFileType, APath, AResolution, AExtra);
}

void TfrmVROpt::PassPrintOptions(TVRFormatForm* AFormat)
{
    TfrmVRBaseOpt::PassPrintOptions(AFormat);
    auto* layout = dynamic_cast<TVRFormatLayout*>(AFormat);
    if (!layout) return;
    layout->SetApprovalDocType(DocTypeCode);
    layout->SetApprovalLookup(edtSignInID->Text() == QLatin1String("QUILLN"), ProgramCode, CompanyCode);
    layout->SetFrameText(0, VoucherName);
    layout->SetFrameText(1, DateToInternal(edPrintDate->Text(), true));
    layout->SetEveryPageFlags(chkSignInEPPrint->Checked(), chkNoteEPPrint->Checked(), chkTotalPrint->Checked());
    layout->SetNoteLines({edtNote1->Text(), edtNote2->Text(), edtNote3->Text()});
    layout->SetSignInLines({edtSignIn1->Text(), edtSignIn2->Text(), edtSignIn3->Text()});
}

void TfrmVROpt::FormShow()
{
    TfrmVRBaseOpt::FormShow();
    FitTexts();  // the converted texts too
    // The system page is arranged before the form is seen, so the form has its
    // final size at once and keeps it from page to page.
    tsOption2Show();
}

void TfrmVROpt::tsOption2Show()
{
    TfrmVRBaseOpt::tsOption2Show();
    // The system's places, moved right where a label in the interface's
    // language is wider than the room it has there.
    const auto after = [](const QWidget* w, int gap) { return w->x() + w->width() + gap; };
    lblToday->move(4, 12);
    edPrintDate->SetBounds(std::max(60, after(lblToday, 4)), 8, 85, edPrintDate->height());
    btnPrintDate->AlignToControl();
    lblFormStyleName->move(std::max(180, after(btnPrintDate, 8)), 12);
    cboFormStyleName->move(std::max(260, after(lblFormStyleName, 4)), 8);
    btnDelFormStype->move(after(cboFormStyleName, 2), cboFormStyleName->y());
    lblDateType->move(std::max(390, after(btnDelFormStype, 8)), 12);
    cboDateType->move(std::max(440, after(lblDateType, 4)), 8);
    // The date-type box shows its longest style whole.
    int widest = 0;
    for (const QString& item : cboDateType->Items())
        widest = std::max(widest, cboDateType->fontMetrics().horizontalAdvance(item));
    cboDateType->resize(std::max(cboDateType->width(), widest + 32), cboDateType->height());
    // The form grows so that the page holds the row (the pages share its width).
    const int page = pgOption->ActivePage() ? pgOption->ActivePage()->width() : tsOption2->width();
    const int needed = after(cboDateType, 8);
    if (page > 0 && needed > page) resize(width() + needed - page, height());
}

}  // namespace kelm24
