#include "format/Kelm24FmtF.h"

#include "controls/StdCtrls.h"
#include "format/AmountWords.h"
#include "format/engine/ClientDataSet.h"
#include "format/engine/QRBands.h"
#include "format/engine/QRControls.h"
#include "format/engine/QRMask.h"
#include "format/engine/QuickRep.h"
#include "i18n/CodeConverter.h"
#include "runtime/DateText.h"

#include <QFileInfo>

namespace kelm24 {

namespace {
// The package of the receipt's own printed texts.
const QString ReceiptClass = QStringLiteral("TfrmKelm24Fmt");
}  // namespace

TfrmKelm24Fmt::TfrmKelm24Fmt(QWidget* Owner) : TfrmVRFormat(Owner) {}

TfrmKelm24Fmt::~TfrmKelm24Fmt() = default;

TVRFormatForm* TfrmKelm24Fmt::CreateForm(QWidget* Owner) { return TQVForm::Create<TfrmKelm24Fmt>(Owner); }

void TfrmKelm24Fmt::FormCreate()
{
    TfrmVRFormat::FormCreate();
    LoadNumerals();
    SetSampleHints();
    lblQty1_ = findChild<TQRLabel*>(QStringLiteral("lblQty1"));
    // The pre-printed page of an English interface: the installation's file
    // when it has one, else the one built in. (Simplified and traditional
    // Chinese files are looked for when the stored layout loads.)
    if (EnglishInterface()) {
        // Named as the Chinese ones with "ENG_": TfrmKelm24Fmt_1 -> ENG_KELM24F_1.svg.
        const QString cls = LayoutClassName(this).toUpper();
        const int fmt = cls.indexOf(QLatin1String("FMT"));
        const QString file = ClientPath + QStringLiteral("C_DATA/ENG_") + cls.mid(4, fmt - 4) + QLatin1Char('F') +
                             cls.mid(fmt + 3) + QStringLiteral(".svg");
        QuickRep1->SetPictureFile(QFileInfo::exists(file) ? file : QStringLiteral(":/backgrounds/ENG_KELM24F.svg"));
    } else if (UILanguage == 2) {
        // The traditional page built in; the installation's file, looked for
        // when the stored layout loads, replaces it.
        QuickRep1->SetPictureFile(QStringLiteral(":/backgrounds/CHT_KELM24F.svg"));
    }
}

void TfrmKelm24Fmt::LoadNumerals()
{
    // The receipt option form that owns the layout keeps the table in its
    // hidden memo "me99".
    QWidget* owner = parentWidget();
    auto* memo = owner ? owner->findChild<TMemo*>(QStringLiteral("me99")) : nullptr;
    if (!memo) return;  // the base form's table stays
    // A run the host started without showing the dialog has not converted
    // the dialog's texts yet.
    auto* ownerForm = qobject_cast<TQVForm*>(owner);
    if (!owner->isVisible() && ownerForm && ownerForm->Converter() && !ownerForm->FormConverted()) {
        QStringList lines = memo->Lines();
        for (QString& line : lines) line = ownerForm->Converter()->ToDisplay(line);
        memo->SetLines(lines);
    }
    const QStringList lines = memo->Lines();
    if (lines.size() < 20) return;
    NumeralTable.clear();
    for (int i = 0; i < 20; ++i) NumeralTable << (i == 15 ? lines[i].trimmed() : lines[i]);
}

bool TfrmKelm24Fmt::EnglishInterface() const { return UICodePage() == QLatin1String("437"); }

void TfrmKelm24Fmt::SetSampleHints()
{
    // The receipt option form reads the same setting for the layout.
    const QString sys069 = SysSetting(QStringLiteral("SYS069"));
    const bool destroyed = sys069 == QLatin1String("N");
    QString quantity, packing;
    if (EnglishInterface()) {
        quantity = destroyed ? QStringLiteral("Destroyed Quantity") : QStringLiteral("Sampling Quantity");
        packing = destroyed ? QStringLiteral("Destroyed Packing Quantity") : QStringLiteral("Sampling Packing Quantity");
    } else {
        quantity = destroyed ? QStringLiteral("破坏数量") : QStringLiteral("取样数量");
        packing = destroyed ? QStringLiteral("破坏包装数量") : QStringLiteral("取样包装数量");
        if (Converter()) {
            quantity = Converter()->ToDisplay(quantity);
            packing = Converter()->ToDisplay(packing);
        }
    }
    for (const char* name : {"txtTH068C", "txtTH068"})
        if (auto* c = findChild<TQRPrintable*>(QString::fromLatin1(name))) c->SetHint(quantity);
    for (const char* name : {"txtTH069", "txtTH069C"})
        if (auto* c = findChild<TQRPrintable*>(QString::fromLatin1(name))) c->SetHint(packing);
}

int TfrmKelm24Fmt::OpenReportData(const QString& SQL)
{
    try {
        fields_.clear();
        conversions_.clear();
        ClientDataSet1->Close();
        ClientDataSet1->SetCommandText(SQL);
        ClientDataSet1->Open();
        int result = 1;
        if (ClientDataSet1->IsEmpty()) {
            ClientDataSet1->Close();
            result = 0;
        }
        sys024_ = SysSetting(QStringLiteral("Sys024"));
        return result;
    } catch (const std::exception&) {
        return -1;
    }
}

// ------------------------------------------------------------------ row values

TField* TfrmKelm24Fmt::RowField(const char* Field) const
{
    auto it = fields_.constFind(Field);
    if (it != fields_.constEnd()) return it.value();
    TField* f = ClientDataSet1->FindField(QString::fromLatin1(Field));
    fields_.insert(Field, f);
    return f;
}

QString TfrmKelm24Fmt::Text(const char* Field) const
{
    TField* f = RowField(Field);
    return f ? f->AsString() : QString();
}

double TfrmKelm24Fmt::Number(const char* Field) const
{
    TField* f = RowField(Field);
    return f ? f->AsFloat() : 0;
}

TReceiptCounter TfrmKelm24Fmt::ReceiptCounter() const { return TReceiptCounter(Counter, CompanyCode, DatabaseName); }

double TfrmKelm24Fmt::InReceiptUnit(double Quantity, bool Tolerant) const
{
    const QString orderUnit = Text("TD009"), unit = Text("TH008");
    if (!NeedsUnitConversion(sys024_, orderUnit, unit)) return Quantity;
    const QString item = Text("TH004");
    const QString key = item + QChar(3) + QString::number(Quantity, 'g', 17) + QChar(3) + orderUnit + QChar(3) + unit;
    const auto known = conversions_.constFind(key);
    if (known != conversions_.constEnd()) return known.value();
    const TReceiptCounter counter = ReceiptCounter();
    const double converted = Tolerant ? counter.UnitConvertOrZero(item, Quantity, orderUnit, unit)
                                      : counter.UnitConvert(item, Quantity, orderUnit, unit);
    if (counter.Assigned()) conversions_.insert(key, converted);
    return converted;
}

double TfrmKelm24Fmt::RowDelivered()
{
    if (Text("TH011").isEmpty()) return 0;
    return InReceiptUnit(Number("TD015"), true);
}

// ------------------------------------------------------------------ bands

void TfrmKelm24Fmt::QRGroupBeforePrint(QObject* Sender, bool& PrintBand)
{
    // Fields are looked up again on every page: the data set may have been
    // opened anew since the last run.
    fields_.clear();
    TfrmVRFormat::QRGroupBeforePrint(Sender, PrintBand);
    const QString condition = ReceiptCondition(Text("TG001"), Text("TG002"));
    if (PageInGroup() == 1) {
        // One more print of the document (never in preview).
        UpdatePrintCount(Variant::ArrayOf({Variant("$$PURTG"), Variant("TG012"), Variant(condition)}));
    }
    RegisterDocument(QStringLiteral("$$PURTG"), PageInGroup() == 1 ? condition : QString());
}

void TfrmKelm24Fmt::QRDetailBandBeforePrint(QObject* Sender, bool& PrintBand)
{
    // A receipt without lines comes as one row of its head alone: no line,
    // and the row takes no room.
    if (Text("TH001").isEmpty()) {
        PrintBand = false;
        QRGroupFooter->SetHeight(QRGroupFooter->Height() + QRDetailBand->Height());
        CountRowLeftOut();
        return;
    }
    TfrmVRFormat::QRDetailBandBeforePrint(Sender, PrintBand);
    if (!PrintBand) return;
    // The over-receipt rate needs the delivered quantity even when its label
    // is not printed.
    delivered_ = RowDelivered();
    if (!lblQty1_) lblQty1_ = findChild<TQRLabel*>(QStringLiteral("lblQty1"));
    if (lblQty1_ && !lblQty1_->Enabled()) lblQty1_->SetCaption(QString());
}

// ------------------------------------------------------------------ quantities

void TfrmKelm24Fmt::lblQty1Print(QObject* Sender, QString& Value)
{
    Q_UNUSED(Sender);
    Value = QuantityText(delivered_);
}

void TfrmKelm24Fmt::lblunCheckPrint(QObject* Sender, QString& Value)
{
    Q_UNUSED(Sender);
    if (Text("TH011").isEmpty() || Text("TH012").isEmpty()) {
        Value = QStringLiteral("0");
        return;
    }
    const Variant held = ReceiptCounter().OnHold(Text("TH004"), Text("TH011"), Text("TH012"), Text("TH013"), Text("TG014"));
    if (held.IsEmpty() || held.IsNull()) {
        // Without an answer only a conversion needs the counter: it names what is missing.
        InReceiptUnit(0, false);
        Value = QStringLiteral("0");
        return;
    }
    Value = ShortestText(InReceiptUnit(held.ToDouble(), false));
}

void TfrmKelm24Fmt::lblQty3Print(QObject* Sender, QString& Value)
{
    Q_UNUSED(Sender);
    if (Text("TH011").isEmpty() || Text("TH012").isEmpty()) {
        Value = QStringLiteral("0");
        return;
    }
    const double ordered = InReceiptUnit(Number("TD008"), false);
    Value = RateText(OverReceiptRate(delivered_, ordered));
}

void TfrmKelm24Fmt::txtTH016BPrint(QObject* Sender, QString& Value)
{
    Q_UNUSED(Sender);
    ClientDataSet2->Close();
    ClientDataSet2->SetCommandText(PricedQuantitySQL(Text("TG001"), Text("TG002")));
    ClientDataSet2->Open();
    TField* sum = ClientDataSet2->FindField(QStringLiteral("TH016B"));
    const double total = sum ? sum->AsFloat() : 0;
    ClientDataSet2->Close();
    Value = total == 0 ? QStringLiteral("0") : ShortestText(total);
}

// ------------------------------------------------------------------ other fields

void TfrmKelm24Fmt::txtTG029Print(QObject* Sender, QString& Value)
{
    Q_UNUSED(Sender);
    Value = Value.left(4) + DateSeparator + Value.mid(4, 2);
}

void TfrmKelm24Fmt::txtTG030Print(QObject* Sender, QString& Value)
{
    Q_UNUSED(Sender);
    Value = ShortestText(TextToFloatDef(Value, 0) * 100) + QLatin1Char('%');
}

void TfrmKelm24Fmt::txtINVMB045Print(QObject* Sender, QString& Value)
{
    Q_UNUSED(Sender);
    Value = QString::asprintf("%3.2f", TextToFloatDef(Value, 0) * 100) + QLatin1Char('%');
}

void TfrmKelm24Fmt::lblslash1Print(QObject* Sender, QString& Value)
{
    Q_UNUSED(Sender);
    if (Text("TH008").isEmpty() && Text("TH035").isEmpty()) Value.clear();
}

void TfrmKelm24Fmt::lblslash2Print(QObject* Sender, QString& Value)
{
    Q_UNUSED(Sender);
    if (Text("TH036").isEmpty() && Text("TH037").isEmpty()) Value.clear();
}

void TfrmKelm24Fmt::txtTH019TPrint(QObject* Sender, QString& Value)
{
    const int decimals = static_cast<int>(Number("CMSMF004"));
    QString plain = Value;
    plain.remove(QLatin1Char(','));
    const double value = TextToFloatDef(plain, 0);
    auto* text = qobject_cast<TQRCustomLabel*>(Sender);
    if (text && !text->Mask().isEmpty()) Value = FormatFloat(text->Mask(), RoundFloat(decimals, value));
    else Value = FormatFloat(AmountMask(decimals), value);
}

void TfrmKelm24Fmt::txtTH068CPrint(QObject* Sender, QString& Value)
{
    Q_UNUSED(Sender);
    // Printed column titles: the package's text of the interface language.
    Value = Text("TH068C") != QLatin1String("N") ? LangText(ReceiptClass, QStringLiteral("sSampleQty"), QStringLiteral("取样数量"))
                                                 : LangText(ReceiptClass, QStringLiteral("sDestroyedQty"), QStringLiteral("破坏数量"));
}

void TfrmKelm24Fmt::txtTH069CPrint(QObject* Sender, QString& Value)
{
    Q_UNUSED(Sender);
    Value = Text("TH069C") != QLatin1String("N")
                ? LangText(ReceiptClass, QStringLiteral("sSamplePackQty"), QStringLiteral("取样包装数量"))
                : LangText(ReceiptClass, QStringLiteral("sDestroyedPackQty"), QStringLiteral("破坏包装数量"));
}

void TfrmKelm24Fmt::txtTG017Print(QObject* Sender, QString& Value)
{
    Q_UNUSED(Sender);
    if (!TotalEveryPage() && !LastPageOfDocument()) Value = TotalMask;
}

void TfrmKelm24Fmt::CapitalAmount(QObject* Sender, QString& Value, const char* CurrencyField)
{
    if (!TotalEveryPage() && !LastPageOfDocument()) {
        Value = TotalMask;
        return;
    }
    auto* text = qobject_cast<TQRDBText*>(Sender);
    TField* field = text ? text->Field() : nullptr;
    const QString amount = field ? field->AsString() : Value;
    if (EnglishInterface()) {
        Value = AmountToEnglish(amount.isEmpty() ? QStringLiteral("0") : amount, Text(CurrencyField));
        return;
    }
    QString words;
    AmountToChinese(amount, words);
    Value = words;
}

void TfrmKelm24Fmt::txtTG017APrint(QObject* Sender, QString& Value) { CapitalAmount(Sender, Value, "MF010A"); }
void TfrmKelm24Fmt::txtTG018APrint(QObject* Sender, QString& Value) { CapitalAmount(Sender, Value, "MF010A"); }
void TfrmKelm24Fmt::txtTG019APrint(QObject* Sender, QString& Value) { CapitalAmount(Sender, Value, "MF010A"); }
void TfrmKelm24Fmt::txtTG019TAPrint(QObject* Sender, QString& Value) { CapitalAmount(Sender, Value, "MF010A"); }
void TfrmKelm24Fmt::txtTG020APrint(QObject* Sender, QString& Value) { CapitalAmount(Sender, Value, "MF010A"); }
void TfrmKelm24Fmt::txtTG028APrint(QObject* Sender, QString& Value) { CapitalAmount(Sender, Value, "MF010A"); }
void TfrmKelm24Fmt::txtTG031APrint(QObject* Sender, QString& Value) { CapitalAmount(Sender, Value, "MF010B"); }
void TfrmKelm24Fmt::txtTG031TAPrint(QObject* Sender, QString& Value) { CapitalAmount(Sender, Value, "MF010B"); }
void TfrmKelm24Fmt::txtTG032APrint(QObject* Sender, QString& Value) { CapitalAmount(Sender, Value, "MF010B"); }
void TfrmKelm24Fmt::txtTG041APrint(QObject* Sender, QString& Value) { CapitalAmount(Sender, Value, "MF010B"); }

}  // namespace kelm24
