#include "i18n/CodeConverter.h"


#include "i18n/WidgetText.h"
#include "runtime/CorvaneIni.h"
#include "runtime/ModulePath.h"
#include "runtime/PropUtils.h"
#include "runtime/RuntimeLibrary.h"
#include "runtime/TextUtils.h"

#include <QApplication>
#include <QFileInfo>
#include <QToolTip>
#include <QWidget>
#include <algorithm>
#include <atomic>
#include <dlfcn.h>
#include <system_error>
#include <thread>
#include <vector>

namespace kelm24 {

namespace {

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
    const QString client = TCorvaneIniC().ClientPath;
    handle_ = LoadRuntimeLibrary(libraryName,
                                 {ModuleFolder(), client.isEmpty() ? QString() : client + QStringLiteral("C_QVBIN")},
                                 &path_);
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

bool TTranslator::CallLibrary(TextFunc function, const QByteArray& input, QByteArray& output)
{
    output.resize(input.size() + input.size() / 2 + 16);
    int length = function(input.constData(), output.data(), static_cast<int>(output.size()));
    if (length >= output.size()) {
        output.resize(length + 1);
        length = function(input.constData(), output.data(), static_cast<int>(output.size()));
    }
    if (length < 0 || length >= output.size()) return false;
    output.resize(length);
    return true;
}

QString TTranslator::Call(TextFunc function, QHash<QString, QString>& cache, const QString& text)
{
    if (text.isEmpty() || IsAscii(text)) return text;
    if (text.contains(QChar(0))) {
        // The library takes a text up to its first zero character: the
        // pieces around each go alone.
        QStringList pieces = text.split(QChar(0));
        for (QString& piece : pieces) piece = Call(function, cache, piece);
        return pieces.join(QChar(0));
    }
    if (const auto hit = cache.constFind(text); hit != cache.constEnd()) return hit.value();
    QByteArray output;
    if (!CallLibrary(function, text.toUtf8(), output))
        throw Exception(QStringLiteral("%1 could not convert the text \"%2\"").arg(QFileInfo(path_).fileName(), text));
    const QString converted = QString::fromUtf8(output);
    // Bounded: a long session converts many texts; long ones (memos) rarely repeat.
    if (text.size() > 1024) return converted;
    if (cache.size() >= 100000) cache.clear();
    cache.insert(text, converted);
    return converted;
}

QStringList TTranslator::GBtoBIG5(const QStringList& texts)
{
    return CallMany(gbToBig5_, texts);
}

QStringList TTranslator::BIG5toGB(const QStringList& texts)
{
    return CallMany(big5ToGb_, texts);
}

QStringList TTranslator::CallMany(TextFunc function, const QStringList& texts)
{
    // Repeated texts cost little here: the library remembers the runs of
    // Chinese it has converted, and does so on the worker threads.
    QStringList results = texts;
    QStringList pending;
    QList<qsizetype> slot;  // index in texts of each pending text
    pending.reserve(texts.size());
    slot.reserve(texts.size());
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (texts[i].isEmpty() || IsAscii(texts[i])) continue;
        // The library takes a text up to its first zero character: the
        // pieces around each are pending one after the other.
        const QStringList pieces = texts[i].contains(QChar(0)) ? texts[i].split(QChar(0)) : QStringList{texts[i]};
        for (const QString& piece : pieces) {
            pending << piece;
            slot << i;
        }
    }
    if (pending.isEmpty()) return results;
    const QStringList converted = ConvertBatch(function, pending);
    for (qsizetype k = 0; k < slot.size(); ++k) {
        if (k > 0 && slot[k] == slot[k - 1]) results[slot[k]] += QChar(0) + converted[k];
        else results[slot[k]] = converted[k];
    }
    return results;
}

QStringList TTranslator::ConvertBatch(TextFunc function, const QStringList& texts) const
{
    // Chunks of texts joined by "\n" (the library keeps line breaks and no
    // phrase spans one); a text holding a line break goes alone.
    struct Chunk {
        qsizetype first = 0, count = 0;
        QByteArray joined;
    };
    constexpr qsizetype ChunkBytes = 16 * 1024;
    QList<QByteArray> utf8;
    utf8.reserve(texts.size());
    for (const QString& text : texts) utf8 << text.toUtf8();
    QList<Chunk> chunks;
    qsizetype totalBytes = 0;
    bool lastAlone = false;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const bool alone = utf8[i].contains('\n');
        if (chunks.isEmpty() || alone || lastAlone || chunks.last().joined.size() >= ChunkBytes) chunks.append(Chunk{i, 0, {}});
        lastAlone = alone;
        Chunk& chunk = chunks.last();
        if (chunk.count > 0) chunk.joined += '\n';
        chunk.joined += utf8[i];
        ++chunk.count;
        totalBytes += utf8[i].size() + 1;
    }

