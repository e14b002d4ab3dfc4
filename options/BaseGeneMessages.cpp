// The base option form's messages by reference, its look-ups of system
// settings, program data and host tables, and the host objects it obtains.
#include "options/BaseGene.h"

#include "runtime/TextUtils.h"

#include <QApplication>
#include <QLocale>
#include <QMouseEvent>
#include <QRegularExpression>

namespace kelm24 {

namespace {

struct TDialogStyle {
    TMsgDlgType Type;
    TMsgDlgButtons Buttons;
};

TDialogStyle StyleOfType(const QString& type)
{
    const QString t = type.toUpper();
    if (t == QLatin1String("C")) return {mtWarning, {mbOK, mbCancel}};
    if (t == QLatin1String("D")) return {mtWarning, {mbYes, mbNo, mbCancel}};
    if (t == QLatin1String("E")) return {mtError, {mbOK}};
    if (t == QLatin1String("I")) return {mtInformation, {mbOK}};
    if (t == QLatin1String("Q")) return {mtConfirmation, {mbOK, mbCancel}};
    if (t == QLatin1String("W")) return {mtWarning, {mbOK, mbCancel}};
    return {mtCustom, {mbOK}};
}

bool ActiveIsCancel(const TfrmBaseGene* form)
{
    const QWidget* focused = QApplication::focusWidget();
    return focused && focused == form->btnCancel;
}

}  // namespace

// ------------------------------------------------------------------ messages

QString TfrmBaseGene::GetMessageText(const QString& Type, const QString& ID)
{
    const THostObject host(HostObject);
    if (host.Assigned()) {
        try {
            const QString text = host.GetMessage(Type, ID);
            return Converter() ? Converter()->ToDisplay(text) : text;
        } catch (const std::exception&) {
            // falls back to the fixed text below
        }
    }
    return QStringLiteral("Can not Get Message\rType= %1, ID= %2 ").arg(Type, ID);
}

int TfrmBaseGene::ShowMessageRef(const QString& Type, const QString& ID, const QList<Variant>& Args, int ArgHigh,
                                 TMsgDlgButtons Buttons)
{
    QString text = GetMessageText(Type, ID);
    if (ArgHigh >= 0) {
        bool ok = false;
        const QString formatted = FormatText(text, Args.mid(0, ArgHigh + 1), &ok);
        if (ok) text = formatted;
    }
    TDialogStyle style = StyleOfType(Type);
    if (!Buttons.Empty()) style.Buttons = Buttons;
    return ShowDialog(text, style.Type, style.Buttons);
}

int TfrmBaseGene::ShowDialog(const QString& Text, TMsgDlgType DlgType, TMsgDlgButtons Buttons)
{
    if (InExitCheck && DlgType != mtError) return mrNone;
    TMessageRequest request;
    request.Text = Text;
    request.Caption = Caption();
    request.DlgType = DlgType;
    request.Buttons = Buttons;
    request.Owner = this;
    if (UICodePage() != QLatin1String("437")) {
        for (TMsgDlgBtn button : Buttons.List()) {
            const QString caption = ButtonCaption(ButtonName(button));
            request.ButtonCaptions[button] = Converter() ? Converter()->ToDisplay(caption) : caption;
        }
        request.Font = font();
        ApplyUIFont(Converter() ? Converter()->UIConvertMode : 0, request.Font);
        request.HasFont = true;
    }
    const int result = TDialogService::MessageBox(request);
    // A mouse capture that was pending when the box opened ends here.
    if (QWidget* active = QApplication::focusWidget()) {
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(), QPointF(), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(active, &release);
    }
    if (DlgType == mtError && LastFocused && LastFocused != this && LastFocused->isEnabled() &&
        LastFocused->isVisible())
        LastFocused->setFocus();
    return result;
}

void TfrmBaseGene::ReportError(const QString& Ref)
{
    if (ActiveIsCancel(this)) return;
    if (Ref.isEmpty()) {
        ErrorCodes.clear();
        ErrorTexts.clear();
        return;
    }
    const QStringList parts = Ref.split(QLatin1Char(';'));
    const QString type = parts.value(0);
    QString id = parts.value(1);
    bool numeric = false;
    const int number = id.toInt(&numeric);
    const bool shown = numeric && number > 0;
    if (!shown) id = id.mid(1);
    QList<Variant> args;
    for (int i = 0; i < 10; ++i) args << Variant(parts.value(i + 2));
    const QString message = GetMessageText(type, id);
    bool ok = false;
    QString text = FormatText(message, args, &ok);
    if (!ok) {
        text = message + QLatin1Char('\r');
        for (const Variant& a : args) text += a.ToString() + QLatin1Char(';');
    }
    ErrorCodes += Ref + QStringLiteral("; ");
    if (!ErrorTexts.contains(text)) ErrorTexts += text + QStringLiteral("; ");
    if (shown) ShowDialog(text, StyleOfType(type).Type, {mbOK});
}

void TfrmBaseGene::ReportException(const QString& Text)
{
    if (ActiveIsCancel(this)) return;
    if (Text.isEmpty()) {
        ErrorCodes.clear();
        ErrorTexts.clear();
        return;
    }
    ErrorCodes += QStringLiteral("E;-1; ");
    if (!ErrorTexts.contains(Text)) ErrorTexts += Text + QStringLiteral("; ");
}

// ------------------------------------------------------------------ host objects

void TfrmBaseGene::CreateHostServices()
{
    if (!ModuleIsLibrary()) {
        try {
            HostObject = CreateOleObject(HostProgId);
        } catch (const std::exception&) {
            HostObject = Variant();
        }
    }
    const THostObject host(HostObject);
    try {
        Counter = host.Counter();
        QString ignored;
        GetSysSetting(QString(), ignored);
        SystemTitle = SysSetting(QStringLiteral("QVS002"));
    } catch (const std::exception&) {
        Counter = Variant();
    }
    try {
        Validator = host.Validator();
    } catch (const std::exception&) {
        Validator = Variant();
    }
}

void TfrmBaseGene::CreateF2Window()
{
    if (!(HostFeatures & 4)) return;
    try {
        F2Window = THostObject(HostObject).F2Window();
    } catch (const std::exception&) {
        F2Window = Variant();
    }
}

// ------------------------------------------------------------------ look-ups

void TfrmBaseGene::GetSysSetting(const QString& Name, QString& Value)
{
    Value.clear();
    if (Name.isEmpty()) {
        const TCounterObject counter(Counter);
        if (!counter.Assigned()) return;
        const Variant info = counter.GetSysInfo(CompanyCode);
        SysInfo.clear();
        if (!info.IsArray() || info.DimCount() != 2) return;
        const int names = info.LowBound(1), values = names + 1;
        for (int c = info.LowBound(2); c <= info.HighBound(2); ++c) {
            const Variant& value = info.At(values, c);
            SysInfo << info.At(names, c).ToString() + QLatin1Char('=') +
                           (value.IsEmpty() || value.IsNull() ? QString() : value.ToString());
        }
        return;
    }
    for (const QString& entry : SysInfo) {
        const int eq = entry.indexOf(QLatin1Char('='));
        if (eq > 0 && entry.left(eq).compare(Name, Qt::CaseInsensitive) == 0) {
            Value = entry.mid(eq + 1);
            break;
        }
    }
    if (Value.isEmpty()) {
        static const char* const names[] = {"SYS007", "SYS008", "SYS009", "SYS010"};
        static const char* const english[] = {"Inv.Cate.1", "Inv.Cate.2", "Inv.Cate.3", "Inv.Cate.4"};
        static const char* const chinese[] = {"商品分类方式一", "商品分类方式二", "商品分类方式三", "商品分类方式四"};
        for (int i = 0; i < 4; ++i) {
            if (Name.compare(QLatin1String(names[i]), Qt::CaseInsensitive) != 0) continue;
            Value = UICodePage() == QLatin1String("437") ? QString::fromLatin1(english[i]) : QString::fromUtf8(chinese[i]);
        }
    }
    if (FormConverted() && Converter()) Value = Converter()->ToDisplay(Value);
}

QString TfrmBaseGene::SysSetting(const QString& Name)
{
    QString value;
    GetSysSetting(Name, value);
    return value;
}

int TfrmBaseGene::DateType()
{
    bool ok = false;
    const int type = SysSetting(QStringLiteral("Sys001")).trimmed().toInt(&ok);
    return ok ? type : 1;
}

QString TfrmBaseGene::DateSeparator()
{
    const QString sep = SysSetting(QStringLiteral("Sys002"));
    if (!sep.isEmpty()) return sep;
    if (SystemCodePage() == QLatin1String("950")) {
        // A traditional-Chinese system writes dates with the locale's separator.
        const QString format = QLocale().dateFormat(QLocale::ShortFormat);
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("[^dMy]")).match(format);
        if (m.hasMatch()) return m.captured();
    }
    return QStringLiteral("/");
}

