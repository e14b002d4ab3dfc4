#include "i18n/CodeConverter.h"

#include "i18n/WidgetText.h"
#include "runtime/CorvaneIni.h"
#include "runtime/PropUtils.h"
#include "runtime/TextUtils.h"

#include <QApplication>
#include <QFileInfo>
#include <QToolTip>
#include <QWidget>
#include <dlfcn.h>

namespace kelm24 {

namespace {

// The folder of the module (plug-in or program) this code is linked into.
QString OwnModuleFolder()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&OwnModuleFolder), &info) == 0 || !info.dli_fname) return QString();
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
}

bool IsAscii(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x80) return false;
    return true;
}

}  // namespace

// ---------------------------------------------------------------- TTranslator

TTranslator::TTranslator(const QString& libraryName)
{
    QStringList candidates;
    if (!libraryName.contains(QLatin1Char('/'))) {
        candidates << OwnModuleFolder() + QLatin1Char('/') + libraryName;
        const QString client = TCorvaneIniC().ClientPath;
        if (!client.isEmpty()) candidates << client + QStringLiteral("C_QVBIN/") + libraryName;
    }
    candidates << libraryName;  // as given: the system's search
    for (const QString& candidate : candidates) {
        if (candidate != libraryName && !QFileInfo::exists(candidate)) continue;
        handle_ = dlopen(candidate.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
        if (handle_) {
            path_ = candidate;
            break;
        }
    }
    if (!handle_) throw Exception(QStringLiteral("Load Library %1 Error!").arg(libraryName));
    gbToBig5_ = reinterpret_cast<TextFunc>(dlsym(handle_, "GBtoBIG5"));
    big5ToGb_ = reinterpret_cast<TextFunc>(dlsym(handle_, "BIG5toGB"));
    getBig5Data_ = dlsym(handle_, "GetBIG5Data");
    getGbData_ = dlsym(handle_, "GetGBData");
    saveOrder_ = dlsym(handle_, "SaveOrder");
    if (!gbToBig5_ || !big5ToGb_) {
        dlclose(handle_);
        handle_ = nullptr;
        throw Exception(QStringLiteral("Get Library Procedure Address Error!"));
    }
}

TTranslator::~TTranslator()
{
    if (handle_) dlclose(handle_);
}

QString TTranslator::GBtoBIG5(const QString& text)
{
    return Call(gbToBig5_, toBig5Cache_, text);
}

QString TTranslator::BIG5toGB(const QString& text)
{
    return Call(big5ToGb_, toGbCache_, text);
}

QString TTranslator::Call(TextFunc function, QHash<QString, QString>& cache, const QString& text)
{
    if (text.isEmpty() || IsAscii(text)) return text;
    if (const auto hit = cache.constFind(text); hit != cache.constEnd()) return hit.value();
    const QByteArray input = text.toUtf8();
    QByteArray output(input.size() + input.size() / 2 + 16, Qt::Uninitialized);
    int length = function(input.constData(), output.data(), static_cast<int>(output.size()));
    if (length >= output.size()) {
        output.resize(length + 1);
        length = function(input.constData(), output.data(), static_cast<int>(output.size()));
    }
    if (length < 0 || length >= output.size())
        throw Exception(QStringLiteral("%1 could not convert the text \"%2\"").arg(QFileInfo(path_).fileName(), text));
    const QString converted = QString::fromUtf8(output.constData(), length);
    if (cache.size() >= 100000) cache.clear();  // bounded: a long session converts many texts
    cache.insert(text, converted);
    return converted;
}

// ---------------------------------------------------------------- font rule

int UICharsetOf(int Mode)
{
    return (Mode == 2 || Mode == 3) ? 136 : 134;
}

int ApplyUIFont(int Mode, QFont& Font)
{
    Font.setFamilies({QStringLiteral("SimSun")});
    return UICharsetOf(Mode);
}

// ---------------------------------------------------------------- TCodeConverter

TCodeConverter::TCodeConverter(QObject* Owner) : QObject(Owner)
{
    const TCorvaneIniC settings;
    SystemCodePage = settings.SystemCodePage;
    UICodePage = settings.UICodePage;
    DBCodePage = settings.DBCodePage;
    UIConvertMode = settings.UIConvertMode;
    DBConvertMode = settings.DBConvertMode;
    LoadTranslator(QvLanguageLibrary);
}

TCodeConverter::TCodeConverter(QObject* Owner, const QString& systemCodePage, const QString& uiCodePage,
                               const QString& dbCodePage, const QString& libraryName)
    : QObject(Owner), SystemCodePage(systemCodePage), UICodePage(uiCodePage), DBCodePage(dbCodePage)
{
    ConvertModesOf(SystemCodePage, UICodePage, DBCodePage, UIConvertMode, DBConvertMode);
    LoadTranslator(libraryName);
}

TCodeConverter::~TCodeConverter() = default;

void TCodeConverter::LoadTranslator(const QString& libraryName)
{
    if (UIConvertMode != 0) translator_ = std::make_unique<TTranslator>(libraryName);
}

QString TCodeConverter::ConvertText(int Direction, const QString& Text) const
{
    if (!translator_) return Text;
    if (Direction == cdBig5ToGB) return translator_->BIG5toGB(Text);
    if (Direction == cdGBToBig5) return translator_->GBtoBIG5(Text);
    return Text;
}

Variant TCodeConverter::Convert(int Direction, const Variant& Value) const
{
    if (Direction == cdNone || !translator_ || VarIsBlank(Value) || Value.IsObject()) return Value;
    if (Value.IsArray()) {
        Variant result = Value;
        if (Value.DimCount() == 1) {
            for (int i = Value.LowBound(); i <= Value.HighBound(); ++i) {
                const Variant& item = Value.At(i);
                if (item.IsArray())
                    result.At(i) = Convert(Direction, item);
                else if (!VarIsBlank(item) && !item.IsObject() && (Direction == cdBig5ToGB || Direction == cdGBToBig5))
                    result.At(i) = ConvertText(Direction, item.ToString());
            }
        } else if (Value.DimCount() == 2) {
            for (int r = Value.LowBound(1); r <= Value.HighBound(1); ++r)
                for (int c = Value.LowBound(2); c <= Value.HighBound(2); ++c) {
                    const Variant& item = Value.At(r, c);
                    if (!VarIsBlank(item)) result.At(r, c) = Convert(Direction, item);
                }
        }
        return result;
    }
    if (Direction == cdBig5ToGB || Direction == cdGBToBig5) return ConvertText(Direction, Value.ToString());
    return Value;
}

Variant TCodeConverter::ToDisplay(const Variant& Value) const
{
    return Convert(UIConvertMode, Value);
}

Variant TCodeConverter::FromDisplay(const Variant& Value) const
{
    try {
        if (UIConvertMode == 1) return Convert(cdGBToBig5, Value);
        if (UIConvertMode == 2) return Convert(cdBig5ToGB, Value);
    } catch (...) {
    }
    return Value;
}

Variant TCodeConverter::FromDatabase(const Variant& Value) const
{
    return Convert(DBConvertMode, Value);
}

Variant TCodeConverter::ToDatabase(const Variant& Value) const
{
    try {
        if (DBConvertMode == 1) return Convert(cdGBToBig5, Value);
        if (DBConvertMode == 2) return Convert(cdBig5ToGB, Value);
    } catch (...) {
    }
    return Value;
}

QString TCodeConverter::Big5ToGB(const QString& Text) const
{
    return Text.isEmpty() || !translator_ ? Text : translator_->BIG5toGB(Text);
}

QString TCodeConverter::GBToBig5(const QString& Text) const
{
    return Text.isEmpty() || !translator_ ? Text : translator_->GBtoBIG5(Text);
}

void TCodeConverter::ConvertFormCaption(QWidget* Form) const
{
    if (!Form || SystemCodePage != QLatin1String("950")) return;
    WriteTextProperty(Form, QStringLiteral("Caption"), Convert(cdGBToBig5, FormCaption(Form)).ToString());
}

int TCodeConverter::MessageDialog(const QString& Text, TMsgDlgType DlgType, TMsgDlgButtons Buttons) const
{
    if (Text.isEmpty()) return mrNone;
    TMessageRequest request;
    request.Text = Text;
    if (UICodePage == QLatin1String("936") || SystemCodePage == QLatin1String("936")) request.Text += QStringLiteral("      ");
    request.DlgType = DlgType;
    request.Buttons = Buttons;
    if (auto* owner = qobject_cast<QWidget*>(parent())) {
        QWidget* form = owner->window();
        if (form->isMinimized()) form->showNormal();
        request.Caption = FormCaption(form);
        request.Owner = form;
    }
    request.Font = request.Owner ? request.Owner->font() : QApplication::font();
    ApplyUIFont(UIConvertMode, request.Font);
    request.HasFont = true;
    return TDialogService::MessageBox(request);
}

}  // namespace kelm24