    // The workers only read the chunks and write their own results.
    const QList<Chunk>& allChunks = chunks;
    const QList<QByteArray>& texts8 = utf8;
    QStringList results(texts.size());
    QString* out = results.data();
    std::atomic<qsizetype> next{0};
    std::atomic<bool> failed{false};
    const auto work = [&] {
        QByteArray output;
        for (qsizetype c = next++; c < allChunks.size() && !failed; c = next++) {
            const Chunk& chunk = allChunks[c];
            if (!CallLibrary(function, chunk.joined, output)) {
                failed = true;
                break;
            }
            QList<QByteArray> parts = chunk.count == 1 ? QList<QByteArray>{output} : output.split('\n');
            if (parts.size() != chunk.count) {
                // The answer does not split back: one text a call.
                parts.clear();
                for (qsizetype i = chunk.first; i < chunk.first + chunk.count && !failed; ++i) {
                    if (!CallLibrary(function, texts8[i], output)) failed = true;
                    parts << output;
                }
            }
            for (qsizetype i = 0; i < parts.size() && !failed; ++i) out[chunk.first + i] = QString::fromUtf8(parts[i]);
        }
    };
    // Worth a second thread only for a large batch.
    const unsigned cores = std::max(1u, std::min(4u, std::thread::hardware_concurrency()));
    const qsizetype workers = totalBytes < 4 * ChunkBytes ? 1 : std::min<qsizetype>(cores, allChunks.size());
    std::vector<std::thread> threads;
    for (qsizetype t = 1; t < workers; ++t) {
        try {
            threads.emplace_back(work);
        } catch (const std::system_error&) {
            break;  // no more threads: the ones running share the work
        }
    }
    work();
    for (std::thread& thread : threads) thread.join();
    if (failed) throw Exception(QStringLiteral("%1 could not convert the texts").arg(QFileInfo(path_).fileName()));
    return results;
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

QStringList TCodeConverter::ConvertTexts(int Direction, const QStringList& Texts) const
{
    if (!translator_) return Texts;
    if (Direction == cdBig5ToGB) return translator_->BIG5toGB(Texts);
    if (Direction == cdGBToBig5) return translator_->GBtoBIG5(Texts);
    return Texts;
}

Variant TCodeConverter::Convert(int Direction, const Variant& Value) const
{
    if (Direction == cdNone || !translator_ || VarIsBlank(Value) || Value.IsObject()) return Value;
    const bool toText = Direction == cdBig5ToGB || Direction == cdGBToBig5;
    if (!Value.IsArray()) return toText ? Variant(ConvertText(Direction, Value.ToString())) : Value;
    if (Value.DimCount() > 2) return Value;
    // The texts of the array's elements are gathered and converted in one
    // batch, then stored back where they came from.
    Variant result = Value;
    QList<std::pair<int, int>> places;
    QStringList texts;
    if (Value.DimCount() == 1) {
        // Every element that is not an array becomes text; Empty gives the
        // empty text. Null, which has no text, and objects are kept.
        for (int i = Value.LowBound(); i <= Value.HighBound(); ++i) {
            const Variant& item = Value.At(i);
            if (item.IsArray())
                result.At(i) = Convert(Direction, item);
            else if (toText && !item.IsNull() && !item.IsObject()) {
                places.append({i, 0});
                texts << item.ToString();
            }
        }
    } else {
        // Each cell as a single value: Empty and Null cells stay.
        for (int r = Value.LowBound(1); r <= Value.HighBound(1); ++r)
            for (int c = Value.LowBound(2); c <= Value.HighBound(2); ++c) {
                const Variant& item = Value.At(r, c);
                if (item.IsArray())
                    result.At(r, c) = Convert(Direction, item);
                else if (toText && !VarIsBlank(item) && !item.IsObject()) {
                    places.append({r, c});
                    texts << item.ToString();
                }
            }
    }
    const QStringList converted = ConvertTexts(Direction, texts);
    const bool oneDim = Value.DimCount() == 1;
    for (qsizetype k = 0; k < places.size(); ++k) {
        Variant& target = oneDim ? result.At(places[k].first) : result.At(places[k].first, places[k].second);
        target = converted[k];
    }
    return result;
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
