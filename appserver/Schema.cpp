#include "appserver/Schema.h"

#include <QSet>

namespace kelm24 {

int TTableDef::ColumnIndex(const QString& column) const
{
    for (int i = 0; i < Columns.size(); ++i)
        if (Columns[i].Name.compare(column, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

namespace {

// A table whose columns are written compactly: "TG" 1..60 gives TG001..TG060;
// numbers and integers name the columns that are not text.
class TTableBuilder {
public:
    explicit TTableBuilder(QString name) { table_.Name = std::move(name); }
    TTableBuilder& Range(const QString& prefix, int from, int to)
    {
        for (int i = from; i <= to; ++i) Column(prefix + QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0')));
        return *this;
    }
    TTableBuilder& Columns(const QString& names)
    {
        for (const QString& n : names.split(QLatin1Char(','), Qt::SkipEmptyParts)) Column(n.trimmed());
        return *this;
    }
    TTableBuilder& Numbers(const QString& names) { return Kind(names, TColumnKind::Number); }
    TTableBuilder& Integers(const QString& names) { return Kind(names, TColumnKind::Integer); }
    // A text column of a declared length, which the database keeps as VARCHAR(n).
    TTableBuilder& Length(const QString& name, int length)
    {
        const int i = table_.ColumnIndex(name);
        Q_ASSERT(i >= 0);
        if (i >= 0) table_.Columns[i].Length = length;
        return *this;
    }
    TTableBuilder& Key(const QString& names)
    {
        table_.Key = names.split(QLatin1Char(','), Qt::SkipEmptyParts);
        return *this;
    }
    // The audit columns every business table of the ERP carries.
    TTableBuilder& Audit() { return Columns(QStringLiteral("COMPANY,CREATOR,USR_GROUP,CREATE_DATE,MODIFIER,MODI_DATE,FLAG")); }
    TTableDef Build() const { return table_; }

private:
    void Column(const QString& name) { table_.Columns.push_back(TColumnDef{name, TColumnKind::Text}); }
    TTableBuilder& Kind(const QString& names, TColumnKind kind)
    {
        for (const QString& n : names.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            int i = table_.ColumnIndex(n.trimmed());
            Q_ASSERT(i >= 0);
            if (i >= 0) table_.Columns[i].Kind = kind;
        }
        return *this;
    }
    TTableDef table_;
};

QString SqlType(TColumnKind kind, TSqlEngine engine)
{
    switch (kind) {
    case TColumnKind::Integer: return QStringLiteral("INTEGER");
    case TColumnKind::Number: return engine == TSqlEngine::SQLite ? QStringLiteral("REAL") : QStringLiteral("DOUBLE PRECISION");
    case TColumnKind::Text: break;
    }
    return QStringLiteral("TEXT");
}

}  // namespace

TSchema::TSchema()
{
    using B = TTableBuilder;
    // Purchase receipts: header, lines; purchase orders: header, lines.
    Add(B(QStringLiteral("PURTG")).Audit().Range(QStringLiteral("TG"), 1, 60)
            .Columns(QStringLiteral("UDF01,UDF02,UDF03,UDF04,UDF05,UDF06,UDF51,UDF52,UDF53,UDF54,UDF55,UDF56"))
            .Numbers(QStringLiteral("TG008,TG017,TG018,TG019,TG020,TG025,TG026,TG028,TG030,TG031,TG032,TG040,TG041,TG053,"
                                    "TG054,UDF51,UDF52,UDF53,UDF54,UDF55,UDF56"))
            .Integers(QStringLiteral("TG012,TG045"))
            .Key(QStringLiteral("TG001,TG002")).Build());
    Add(B(QStringLiteral("PURTH")).Audit().Range(QStringLiteral("TH"), 1, 80).Columns(QStringLiteral("THC01,THC02"))
            .Columns(QStringLiteral("UDF01,UDF02,UDF03,UDF04,UDF05,UDF06,UDF51,UDF52,UDF53,UDF54,UDF55,UDF56"))
            .Numbers(QStringLiteral("TH007,TH015,TH016,TH017,TH018,TH019,TH020,TH024,TH045,TH046,TH047,TH048,TH049,TH050,"
                                    "TH051,TH052,TH053,TH061,TH062,TH068,TH069,THC01,UDF51,UDF52,UDF53,UDF54,UDF55,UDF56"))
            .Key(QStringLiteral("TH001,TH002,TH003")).Build());
    Add(B(QStringLiteral("PURTC")).Audit().Range(QStringLiteral("TC"), 1, 20)
            .Numbers(QStringLiteral("TC006,TC010,TC011")).Key(QStringLiteral("TC001,TC002")).Build());
    Add(B(QStringLiteral("PURTD")).Audit().Range(QStringLiteral("TD"), 1, 30)
            .Numbers(QStringLiteral("TD008,TD010,TD011,TD015")).Key(QStringLiteral("TD001,TD002,TD003")).Build());
    // Masters of the receipt statement.
    Add(B(QStringLiteral("PURMA")).Audit().Range(QStringLiteral("MA"), 1, 20).Key(QStringLiteral("MA001")).Build());
    Add(B(QStringLiteral("INVMB")).Audit().Range(QStringLiteral("MB"), 1, 50).Columns(QStringLiteral("MB121,MB130"))
            .Numbers(QStringLiteral("MB045,MB046,MB047")).Key(QStringLiteral("MB001")).Build());
    Add(B(QStringLiteral("INVMC")).Audit().Range(QStringLiteral("MC"), 1, 10)
            .Numbers(QStringLiteral("MC009,MC010")).Key(QStringLiteral("MC001,MC002")).Build());
    Add(B(QStringLiteral("INVMD")).Audit().Range(QStringLiteral("MD"), 1, 6)
            .Numbers(QStringLiteral("MD003,MD004")).Key(QStringLiteral("MD001,MD002")).Build());
    Add(B(QStringLiteral("CMSMQ")).Audit().Range(QStringLiteral("MQ"), 1, 20).Key(QStringLiteral("MQ001")).Build());
    Add(B(QStringLiteral("CMSMB")).Audit().Range(QStringLiteral("MB"), 1, 8).Key(QStringLiteral("MB001")).Build());
    Add(B(QStringLiteral("CMSMC")).Audit().Range(QStringLiteral("MC"), 1, 8).Key(QStringLiteral("MC001")).Build());
    Add(B(QStringLiteral("CMSMF")).Audit().Range(QStringLiteral("MF"), 1, 10)
            .Integers(QStringLiteral("MF003,MF004")).Numbers(QStringLiteral("MF005")).Key(QStringLiteral("MF001")).Build());
    Add(B(QStringLiteral("CMSNA")).Audit().Range(QStringLiteral("NA"), 1, 6)
            .Integers(QStringLiteral("NA004")).Key(QStringLiteral("NA001,NA002")).Build());
    Add(B(QStringLiteral("CMSNO")).Audit().Range(QStringLiteral("NO"), 1, 6).Key(QStringLiteral("NO001")).Build());
    Add(B(QStringLiteral("CMSME")).Audit().Range(QStringLiteral("ME"), 1, 6).Key(QStringLiteral("ME001")).Build());
    Add(B(QStringLiteral("KBSMC")).Audit().Range(QStringLiteral("MC"), 1, 6).Key(QStringLiteral("MC001")).Build());
    Add(B(QStringLiteral("CMSMA")).Audit().Range(QStringLiteral("MA"), 1, 10).Columns(QStringLiteral("MA069")).Build());
    // Host tables: companies, programs, program and document-type settings,
    // footers and sign-offs, system settings, messages, users and permissions.
    Add(B(QStringLiteral("CMSML")).Audit().Range(QStringLiteral("ML"), 1, 12).Key(QStringLiteral("ML001")).Build());
    Add(B(QStringLiteral("ADMMB")).Audit().Range(QStringLiteral("MB"), 1, 10).Key(QStringLiteral("MB001")).Build());
    Add(B(QStringLiteral("CMSMT")).Audit().Range(QStringLiteral("MT"), 1, 16).Key(QStringLiteral("MT001")).Build());
    Add(B(QStringLiteral("CMSMS")).Audit().Range(QStringLiteral("MS"), 1, 8).Key(QStringLiteral("MS001,MS002")).Build());
    Add(B(QStringLiteral("ADMSY")).Audit().Range(QStringLiteral("SY"), 1, 4).Key(QStringLiteral("SY001,SY002")).Build());
    Add(B(QStringLiteral("ADMMS")).Range(QStringLiteral("MS"), 1, 6).Key(QStringLiteral("MS001,MS002")).Build());
    Add(B(QStringLiteral("ADMMF")).Audit().Range(QStringLiteral("MF"), 1, 10).Key(QStringLiteral("MF001")).Build());
    Add(B(QStringLiteral("ADMMG")).Audit().Range(QStringLiteral("MG"), 1, 4).Key(QStringLiteral("MG001,MG002")).Build());
    Add(B(QStringLiteral("ADMMR")).Audit().Range(QStringLiteral("MR"), 1, 5).Key(QStringLiteral("MR001,MR002,MR003")).Build());
    // Approval workflow: registered document types (array and web-service
    // modes) and the sign-off history.
    Add(B(QStringLiteral("ADMMQ")).Audit().Range(QStringLiteral("MQ"), 1, 4).Key(QStringLiteral("MQ001,MQ002")).Build());
    Add(B(QStringLiteral("QNSMC")).Audit().Range(QStringLiteral("MC"), 1, 4).Key(QStringLiteral("MC001,MC002")).Build());
    Add(B(QStringLiteral("QNSTA")).Range(QStringLiteral("TA"), 1, 16).Key(QStringLiteral("TA001,TA002,TA003,TA004,TA005")).Build());
    // Send log, saved condition sets, stored layouts.
    Add(B(QStringLiteral("ADMTA")).Columns(QStringLiteral("COMPANY,CREATOR,USR_GROUP,CREATE_DATE,FLAG"))
            .Range(QStringLiteral("TA"), 1, 6).Build());
    Add(B(QStringLiteral("GENES")).Columns(QStringLiteral("NCONDITION,CREATOR,PROGRAMME,CREATE_DATE,SCONDITION,VCONDITION"))
            .Length(QStringLiteral("NCONDITION"), 20).Key(QStringLiteral("NCONDITION,CREATOR,PROGRAMME")).Build());
    Add(B(QStringLiteral("WARRANT")).Audit().Range(QStringLiteral("NT"), 1, 6)
            .Integers(QStringLiteral("NT005")).Length(QStringLiteral("NT002"), 40).Key(QStringLiteral("NT001,NT002")).Build());
}

const TSchema& TSchema::Company()
{
    static const TSchema schema;
    return schema;
}

void TSchema::Add(TTableDef table)
{
    for (const TColumnDef& c : table.Columns) columns_.insert(c.Name.toUpper());
    byName_.insert(table.Name.toUpper(), static_cast<int>(tables_.size()));
    tables_.push_back(std::move(table));
}

const TTableDef* TSchema::Table(const QString& name) const
{
    auto it = byName_.constFind(name.toUpper());
    return it == byName_.constEnd() ? nullptr : &tables_[it.value()];
}

bool TSchema::IsColumn(const QString& column) const { return columns_.contains(column.toUpper()); }

QStringList TSchema::CreateStatements(TSqlEngine engine) const
{
    QStringList out;
    for (const TTableDef& t : tables_) {
        QStringList cols;
        for (const TColumnDef& c : t.Columns) {
            const bool sized = c.Kind == TColumnKind::Text && c.Length > 0;
            cols << c.Name + QLatin1Char(' ') + (sized ? QStringLiteral("VARCHAR(%1)").arg(c.Length) : SqlType(c.Kind, engine));
        }
        if (!t.Key.isEmpty()) cols << QStringLiteral("PRIMARY KEY (%1)").arg(t.Key.join(QLatin1Char(',')));
        out << QStringLiteral("CREATE TABLE %1 (%2)").arg(t.Name, cols.join(QStringLiteral(", ")));
    }
    // Look-ups the statements make by other columns than the key.
    out << QStringLiteral("CREATE INDEX PURTH_ORDER ON PURTH (TH011, TH012, TH013)");
    return out;
}

}  // namespace kelm24
