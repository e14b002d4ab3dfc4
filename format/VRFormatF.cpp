#include "format/VRFormatF.h"

#include "format/engine/ClientDataSet.h"
#include "format/engine/QRBands.h"
#include "format/engine/QRControls.h"
#include "format/engine/QREvaluator.h"
#include "format/engine/QuickRep.h"
#include "i18n/CodeConverter.h"
#include "platform/dialogs/Dialogs.h"
#include "runtime/DateText.h"

#include <QDate>
#include <QTime>
#include <cmath>

namespace kelm24 {

namespace {
const QString FrameClass = QStringLiteral("TfrmVRFormat");
}

TfrmVRFormat::TfrmVRFormat(QWidget* Owner) : TfrmVRBaseFmt(Owner) {}

TfrmVRFormat::~TfrmVRFormat() = default;

TVRFormatForm* TfrmVRFormat::CreateForm(QWidget* Owner) { return TQVForm::Create<TfrmVRFormat>(Owner); }

void TfrmVRFormat::FormCreate()
{
    TfrmVRBaseFmt::FormCreate();
    BindFrameComponents();
    // The report's function list knows the string band function of the frame.
    QuickRep1->AddFunction(QStringLiteral("QRSTRINGSBAND1"), [](const std::vector<Variant>& args) {
        return args.empty() ? Variant(QString()) : args.front();
    });
    approval_.Text = [this](const QString& key, const QString& def) { return FrameText(key, def); };
    approval_.Display = [this](const QString& text) { return Converter() ? Converter()->ToDisplay(text) : text; };
    approval_.Warning = [this](const QString& text) {
        TMessageRequest request;
        request.Text = text;
        request.DlgType = mtWarning;
        request.Buttons = {mbYes, mbNo};
        request.Owner = this;
        TDialogService::MessageBox(request);
    };
}

void TfrmVRFormat::BindFrameComponents()
{
    auto label = [this](const char* name) {
        auto* l = findChild<TQRLabel*>(QString::fromLatin1(name));
        if (!l) throw Exception(QStringLiteral("the design of %1 lacks %2").arg(LayoutClassName(this), QString::fromLatin1(name)));
        return l;
    };
    QRGroup = findChild<TQRGroup*>(QStringLiteral("QRGroup"));
    QRDetailBand = findChild<TQRBand*>(QStringLiteral("QRDetailBand"));
    QRGroupFooter = findChild<TQRBand*>(QStringLiteral("QRGroupFooter"));
    GroupFooterChildBand = findChild<TQRChildBand*>(QStringLiteral("GroupFooterChildBand"));
    if (!QRGroup || !QRDetailBand || !QRGroupFooter || !GroupFooterChildBand)
        throw Exception(QStringLiteral("the design of %1 lacks a band of the document frame").arg(LayoutClassName(this)));
    lblCompany = label("lblCompany");
    lblVoucherName = label("lblVoucherName");
    lblCreateDate1 = label("lblCreateDate1");
    lblPageNo = label("lblPageNo");
    lblTotalPage = label("lblTotalPage");
    lblPrintDate1 = label("lblPrintDate1");
    lblPrintTime1 = label("lblPrintTime1");
    lblSeq = label("lblSeq");
    lblNoData = label("lblNoData");
    lblNote1 = label("lblNote1");
    lblNote2 = label("lblNote2");
    lblNote3 = label("lblNote3");
    lblSignIn1 = label("lblSignIn1");
    lblSignIn2 = label("lblSignIn2");
    lblSignIn3 = label("lblSignIn3");
    lblCreateDate2 = label("lblCreateDate2");
    lblNextPage = label("lblNextPage");
    lblPrintDate2 = label("lblPrintDate2");
    lblPrintTime2 = label("lblPrintTime2");
    // The engine's page extension: which bands make a page.
    QuickRep1->PageDetailBand = QRDetailBand;
    QuickRep1->PageAttachedBand = QRGroupFooter;
    QuickRep1->PageStartBand = QRGroup;
    QuickRep1->PageEndBand = GroupFooterChildBand;
}

QString TfrmVRFormat::FrameText(const QString& Key, const QString& Default) const
{
    return const_cast<TfrmVRFormat*>(this)->LangText(FrameClass, Key, Default);
}

QString TfrmVRFormat::SysSetting(const QString& Name) const
{
    if (!SysInfo) return QString();
    for (const QString& line : *SysInfo) {
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && line.left(eq).compare(Name, Qt::CaseInsensitive) == 0) return line.mid(eq + 1);
    }
    return QString();
}

// ------------------------------------------------------------------ hand-over

void TfrmVRFormat::SetApprovalDocType(const QString& DocType) { approval_.DocTypeCode = DocType; }

