#include "runtime/SqlCondition.h"

#include "runtime/TextUtils.h"

#include <QRegularExpression>

namespace kelm24 {

namespace {

// The text of an array element; empty when it is missing or not convertible.
QString ElementText(const Variant& array, int index)
{
    try {
        return array.At(index).ToString();
    } catch (const Exception&) {
        return QString();
    }
}

bool IsSqlNumber(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)([eE][+-]?\\d+)?$"));
    return number.match(text).hasMatch();
}

QString ListClause(const QString& Field, const Variant& Value)
{
    QStringList values;
    for (int i = 1; i <= Value.HighBound(); ++i) {
        const Variant& item = Value.At(i);
        QString text;
        if (item.IsArray())
            text = ElementText(item, 0);
        else if (!VarIsBlank(item))
            text = ElementText(Value, i);
        if (!text.isEmpty()) values << SqlQuoted(text);
    }
    return values.isEmpty() ? QString() : QLatin1Char('(') + Field + QStringLiteral(" IN (") + values.join(QStringLiteral(", ")) + QStringLiteral("))");
}

QString RangeClause(const QString& Field, QString From, QString To, int Mode)
{
    const bool text = Mode == 1;
    if (!text) {
        From = From.trimmed();
        To = To.trimmed();
        for (const QString& value : {From, To})
            if (!value.isEmpty() && !IsSqlNumber(value))
                throw Exception(QStringLiteral("Condition on field %1: \"%2\" is not a number").arg(Field, value));
    }
    const auto w = [text](const QString& value) { return text ? SqlQuoted(value) : value; };
    const QString gap = text ? QStringLiteral(" ") : QString();
    if (!From.isEmpty() && !To.isEmpty() && From == To) return QStringLiteral(" (") + Field + QLatin1Char('=') + w(From) + QStringLiteral(") ");
    if (!From.isEmpty() && !To.isEmpty())
        return QStringLiteral(" (") + Field + QStringLiteral(" Between ") + w(From) + QStringLiteral(" and ") + w(To) + QStringLiteral(") ");
    if (!From.isEmpty()) return QStringLiteral(" (") + Field + QStringLiteral(">=") + gap + w(From) + QLatin1Char(')');
    if (!To.isEmpty())
        return QStringLiteral(" (") + Field + QStringLiteral("<=") + gap + w(To) + QStringLiteral(" OR ") + Field + QStringLiteral(" IS NULL )");
    return QString();
}

}  // namespace

QString SqlQuoted(const QString& value)
{
    return QLatin1Char('\'') + QString(value).replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}

void AddFieldCondition(QString& Where, const QString& Field, const Variant& Value, int Mode, QString& Clause)
{
    Clause.clear();
    QString from, to;
    // A list is written as string literals whatever the mode; a range or a
    // single value only in modes 1 to 3.
    const bool list = Value.IsArray() && ElementText(Value, 0) == ListMarker;
    if (list) {
        Clause = ListClause(Field, Value);
    } else if (Mode < 1 || Mode > 3) {
        return;
    } else if (Value.IsArray()) {
        const int k = ElementText(Value, 0) == RangeMarker ? 1 : 0;
        from = ElementText(Value, k);
        to = ElementText(Value, k + 1);
    } else if (!VarIsBlank(Value)) {
        try {
            from = Value.ToString();
        } catch (const Exception&) {
            from.clear();
        }
    }
    if (!list) Clause = RangeClause(Field, from, to, Mode);
    if (Clause.isEmpty()) return;
    Where = Where.isEmpty() ? QStringLiteral("Where ") + Clause : Where + QStringLiteral(" and ") + Clause;
}

QString FindTableAlias(const QString& Table, const QString& Rest)
{
    const auto isStop = [](const QString& word) {
        static const QStringList keywords = {QStringLiteral("LEFT"), QStringLiteral("RIGHT"), QStringLiteral("INNER"),
                                             QStringLiteral("WHERE"), QStringLiteral("ON")};
        return word.isEmpty() || keywords.contains(word) || word.startsWith(QLatin1String("WITH"));
    };
    QString rest = Rest.trimmed();
    QString w1;
    SplitFirst(rest, QStringLiteral(" "), w1);
    rest = rest.trimmed();
    const QString upper1 = w1.toUpper();
    if (upper1 == QLatin1String("AS") && !rest.isEmpty()) {
        QString alias;
        SplitFirst(rest, QStringLiteral(" "), alias);
        return alias.trimmed();
    }
    if (isStop(upper1)) return Table;
    QString w2;
    SplitFirst(rest, QStringLiteral(" "), w2);
    return isStop(w2.toUpper()) ? upper1 : Table;
}

void BuildOuterJoinConditions(const Variant& Rules, const QString& DatabaseName, const QString& FromText,
                              QString& Conditions, const QString& Excluded)
{
    Conditions.clear();
    if (!Rules.IsArray() || Rules.DimCount() != 1) return;
    const QString from = QString(FromText).replace(QLatin1String("\r\n"), QLatin1String(" ")).trimmed();
    QString prefix = QStringLiteral("$$");
    if (!from.contains(prefix)) {
        prefix = DatabaseName;
        if (!prefix.endsWith(QLatin1String(".."))) prefix += QLatin1String("..");
    }
    int count = 0;
    try {
        count = qMin(Rules.At(Rules.LowBound()).ToInt(), Rules.HighBound() - Rules.LowBound());
    } catch (const Exception&) {
        return;
    }
    QString result;
    for (int i = 1; i <= count; ++i) {
        QString rest = ElementText(Rules, Rules.LowBound() + i);
        QString table;
        SplitFirst(rest, QStringLiteral(" "), table);
        const QString condition = QStringLiteral(" ( ") + rest + QStringLiteral(" ) ");
        const QString reference = prefix + table;
        QString s = from;
        for (qsizetype at = s.indexOf(reference); !table.isEmpty() && at >= 0; at = s.indexOf(reference)) {
            s = s.mid(at + reference.size());
            const QString alias = FindTableAlias(table, s);
            if ((QLatin1Char(';') + Excluded + QLatin1Char(';')).contains(QLatin1Char(';') + alias.toUpper() + QLatin1Char(';')))
                continue;
            const QString t = ReplaceAll(condition, table + QLatin1Char('.'), alias + QLatin1Char('.'), true);
            const QString isNull = QLatin1Char('(') + alias + QLatin1Char('.') + table.right(2) + QStringLiteral("001 is null)");
            result += QLatin1Char('(') + t + QStringLiteral(" or ") + isNull + QStringLiteral(") and ");
        }
    }
    if (!result.isEmpty()) result.chop(5);
    Conditions = result;
}

}  // namespace kelm24
