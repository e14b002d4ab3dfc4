#include "appserver/AccessPolicy.h"

#include "appserver/SqlDialect.h"
#include "kelm24/Variant.h"

#include <QSet>

namespace kelm24 {

namespace {

// Business tables every report statement may read whole: documents, their
// lines, the masters they join, company and approval settings.
const QStringList kBusinessTables = {
    QStringLiteral("PURTG"), QStringLiteral("PURTH"), QStringLiteral("PURTC"), QStringLiteral("PURTD"),
    QStringLiteral("PURMA"), QStringLiteral("INVMB"), QStringLiteral("INVMC"), QStringLiteral("INVMD"),
    QStringLiteral("CMSMQ"), QStringLiteral("CMSMB"), QStringLiteral("CMSMC"), QStringLiteral("CMSMF"),
    QStringLiteral("CMSNA"), QStringLiteral("CMSNO"), QStringLiteral("CMSME"), QStringLiteral("KBSMC"),
    QStringLiteral("CMSMA"), QStringLiteral("CMSML"), QStringLiteral("ADMMQ"), QStringLiteral("QNSMC"),
    QStringLiteral("QNSTA"),
    // Program, document-type, footer, system and message settings the host reads.
    QStringLiteral("ADMMB"), QStringLiteral("CMSMT"), QStringLiteral("CMSMS"), QStringLiteral("ADMSY"), QStringLiteral("ADMMS")};

}  // namespace

QStringList TDocumentTable::KeyValues(const QString& condition) const
{
    const QString shape = QStringLiteral("UpdatePrintCount: 条件只能是单据键 %1 各等于一个常量, 以 AND 连接: %2")
                              .arg(Key.join(QStringLiteral(", ")), condition.simplified().left(200));
    TSqlTokens tokens(condition);
    StripTablePrefixes(tokens);
    if (tokens.Unterminated()) throw Exception(shape);
    QStringList values(Key.size());
    QVector<bool> named(Key.size());
    int i = tokens.Next(-1);
    while (true) {
        if (i < 0 || tokens[i].Kind != TSqlTokenKind::Word) throw Exception(shape);
        int column = i;
        int dot = tokens.Next(i);
        // A column may carry its table: PURTG.TG001.
        if (dot >= 0 && tokens[dot].IsPunct(QLatin1Char('.'))) {
            if (tokens[i].Text.compare(Table, Qt::CaseInsensitive) != 0) throw Exception(shape);
            column = tokens.Next(dot);
            if (column < 0 || tokens[column].Kind != TSqlTokenKind::Word) throw Exception(shape);
        }
        const int k = static_cast<int>(Key.indexOf(tokens[column].Text.toUpper()));
        if (k < 0 || named[k]) throw Exception(shape);
        const int eq = tokens.Next(column);
        if (eq < 0 || !tokens[eq].IsPunct(QLatin1Char('='))) throw Exception(shape);
        const int value = tokens.Next(eq);
        if (value < 0) throw Exception(shape);
        const TSqlToken& v = tokens[value];
        if (v.Kind == TSqlTokenKind::String && v.Text.size() >= 2 && v.Text.startsWith(QLatin1Char('\'')))
            values[k] = v.Text.mid(1, v.Text.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
        else if (v.Kind == TSqlTokenKind::Number)
            values[k] = v.Text;
        else
            throw Exception(shape);
        named[k] = true;
        i = tokens.Next(value);
        if (i < 0) break;
        if (!tokens[i].Is("AND")) throw Exception(shape);
        i = tokens.Next(i);
    }
    if (named.contains(false)) throw Exception(shape);
    return values;
}

TAccessPolicy::TAccessPolicy()
{
    // Report queries and free statements read the business tables; of the
    // users only code and name (a receipt shows who made it); of layouts the
    // names, revisions and dates that lists show (their contents go through
    // the layout members). Rights, row rules and the send log are not theirs
    // to read.
    for (TClientMember m : {TClientMember::Query, TClientMember::FreeSql}) {
        for (const QString& table : kBusinessTables) Grant(m, TAccess::Read, table);
        Grant(m, TAccess::Read, QStringLiteral("ADMMF"), {QStringLiteral("MF001"), QStringLiteral("MF002")});
        Grant(m, TAccess::Read, QStringLiteral("WARRANT"),
              {QStringLiteral("NT001"), QStringLiteral("NT002"), QStringLiteral("NT003"), QStringLiteral("NT006")});
    }
    // Condition sets are their user's: a statement sees the names, program
    // and date of the session user's own sets (the save dialog asks whether
    // a name is taken), never another user's; their contents go through the
    // condition-set members.
    ownRows_.push_back({QStringLiteral("GENES"), QStringLiteral("CREATOR"),
                        {QStringLiteral("NCONDITION"), QStringLiteral("CREATOR"), QStringLiteral("PROGRAMME"), QStringLiteral("CREATE_DATE")}});
    // The one row a free statement writes: the send log after e-mail or fax.
    Grant(TClientMember::FreeSql, TAccess::Insert, QStringLiteral("ADMTA"));

    // Prints and sends are counted on the receipt header, found by its key.
    documents_.push_back({QStringLiteral("PURTG"), {QStringLiteral("TG001"), QStringLiteral("TG002")},
                          {QStringLiteral("TG012"), QStringLiteral("TG045")}});
    for (const TDocumentTable& d : documents_) {
        Grant(TClientMember::PrintCount, TAccess::Read, d.Table, d.Key + d.CountColumns);
        Grant(TClientMember::PrintCount, TAccess::Update, d.Table, d.CountColumns);
    }
}

const TAccessPolicy& TAccessPolicy::Company()
{
    static const TAccessPolicy policy;
    return policy;
}

void TAccessPolicy::Grant(TClientMember member, TAccess access, const QString& table, const QStringList& columns)
{
    rules_.push_back({member, access, table, columns});
}

bool TAccessPolicy::Allows(TClientMember member, TAccess access, const QString& table, const QString& column) const
{
    for (const TRule& r : rules_) {
        if (r.Member != member || r.Access != access || r.Table.compare(table, Qt::CaseInsensitive) != 0) continue;
        if (r.Columns.isEmpty() || column.isEmpty() || r.Columns.contains(column, Qt::CaseInsensitive)) return true;
    }
    return false;
}

bool TAccessPolicy::AllowsOwnRows(TClientMember member, const QString& table, const QString& column) const
{
    if (!SeesOwnRows(member)) return false;
    for (const TOwnRowsTable& t : ownRows_)
        if (t.Table.compare(table, Qt::CaseInsensitive) == 0) return column.isEmpty() || t.Columns.contains(column, Qt::CaseInsensitive);
    return false;
}

bool TAccessPolicy::AllowsFunction(const QString& name) const
{
    static const QSet<QString> names = {
        QStringLiteral("sum"),    QStringLiteral("count"),  QStringLiteral("min"),       QStringLiteral("max"),
        QStringLiteral("avg"),    QStringLiteral("total"),  QStringLiteral("coalesce"),  QStringLiteral("nullif"),
        QStringLiteral("ifnull"), QStringLiteral("upper"),  QStringLiteral("lower"),     QStringLiteral("trim"),
        QStringLiteral("ltrim"),  QStringLiteral("rtrim"),  QStringLiteral("substr"),    QStringLiteral("substring"),
        QStringLiteral("length"), QStringLiteral("abs"),    QStringLiteral("round"),     QStringLiteral("replace"),
        QStringLiteral("instr"),  QStringLiteral("like"),   QStringLiteral("glob"),      QStringLiteral("iif")};
    return names.contains(name.toLower());
}

const TDocumentTable* TAccessPolicy::DocumentTable(const QString& table) const
{
    for (const TDocumentTable& d : documents_)
        if (d.Table.compare(table, Qt::CaseInsensitive) == 0) return &d;
    return nullptr;
}

QString TAccessPolicy::RoleName(TClientMember member)
{
    switch (member) {
    case TClientMember::Query: return QStringLiteral("kelm24_client_query");
    case TClientMember::FreeSql: return QStringLiteral("kelm24_client_freesql");
    case TClientMember::PrintCount: return QStringLiteral("kelm24_client_printcount");
    }
    return {};
}

QStringList TAccessPolicy::RoleGrants(TClientMember member) const
{
    const QString role = RoleName(member);
    QStringList out = {QStringLiteral("REVOKE ALL ON ALL TABLES IN SCHEMA public FROM %1").arg(role),
                       QStringLiteral("GRANT USAGE ON SCHEMA public TO %1").arg(role)};
    static const char* const verbs[] = {"SELECT", "INSERT", "UPDATE", "DELETE"};
    for (const TRule& r : rules_) {
        if (r.Member != member) continue;
        const QString verb = QString::fromLatin1(verbs[static_cast<int>(r.Access)]);
        out << (r.Columns.isEmpty() || r.Access == TAccess::Insert || r.Access == TAccess::Delete
                    ? QStringLiteral("GRANT %1 ON %2 TO %3").arg(verb, r.Table, role)
                    : QStringLiteral("GRANT %1 (%2) ON %3 TO %4").arg(verb, r.Columns.join(QLatin1Char(',')), r.Table, role));
    }
    return out;
}

QString TAccessPolicy::MemberName(TClientMember member)
{
    switch (member) {
    case TClientMember::Query: return QStringLiteral("AS_GetRecords");
    case TClientMember::FreeSql: return QStringLiteral("RunFreeSQL");
    case TClientMember::PrintCount: return QStringLiteral("UpdatePrintCount");
    }
    return {};
}

QString TAccessPolicy::AccessName(TAccess access)
{
    switch (access) {
    case TAccess::Read: return QStringLiteral("读取");
    case TAccess::Insert: return QStringLiteral("新增");
    case TAccess::Update: return QStringLiteral("修改");
    case TAccess::Delete: return QStringLiteral("删除");
    }
    return {};
}

}  // namespace kelm24
