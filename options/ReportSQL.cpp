#include "options/ReportSQL.h"

#include "runtime/SqlCondition.h"

#include <QVector>
#include <algorithm>

namespace kelm24 {

namespace {

QString WithKeyword(const QString& Text, const char* Upper, const char* Prefix)
{
    QString t = Text.trimmed();
    if (!t.toUpper().startsWith(QLatin1String(Upper))) t = QLatin1String(Prefix) + t;
    return t + QLatin1Char(' ');
}

bool IsBareWhere(const QString& Trimmed) { return Trimmed.compare(QLatin1String("WHERE"), Qt::CaseInsensitive) == 0; }

bool StartsWithWhere(const QString& Trimmed)
{
    return Trimmed.size() > 5 && Trimmed.left(5).compare(QLatin1String("WHERE"), Qt::CaseInsensitive) == 0 &&
           Trimmed[5].isSpace();
}

// --- the scan of the FROM filter

// A word of the statement outside quotes and comments, or a bracket.
struct TScanItem {
    enum Kind { Word, Open, Close } kind;
    int pos = 0, len = 0;
    int depth = 0;  // bracket level of a word; the level inside a bracket
    QString upper;
};

bool IsWordChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$') || c == QLatin1Char('#') || c == QLatin1Char('@'); }

QVector<TScanItem> ScanStatement(const QString& s)
{
    QVector<TScanItem> items;
    int depth = 0;
    const int n = static_cast<int>(s.size());
    for (int i = 0; i < n;) {
        const QChar c = s[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            int k = i + 1;
            for (; k < n; ++k) {
                if (s[k] != close) continue;
                if (close != QLatin1Char(']') && k + 1 < n && s[k + 1] == close) {
                    ++k;  // a doubled quote stays inside
                    continue;
                }
                break;
            }
            i = k + 1;
        } else if (c == QLatin1Char('-') && i + 1 < n && s[i + 1] == QLatin1Char('-')) {
            const int end = static_cast<int>(s.indexOf(QLatin1Char('\n'), i));
            i = end < 0 ? n : end + 1;
        } else if (c == QLatin1Char('/') && i + 1 < n && s[i + 1] == QLatin1Char('*')) {
            const int end = static_cast<int>(s.indexOf(QLatin1String("*/"), i + 2));
            i = end < 0 ? n : end + 2;
        } else if (c == QLatin1Char('(')) {
            items.push_back({TScanItem::Open, i, 1, ++depth, {}});
            ++i;
        } else if (c == QLatin1Char(')')) {
            items.push_back({TScanItem::Close, i, 1, depth, {}});
            depth = std::max(0, depth - 1);
            ++i;
        } else if (IsWordChar(c)) {
            int k = i;
            while (k < n && IsWordChar(s[k])) ++k;
            items.push_back({TScanItem::Word, i, k - i, depth, s.mid(i, k - i).toUpper()});
            i = k;
        } else {
            ++i;
        }
    }
    return items;
}

bool EndsFromClause(const TScanItem& item, int depth)
{
    if (item.kind == TScanItem::Close) return item.depth == depth;
    if (item.kind != TScanItem::Word || item.depth != depth) return false;
    static const QStringList words = {QStringLiteral("WHERE"), QStringLiteral("GROUP"), QStringLiteral("ORDER"),
                                      QStringLiteral("HAVING"), QStringLiteral("UNION"), QStringLiteral("INTERSECT"),
                                      QStringLiteral("EXCEPT"), QStringLiteral("LIMIT")};
    return words.contains(item.upper);
}

// The first item at or after `from` that ends a clause of level `depth`
// (WHERE itself does not end a where clause); items.size() when none does.
int ClauseEnd(const QVector<TScanItem>& items, int from, int depth, bool insideWhere)
{
    for (int k = from; k < items.size(); ++k) {
        if (insideWhere && items[k].kind == TScanItem::Word && items[k].upper == QLatin1String("WHERE")) continue;
        if (EndsFromClause(items[k], depth)) return k;
    }
    return static_cast<int>(items.size());
}

}  // namespace

void TReportSQL::SetSelectPart(const QString& Text) { select_ = WithKeyword(Text, "SELECT ", "Select "); }
void TReportSQL::SetFromPart(const QString& Text) { from_ = WithKeyword(Text, "FROM ", " From "); }
void TReportSQL::SetWherePart(const QString& Text) { where_ = WithKeyword(Text, "WHERE ", " Where "); }
void TReportSQL::SetGroupByPart(const QString& Text) { groupBy_ = WithKeyword(Text, "GROUP BY ", " Group By "); }
void TReportSQL::SetOrderByPart(const QString& Text) { orderBy_ = WithKeyword(Text, "ORDER BY ", " Order by "); }
void TReportSQL::SetJoinPart(const QString& Text) { join_ = Text.trimmed() + QLatin1Char(' '); }

void TReportSQL::Clear()
{
    select_.clear();
    from_.clear();
    where_.clear();
    groupBy_.clear();
    orderBy_.clear();
    join_.clear();
}

void TReportSQL::AppendCondition(QString& AWhere, const QString& AField, const QString& ACondition)
{
    if (AField.isEmpty() || ACondition.isEmpty()) return;
    const QString condition = QLatin1Char('(') + AField + ACondition + QLatin1Char(')');
    AWhere = AWhere.isEmpty() ? condition : AWhere + QStringLiteral(" and ") + condition;
}

void TReportSQL::ComposeSQL(int SendMode, const QString& SendStatusField, const QString& SendStatusCondition,
                            const QString& MainTable, const Variant& PowerData)
{
    // A where part that holds only its keyword has no condition to join.
    if (IsBareWhere(where_.trimmed())) where_.clear();
    if (SendMode != 0 && !SendStatusField.isEmpty() && !SendStatusCondition.isEmpty()) {
        AppendCondition(where_, SendStatusField, SendStatusCondition);
        SetWherePart(where_);
    }
    if (MainTable.isEmpty()) return;

    QString t = where_.trimmed();
    const QString p = ArrayText(PowerData, 0);
    if (!t.isEmpty()) {
        if (StartsWithWhere(t))
            t.insert(6, QLatin1Char('('));
        else
            t.prepend(QLatin1Char('('));
        t += QLatin1Char(')');
    }
    const bool noPermission = p.trimmed().isEmpty();
    QString result;
    if (t.isEmpty() && noPermission)
        result.clear();
    else if (noPermission)
        result = t;
    else if (t.isEmpty())
        result = QStringLiteral(" Where ") + p;
    else
        result = t + QStringLiteral(" and (") + p + QLatin1Char(')');
    if (result.isEmpty())
        where_.clear();
    else
        SetWherePart(result);
}

QString ArrayText(const Variant& Array, int Index)
{
    if (!Array.IsArray() || Array.DimCount() != 1 || Index < Array.LowBound() || Index > Array.HighBound()) return {};
    const Variant& v = Array.At(Index);
    if (v.IsEmpty() || v.IsNull() || v.IsArray() || v.IsObject()) return {};
    try {
        return v.ToString();
    } catch (const Exception&) {
        return {};
    }
}

QString ApplyFromFilter(const QString& SQL, const Variant& PowerData, const QString& DatabaseName)
{
    if (ArrayText(PowerData, 4).trimmed() != QLatin1String("Y")) return SQL;
    const Variant rules = PowerData.HighBound() >= 5 ? PowerData.At(5) : Variant();
    const QVector<TScanItem> items = ScanStatement(SQL);

    struct TInsert {
        int pos;
        QString text;
    };
    QVector<TInsert> inserts;
    for (int i = 0; i < items.size(); ++i) {
        if (items[i].kind != TScanItem::Word || items[i].upper != QLatin1String("FROM")) continue;
        const int depth = items[i].depth;
        const int end = ClauseEnd(items, i + 1, depth, false);
        // A table list that holds a sub-query is passed over; the sub-query's
        // own FROM comes next in the scan.
        bool nested = false;
        for (int k = i + 1; k < end; ++k)
            if (items[k].kind == TScanItem::Word && items[k].upper == QLatin1String("FROM")) nested = true;
        if (nested) continue;
        const int listStart = items[i].pos + items[i].len;
        const int listEnd = end < items.size() ? items[end].pos : static_cast<int>(SQL.size());
        QString conditions;
        BuildOuterJoinConditions(rules, DatabaseName, SQL.mid(listStart, listEnd - listStart), conditions, QString());
        if (conditions.isEmpty()) continue;
        const bool where = end < items.size() && items[end].kind == TScanItem::Word && items[end].upper == QLatin1String("WHERE");
        if (!where) {
            inserts.push_back({listEnd, QStringLiteral(" WHERE ") + conditions + QLatin1Char(' ')});
            continue;
        }
        // The clause's own conditions stay together in brackets, so an OR
        // among them cannot step around the permission.
        const int whereEnd = ClauseEnd(items, end + 1, depth, true);
        const int conditionsEnd = whereEnd < items.size() ? items[whereEnd].pos : static_cast<int>(SQL.size());
        inserts.push_back({items[end].pos + items[end].len, QLatin1Char(' ') + conditions + QStringLiteral(" AND (")});
        inserts.push_back({conditionsEnd, QStringLiteral(") ")});
    }
    QString out = SQL;
    std::stable_sort(inserts.begin(), inserts.end(), [](const TInsert& a, const TInsert& b) { return a.pos > b.pos; });
    for (const TInsert& insert : inserts) out.insert(insert.pos, insert.text);
    return out;
}

QString SendStatusValue(const QString& StatusText)
{
    if (StatusText == QStringLiteral("已传送")) return QStringLiteral("<>0");
    if (StatusText == QStringLiteral("未传送")) return QStringLiteral("=0");
    return QString();
}

QString SendStatusCaption() { return QStringLiteral("传送状态"); }

QString SendStatusFromValues(int AMode, const Variant& AParams, int OptionCount)
{
    if (AMode != 0) return QString();
    const QString value = ArrayText(AParams, OptionCount - 1);
    const QString t = value.trimmed();
    if (!t.isEmpty() && t != QLatin1String("<>0") && t != QLatin1String("=0"))
        throw Exception(QStringLiteral("传送状态的条件不合规则: %1").arg(value));
    return t;
}

}  // namespace kelm24
