#include "runtime/TextUtils.h"

#include "platform/registry/SystemInfo.h"
#include "runtime/AlertLog.h"
#include "runtime/CodePage.h"

#include <QHash>
#include <QLocale>

namespace kelm24 {

QString GetField(const QString& S, const QString& Sep, int N)
{
    QString rest = S;
    QString field;
    int reached = 0;
    bool found = true;
    while (reached < N && found) {
        const qsizetype at = Sep.isEmpty() ? -1 : rest.indexOf(Sep);
        found = at >= 0;
        field = found ? rest.left(at) : rest;
        rest = found ? rest.mid(at + Sep.size()) : QString();
        ++reached;
    }
    return reached == N ? field : QString();
}

int FieldCount(const QString& S, const QString& Sep)
{
    if (S.isEmpty()) return 0;
    int count = 0;
    if (!Sep.isEmpty())
        for (qsizetype at = S.indexOf(Sep); at >= 0; at = S.indexOf(Sep, at + 1)) ++count;
    return count + 1;
}

void SplitFirst(QString& S, const QString& Sep, QString& Head)
{
    const qsizetype at = Sep.isEmpty() ? -1 : S.indexOf(Sep);
    if (at < 0) {
        Head = S;
        S.clear();
        return;
    }
    Head = S.left(at);
    S = S.mid(at + Sep.size());
}

QString ReplaceAll(const QString& S, const QString& Old, const QString& New, bool DoTrim)
{
    QString result = S;
    if (!Old.isEmpty() && Old.compare(New, Qt::CaseInsensitive) != 0) {
        const bool shrinks = New.size() < Old.size();
        qsizetype from = 0;
        for (qsizetype at = result.indexOf(Old, from); at >= 0; at = result.indexOf(Old, from)) {
            result.replace(at, Old.size(), New);
            // Text before the replaced place held no Old, so a new one can
            // only start within Old.size() - 1 characters before it.
            from = shrinks ? qMax<qsizetype>(0, at - Old.size() + 1) : at + New.size();
        }
    }
    return DoTrim ? result.trimmed() : result;
}

Variant ChooseVar(bool Cond, const Variant& A, const Variant& B)
{
    return Cond ? A : B;
}

bool VarIsBlank(const Variant& V)
{
    return V.IsEmpty() || V.IsNull();
}

bool IsLocalAddress(const QString& S)
{
    return S == QLatin1String("127.0.0.1");
}

bool LookupFlag(const Variant& Table, const QString& Name)
{
    try {
        if (!Table.IsArray() || Table.DimCount() != 2) return false;
        const QString wanted = Name.toUpper();
        for (int column = Table.LowBound(2); column <= Table.HighBound(2); ++column)
            if (Table.At(Table.LowBound(1), column).ToString().toUpper() == wanted)
                return Table.At(Table.LowBound(1) + 1, column).ToBool();
        return true;
    } catch (...) {
        return false;
    }
}

namespace {

int DefaultCodePage()
{
    return SystemAnsiCodePage().toInt();
}

// A text widened once with the default code page, read again with CodePage.
QString Rewiden(const QString& text, int codePage)
{
    bool encoded = false;
    const QByteArray bytes = EncodeCodePage(text, DefaultCodePage(), &encoded);
    if (!encoded) return text;
    return AnsiToWideCP(bytes, codePage);
}

}  // namespace

QString AnsiToWideCP(const QByteArray& S, int CodePage)
{
    bool ok = false;
    const QString text = DecodeCodePage(S, CodePage, &ok);
    if (ok && (!text.isEmpty() || S.isEmpty())) return text;
    return DecodeCodePage(S, DefaultCodePage());
}

Variant VarToWideCP(const Variant& V, int CodePage)
{
    if (V.IsText()) return Rewiden(V.ToString(), CodePage);
    if (!V.IsArray()) return V;
    Variant result = V;
    if (V.DimCount() == 1) {
        for (int i = V.LowBound(); i <= V.HighBound(); ++i) {
            const Variant& item = V.At(i);
            if (item.IsArray() || item.IsText()) result.At(i) = VarToWideCP(item, CodePage);
        }
    } else if (V.DimCount() == 2) {
        for (int r = V.LowBound(1); r <= V.HighBound(1); ++r)
            for (int c = V.LowBound(2); c <= V.HighBound(2); ++c)
                if (V.At(r, c).IsText()) result.At(r, c) = Rewiden(V.At(r, c).ToString(), CodePage);
    }
    return result;
}

Variant ConvertVarToWide(const Variant& V, int CodePage)
{
    try {
        if (VarIsBlank(V)) return V;
        return VarToWideCP(V, CodePage);
    } catch (const Exception& e) {
        WriteLog(QStringLiteral("libstrs"), QStringLiteral("LINE[115] ") + e.Message(), QStringLiteral("D"));
    } catch (const std::exception& e) {
        WriteLog(QStringLiteral("libstrs"), QStringLiteral("LINE[115] ") + QString::fromLocal8Bit(e.what()),
                 QStringLiteral("D"));
    }
    return V;
}

QString PackList(const QString& Prefix, const Variant& List)
{
    const QChar sep(3);
    const int count = List.At(List.LowBound()).ToInt();
    QString out = Prefix + sep + List.At(List.LowBound()).ToString() + sep;
    for (int i = 1; i <= count; ++i) out += List.At(List.LowBound() + i).ToString() + sep;
    return out;
}

namespace {
constexpr qsizetype kMaxFormatDigits = 4;  // widths and precisions up to 9999
}

QString FormatText(const QString& Pattern, const QList<Variant>& Args, bool* ok)
{
    if (ok) *ok = true;
    QString out;
    int next = 0;
    try {
        for (qsizetype i = 0; i < Pattern.size(); ++i) {
            const QChar c = Pattern.at(i);
            if (c != QLatin1Char('%')) {
                out += c;
                continue;
            }
            if (i + 1 < Pattern.size() && Pattern.at(i + 1) == QLatin1Char('%')) {
                out += QLatin1Char('%');
                ++i;
                continue;
            }
            // %[index:][-][width][.precision]type
            qsizetype j = i + 1;
            const auto digits = [&]() {
                QString d;
                while (j < Pattern.size() && Pattern.at(j).isDigit()) d += Pattern.at(j++);
                return d;
            };
            QString first = digits();
            if (j < Pattern.size() && Pattern.at(j) == QLatin1Char(':')) {
                next = first.toInt();
                ++j;
                first.clear();
            }
            const bool left = j < Pattern.size() && Pattern.at(j) == QLatin1Char('-');
            if (left) ++j;
            const QString width = first.isEmpty() ? digits() : first;
            QString precision;
            const bool hasPrecision = j < Pattern.size() && Pattern.at(j) == QLatin1Char('.');
            if (hasPrecision) {
                ++j;
                precision = digits();
            }
            if (j >= Pattern.size() || next >= Args.size()) throw Exception(QStringLiteral("Format"));
            // Patterns come from message tables and language packages: a width
            // or precision no message needs would only allocate gigabytes.
            if (width.size() > kMaxFormatDigits || precision.size() > kMaxFormatDigits)
                throw Exception(QStringLiteral("Format"));
            const QChar type = Pattern.at(j).toLower();
            const Variant& arg = Args.at(next++);
            const int prec = precision.toInt();
            QString piece;
            if (type == QLatin1Char('d') || type == QLatin1Char('u')) {
                if (!arg.IsNumeric() || arg.Type() == VarType::Double) throw Exception(QStringLiteral("Format"));
                piece = QString::asprintf("%.*lld", hasPrecision ? prec : 1, static_cast<long long>(arg.ToInt64()));
            } else if (type == QLatin1Char('x')) {
                if (!arg.IsNumeric() || arg.Type() == VarType::Double) throw Exception(QStringLiteral("Format"));
                piece = QString::asprintf("%.*llX", hasPrecision ? prec : 1, static_cast<long long>(arg.ToInt64()));
            } else if (type == QLatin1Char('f') || type == QLatin1Char('n') || type == QLatin1Char('e') ||
                       type == QLatin1Char('g')) {
                if (!arg.IsNumeric()) throw Exception(QStringLiteral("Format"));
                const char f = type == QLatin1Char('n') ? 'f' : static_cast<char>(type.unicode());
                piece = QLocale::c().toString(arg.ToDouble(), f, hasPrecision ? prec : (f == 'g' ? 15 : 2));
                if (type == QLatin1Char('n')) {
                    QLocale grouped = QLocale::c();
                    grouped.setNumberOptions(QLocale::DefaultNumberOptions);
                    piece = grouped.toString(arg.ToDouble(), 'f', hasPrecision ? prec : 2);
                }
            } else if (type == QLatin1Char('s')) {
                piece = arg.ToString();
                if (hasPrecision) piece.truncate(prec);
            } else {
                throw Exception(QStringLiteral("Format"));
            }
            const int w = width.toInt();
            if (piece.size() < w) piece = left ? piece.leftJustified(w) : piece.rightJustified(w);
            out += piece;
            i = j;
        }
    } catch (const Exception&) {
        if (ok) *ok = false;
        return Pattern;
    }
    return out;
}

QString ButtonCaption(const QString& Name)
{
    static const QHash<QString, QString> captions = {
        {QStringLiteral("Yes"), QStringLiteral("是(&Y)")},         {QStringLiteral("No"), QStringLiteral("否(&N)")},
        {QStringLiteral("OK"), QStringLiteral("确定")},             {QStringLiteral("Cancel"), QStringLiteral("取消")},
        {QStringLiteral("Abort"), QStringLiteral("中断(&A)")},      {QStringLiteral("Retry"), QStringLiteral("重试(&R)")},
        {QStringLiteral("Ignore"), QStringLiteral("忽略(&I)")},     {QStringLiteral("All"), QStringLiteral("全部(&A)")},
        {QStringLiteral("NoToAll"), QStringLiteral("全否(&o)")},    {QStringLiteral("YesToAll"), QStringLiteral("全是(&A)")},
        {QStringLiteral("Help"), QStringLiteral("帮助(&H)")},
    };
    return captions.value(Name, Name);
}

}  // namespace kelm24
