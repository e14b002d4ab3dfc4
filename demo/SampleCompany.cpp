#include "demo/SampleCompany.h"

#include <QDate>
#include <QFile>
#include <QHash>
#include <QSqlQuery>
#include <cmath>

namespace kelm24 {

const QString TSampleCompany::CompanyCode = QStringLiteral("DEMO");
const QString TSampleCompany::ProgramCode = QStringLiteral("KELM24");
const QString TSampleCompany::AdminUser = QStringLiteral("DS");
const QString TSampleCompany::LeaderUser = QStringLiteral("Leader");
const QString TSampleCompany::ClerkUser = QStringLiteral("Clerk");

namespace {

// The same numbers from the same seed on every machine.
class TRandom {
public:
    explicit TRandom(quint32 seed) : state_(seed * 2654435761u + 1) {}
    quint32 Next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    int Below(int n) { return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<quint32>(n)); }
    int Between(int low, int high) { return low + Below(high - low + 1); }
    bool Chance(int percent) { return Below(100) < percent; }
    template <typename T> const T& Pick(const QVector<T>& list) { return list[Below(static_cast<int>(list.size()))]; }

private:
    quint32 state_;
};

double Round(double v, int decimals)
{
    double f = std::pow(10.0, decimals);
    return std::round(v * f) / f;
}

QString Code(const QString& prefix, int n, int width) { return prefix + QStringLiteral("%1").arg(n, width, 10, QLatin1Char('0')); }

// Rows of one table, built by column name and written with one prepared statement.
class TTableRows {
public:
    explicit TTableRows(const QString& table) : def_(*TSchema::Company().Table(table)) {}
    TTableRows& Add()
    {
        rows_.push_back(TSqlRow(def_.Columns.size()));
        return *this;
    }
    TTableRows& Set(const char* column, const QVariant& value)
    {
        QString name = QString::fromLatin1(column);
        auto it = index_.constFind(name);
        int i = it != index_.constEnd() ? it.value() : def_.ColumnIndex(name);
        Q_ASSERT(i >= 0);
        if (it == index_.constEnd()) index_.insert(name, i);
        // Texts left blank are stored as empty texts, as the ERP stores them.
        rows_.back()[i] = value.metaType().id() == QMetaType::QString && value.toString().isNull() ? QVariant(QStringLiteral("")) : value;
        return *this;
    }
    // Columns of the ERP's audit block, the same on every business row.
    TTableRows& Audit(const QString& creator, const QString& date)
    {
        return Set("COMPANY", TSampleCompany::CompanyCode).Set("CREATOR", creator).Set("USR_GROUP", QStringLiteral("PUR"))
            .Set("CREATE_DATE", date).Set("FLAG", 1);
    }
    void SetAt(int row, const char* column, const QVariant& value)
    {
        rows_[row][def_.ColumnIndex(QString::fromLatin1(column))] = value;
    }
    int Size() const { return static_cast<int>(rows_.size()); }
    void Write(TDataLayer& data) const
    {
        if (rows_.isEmpty()) return;
        QStringList names, marks;
        for (const TColumnDef& c : def_.Columns) {
            names << c.Name;
            marks << QStringLiteral("?");
        }
        const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(def_.Name, names.join(QLatin1Char(',')),
                                                                                    marks.join(QLatin1Char(',')));
        data.ExecMany(sql, rows_);
    }

private:
    const TTableDef& def_;
    QVector<TSqlRow> rows_;
    QHash<QString, int> index_;
};

struct TItem {
    QString Code, Name, Spec, Unit, BigUnit, Warehouse;
    double BigRate = 1, Price = 1;
};

struct TOrderLine {
    QString Type, Number, Seq, Item, Unit;
    double Ordered = 0, Delivered = 0, Price = 0;
    int Row = 0;  // its row in the PURTD rows
};

struct TCurrency {
    QString Code, Name, English;
    int PriceDecimals, AmountDecimals;
    double Rate;
};

// How much approval history a receipt gets.
enum class TApprovalKind { None, Full, Incomplete, Single };

// One receipt to write.
struct TReceiptPlan {
    int N = 0;  // running number, for invoice numbers
    QDate Date;
    QString Type, Number, Supplier, Status;
    const TCurrency* Currency = nullptr;
    int Lines = 0;
    TApprovalKind Approval = TApprovalKind::None;
    bool OverReceiptFirst = false;  // line 1: 110 received on an order of 100, same unit
    bool NoOrderLast = false;       // the last line refers to no order
};

class TGenerator {
public:
    TGenerator(const TSampleOptions& options) : o_(options), rnd_(options.Seed) {}
    TSampleSummary Run(TDataLayer& data);

private:
    void Company();
    void Masters();
    void Suppliers();
    void Items();
    void HostSettings();
    void Users();
    void Messages();
    void Receipts();
    void RandomReceipt(int n, QDate date);
    void ShowcaseReceipts(int count);
    void Receipt(const TReceiptPlan& plan);
    TOrderLine& OrderLineFor(const QString& supplier, const TItem& item, const QDate& date, const TCurrency& currency);
    TOrderLine& NewOrderLine(const QString& supplier, const TItem& item, const QDate& date, const TCurrency& currency,
                             const QString& unit, double ordered);
    void Approval(const QString& type, const QString& number, const QDate& date, TApprovalKind kind);

    TSampleOptions o_;
    TRandom rnd_;
    TSampleSummary sum_;
    QHash<QString, TTableRows*> tables_;
    std::vector<std::unique_ptr<TTableRows>> owned_;
    QVector<QString> suppliers_;
    QVector<TItem> items_;
    QVector<TCurrency> currencies_;
    QVector<TOrderLine> orderLines_;
    QHash<QString, QVector<int>> openOrderLines_;  // supplier -> order lines of it
    int orderCount_ = 0;
    QHash<QString, int> receiptsOfDay_;