void TfrmVRFormat::SetApprovalLookup(bool On, const QString& ProgramCode_, const QString& CompanyCode_)
{
    Q_UNUSED(CompanyCode_);
    approval_.LookupOn = On;
    if (!On) return;
    // The data is open and on its first row: ask for the history of every
    // document of the run once.
    approval_.SysInfo = SysInfo;
    approval_.AppServer = TAppServerObject(AppServer());
    approval_.DateType = DateType;
    approval_.DateSeparator = DateSeparator;
    approval_.Prepare(*ClientDataSet1, QRGroup->Expression(), ProgramCode_);
}

void TfrmVRFormat::SetFrameText(int Index, const QString& Text)
{
    switch (Index) {
    case 0: lblVoucherName->SetCaption(Text); break;
    case 1: lblCreateDate1->SetCaption(Text); break;
    case 2: lblNoData->SetCaption(Text); break;
    case 3: lblNextPage->SetCaption(Text); break;
    default: break;
    }
}

void TfrmVRFormat::SetEveryPageFlags(bool SignIn, bool Note, bool Total)
{
    signInEveryPage_ = SignIn;
    noteEveryPage_ = Note;
    totalEveryPage_ = Total;
}

void TfrmVRFormat::SetNoteLines(const QStringList& Lines)
{
    noteTexts_ = Lines;
    TQRLabel* labels[3] = {lblNote1, lblNote2, lblNote3};
    for (int i = 0; i < 3; ++i) labels[i]->SetCaption(Lines.value(i));
}

void TfrmVRFormat::SetSignInLines(const QStringList& Lines)
{
    signInTexts_ = Lines;
    TQRLabel* labels[3] = {lblSignIn1, lblSignIn2, lblSignIn3};
    for (int i = 0; i < 3; ++i) labels[i]->SetCaption(Lines.value(i));
}

// ------------------------------------------------------------------ overrides

void TfrmVRFormat::InitDataSets()
{
    TfrmVRBaseFmt::InitDataSets();
    // The company's name is read from its database: shown in the display code page.
    const QString company = CompanyInfo && CompanyInfo->size() > 1 ? CompanyInfo->at(1) : QString();
    lblCompany->SetCaption(Converter() && DataConversion != 0 ? Converter()->Convert(DataConversion, Variant(company)).ToString()
                                                              : company);
}

bool TfrmVRFormat::LastPageOfDocument() const { return lblPageNo->Caption() == lblTotalPage->Caption(); }

void TfrmVRFormat::OnAsteriskPrint(QObject* Sender, QString& Value)
{
    if (!totalEveryPage_ && !LastPageOfDocument()) {
        Value = QStringLiteral("***********");
        return;
    }
    ConvertPrintText(Sender, Value);
}

void TfrmVRFormat::RecordDesignedStates()
{
    TQRLabel* signIns[3] = {lblSignIn1, lblSignIn2, lblSignIn3};
    TQRLabel* notes[3] = {lblNote1, lblNote2, lblNote3};
    for (int i = 0; i < 3; ++i) {
        designedSignIn_[i] = signIns[i]->Enabled();
        designedNote_[i] = notes[i]->Enabled();
    }
    designedNoData_ = lblNoData->Enabled();
    designedNextPage_ = lblNextPage->Enabled();
    designedRecorded_ = true;
}

// ------------------------------------------------------------------ handlers

void TfrmVRFormat::QuickRep1BeforePrint(QObject* Sender, bool& PrintReport)
{
    Q_UNUSED(Sender);
    Q_UNUSED(PrintReport);
    // The labels as the stored layout left them, before any band handler
    // switches them: a label the user turned off stays off.
    if (!designedRecorded_) RecordDesignedStates();
    groupRowCounts_.clear();
    groupCounts_.clear();
    TClientDataSet& rows = *ClientDataSet1;
    rows.First();
    TQREvaluator key;
    key.SetDataSets(QuickRep1->DataSets());
    key.SetFunctions(&QuickRep1->Functions());
    key.Prepare(QRGroup->Expression());
    QString previous = rows.IsEmpty() ? QString() : key.AsString();
    int count = 0;
    while (!rows.IsEmpty() && !rows.Eof()) {
        const QString current = key.AsString();
        if (current != previous) {
            groupRowCounts_ << previous + QLatin1Char('=') + QString::number(count);
            groupCounts_.insert(previous, count);
            previous = current;
            count = 1;
        } else {
            ++count;
        }
        rows.Next();
    }
    groupRowCounts_ << previous + QLatin1Char('=') + QString::number(count);
    groupCounts_.insert(previous, count);
    key.Unprepare();
    rows.First();

    const int footer = QRGroupFooter->DesignHeight(), detail = QRDetailBand->DesignHeight();
    rowsPerPage_ = footer != 0 && detail != 0 ? footer / detail + 1 : 1;
    currentGroupKey_.clear();
    pageInGroup_ = totalPagesOfGroup_ = rowsInGroup_ = rowsPrintedInGroup_ = 0;
    lblCreateDate2->SetCaption(lblCreateDate1->Caption());
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
    lblPrintDate1->SetCaption(FormatDateStyle(DateType, DateSeparator, Date8ToDate(today)));
    lblPrintDate2->SetCaption(lblPrintDate1->Caption());
    lblPrintTime1->SetCaption(QTime::currentTime().toString(QStringLiteral("hh:mm")));
    lblPrintTime2->SetCaption(lblPrintTime1->Caption());
}

