#include "host/Validator.h"

#include "kelm24/HostObjects.h"

namespace kelm24 {

namespace {

// Element positions the plug-in reads are the column positions below:
//  ADMMB/01  [0] program name, [4] "Y" keeps a log, [7] English name
//  CMSML/01  [1] the company's full name (report titles)
//  CMSMT/01  [0] footer code, [1] footer editable, [6] sign-off code, [7] sign-off editable, [12] default style
//  CMSMQ/08, /38  [0] type name, [1] footer code, [2] footer editable, [3] sign-off code, [4] sign-off editable,
//            [5] document system, [6] type, [7] footer every page, [8] sign-off every page, [9] layout style,
//            [10] style changeable, [11] voucher name, [12] totals every page ("N": no)
//  CMSMQ/29  [0] type name, [1] document system;  CMSMQ/16  [0] type, [1] name
//  CMSMS/01  check [0] code, [1..3] lines; pick [0] code, [1] name, [2..4] lines
//  WARRANT/01  rows of [0] style name, [1] stored options;  WARRANT/03  [0] style, [1] revision
//  PURTG/61  [0] receipt number, [1] date, [2] supplier, [3] its name;  GENES/01  [0] set name, [1] date
const THostQuery kQueries[] = {
    {"ADMMB", "01", "SELECT MB002, MB003, MB004, MB005, MB006, MB007, MB008, MB009 FROM ADMMB WHERE MB001=:K0", 1,
     "程序名称|类别|模块|版本|记录日志|||英文名称"},
    {"CMSML", "01", "SELECT ML001, ML003, ML002, ML004, ML005, ML006, ML007, ML008 FROM CMSML WHERE ML001=:K0", 1,
     "公司代号|公司全称|简称|英文名称|地址|电话|传真|税号"},
    {"CMSMT", "01",
     "SELECT MT002, MT003, MT004, MT005, MT006, MT007, MT008, MT009, MT010, MT011, MT012, MT013, MT014 FROM CMSMT WHERE MT001=:K0",
     1, "页脚编号|页脚可改|||||签核编号|签核可改|||||预设格式"},
    {"CMSMQ", "08",
     "SELECT MQ002, MQ004, MQ005, MQ006, MQ007, MQ003, MQ001, MQ008, MQ009, MQ010, MQ011, MQ012, MQ013 FROM CMSMQ WHERE MQ001=:K0",
     1, "单别名称|页脚|页脚可改|签核|签核可改|单据性质|单别|每页页脚|每页签核|格式|格式可改|凭证名称|每页合计"},
    {"CMSMQ", "38",
     "SELECT MQ002, MQ004, MQ005, MQ006, MQ007, MQ003, MQ001, MQ008, MQ009, MQ010, MQ011, MQ012, MQ013 FROM CMSMQ "
     "WHERE MQ001=:K0 AND MQ003=:K1",
     2, "单别名称|页脚|页脚可改|签核|签核可改|单据性质|单别|每页页脚|每页签核|格式|格式可改|凭证名称|每页合计"},
    {"CMSMQ", "29", "SELECT MQ002, MQ003 FROM CMSMQ WHERE MQ001=:K0 AND MQ003 IN (:KEYS)", 2, "单别名称|单据性质", 1},
    {"CMSMQ", "16", "SELECT MQ001, MQ002, MQ003 FROM CMSMQ WHERE MQ003 IN (:KEYS) ORDER BY MQ001", 1, "单别|单别名称|单据性质", 0},
    {"CMSMS", "01", "SELECT MS002, MS004, MS005, MS006 FROM CMSMS WHERE MS001=:K0 AND MS002=:K1", 2, "编号|第一行|第二行|第三行"},
    {"WARRANT", "01", "SELECT NT002, NT006 FROM WARRANT WHERE NT001=:K0 ORDER BY NT002", 1, "格式名称|格式条件"},
    {"WARRANT", "03", "SELECT NT002, NT003 FROM WARRANT WHERE NT001=:K0 AND NT002=:K1", 2, "格式名称|版本"},
    {"PURTG", "61",
     "SELECT TG002, TG003, TG005, MA002 FROM PURTG LEFT JOIN PURMA ON MA001=TG005 WHERE TG001=:K0 ORDER BY TG002", 1,
     "进货单号|进货日期|供应商|供应商简称"},
    {"GENES", "01", "SELECT NCONDITION, CREATE_DATE FROM GENES WHERE NCONDITION=:K0 AND CREATOR=:K1 AND PROGRAMME=:K2", 3,
     "方案名称|创建日期"},
};

// The pick window lists footers or sign-offs of one kind.
const THostQuery kFooterPick = {"CMSMS", "01", "SELECT MS002, MS003, MS004, MS005, MS006 FROM CMSMS WHERE MS001=:K0 ORDER BY MS002",
                                1, "编号|名称|第一行|第二行|第三行"};

QVector<Variant> KeyList(const Variant& keys)
{
    if (keys.IsArray()) {
        std::vector<Variant> e = keys.Elements();
        return QVector<Variant>(e.begin(), e.end());
    }
    if (keys.IsEmpty() || keys.IsNull()) return {};
    return {keys};
}

}  // namespace

const THostQuery* FindHostQuery(const QString& table, const QString& number)
{
    for (const THostQuery& q : kQueries)
        if (table.compare(QLatin1String(q.Table), Qt::CaseInsensitive) == 0 && number == QLatin1String(q.Number)) return &q;
    return nullptr;
}

QVector<THostRow> RunHostQuery(const THostData& data, const THostQuery& query, const Variant& keyArg)
{
    const THostQuery* q = &query;
    QVector<Variant> keys = KeyList(keyArg);
    // Picking a footer or sign-off goes by its kind alone.
    if (qstrcmp(q->Table, "CMSMS") == 0 && keys.size() == 1) q = &kFooterPick;
    if (keys.size() < q->KeyCount)
        throw Exception(QStringLiteral("%1/%2 需要 %3 个查询键值, 只给了 %4 个").arg(QLatin1String(q->Table), QLatin1String(q->Number))
                            .arg(q->KeyCount).arg(keys.size()));
    QString sql = QString::fromLatin1(q->Sql);
    if (q->KeyFrom >= 0) {
        QStringList marks;
        for (int i = q->KeyFrom; i < keys.size(); ++i) marks << QStringLiteral(":K%1").arg(i);
        sql.replace(QLatin1String(":KEYS"), marks.join(QStringLiteral(", ")));
    } else {
        keys.resize(q->KeyCount);
    }
    return data.Rows(sql, keys);
}

TValidator::TValidator(std::shared_ptr<THostData> data) : TAutomationObject(QStringLiteral("TValidator")), data_(std::move(data))
{
    AddProperty(member::ProductID, [this] { return Variant(productId_); }, [this](const Variant& v) { productId_ = v.ToInt(); });
    AddProperty(member::BaseLimited, [this] { return Variant(baseLimited_); },
                [this](const Variant& v) { baseLimited_ = v.IsEmpty() || v.IsNull() ? QString() : v.ToString(); });
    AddMethod(member::QueryData, [this](VariantArgs& a) { return Variant(Look(a, true, member::QueryData)); });
    AddMethod(member::CheckValue, [this](VariantArgs& a) { return Variant(Look(a, false, member::CheckValue)); });
}

bool TValidator::Look(VariantArgs& args, bool allRows, const QString& memberName)
{
    if (args.size() < 5) throw Exception(QStringLiteral("%1: 需要五个参数 (数据表, 查询编号, 数据库, 键值, 结果)").arg(memberName));
    Variant& result = args[4];
    const THostQuery* query = FindHostQuery(args[0].ToString(), args[1].ToString());
    result = Variant();
    if (!query) return false;
    QVector<THostRow> rows;
    try {
        rows = RunHostQuery(*data_, *query, args[3]);
    } catch (const Exception&) {
        return false;
    }
    if (rows.isEmpty()) return false;
    auto rowVariant = [](const THostRow& r) {
        std::vector<Variant> v;
        for (const Variant& x : r) v.push_back(x.IsNull() ? Variant(QString()) : x);
        return Variant::ArrayOf(v);
    };
    if (!allRows) {
        result = rowVariant(rows[0]);
        return true;
    }
    std::vector<Variant> all;
    for (const THostRow& r : rows) all.push_back(rowVariant(r));
    result = Variant::ArrayOf(all);
    return true;
}

}  // namespace kelm24
