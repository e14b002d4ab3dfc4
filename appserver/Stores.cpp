#include "appserver/Stores.h"

#include "kelm24/DataPacket.h"

#include <QDate>
#include <QRegularExpression>

namespace kelm24 {

int DataCodePageLength(const QString& text)
{
    int bytes = 0;
    for (QChar c : text) bytes += c.unicode() < 0x80 ? 1 : 2;
    return bytes;
}

namespace {
const int kMaxConditionName = 20;

QString CheckConditionName(const QString& name)
{
    if (name.trimmed().isEmpty()) return QStringLiteral("方案名不可空白!");
    if (DataCodePageLength(name) > kMaxConditionName) return QStringLiteral("方案名长度不可大于20!");
    return {};
}
}  // namespace

bool TConditionSetStore::Exists(const TConditionKey& key)
{
    return !data_.Select(QStringLiteral("SELECT 1 FROM %1 WHERE NCONDITION=? AND CREATOR=? AND PROGRAMME=?").arg(Genes()),
                         {key.Name, key.User, key.Program}).isEmpty();
}

QString TConditionSetStore::Insert(const TConditionKey& key, const QString& date, const QString& specs,
                                   const QString& values, bool replace)
{
    if (QString error = CheckConditionName(key.Name); !error.isEmpty()) return error;
    if (Exists(key)) {
        if (!replace) return QStringLiteral("此方案名称已经存在！");
        data_.Exec(QStringLiteral("UPDATE %1 SET CREATE_DATE=?, SCONDITION=?, VCONDITION=? "
                                  "WHERE NCONDITION=? AND CREATOR=? AND PROGRAMME=?").arg(Genes()),
                   {date, specs, values, key.Name, key.User, key.Program});
        return {};
    }
    data_.Exec(QStringLiteral("INSERT INTO %1 (NCONDITION, CREATOR, PROGRAMME, CREATE_DATE, SCONDITION, VCONDITION) "
                              "VALUES (?, ?, ?, ?, ?, ?)").arg(Genes()),
               {key.Name, key.User, key.Program, date, specs, values});
    return {};
}

QString TConditionSetStore::Delete(const TConditionKey& key)
{
    int rows = data_.Exec(QStringLiteral("DELETE FROM %1 WHERE NCONDITION=? AND CREATOR=? AND PROGRAMME=?").arg(Genes()),
                          {key.Name, key.User, key.Program});
    return rows > 0 ? QString() : QStringLiteral("方案 %1 不存在").arg(key.Name);
}

QString TConditionSetStore::Rename(const TConditionKey& from, const TConditionKey& to)
{
    if (QString error = CheckConditionName(to.Name); !error.isEmpty()) return error;
    if (!Exists(from)) return QStringLiteral("方案 %1 不存在").arg(from.Name);
    if (from.Name == to.Name && from.User == to.User && from.Program == to.Program) return {};
    if (Exists(to)) return QStringLiteral("此方案名称已经存在！");
    data_.Exec(QStringLiteral("UPDATE %1 SET NCONDITION=?, CREATOR=?, PROGRAMME=? "
                              "WHERE NCONDITION=? AND CREATOR=? AND PROGRAMME=?").arg(Genes()),
               {to.Name, to.User, to.Program, from.Name, from.User, from.Program});
    return {};
}

Variant TConditionSetStore::Packet(const QString& user, const QString& program)
{
    // Bound values in a query of our own: the packet reader adapts nothing here.
    QVector<TSqlRow> rows = data_.Select(
        QStringLiteral("SELECT NCONDITION, CREATOR, PROGRAMME, CREATE_DATE, SCONDITION, VCONDITION FROM %1 "
                       "WHERE CREATOR=? AND PROGRAMME=? ORDER BY NCONDITION").arg(Genes()),
        {user, program});
    static const char* names[] = {"NCONDITION", "CREATOR", "PROGRAMME", "CREATE_DATE", "SCONDITION", "VCONDITION"};
    static const int sizes[] = {20, 20, 20, 8, 0, 0};
    TDataPacket packet;
    for (int i = 0; i < 6; ++i) packet.Fields.push_back(TFieldDef{QString::fromLatin1(names[i]), TFieldType::String, sizes[i]});
    for (const TSqlRow& r : rows) {
        std::vector<Variant> row;
        for (int i = 0; i < 6; ++i) row.push_back(ToVariant(r[i]));
        packet.Rows.push_back(std::move(row));
    }
    return packet.ToVariant();
}

int TLayoutStore::Read(const QString& formClass, const QString& style, Variant& answer)
{
    QVector<TSqlRow> rows =
        data_.Select(QStringLiteral("SELECT NT003, NT004 FROM WARRANT WHERE NT001=? AND NT002=?"), {formClass, style});
    if (rows.isEmpty()) return 0;
    std::vector<Variant> lines;
    const QString text = rows[0][1].toString();
    if (!text.isEmpty())
        for (const QString& line : text.split(QLatin1Char('\n'))) lines.emplace_back(line);
    answer = Variant::ArrayOf({rows[0][0].toString(), Variant::ArrayOf(lines)});
    return 1;
}

int TLayoutStore::Lock(const QString& formClass, const QString& style, const QString& revisionRead, const QString& token)
{
    // The row is ours to update only while nobody stored a newer revision.
    return data_.Exec(QStringLiteral("UPDATE WARRANT SET FLAG=? WHERE NT001=? AND NT002=? AND COALESCE(NT003,'')=?"),
                      {token, formClass, style, revisionRead}) > 0 ? 1 : -1;
}

int TLayoutStore::Update(const TLayoutOwner& owner, const QString& formClass, const QString& style,
                         const QString& revision, const QStringList& lines, int sizeKb, const QString& options,
                         const QString& token)
{
    // Two designers may lock the same revision; only the later lock stores,
    // the other is told it failed rather than overwriting unseen changes.
    int rows = data_.Exec(QStringLiteral("UPDATE WARRANT SET COMPANY=?, MODIFIER=?, MODI_DATE=?, NT003=?, NT004=?, "
                                         "NT005=?, NT006=?, FLAG=NULL WHERE NT001=? AND NT002=? AND FLAG=?"),
                          {owner.Company, owner.User, QDate::currentDate().toString(QStringLiteral("yyyyMMdd")), revision,
                           lines.join(QLatin1Char('\n')), sizeKb, options, formClass, style, token});
    return rows > 0 ? rows : -1;
}

int TLayoutStore::Insert(const TLayoutOwner& owner, const QString& formClass, const QString& style,
                         const QString& revision, const QStringList& lines, int sizeKb, const QString& options)
{
    Variant existing;
    if (Read(formClass, style, existing) > 0) return -1;
    return data_.Exec(QStringLiteral("INSERT INTO WARRANT (COMPANY, CREATOR, USR_GROUP, CREATE_DATE, NT001, NT002, NT003, "
                                     "NT004, NT005, NT006) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                      {owner.Company, owner.User, owner.Group, QDate::currentDate().toString(QStringLiteral("yyyyMMdd")),
                       formClass, style, revision.isEmpty() ? QStringLiteral("0") : revision,
                       lines.join(QLatin1Char('\n')), sizeKb, options});
}

int TLayoutStore::Delete(const QString& formClass, const QString& style)
{
    return data_.Exec(QStringLiteral("DELETE FROM WARRANT WHERE NT001=? AND NT002=?"), {formClass, style});
}

QVector<TApprovalForm> TApprovalHistory::ParseRequest(const QString& request)
{
    static const QRegularExpression form(QStringLiteral("<Form\\b([^>]*)/?>"));
    static const QRegularExpression attribute(QStringLiteral("(\\w+)\\s*=\\s*'([^']*)'"));
    QVector<TApprovalForm> forms;
    for (auto m = form.globalMatch(request); m.hasNext();) {
        const QString attributes = m.next().captured(1);
        TApprovalForm f;
        for (auto a = attribute.globalMatch(attributes); a.hasNext();) {
            auto am = a.next();
            // Values come escaped as XML attributes ("&apos;" for a quote in a sheet number).
            const QString name = am.captured(1).toLower();
            QString value = am.captured(2);
            value.replace(QStringLiteral("&apos;"), QStringLiteral("'")).replace(QStringLiteral("&quot;"), QStringLiteral("\""))
                .replace(QStringLiteral("&lt;"), QStringLiteral("<")).replace(QStringLiteral("&gt;"), QStringLiteral(">"))
                .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
            if (name == QLatin1String("wfprogramid")) f.ProgramId = value;
            else if (name == QLatin1String("wfformtype")) f.FormType = value;
            else if (name == QLatin1String("wfsheetno")) f.SheetNo = value;
            else if (name == QLatin1String("wfparameter3")) f.Parameter3 = value;
            else if (name == QLatin1String("wfparameter4")) f.Parameter4 = value;
        }
        if (!f.FormType.isEmpty() && !f.SheetNo.isEmpty()) forms.push_back(f);
    }
    return forms;
}

QVector<TSqlRow> TApprovalHistory::Records(const TApprovalForm& form)
{
    return data_.Select(QStringLiteral("SELECT TA003, TA004, TA005, TA006, TA007, TA008, TA009, TA010, TA011, TA012, "
                                       "TA013, TA014, TA015, TA016 FROM QNSTA WHERE TA001=? AND TA002=? "
                                       "ORDER BY TA003, TA004, TA005"),
                        {form.FormType, form.SheetNo});
}

Variant TApprovalHistory::Documents(const QString& request)
{
    std::vector<Variant> answer{Variant(0)};
    for (const TApprovalForm& form : ParseRequest(request)) {
        QVector<TSqlRow> rows = Records(form);
        if (rows.isEmpty()) continue;
        Variant records = Variant::CreateArray(0, 12, 0, static_cast<int>(rows.size()) - 1);
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c <= 12; ++c) records.At(c, r) = Variant(rows[r][c].toString());
        answer.push_back(Variant::ArrayOf({form.ProgramId, form.FormType, form.SheetNo, form.Parameter3, form.Parameter4, records}));
    }
    answer[0] = Variant(static_cast<int>(answer.size()) - 1);
    return Variant::ArrayOf(answer);
}

QString TApprovalHistory::WebServiceXml(const QString& request)
{
    QString xml = QStringLiteral("<FormSet>");
    for (const TApprovalForm& form : ParseRequest(request)) {
        QVector<TSqlRow> rows = Records(form);
        if (rows.isEmpty()) continue;
        QStringList entries;
        // step, branch, signer, title, result, date, opinion
        for (const TSqlRow& r : rows)
            entries << QStringList{r[0].toString(), r[1].toString(), r[10].toString(), r[12].toString(), r[6].toString(),
                                   r[5].toString(), r[13].toString()}.join(QStringLiteral("  "));
        entries << rows.last()[6].toString();
        xml += QStringLiteral("<Form wfFormType=\"%1\" wfSheetNo=\"%2\">%3</Form>")
                   .arg(form.FormType.toHtmlEscaped(), form.SheetNo.toHtmlEscaped(),
                        entries.join(QStringLiteral("||")).toHtmlEscaped());
    }
    return xml + QStringLiteral("</FormSet>");
}

}  // namespace kelm24