bool TfrmBaseGene::HostQuery(const QString& Table, const QString& QueryId, bool Flag, Variant& Result,
                             const Variant& Keys)
{
    const TValidatorObject validator(Validator);
    if (!validator.Assigned()) return false;
    const Variant keys = Converter() ? Converter()->FromDisplay(Keys) : Keys;
    try {
        validator.SetProductID(ProductId);
    } catch (const std::exception&) {
    }
    try {
        validator.SetBaseLimited(PermissionText);
    } catch (const std::exception&) {
    }
    bool found = false;
    try {
        found = Flag ? validator.QueryData(Table, QueryId, DatabaseName, keys, Result)
                     : validator.CheckValue(Table, QueryId, DatabaseName, keys, Result);
    } catch (const std::exception&) {
        return false;
    }
    if (FormConverted() && Converter()) Result = Converter()->ToDisplay(Result);
    return found;
}

void TfrmBaseGene::ReadProgramMaster()
{
    Variant row;
    if (HostQuery(QStringLiteral("ADMMB"), QStringLiteral("01"), false, row, Variant::ArrayOf({ProgramCode})) &&
        row.IsArray()) {
        const int low = row.LowBound();
        ProgramName = row[low].ToString();
        SetWantLog(row.HighBound() >= low + 4 && row[low + 4].ToString() == QLatin1String("Y"));
        if (UICodePage() == QLatin1String("437") && row.Count() >= 8) ProgramName = row[low + 7].ToString();
    } else {
        ProgramName = ProgramCode;
        SetWantLog(false);
    }
    CaptionName = ProgramName;
    if (!ModuleIsLibrary())
        CaptionName += LangText(QStringLiteral("TfrmBaseGene"), QStringLiteral("sExeVer"),
                                QStringLiteral("[您现在运行的是Exe版本!]"));
    SetCaption(CaptionText());
}

void TfrmBaseGene::GetCounter(const QString& Name, const Variant& Src, Variant& Result)
{
    const TCounterObject counter(Counter);
    if (!counter.Assigned()) {
        Result = Variant();
        return;
    }
    Variant args = Src;
    Result = counter.GetCounter(Name.toUpper(), args, CompanyCode, DatabaseName);
    if (FormConverted() && Converter()) Result = Converter()->ToDisplay(Result);
}

}  // namespace kelm24
