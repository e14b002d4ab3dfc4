#include "appserver/SqlTokens.h"

#include <QSet>

namespace kelm24 {

bool TSqlToken::Is(const char* keyword) const
{
    return Kind == TSqlTokenKind::Word && Text.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
}

namespace {
bool WordChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$') || c == QLatin1Char('#'); }
}  // namespace

TSqlTokens::TSqlTokens(const QString& sql)
{
    const int n = static_cast<int>(sql.size());
    int i = 0;
    auto push = [this, &sql](TSqlTokenKind kind, int from, int to) { tokens_.push_back({kind, sql.mid(from, to - from)}); };
    while (i < n) {
        const QChar c = sql[i];
        const int start = i;
        if (c.isSpace()) {
            while (i < n && sql[i].isSpace()) ++i;
            push(TSqlTokenKind::Space, start, i);
        } else if (c == QLatin1Char('\'')) {
            ++i;
            bool closed = false;
            while (i < n) {
                if (sql[i] == QLatin1Char('\'')) {
                    if (i + 1 < n && sql[i + 1] == QLatin1Char('\'')) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                ++i;
            }
            unterminated_ |= !closed;
            push(TSqlTokenKind::String, start, i);
        } else if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            while (i < n && sql[i] != QLatin1Char('\n')) ++i;
            push(TSqlTokenKind::Comment, start, i);
        } else if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            int end = static_cast<int>(sql.indexOf(QLatin1String("*/"), i + 2));
            unterminated_ |= end < 0;
            i = end < 0 ? n : end + 2;
            push(TSqlTokenKind::Comment, start, i);
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && sql[i + 1].isDigit())) {
            while (i < n && (sql[i].isDigit() || sql[i] == QLatin1Char('.'))) ++i;
            push(TSqlTokenKind::Number, start, i);
        } else if (c == QLatin1Char(':') && i + 1 < n && WordChar(sql[i + 1])) {
            ++i;
            while (i < n && WordChar(sql[i])) ++i;
            push(TSqlTokenKind::Param, start, i);
        } else if (WordChar(c)) {
            while (i < n && WordChar(sql[i])) ++i;
            push(TSqlTokenKind::Word, start, i);
        } else if (c == QLatin1Char('"') || c == QLatin1Char('[')) {
            // Quoted names are words whose quotes are kept.
            const QChar close = c == QLatin1Char('"') ? QLatin1Char('"') : QLatin1Char(']');
            int end = static_cast<int>(sql.indexOf(close, i + 1));
            unterminated_ |= end < 0;
            i = end < 0 ? n : end + 1;
            push(TSqlTokenKind::Word, start, i);
        } else {
            static const char* pairs[] = {"<=", ">=", "<>", "!=", "||", "(+)"};
            int len = 1;
            for (const char* p : pairs)
                if (sql.mid(i, static_cast<int>(qstrlen(p))) == QLatin1String(p)) len = static_cast<int>(qstrlen(p));
            i += len;
            push(TSqlTokenKind::Punct, start, i);
        }
    }
}

int TSqlTokens::Next(int from) const
{
    for (int i = from + 1; i < Size(); ++i)
        if (!tokens_[i].Blank()) return i;
    return -1;
}

int TSqlTokens::Prev(int from) const
{
    for (int i = from - 1; i >= 0; --i)
        if (!tokens_[i].Blank()) return i;
    return -1;
}

QString TSqlTokens::Join() const
{
    QString out;
    for (const TSqlToken& t : tokens_) out += t.Text;
    return out;
}

bool IsSqlKeyword(const QString& word)
{
    static const QSet<QString> words = {
        QStringLiteral("SELECT"), QStringLiteral("FROM"), QStringLiteral("WHERE"), QStringLiteral("AND"),
        QStringLiteral("OR"), QStringLiteral("NOT"), QStringLiteral("IN"), QStringLiteral("IS"), QStringLiteral("NULL"),
        QStringLiteral("LIKE"), QStringLiteral("BETWEEN"), QStringLiteral("AS"), QStringLiteral("ON"),
        QStringLiteral("JOIN"), QStringLiteral("LEFT"), QStringLiteral("RIGHT"), QStringLiteral("INNER"),
        QStringLiteral("OUTER"), QStringLiteral("FULL"), QStringLiteral("CROSS"), QStringLiteral("GROUP"),
        QStringLiteral("BY"), QStringLiteral("ORDER"), QStringLiteral("ASC"), QStringLiteral("DESC"),
        QStringLiteral("HAVING"), QStringLiteral("DISTINCT"), QStringLiteral("INSERT"), QStringLiteral("INTO"),
        QStringLiteral("VALUES"), QStringLiteral("UPDATE"), QStringLiteral("SET"), QStringLiteral("DELETE"),
        QStringLiteral("CASE"), QStringLiteral("WHEN"), QStringLiteral("THEN"), QStringLiteral("ELSE"),
        QStringLiteral("END"), QStringLiteral("EXISTS"), QStringLiteral("UNION"), QStringLiteral("ALL"),
        QStringLiteral("ANY"), QStringLiteral("SOME"), QStringLiteral("ESCAPE"), QStringLiteral("TRUE"),
        QStringLiteral("FALSE"), QStringLiteral("LIMIT"), QStringLiteral("OFFSET"), QStringLiteral("INTEGER"),
        QStringLiteral("INT"), QStringLiteral("REAL"), QStringLiteral("TEXT"), QStringLiteral("VARCHAR"),
        QStringLiteral("CHAR"), QStringLiteral("NUMERIC"), QStringLiteral("DECIMAL"), QStringLiteral("FLOAT"),
        QStringLiteral("DOUBLE"), QStringLiteral("PRECISION")};
    return words.contains(word.toUpper());
}

bool IsSqlFunction(const QString& word)
{
    static const QSet<QString> names = {
        QStringLiteral("SUM"), QStringLiteral("COUNT"), QStringLiteral("MIN"), QStringLiteral("MAX"),
        QStringLiteral("AVG"), QStringLiteral("COALESCE"), QStringLiteral("NULLIF"), QStringLiteral("ISNULL"),
        QStringLiteral("UPPER"), QStringLiteral("LOWER"), QStringLiteral("TRIM"), QStringLiteral("LTRIM"),
        QStringLiteral("RTRIM"), QStringLiteral("SUBSTRING"), QStringLiteral("SUBSTR"), QStringLiteral("LENGTH"),
        QStringLiteral("LEN"), QStringLiteral("ABS"), QStringLiteral("ROUND"), QStringLiteral("CAST"),
        QStringLiteral("REPLACE")};
    return names.contains(word.toUpper());
}

}  // namespace kelm24