    TTableRows& T(const char* name)
    {
        QString key = QString::fromLatin1(name);
        if (!tables_.contains(key)) {
            owned_.push_back(std::make_unique<TTableRows>(key));
            tables_.insert(key, owned_.back().get());
        }
        return *tables_.value(key);
    }
};

const QString kCreated = QStringLiteral("20240101");

void TGenerator::Company()
{
    T("CMSML").Add().Audit(TSampleCompany::AdminUser, kCreated)
        .Set("ML001", TSampleCompany::CompanyCode).Set("ML002", QStringLiteral("恒润贸易"))
        .Set("ML003", QStringLiteral("苏州恒润贸易有限公司")).Set("ML004", QStringLiteral("Suzhou Hengrun Trading Co., Ltd."))
        .Set("ML005", QStringLiteral("江苏省苏州市工业园区星湖街 328 号")).Set("ML006", QStringLiteral("0512-6258 8000"))
        .Set("ML007", QStringLiteral("0512-6258 8001")).Set("ML008", QStringLiteral("91320594MA1N8Q2X7K"))
        .Set("ML009", QStringLiteral("DEMO"));
    T("CMSMA").Add().Audit(TSampleCompany::AdminUser, kCreated).Set("MA001", TSampleCompany::CompanyCode)
        .Set("MA002", QStringLiteral("恒润贸易")).Set("MA069", QStringLiteral("Y"));
}

void TGenerator::Masters()
{
    currencies_ = {{QStringLiteral("RMB"), QStringLiteral("人民币"), QStringLiteral("RENMINBI"), 4, 2, 1.0},
                   {QStringLiteral("USD"), QStringLiteral("美元"), QStringLiteral("US DOLLARS"), 4, 2, 7.1},
                   {QStringLiteral("JPY"), QStringLiteral("日元"), QStringLiteral("JAPANESE YEN"), 2, 0, 0.048},
                   {QStringLiteral("EUR"), QStringLiteral("欧元"), QStringLiteral("EUROS"), 4, 2, 7.75},
                   {QStringLiteral("HKD"), QStringLiteral("港币"), QStringLiteral("HONG KONG DOLLARS"), 3, 2, 0.91}};
    for (const TCurrency& c : currencies_)
        T("CMSMF").Add().Audit(TSampleCompany::AdminUser, kCreated).Set("MF001", c.Code).Set("MF002", c.Name)
            .Set("MF003", c.PriceDecimals).Set("MF004", c.AmountDecimals).Set("MF005", c.Rate).Set("MF010", c.English);
    const QVector<QPair<QString, QString>> factories = {{QStringLiteral("01"), QStringLiteral("苏州总厂")},
                                                        {QStringLiteral("02"), QStringLiteral("昆山分厂")}};
    for (const auto& f : factories)
        T("CMSMB").Add().Audit(TSampleCompany::AdminUser, kCreated).Set("MB001", f.first).Set("MB002", f.second)
            .Set("MB003", f.first == QLatin1String("01") ? QStringLiteral("苏州工业园区") : QStringLiteral("昆山开发区"));
    const QVector<QPair<QString, QString>> warehouses = {
        {QStringLiteral("A01"), QStringLiteral("原料仓")}, {QStringLiteral("A02"), QStringLiteral("成品仓")},
        {QStringLiteral("B01"), QStringLiteral("五金仓")}, {QStringLiteral("B02"), QStringLiteral("包材仓")},
        {QStringLiteral("C01"), QStringLiteral("待验仓")}};
    for (const auto& w : warehouses)
        T("CMSMC").Add().Audit(TSampleCompany::AdminUser, kCreated).Set("MC001", w.first).Set("MC002", w.second)
            .Set("MC003", QStringLiteral("01"));
    const QVector<QPair<QString, QString>> departments = {{QStringLiteral("P100"), QStringLiteral("采购部")},
                                                          {QStringLiteral("Q100"), QStringLiteral("品管部")},
                                                          {QStringLiteral("W100"), QStringLiteral("仓储部")}};
    for (const auto& d : departments)
        T("CMSME").Add().Audit(TSampleCompany::AdminUser, kCreated).Set("ME001", d.first).Set("ME002", d.second);
    T("CMSNO").Add().Audit(TSampleCompany::AdminUser, kCreated).Set("NO001", QStringLiteral("PJ24A")).Set("NO002", QStringLiteral("新厂房建设项目"));
    T("CMSNO").Add().Audit(TSampleCompany::AdminUser, kCreated).Set("NO001", QStringLiteral("PJ24B")).Set("NO002", QStringLiteral("自动化产线改造"));
    const QVector<QPair<QString, QString>> terms = {{QStringLiteral("01"), QStringLiteral("月结30天")},
                                                    {QStringLiteral("02"), QStringLiteral("月结60天")},
                                                    {QStringLiteral("03"), QStringLiteral("货到付款")}};
    for (const auto& t : terms)
        T("CMSNA").Add().Audit(TSampleCompany::AdminUser, kCreated).Set("NA001", QStringLiteral("1")).Set("NA002", t.first)
            .Set("NA003", t.second).Set("NA004", t.first == QLatin1String("03") ? 0 : t.first.toInt() * 30);
    for (int k = 1; k <= 3; ++k)
        T("KBSMC").Add().Audit(TSampleCompany::AdminUser, kCreated).Set("MC001", Code(QStringLiteral("KB"), k, 2))
            .Set("MC002", QStringLiteral("看板%1").arg(k)).Set("MC003", QStringLiteral("%1号线边库").arg(k));
    // Document types: receipts of systems "34" (purchase) and "28" (import), and others.
    struct TDocType { const char* code; const char* name; const char* system; const char* sign; const char* style; };
    const TDocType types[] = {{"3401", "一般进货单", "34", "S01", ""}, {"3402", "委外进货单", "34", "QUILLN", ""},
                              {"3403", "零星进货单", "34", "", ""},   {"2801", "进口进货单", "28", "S01", ""},
                              {"3301", "一般采购单", "33", "S01", ""},  {"1101", "库存调整单", "11", "", ""}};
    for (const TDocType& t : types) {
        const bool receipt = qstrcmp(t.system, "34") == 0 || qstrcmp(t.system, "28") == 0;
        T("CMSMQ").Add().Audit(TSampleCompany::AdminUser, kCreated).Set("MQ001", QString::fromLatin1(t.code))
            .Set("MQ002", QString::fromUtf8(t.name)).Set("MQ003", QString::fromLatin1(t.system))
            .Set("MQ004", QStringLiteral("F01")).Set("MQ005", QStringLiteral("Y"))
            .Set("MQ006", QString::fromLatin1(t.sign)).Set("MQ007", QStringLiteral("Y"))
            .Set("MQ008", QStringLiteral("N")).Set("MQ009", QStringLiteral("N")).Set("MQ010", QString::fromLatin1(t.style))
            .Set("MQ011", QStringLiteral("Y")).Set("MQ012", receipt ? QStringLiteral("进货单") : QString::fromUtf8(t.name))
            .Set("MQ013", qstrcmp(t.code, "3403") == 0 ? QStringLiteral("N") : QStringLiteral("Y"));
    }
    // Footers (kind 1) and sign-offs (kind 2).
    T("CMSMS").Add().Audit(TSampleCompany::AdminUser, kCreated).Set("MS001", QStringLiteral("1")).Set("MS002", QStringLiteral("F01"))
        .Set("MS003", QStringLiteral("标准页脚")).Set("MS004", QStringLiteral("1. 本单一式三联: 白联仓库, 红联财务, 黄联采购。"))
        .Set("MS005", QStringLiteral("2. 收货后请于三日内完成检验。")).Set("MS006", QStringLiteral("3. 如有疑问请联系采购部 0512-6258 8000。"));
    T("CMSMS").Add().Audit(TSampleCompany::AdminUser, kCreated).Set("MS001", QStringLiteral("2")).Set("MS002", QStringLiteral("S01"))
        .Set("MS003", QStringLiteral("标准签核")).Set("MS004", QStringLiteral("核准:")).Set("MS005", QStringLiteral("审核:"))
        .Set("MS006", QStringLiteral("经办:"));
    T("CMSMS").Add().Audit(TSampleCompany::AdminUser, kCreated).Set("MS001", QStringLiteral("2")).Set("MS002", QStringLiteral("QUILLN"))
        .Set("MS003", QStringLiteral("签核系统签核")).Set("MS004", QStringLiteral("核准:")).Set("MS005", QStringLiteral("审核:"))
        .Set("MS006", QStringLiteral("经办:"));
}

void TGenerator::Suppliers()
{
    const QVector<QString> cities = {QStringLiteral("苏州"), QStringLiteral("无锡"), QStringLiteral("常州"), QStringLiteral("宁波"),
                                     QStringLiteral("东莞"), QStringLiteral("深圳"), QStringLiteral("上海"), QStringLiteral("杭州")};
    const QVector<QString> cores = {QStringLiteral("鑫达"), QStringLiteral("华丰"), QStringLiteral("宏远"), QStringLiteral("恒通"),
                                    QStringLiteral("永盛"), QStringLiteral("金源"), QStringLiteral("瑞祥"), QStringLiteral("德隆"),
                                    QStringLiteral("天成"), QStringLiteral("联创")};
    const QVector<QString> trades = {QStringLiteral("五金"), QStringLiteral("电子"), QStringLiteral("塑胶"),
                                     QStringLiteral("包装"), QStringLiteral("化工"), QStringLiteral("精密机械")};
    const QVector<QString> people = {QStringLiteral("张伟"), QStringLiteral("王芳"), QStringLiteral("李强"), QStringLiteral("刘洋"),
                                     QStringLiteral("陈静"), QStringLiteral("杨帆"), QStringLiteral("赵磊"), QStringLiteral("周敏")};
    for (int i = 1; i <= 40; ++i) {
        const QString code = Code(QStringLiteral("S"), i, 4);
        const QString core = cores[(i - 1) % cores.size()], trade = trades[(i * 7) % trades.size()];
        const QString currency = i % 10 == 3 ? QStringLiteral("USD") : i % 10 == 7 ? QStringLiteral("JPY") : QStringLiteral("RMB");
        T("PURMA").Add().Audit(TSampleCompany::AdminUser, kCreated).Set("MA001", code).Set("MA002", core + trade)
            .Set("MA003", cities[(i * 3) % cities.size()] + core + trade + QStringLiteral("有限公司"))
            .Set("MA004", rnd_.Pick(people)).Set("MA005", QStringLiteral("0512-%1").arg(60000000 + i * 1379))
            .Set("MA006", currency).Set("MA007", QStringLiteral("0%1").arg(1 + i % 3))
            .Set("MA010", QStringLiteral("0512-%1").arg(60000000 + i * 1379 + 1))
            .Set("MA011", QStringLiteral("sales%1@supplier%2.example.cn").arg(i).arg(i));
        suppliers_.push_back(code);
    }
    sum_.Suppliers = static_cast<int>(suppliers_.size());
}

void TGenerator::Items()
{
    struct TKind { const char* name; const char* specs[3]; const char* unit; const char* big; double rate; double price; const char* wh; };
    const TKind kinds[] = {
        {"十字盘头螺丝", {"M3x8", "M4x10", "M5x12"}, "PCS", "盒", 100, 0.05, "B01"},
        {"贴片电阻", {"0603 10K", "0805 4.7K", "1206 1K"}, "PCS", "卷", 5000, 0.004, "A01"},
        {"瓦楞纸箱", {"400x300x250", "600x400x300", "300x200x150"}, "PCS", "捆", 20, 3.2, "B02"},
        {"ABS 塑胶粒", {"白色 HI-121", "黑色 PA-757", "透明 TR558"}, "KG", "包", 25, 14.5, "A01"},
        {"冷轧钢板", {"1.0mm", "1.5mm", "2.0mm"}, "KG", "吨", 1000, 5.8, "A01"},
        {"电源线", {"3x0.75 平方", "3x1.0 平方", "2x0.5 平方"}, "M", "卷", 100, 2.6, "A01"},
        {"环氧底漆", {"灰色", "铁红", "白色"}, "KG", "桶", 18, 22.0, "A02"},
        {"轴承", {"6201ZZ", "6203ZZ", "6205-2RS"}, "PCS", "盒", 10, 4.5, "B01"}};
    int n = 0;
    for (int round = 0; round < 13; ++round) {
        for (const TKind& k : kinds) {
            for (int s = 0; s < 3; ++s) {
                ++n;
                TItem item;
                // Kind number and running number: "10-0001", "11-0002" ...
                item.Code = QStringLiteral("%1-%2")
                                .arg(10 + static_cast<int>(&k - kinds), 2, 10, QLatin1Char('0'))
                                .arg(n, 4, 10, QLatin1Char('0'));
                item.Name = QString::fromUtf8(k.name) + (round ? QStringLiteral(" %1型").arg(QChar(u'A' + round)) : QString());
                item.Spec = QString::fromUtf8(k.specs[s]);
                item.Unit = QString::fromLatin1(k.unit);
                item.BigUnit = QString::fromUtf8(k.big);
                item.BigRate = k.rate;
                item.Price = Round(k.price * (1 + 0.1 * round + 0.05 * s), 4);
                item.Warehouse = QString::fromLatin1(k.wh);
                items_.push_back(item);
                T("INVMB").Add().Audit(TSampleCompany::AdminUser, kCreated).Set("MB001", item.Code).Set("MB002", item.Name)
                    .Set("MB003", item.Spec).Set("MB004", item.Unit).Set("MB005", item.BigUnit)
                    .Set("MB017", item.Warehouse).Set("MB045", 0.05).Set("MB121", QStringLiteral("N"))
                    .Set("MB130", QStringLiteral("%1").arg(30 + s * 30));
                T("INVMD").Add().Audit(TSampleCompany::AdminUser, kCreated).Set("MD001", item.Code).Set("MD002", item.BigUnit)
                    .Set("MD003", item.BigRate).Set("MD004", 1.0);
                T("INVMC").Add().Audit(TSampleCompany::AdminUser, kCreated).Set("MC001", item.Code).Set("MC002", item.Warehouse)
                    .Set("MC003", QStringLiteral("%1-%2-%3").arg(item.Warehouse).arg(1 + n % 9, 2, 10, QLatin1Char('0')).arg(1 + n % 4, 2, 10, QLatin1Char('0')))
                    .Set("MC009", 0.0);
            }
        }
    }
    sum_.Items = static_cast<int>(items_.size());
}

void TGenerator::HostSettings()
{
    const QString p = TSampleCompany::ProgramCode;
    T("ADMMB").Add().Audit(TSampleCompany::AdminUser, kCreated).Set("MB001", p).Set("MB002", QStringLiteral("进货单打印"))
        .Set("MB003", QStringLiteral("R")).Set("MB004", QStringLiteral("PUR")).Set("MB005", QStringLiteral("20011207"))
        .Set("MB006", QStringLiteral("N")).Set("MB009", QStringLiteral("Purchase Receipt Print"));
    T("CMSMT").Add().Audit(TSampleCompany::AdminUser, kCreated).Set("MT001", p).Set("MT002", QStringLiteral("F01"))
        .Set("MT003", QStringLiteral("Y")).Set("MT008", QStringLiteral("S01")).Set("MT009", QStringLiteral("Y"))
        .Set("MT014", QString());
    const QVector<QPair<QString, QString>> settings = {
        {QStringLiteral("Sys001"), QStringLiteral("1")}, {QStringLiteral("Sys002"), QStringLiteral("/")},
        {QStringLiteral("Sys003"), QStringLiteral("RMB")}, {QStringLiteral("Sys024"), QStringLiteral("1")},
        {QStringLiteral("Sys026"), QStringLiteral("1")}, {QStringLiteral("Sys042"), QStringLiteral("Y")},
        {QStringLiteral("Sys060"), QStringLiteral("Y")}, {QStringLiteral("Sys069"), QStringLiteral("Y")},
        {QStringLiteral("Sys174"), QStringLiteral("N")}, {QStringLiteral("QVS002"), QStringLiteral("恒润贸易 ERP")},
        {QStringLiteral("SYS007"), QStringLiteral("按大类")}, {QStringLiteral("SYS008"), QStringLiteral("按材质")},
        {QStringLiteral("SYS009"), QStringLiteral("按用途")}, {QStringLiteral("SYS010"), QStringLiteral("按供应商")}};
    for (const auto& s : settings)
        T("ADMSY").Add().Audit(TSampleCompany::AdminUser, kCreated).Set("SY001", TSampleCompany::CompanyCode)
            .Set("SY002", s.first).Set("SY003", s.second);
    // Document types whose sign-off lines come from the approval workflow.
    T("ADMMQ").Add().Audit(TSampleCompany::AdminUser, kCreated).Set("MQ001", QStringLiteral("QUILLAN")).Set("MQ002", QStringLiteral("3402"))
        .Set("MQ003", QStringLiteral("委外进货单"));
    T("QNSMC").Add().Audit(TSampleCompany::AdminUser, kCreated).Set("MC001", QStringLiteral("QUILLAN")).Set("MC002", QStringLiteral("3402"))
        .Set("MC003", QStringLiteral("委外进货单"));
}

// The host's message table: every reference the report uses, Chinese and English.
// Placeholders follow what each caller passes: a reference the form reports
// ("E;000030;text") fills ten text slots, so such texts use "%s" alone; the
// array-size warnings W/000002 and W/000003 get a text and two integers.
void TGenerator::Messages()
{
    struct TMessage { const char* type; const char* id; const char* chs; const char* eng; };
    const TMessage messages[] = {
        {"C", "000001", "资料已修改, 是否继续?", "The data has changed. Continue?"},
        {"E", "000001", "发生错误: %s", "An error occurred: %s"},
        {"D", "000001", "是否保存修改?", "Save the changes?"},
        {"Q", "000001", "确定要执行吗?", "Are you sure?"},
        {"E", "000003", "%s 不可空白!", "%s must not be blank!"},
        {"E", "000005", "日期格式错误或日期不存在!", "The date is invalid!"},
        {"E", "000006", "无法连接应用服务器!", "Cannot connect to the application server!"},
        {"E", "000015", "无法读取注册表的设定!", "Cannot read the registry settings!"},
        {"E", "000016", "没有设定应用服务器的地址!", "No application server address is configured!"},
        {"E", "000025", "连接应用服务器 %s:%s 时发生错误, 无法取得报表资料!", "Error on the application server %s:%s: the report data cannot be read!"},
        {"E", "000030", "无法取得选择条件! %s", "The conditions cannot be collected! %s"},
        {"E", "000036", "此窗体不属于本程序, 无法执行!", "This form does not belong to this program!"},
        {"E", "000037", "此栏位为必填栏位, 不可空白!", "This field is required!"},
        {"E", "000038", "主程序传入的参数不足, 无法执行!", "The host passed too few parameters!"},
        {"E", "100007", "单别不存在或不是进货单别!", "The document type does not exist or is not a receipt type!"},
        {"E", "100319", "格式名称的长度不可超过 20 码!", "A layout name must not exceed 20 characters!"},
        {"W", "000002", "%s 的数组大小应为 %d, 实际为 %d!", "The size of %s should be %d but is %d!"},
        {"W", "000003", "%s 的数组大小为 %d, 第 %d 个元素是空的!", "%s has %d elements; element %d is empty!"},
        {"W", "000004", "%s 不存在!", "%s does not exist!"},
        {"W", "000006", "没有符合条件的资料!", "No data match the conditions!"},
        {"W", "000014", "主程序传入的条件中有不存在或不适用的元件!", "A control named in the host's conditions is missing or unsuitable!"},
        {"I", "000003", "没有可收集的选择条件!", "There are no conditions to collect!"},
        {"I", "000011", "无法取得选择条件的文字!", "The condition captions cannot be collected!"},
        {"I", "000012", "纸张: %s, 宽度: %s, 长度: %s, 单位: %s", "Paper: %s, width: %s, length: %s, unit: %s"},
        {"R", "100235", "页脚编号", "Footer code"},
        {"R", "100236", "签核编号", "Sign-off code"},
        {"R", "200235", "无法开启此条件方案!", "The condition set cannot be opened!"}};
    for (const TMessage& m : messages)
        T("ADMMS").Add().Set("MS001", QString::fromLatin1(m.type)).Set("MS002", QString::fromLatin1(m.id))
            .Set("MS003", QString::fromUtf8(m.chs)).Set("MS004", QString::fromUtf8(m.eng));
}

void TGenerator::Users()
{
    struct TUser { QString code, name, group, super, dept, rights; };
    const QVector<TUser> users = {
        {TSampleCompany::AdminUser, QStringLiteral("系统管理员"), QStringLiteral("ADM"), QStringLiteral("Y"), QStringLiteral("P100"), QStringLiteral("YYYYYYYY")},
        {TSampleCompany::LeaderUser, QStringLiteral("王建国"), QStringLiteral("PUR"), QStringLiteral("N"), QStringLiteral("P100"), QStringLiteral("YYYYYYYY")},
        {TSampleCompany::ClerkUser, QStringLiteral("李小红"), QStringLiteral("PUR"), QStringLiteral("N"), QStringLiteral("W100"), QStringLiteral("YNNNNYYN")}};
    for (const TUser& u : users) {
        T("ADMMF").Add().Audit(TSampleCompany::AdminUser, kCreated).Set("MF001", u.code).Set("MF002", u.name)
            .Set("MF004", u.group).Set("MF005", u.super).Set("MF006", u.dept)
            .Set("MF007", u.code.toLower() + QStringLiteral("@hengrun.example.cn"));
        T("ADMMG").Add().Audit(TSampleCompany::AdminUser, kCreated).Set("MG001", u.code).Set("MG002", TSampleCompany::ProgramCode)
            .Set("MG003", u.rights);
    }
    // The clerk sees receipts of factory 01 and lines of three warehouses.
    T("ADMMR").Add().Audit(TSampleCompany::AdminUser, kCreated).Set("MR001", TSampleCompany::ClerkUser)
        .Set("MR002", TSampleCompany::ProgramCode).Set("MR003", QStringLiteral("1")).Set("MR004", QStringLiteral("PURTG"))
        .Set("MR005", QStringLiteral("PURTG.TG004='01'"));
    T("ADMMR").Add().Audit(TSampleCompany::AdminUser, kCreated).Set("MR001", TSampleCompany::ClerkUser)
        .Set("MR002", TSampleCompany::ProgramCode).Set("MR003", QStringLiteral("2")).Set("MR004", QStringLiteral("PURTH"))
        .Set("MR005", QStringLiteral("PURTH.TH009 IN ('A01','A02','B01')"));
}

TOrderLine& TGenerator::OrderLineFor(const QString& supplier, const TItem& item, const QDate& date, const TCurrency& currency)
{
    // Reuse an open order line of this supplier and item when there is one.
    for (int i : openOrderLines_.value(supplier))
        if (orderLines_[i].Item == item.Code && orderLines_[i].Delivered < orderLines_[i].Ordered) return orderLines_[i];
    // Half of the orders are placed in the item's larger unit.
    const bool bigUnit = rnd_.Chance(50);
    return NewOrderLine(supplier, item, date, currency, bigUnit ? item.BigUnit : item.Unit,
                        bigUnit ? rnd_.Between(2, 40) : rnd_.Between(1, 60) * 50);
}

TOrderLine& TGenerator::NewOrderLine(const QString& supplier, const TItem& item, const QDate& date, const TCurrency& currency,
                                     const QString& unit, double ordered)
{
    ++orderCount_;
    const QDate orderDate = date.addDays(-rnd_.Between(5, 30));
    const QString number = orderDate.toString(QStringLiteral("yyMMdd")) + Code(QString(), orderCount_, 5);
    T("PURTC").Add().Audit(TSampleCompany::LeaderUser, orderDate.toString(QStringLiteral("yyyyMMdd")))
        .Set("TC001", QStringLiteral("3301")).Set("TC002", number).Set("TC003", orderDate.toString(QStringLiteral("yyyyMMdd")))
        .Set("TC004", supplier).Set("TC005", currency.Code).Set("TC006", currency.Rate).Set("TC007", QStringLiteral("Y"));
    const bool bigUnit = unit != item.Unit;
    TOrderLine line;
    line.Type = QStringLiteral("3301");
    line.Number = number;
    line.Seq = QStringLiteral("0001");
    line.Item = item.Code;
    line.Unit = unit;
    line.Ordered = ordered;
    line.Price = Round(item.Price * (bigUnit ? item.BigRate : 1) / currency.Rate, currency.PriceDecimals);
    line.Row = T("PURTD").Size();
    T("PURTD").Add().Audit(TSampleCompany::LeaderUser, orderDate.toString(QStringLiteral("yyyyMMdd")))
        .Set("TD001", line.Type).Set("TD002", line.Number).Set("TD003", line.Seq).Set("TD004", item.Code)
        .Set("TD005", item.Name).Set("TD006", item.Spec).Set("TD007", item.Warehouse).Set("TD008", line.Ordered)
        .Set("TD009", line.Unit).Set("TD010", line.Price).Set("TD011", Round(line.Ordered * line.Price, currency.AmountDecimals))
        .Set("TD012", date.toString(QStringLiteral("yyyyMMdd"))).Set("TD015", 0.0).Set("TD016", QStringLiteral("N"))
        .Set("TD017", supplier).Set("TD025", rnd_.Chance(10) ? QStringLiteral("Y") : QStringLiteral("N"))
        .Set("TD029", QStringLiteral("一般"));
    orderLines_.push_back(line);
    openOrderLines_[supplier].push_back(static_cast<int>(orderLines_.size()) - 1);
    ++sum_.Orders;
    ++sum_.OrderLines;
    return orderLines_.back();
}

void TGenerator::Approval(const QString& type, const QString& number, const QDate& date, TApprovalKind kind)
{
    if (kind == TApprovalKind::None) return;
    struct TStep { const char* role; const char* id; const char* name; const char* title; };
    const TStep steps[] = {{"经办", "Clerk", "李小红", "采购员"}, {"审核", "Leader", "王建国", "采购主管"}, {"核准", "DS", "赵志远", "总经理"}};
    int k = 0;
    for (const TStep& s : steps) {
        ++k;
        if (kind == TApprovalKind::Single && k > 1) break;
        const QString received = QDateTime(date.addDays(k - 1), QTime(9, 0)).toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
        // An incomplete history: the workflow lost the signer's title, or the
        // step has not been signed yet (no time).
        const bool incomplete = kind == TApprovalKind::Incomplete;
        const QString signedAt = incomplete && k == 3 ? QString()
            : QDateTime(date.addDays(k - 1), QTime(9 + k, 15 * k)).toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
        const QString title = incomplete ? QString() : QString::fromUtf8(s.title);
        T("QNSTA").Add().Set("TA001", type).Set("TA002", number).Set("TA003", QString::number(k)).Set("TA004", QStringLiteral("1"))
            .Set("TA005", QString::number(k)).Set("TA006", QString::fromUtf8(s.role)).Set("TA007", received)
            .Set("TA008", signedAt).Set("TA009", signedAt.isEmpty() ? QStringLiteral("待签核") : QStringLiteral("同意")).Set("TA010", QString::fromLatin1(s.id))
            .Set("TA011", QString::fromUtf8(s.name)).Set("TA012", QString::fromLatin1(s.id))
            .Set("TA013", QString::fromUtf8(s.name)).Set("TA014", QStringLiteral("P100-%1").arg(k))
            .Set("TA015", title).Set("TA016", k == 3 ? QStringLiteral("准予入库") : QStringLiteral("请核准"));
    }
}

void TGenerator::RandomReceipt(int n, QDate date)
{
    const QString day = date.toString(QStringLiteral("yyyyMMdd"));
    TReceiptPlan plan;
    plan.N = n;
    plan.Date = date;
    // Receipt types: mostly ordinary purchases, some sub-contract and import ones.
    const int pick = rnd_.Below(100);
    plan.Type = pick < 70 ? QStringLiteral("3401") : pick < 82 ? QStringLiteral("3402")
                : pick < 92 ? QStringLiteral("3403") : QStringLiteral("2801");
    plan.Number = day + Code(QString(), ++receiptsOfDay_[day], 3);
    plan.Supplier = rnd_.Pick(suppliers_);
    const int supplierNo = plan.Supplier.mid(1).toInt();
    plan.Currency = plan.Type == QLatin1String("2801") ? &currencies_[1 + rnd_.Below(4)]
                    : supplierNo % 10 == 3 ? &currencies_[1] : supplierNo % 10 == 7 ? &currencies_[2] : &currencies_[0];
    plan.Status = rnd_.Chance(85) ? QStringLiteral("Y") : rnd_.Chance(66) ? QStringLiteral("N") : QStringLiteral("V");
    plan.Lines = o_.LinesPerReceipt;
    if (plan.Lines <= 0) plan.Lines = rnd_.Chance(2) ? 0 : rnd_.Chance(5) ? rnd_.Between(30, 60) : rnd_.Between(1, 15);
    if (plan.Type == QLatin1String("3402") && plan.Status == QLatin1String("Y")) plan.Approval = TApprovalKind::Full;
    Receipt(plan);
}

// Receipts with fixed numbers on the last day, one for every case a printed
// receipt must show right: the demo prints them and the tests look them up.
void TGenerator::ShowcaseReceipts(int count)
{
    const QDate date(2023, 12, 28);  // before the random ones: numbers never collide
    const QString day = date.toString(QStringLiteral("yyyyMMdd"));
    struct TCase { const char* type; const char* suffix; const char* supplier; int currency; const char* status; int lines;
                   TApprovalKind approval; };
    const TCase cases[] = {
        {"3401", "001", "S0001", 0, "Y", 6, TApprovalKind::None},         // one page
        {"3401", "002", "S0002", 0, "Y", 16, TApprovalKind::None},        // two pages
        {"3401", "003", "S0004", 0, "V", 4, TApprovalKind::None},         // void
        {"2801", "004", "S0003", 1, "Y", 5, TApprovalKind::None},         // US dollars
        {"3401", "005", "S0005", 0, "N", 0, TApprovalKind::None},         // no lines
        {"3402", "006", "S0006", 0, "Y", 5, TApprovalKind::Full},         // approval history
        {"3402", "007", "S0008", 0, "Y", 3, TApprovalKind::None},         // registered, no history
        {"3402", "008", "S0009", 0, "Y", 3, TApprovalKind::Incomplete},   // history lacking titles and a time
        {"3402", "009", "S0010", 0, "Y", 2, TApprovalKind::Single},       // one approval step
        {"3401", "'010", "S0011", 0, "Y", 3, TApprovalKind::None}};       // a quote in the number
    int k = 0;
    for (const TCase& c : cases) {
        if (k++ >= count) break;
        TReceiptPlan plan;
        plan.N = 9000 + k;
        plan.Date = date;
        plan.Type = QString::fromLatin1(c.type);
        plan.Number = day + QString::fromLatin1(c.suffix);
        plan.Supplier = QString::fromLatin1(c.supplier);
        plan.Currency = &currencies_[c.currency];
        plan.Status = QString::fromLatin1(c.status);
        plan.Lines = c.lines;
        plan.Approval = c.approval;
        plan.OverReceiptFirst = k == 1;
        plan.NoOrderLast = k == 1;
        Receipt(plan);
    }
}

void TGenerator::Receipt(const TReceiptPlan& plan)
{
    const QDate date = plan.Date;
    const QString day = date.toString(QStringLiteral("yyyyMMdd"));
    const QString& type = plan.Type;
    const QString& number = plan.Number;
    const QString& supplier = plan.Supplier;
    const int supplierNo = supplier.mid(1).toInt();
    const TCurrency& currency = *plan.Currency;
    const QString& status = plan.Status;
    const int lines = plan.Lines;
    const int n = plan.N;

    double goods = 0, tax = 0, accepted = 0, received = 0;
    const double vat = type == QLatin1String("2801") ? 0.0 : 0.13;
    const QString creator = rnd_.Chance(50) ? TSampleCompany::ClerkUser : TSampleCompany::LeaderUser;
    for (int l = 1; l <= lines; ++l) {
        const TItem& item = rnd_.Pick(items_);
        const bool overReceipt = plan.OverReceiptFirst && l == 1;
        const bool fromOrder = plan.NoOrderLast && l == lines ? false : overReceipt || !rnd_.Chance(12);
        double qty = rnd_.Between(1, 80) * 10;
        QString unit = item.Unit;
        double price = Round(item.Price / currency.Rate, currency.PriceDecimals);
        QString orderType, orderNumber, orderSeq;
        if (fromOrder) {
            TOrderLine& ol = overReceipt ? NewOrderLine(supplier, item, date, currency, item.Unit, 100)
                                         : OrderLineFor(supplier, item, date, currency);
            orderType = ol.Type;
            orderNumber = ol.Number;
            orderSeq = ol.Seq;
            // Received in the order's unit, or in the stock unit; now and then more than ordered.
            const bool sameUnit = ol.Unit == item.Unit || rnd_.Chance(60);
            const double rate = ol.Unit == item.Unit ? 1 : item.BigRate;
            double remaining = std::max(1.0, ol.Ordered - ol.Delivered);
            double inOrderUnits = rnd_.Chance(10) ? remaining * 1.1 : std::max(1.0, std::floor(remaining * rnd_.Between(30, 100) / 100.0));
            if (overReceipt) inOrderUnits = 110;
            if (sameUnit || overReceipt) {
                unit = ol.Unit;
                qty = inOrderUnits;
                price = ol.Price;
            } else {
                unit = item.Unit;
                qty = inOrderUnits * rate;
                price = Round(ol.Price / rate, currency.PriceDecimals);
            }
            qty = Round(qty, 3);
            if (status == QLatin1String("Y")) ol.Delivered += inOrderUnits;
        }
        const double rejected = rnd_.Chance(8) ? std::floor(qty * 0.05) : 0;
        const double acceptedQty = qty - rejected;
        const double amount = Round(acceptedQty * price, currency.AmountDecimals);
        const double lineTax = Round(amount * vat, currency.AmountDecimals);
        goods += amount;
        tax += lineTax;
        accepted += acceptedQty;
        received += qty;
        const QString inspection = rnd_.Chance(10) ? QStringLiteral("1") : rnd_.Chance(90) ? QStringLiteral("2") : QStringLiteral("0");
        T("PURTH").Add().Audit(creator, day).Set("TH001", type).Set("TH002", number).Set("TH003", Code(QString(), l, 4))
            .Set("TH004", item.Code).Set("TH005", item.Name).Set("TH006", item.Spec).Set("TH007", qty).Set("TH008", unit)
            .Set("TH009", item.Warehouse).Set("TH010", rnd_.Chance(40) ? QStringLiteral("L%1").arg(day.mid(2)) : QString())
            .Set("TH011", orderType).Set("TH012", orderNumber).Set("TH013", orderSeq)
            .Set("TH014", date.addDays(rnd_.Below(3)).toString(QStringLiteral("yyyyMMdd")))
            .Set("TH015", acceptedQty).Set("TH016", acceptedQty).Set("TH017", rejected).Set("TH018", price)
            .Set("TH019", amount).Set("TH020", 0.0).Set("TH024", 0.0).Set("TH028", inspection)
            .Set("TH030", status).Set("TH035", unit == item.Unit ? QString() : item.Unit)
            .Set("TH036", date.addYears(2).toString(QStringLiteral("yyyyMMdd")))
            .Set("TH037", date.addMonths(6).toString(QStringLiteral("yyyyMMdd"))).Set("TH038", creator)
            .Set("TH045", Round(amount * currency.Rate, 2)).Set("TH046", Round(lineTax * currency.Rate, 2))
            .Set("TH047", amount).Set("TH048", lineTax).Set("TH049", std::ceil(qty / 100.0)).Set("TH050", 0.0).Set("TH051", 0.0)
            .Set("TH052", 0.0).Set("TH053", 0.0).Set("TH057", date.addDays(-rnd_.Between(10, 60)).toString(QStringLiteral("yyyyMMdd")))
            .Set("TH061", 0.0).Set("TH062", 0.0).Set("TH067", QString()).Set("TH068", rnd_.Chance(20) ? 2.0 : 0.0)
            .Set("TH069", 0.0).Set("TH073", rnd_.Chance(15) ? QStringLiteral("KB01") : QString())
            .Set("THC01", 0.0).Set("THC02", QStringLiteral("2"));
        ++sum_.ReceiptLines;
    }
    const QString factory = rnd_.Chance(70) ? QStringLiteral("01") : QStringLiteral("02");
    T("PURTG").Add().Audit(creator, day).Set("TG001", type).Set("TG002", number).Set("TG003", day)
        .Set("TG004", factory).Set("TG005", supplier).Set("TG006", QStringLiteral("SH%1").arg(number.right(7)))
        .Set("TG007", currency.Code).Set("TG008", currency.Rate)
        .Set("TG009", type == QLatin1String("2801") ? QStringLiteral("G") : QStringLiteral("S"))
        .Set("TG010", vat > 0 ? QStringLiteral("2") : QStringLiteral("3"))
        .Set("TG011", vat > 0 ? QStringLiteral("%1").arg(44000000 + n * 7) : QString())
        .Set("TG012", status == QLatin1String("Y") && rnd_.Chance(30) ? 1 : 0).Set("TG013", status).Set("TG014", day)
        .Set("TG016", rnd_.Chance(20) ? QStringLiteral("请仓库尽快入库") : QString())
        .Set("TG017", Round(goods, currency.AmountDecimals)).Set("TG018", 0.0).Set("TG019", Round(tax, currency.AmountDecimals))
        .Set("TG020", 0.0).Set("TG022", QStringLiteral("91320594MA1N8Q2X7K")).Set("TG023", QStringLiteral("1"))
        .Set("TG025", std::ceil(received / 100.0)).Set("TG026", accepted).Set("TG027", vat > 0 ? day : QString())
        .Set("TG028", Round(goods, currency.AmountDecimals)).Set("TG029", day.left(6)).Set("TG030", vat)
        .Set("TG031", Round(goods * currency.Rate, 2)).Set("TG032", Round(tax * currency.Rate, 2))
        .Set("TG033", QStringLiteral("0%1").arg(1 + supplierNo % 3)).Set("TG040", 0.0).Set("TG041", 0.0)
        .Set("TG042", status == QLatin1String("Y") ? QStringLiteral("3") : QStringLiteral("0")).Set("TG045", 0)
        .Set("TG049", QStringLiteral("P100")).Set("TG053", received).Set("TG054", 0.0)
        .Set("TG059", rnd_.Chance(25) ? QStringLiteral("PJ24A") : QString())
        .Set("UDF01", rnd_.Chance(30) ? QStringLiteral("急件") : QString()).Set("UDF51", 0.0);
    Approval(type, number, date, plan.Approval);
    ++sum_.Receipts;
}

void TGenerator::Receipts()
{
    const QDate start(2024, 1, 2);
    // A company of varied receipts ends with the showcase ones; the fixed
    // line count of the benchmark keeps every receipt alike.
    const int showcase = o_.LinesPerReceipt > 0 ? 0 : std::min(o_.Receipts, 10);
    for (int n = 1; n <= o_.Receipts - showcase; ++n) {
        // Several receipts a working day, numbered per day.
        QDate date = start.addDays((n - 1) / 6 * 7 / 5);
        RandomReceipt(n, date);
    }
    ShowcaseReceipts(showcase);
    // Delivered quantities of the order lines follow the approved receipts.
    TTableRows& purtd = T("PURTD");
    for (const TOrderLine& ol : orderLines_) purtd.SetAt(ol.Row, "TD015", ol.Delivered);
}

TSampleSummary TGenerator::Run(TDataLayer& data)
{
    Company();
    Masters();
    Suppliers();
    Items();
    HostSettings();
    Users();
    Messages();
    Receipts();
    data.CreateSchema();
    data.Begin();
    try {
        for (const auto& t : owned_) t->Write(data);
        data.Commit();
    } catch (...) {
        data.Rollback();
        throw;
    }
    return sum_;
}

}  // namespace

TSampleSummary TSampleCompany::Write(TDataLayer& data) { return TGenerator(options_).Run(data); }

TSampleSummary TSampleCompany::WriteSqliteFile(const QString& path, bool replace)
{
    if (QFile::exists(path)) {
        if (!replace) throw Exception(QStringLiteral("数据库文件 %1 已经存在").arg(path));
        for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")}) QFile::remove(path + suffix);
    }
    TServerSettings settings;
    settings.DatabaseFile = path;
    TDataLayer data(settings, true);
    return Write(data);
}

}  // namespace kelm24