void TfrmVRFormat::QRGroupBeforePrint(QObject* Sender, bool& PrintBand)
{
    Q_UNUSED(Sender);
    Q_UNUSED(PrintBand);
    const QString key = ClientDataSet1->IsEmpty() ? QString() : QRGroup->Evaluator().AsString();
    if (key != currentGroupKey_ || pageInGroup_ == 0) {
        rowsPrintedInGroup_ = 0;
        pageInGroup_ = 1;
        currentGroupKey_ = key;
        totalPagesOfGroup_ = 0;
        const auto found = groupCounts_.constFind(key);
        if (found != groupCounts_.constEnd()) {
            rowsInGroup_ = found.value();
            totalPagesOfGroup_ = (rowsInGroup_ + rowsPerPage_ - 1) / rowsPerPage_;
        }
    } else {
        ++pageInGroup_;
    }
    lblTotalPage->SetCaption(QString::number(totalPagesOfGroup_));
    lblPageNo->SetCaption(QString::number(pageInGroup_));
    lblNextPage->SetEnabled(designedNextPage_);
    lblNoData->SetEnabled(designedNoData_);
    ++PageCounter;
    if (SysSetting(QStringLiteral("Sys060")) == QLatin1String("Y") && approval_.LookupOn && approval_.Registered() &&
        !QRGroup->Expression().isEmpty() && lblPageNo->Caption() == QLatin1String("1"))
        FillApprovalLines();
}

void TfrmVRFormat::FillApprovalLines()
{
    TQRLabel* labels[3] = {lblSignIn1, lblSignIn2, lblSignIn3};
    for (TQRLabel* l : labels) l->SetCaption(QString());
    const Variant result =
        approval_.Lines(TApprovalLines::RowKeys(*ClientDataSet1, TApprovalLines::KeyFields(QRGroup->Expression())));
    if (result[0].ToInt() != 1) return;
    for (int i = 0; i < 3; ++i) labels[i]->SetCaption(result[i + 1].ToString());
}

void TfrmVRFormat::QRDetailBandBeforePrint(QObject* Sender, bool& PrintBand)
{
    Q_UNUSED(Sender);
    // What is left of the blank-space band is the room left on the page.
    const int room = QRGroupFooter->Height();
    if (room >= 0 || rowsPrintedInGroup_ < 2) {
        ++rowsPrintedInGroup_;
    } else {
        // The row goes to the next page: give the room back, come again.
        PrintBand = false;
        QRGroupFooter->SetHeight(room + QRDetailBand->Height());
        ClientDataSet1->Prior();
    }
    detailPrinted_ = PrintBand;
    lblSeq->SetCaption(ZeroPadInt(4, rowsPrintedInGroup_));
}

void TfrmVRFormat::QRDetailBandAfterPrint(QObject* Sender, bool BandPrinted)
{
    Q_UNUSED(Sender);
    // A stretched row took more room than one detail height. The engine gives
    // the expansion in design pixels already.
    const double expanded = QRDetailBand->Expanded();
    if (BandPrinted && std::fabs(expanded) > 1e-10)
        QRGroupFooter->SetHeight(QRGroupFooter->Height() - static_cast<int>(std::lround(expanded)));
}

void TfrmVRFormat::QRGroupFooterBeforePrint(QObject* Sender, bool& PrintBand)
{
    Q_UNUSED(Sender);
    Q_UNUSED(PrintBand);
    if (QRGroupFooter->Height() < QRDetailBand->Height()) lblNoData->SetEnabled(false);
    // The estimate was short (a row moved on): one page more.
    if (pageInGroup_ == totalPagesOfGroup_ && rowsPrintedInGroup_ != rowsInGroup_) ++totalPagesOfGroup_;
    const bool last = pageInGroup_ == totalPagesOfGroup_;
    lblNextPage->SetEnabled(!last && designedNextPage_);
    TQRLabel* signIns[3] = {lblSignIn1, lblSignIn2, lblSignIn3};
    TQRLabel* notes[3] = {lblNote1, lblNote2, lblNote3};
    for (int i = 0; i < 3; ++i) {
        signIns[i]->SetEnabled((signInEveryPage_ || last) && designedSignIn_[i]);
        notes[i]->SetEnabled((noteEveryPage_ || last) && designedNote_[i]);
    }
}

void TfrmVRFormat::lblCreateDate1Print(QObject* Sender, QString& Value)
{
    Q_UNUSED(Sender);
    Value = IsValidDate8(Value) ? FormatDateStyle(DateType, DateSeparator, Date8ToDate(Value)) : QString();
}

void TfrmVRFormat::QuickRep1StartPage(QObject* Sender) { Q_UNUSED(Sender); }

}  // namespace kelm24
