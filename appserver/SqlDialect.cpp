#include "appserver/SqlDialect.h"

#include "kelm24/Variant.h"

#include <QSet>

namespace kelm24 {

namespace {

bool StartsJoin(const TSqlToken& t)
{
    return t.Is("LEFT") || t.Is("RIGHT") || t.Is("FULL") || t.Is("INNER") || t.Is("CROSS") || t.Is("JOIN");
}

// Words that end an ON condition (besides a join and a closing parenthesis).
bool EndsCondition(const TSqlToken& t)
{
    return StartsJoin(t) || t.Is("WHERE") || t.Is("GROUP") || t.Is("ORDER") || t.Is("HAVING") || t.Is("UNION") ||
           t.Is("SET") || t.Is("VALUES") || t.Is("LIMIT") || t.IsPunct(QLatin1Char(',')) || t.IsPunct(QLatin1Char(';'));
}

int MatchingClose(const TSqlTokens& tokens, int open)
{
    int depth = 0;
    for (int i = open; i < tokens.Size(); ++i) {
        if (tokens[i].IsPunct(QLatin1Char('('))) ++depth;
        if (tokens[i].IsPunct(QLatin1Char(')')) && --depth == 0) return i;
    }
    return tokens.Size() - 1;
}

bool IsName(const TSqlToken& t) { return t.Kind == TSqlTokenKind::Word && !IsSqlKeyword(t.Text); }

// Reads one FROM clause starting after the word at index `from`; answers the
// index of the first token after it.
int ParseClause(const TSqlTokens& tokens, int from, int depth, int clause, TSqlFromClauses& out)
{
    const int first = static_cast<int>(out.Tables.size());
    int k = tokens.Next(from);
    while (k >= 0) {
        TSqlTableRef ref;
        ref.Depth = depth;
        ref.Clause = clause;
        if (tokens[k].IsPunct(QLatin1Char('('))) {
            ref.OpenToken = k;
            k = MatchingClose(tokens, k);
        } else if (IsName(tokens[k])) {
            ref.Table = tokens[k].Text;
            ref.TableToken = k;
        } else {
            break;
        }
        ref.Alias = ref.Table;
        int a = tokens.Next(k);
        if (a >= 0 && tokens[a].Is("AS")) {
            int b = tokens.Next(a);
            if (b >= 0 && tokens[b].Kind == TSqlTokenKind::Word) {
                ref.Alias = tokens[b].Text;
                ref.AliasToken = b;
                k = b;
            }
        } else if (a >= 0 && IsName(tokens[a])) {
            ref.Alias = tokens[a].Text;
            ref.AliasToken = a;
            k = a;
        }
        out.Tables.push_back(ref);
        k = tokens.Next(k);
        if (k < 0) break;
        if (tokens[k].Is("ON")) {
            int start = k + 1, m = start, level = 0;
            for (; m < tokens.Size(); ++m) {
                const TSqlToken& t = tokens[m];
                if (t.IsPunct(QLatin1Char('('))) ++level;
                if (t.IsPunct(QLatin1Char(')')) && --level < 0) break;
                if (level == 0 && EndsCondition(t)) break;
            }
            out.Conditions.push_back({start, m, clause, static_cast<int>(out.Tables.size()) - first, first});
            k = m < tokens.Size() ? m : -1;
            if (k < 0) break;
        }
        if (tokens[k].IsPunct(QLatin1Char(','))) {
            k = tokens.Next(k);
            continue;
        }
        if (!StartsJoin(tokens[k])) break;
        while (k >= 0 && StartsJoin(tokens[k]) && !tokens[k].Is("JOIN")) k = tokens.Next(k);
        if (k >= 0 && tokens[k].Is("OUTER")) k = tokens.Next(k);
        if (k < 0 || !tokens[k].Is("JOIN")) break;
        k = tokens.Next(k);
    }
    return k < 0 ? tokens.Size() : k;
}

}  // namespace

TSqlFromClauses TSqlFromClauses::Parse(const TSqlTokens& tokens)
{
    TSqlFromClauses out;
    int depth = 0, clause = 0;
    for (int i = 0; i < tokens.Size(); ++i) {
        const TSqlToken& t = tokens[i];
        if (t.IsPunct(QLatin1Char('('))) ++depth;
        if (t.IsPunct(QLatin1Char(')'))) --depth;
        // The scan goes on inside the clause, so the FROM of a sub-query in it
        // is read as well.
        if (t.Is("FROM") || t.Is("UPDATE") || t.Is("INTO")) ParseClause(tokens, i, depth, clause++, out);
    }
    return out;
}

QString TSqlFromClauses::TableOf(const QString& alias) const
{
    for (const TSqlTableRef& t : Tables)
        if (!t.Table.isEmpty() && t.Alias.compare(alias, Qt::CaseInsensitive) == 0) return t.Table;
    for (const TSqlTableRef& t : Tables)
        if (t.Table.compare(alias, Qt::CaseInsensitive) == 0) return t.Table;
    return {};
}

void StripTablePrefixes(TSqlTokens& tokens)
{
    for (int i = 0; i < tokens.Size(); ++i) {
        TSqlToken& t = tokens[i];
        if (t.Kind != TSqlTokenKind::Word) continue;
        if (t.Text.startsWith(QLatin1String("$$"))) t.Text.remove(0, 2);
        // database..table names the table of another database; there is one.
        if (i + 3 < tokens.Size() && tokens[i + 1].IsPunct(QLatin1Char('.')) && tokens[i + 2].IsPunct(QLatin1Char('.')) &&
            tokens[i + 3].Kind == TSqlTokenKind::Word) {
            for (int k = i; k < i + 3; ++k) tokens[k] = {TSqlTokenKind::Space, QString()};
        }
    }
}

QString TSqlAdapter::Adapt(const QString& sql) const
{
    TSqlTokens tokens(sql);
    StripTablePrefixes(tokens);
    TSqlFromClauses from = TSqlFromClauses::Parse(tokens);
    ConcatenateTexts(tokens, from);
    if (engine_ == TSqlEngine::SQLite) QualifyJoinColumns(tokens, from);
    // Functions SQL Server knows under other names.
    for (int i = 0; i < tokens.Size(); ++i) {
        int next = tokens.Next(i);
        if (tokens[i].Kind != TSqlTokenKind::Word || next < 0 || !tokens[next].IsPunct(QLatin1Char('('))) continue;
        if (tokens[i].Is("ISNULL")) tokens[i].Text = QStringLiteral("COALESCE");
        else if (tokens[i].Is("LEN")) tokens[i].Text = QStringLiteral("LENGTH");
    }
    return tokens.Join();
}

bool TSqlAdapter::IsTextOperand(const TSqlTokens& tokens, int index, const TSqlFromClauses& from) const
{
    if (index < 0) return false;
    if (tokens[index].Kind == TSqlTokenKind::String) return true;
    if (!IsName(tokens[index])) return false;
    QString qualifier, column = tokens[index].Text;
    int before = tokens.Prev(index), after = tokens.Next(index);
    if (before >= 0 && tokens[before].IsPunct(QLatin1Char('.')) && tokens.Prev(before) >= 0) {
        qualifier = tokens[tokens.Prev(before)].Text;
    } else if (after >= 0 && tokens[after].IsPunct(QLatin1Char('.')) && tokens.Next(after) >= 0) {
        qualifier = column;
        column = tokens[tokens.Next(after)].Text;
    }
    auto textColumnOf = [&](const QString& table) -> int {
        const TTableDef* def = schema_.Table(table);
        int c = def ? def->ColumnIndex(column) : -1;
        if (c < 0) return -1;
        return def->Columns[c].Kind == TColumnKind::Text ? 1 : 0;
    };
    if (!qualifier.isEmpty()) return textColumnOf(from.TableOf(qualifier)) == 1;
    for (const TSqlTableRef& t : from.Tables) {
        int kind = textColumnOf(t.Table);
        if (kind >= 0) return kind == 1;
    }
    return false;
}

void TSqlAdapter::ConcatenateTexts(TSqlTokens& tokens, const TSqlFromClauses& from) const
{
    for (int i = 0; i < tokens.Size(); ++i) {
        if (!tokens[i].IsPunct(QLatin1Char('+'))) continue;
        if (IsTextOperand(tokens, tokens.Prev(i), from) || IsTextOperand(tokens, tokens.Next(i), from))
            tokens[i].Text = QStringLiteral("||");
    }
}

// SQLite resolves a bare column of an ON condition against every table of the
// statement; the standard (and the other engines) look only at the tables
// joined so far. Naming the table makes SQLite read it the standard way.
void TSqlAdapter::QualifyJoinColumns(TSqlTokens& tokens, const TSqlFromClauses& from) const
{
    for (const auto& on : from.Conditions) {
        for (int m = on.First; m < on.Last; ++m) {
            if (!IsName(tokens[m])) continue;
            int before = tokens.Prev(m), after = tokens.Next(m);
            if (before >= 0 && tokens[before].IsPunct(QLatin1Char('.'))) continue;
            if (after >= 0 && (tokens[after].IsPunct(QLatin1Char('.')) || tokens[after].IsPunct(QLatin1Char('(')))) continue;
            QString owner;
            int owners = 0;
            for (int t = on.FirstTable; t < on.FirstTable + on.TablesInScope; ++t) {
                const TTableDef* def = schema_.Table(from.Tables[t].Table);
                if (def && def->HasColumn(tokens[m].Text)) {
                    owner = from.Tables[t].Alias;
                    ++owners;
                }
            }
            if (owners == 1) tokens[m].Text = owner + QLatin1Char('.') + tokens[m].Text;
        }
    }
}

namespace {

[[noreturn]] void Refuse(const QString& text) { throw Exception(text); }

bool IsStatementWord(const TSqlToken& t)
{
    return t.Is("SELECT") || t.Is("INSERT") || t.Is("UPDATE") || t.Is("DELETE") || t.Is("UNION");
}

}  // namespace

QString WrittenTable(const QString& sql)
{
    TSqlTokens tokens(sql);
    StripTablePrefixes(tokens);
    const int first = tokens.Next(-1);
    if (first < 0 || !(tokens[first].Is("INSERT") || tokens[first].Is("UPDATE") || tokens[first].Is("DELETE"))) return {};
    // The first table of the statement is the one it writes.
    const TSqlFromClauses from = TSqlFromClauses::Parse(tokens);
    return from.Tables.isEmpty() ? QString() : from.Tables[0].Table;
}

void CheckClientSql(const QString& sql, TStatementUse use, const TSchema& schema, const QString& conditionTable)
{
    TSqlTokens tokens(sql);
    StripTablePrefixes(tokens);
    if (tokens.Unterminated()) Refuse(QStringLiteral("SQL 语句中的字符串、名称或注释没有结束"));
    // Text that one of the engines reads otherwise than the tokens here: a
    // quote inside backticks (SQLite's quoted names), a block comment inside
    // another (PostgreSQL nests them), a backslash escape in E'..' and texts
    // quoted with $tag$ (PostgreSQL; SQLite takes $name for a parameter).
    for (int i = 0; i < tokens.Size(); ++i) {
        const TSqlToken& t = tokens[i];
        if (t.IsPunct(QLatin1Char('`'))) Refuse(QStringLiteral("SQL 语句中不允许用 ` 引用名称"));
        if (t.Kind == TSqlTokenKind::Word && !t.Text.startsWith(QLatin1Char('"')) && !t.Text.startsWith(QLatin1Char('[')) &&
            t.Text.contains(QLatin1Char('$')))
            Refuse(QStringLiteral("SQL 语句中的名称不允许含有 $: %1").arg(t.Text));
        if (t.Kind == TSqlTokenKind::Comment && t.Text.startsWith(QLatin1String("/*")) && t.Text.indexOf(QLatin1String("/*"), 2) >= 0)
            Refuse(QStringLiteral("SQL 语句中不允许嵌套的注释"));
        if (t.Kind == TSqlTokenKind::String && i > 0 && tokens[i - 1].Is("E"))
            Refuse(QStringLiteral("SQL 语句中不允许 E'..' 形式的字符串"));
    }
    int first = tokens.Next(-1);
    if (first < 0) Refuse(QStringLiteral("SQL 语句是空的"));
    for (int i = 0; i < tokens.Size(); ++i) {
        if (!tokens[i].IsPunct(QLatin1Char(';'))) continue;
        for (int k = tokens.Next(i); k >= 0; k = tokens.Next(k))
            if (!tokens[k].IsPunct(QLatin1Char(';'))) Refuse(QStringLiteral("一次只能执行一条 SQL 语句"));
    }
    switch (use) {
    case TStatementUse::Query:
        if (!tokens[first].Is("SELECT")) Refuse(QStringLiteral("数据集只能执行 SELECT 查询: %1").arg(tokens[first].Text));
        break;
    case TStatementUse::AnyDml:
        if (!tokens[first].Is("SELECT") && !tokens[first].Is("INSERT") && !tokens[first].Is("UPDATE") &&
            !tokens[first].Is("DELETE"))
            Refuse(QStringLiteral("不允许执行这种 SQL 语句: %1").arg(tokens[first].Text));
        break;
    case TStatementUse::Condition:
        for (const TSqlToken& t : tokens.Items())
            if (IsStatementWord(t)) Refuse(QStringLiteral("条件中不允许有子查询或其他语句: %1").arg(t.Text));
        break;
    }

    TSqlFromClauses from = TSqlFromClauses::Parse(tokens);
    if (use == TStatementUse::Condition) {
        TSqlTableRef ref;
        ref.Table = ref.Alias = conditionTable;
        from.Tables.push_back(ref);
    }
    QSet<int> declared;
    QSet<QString> aliases;
    for (const TSqlTableRef& t : from.Tables) {
        // Parentheses in FROM hold a sub-query; a parenthesised join would name
        // tables that the check could take for aliases.
        if (t.OpenToken >= 0 && (tokens.Next(t.OpenToken) < 0 || !tokens[tokens.Next(t.OpenToken)].Is("SELECT")))
            Refuse(QStringLiteral("FROM 中的括号只能包含子查询 (SELECT ...)"));
        if (t.TableToken >= 0) declared.insert(t.TableToken);
        if (t.AliasToken >= 0) declared.insert(t.AliasToken);
        if (!t.Table.isEmpty() && !schema.Table(t.Table)) Refuse(QStringLiteral("未知的数据表: %1").arg(t.Table));
        aliases.insert(t.Alias.toUpper());
    }
    for (int i = 0; i < tokens.Size(); ++i) {
        if (tokens[i].Is("AS") && tokens.Next(i) >= 0) {
            declared.insert(tokens.Next(i));
            aliases.insert(tokens[tokens.Next(i)].Text.toUpper());
        }
    }
    for (int i = 0; i < tokens.Size(); ++i) {
        const TSqlToken& t = tokens[i];
        if (!IsName(t) || declared.contains(i)) continue;
        int before = tokens.Prev(i), after = tokens.Next(i);
        if (after >= 0 && tokens[after].IsPunct(QLatin1Char('('))) {
            if (!IsSqlFunction(t.Text)) Refuse(QStringLiteral("不允许调用函数: %1").arg(t.Text));
            continue;
        }
        if (after >= 0 && tokens[after].IsPunct(QLatin1Char('.'))) {
            if (!aliases.contains(t.Text.toUpper())) Refuse(QStringLiteral("语句中没有数据表或别名 %1").arg(t.Text));
            continue;
        }
        if (before >= 0 && tokens[before].IsPunct(QLatin1Char('.'))) {
            int q = tokens.Prev(before);
            const TTableDef* def = q >= 0 ? schema.Table(from.TableOf(tokens[q].Text)) : nullptr;
            if (def && !def->HasColumn(t.Text))
                Refuse(QStringLiteral("数据表 %1 没有栏位 %2").arg(def->Name, t.Text));
            continue;
        }
        if (aliases.contains(t.Text.toUpper())) continue;
        bool known = false;
        for (const TSqlTableRef& ref : from.Tables) {
            const TTableDef* def = schema.Table(ref.Table);
            if (def && def->HasColumn(t.Text)) known = true;
        }
        if (!known) Refuse(QStringLiteral("未知的栏位: %1").arg(t.Text));
    }
}

}  // namespace kelm24
