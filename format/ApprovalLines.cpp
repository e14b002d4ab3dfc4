#include "format/ApprovalLines.h"

#include "format/engine/ClientDataSet.h"
#include "runtime/AlertLog.h"
#include "runtime/CodePage.h"
#include "runtime/DateText.h"
#include "runtime/SqlCondition.h"

#include <QDateTime>
#include <libxml/parser.h>
#include <libxml/xpath.h>
#include <memory>

namespace kelm24 {

namespace {

const QString kWebLog = QStringLiteral("QNWebservice");
const QString kReturnLog = QStringLiteral("Quillan_ReturnValue");

// Labels of the thirteen record columns, as the log writes them.
const char* const kColumnLabels[13] = {"0:关号=", "1:支号=", "2:流水号=", "3:流程角色=", "4:收件时间=", "5:签核时间=", "6:签核状态=",
                                       "7:收件人ID=", "8:收件人姓名=", "9:签核人ID=", "10:签核人姓名=", "11:部门职位代号=",
                                       "12:签核人职称="};

// A value inside an attribute of the single-quoted request.
QString XmlAttribute(const QString& value)
{
    QString out = value.toHtmlEscaped();  // & < > "
    return out.replace(QLatin1Char('\''), QStringLiteral("&apos;"));
}

// An XPath literal for any text (XPath 1.0 has no escapes: a text with both
// quote kinds is joined with concat).
QString XPathLiteral(const QString& value)
{
    if (!value.contains(QLatin1Char('\''))) return QLatin1Char('\'') + value + QLatin1Char('\'');
    if (!value.contains(QLatin1Char('"'))) return QLatin1Char('"') + value + QLatin1Char('"');
    QStringList parts;
    for (const QString& piece : value.split(QLatin1Char('\''))) parts << QLatin1Char('\'') + piece + QLatin1Char('\'');
    return QStringLiteral("concat(") + parts.join(QStringLiteral(", \"'\", ")) + QLatin1Char(')');
}

QString KeyValue(TClientDataSet& data, const QString& field)
{
    TField* f = data.FindField(field);
    return f ? f->AsString() : QString();
}

}  // namespace

TApprovalLines::TApprovalLines()
    : Text([](const QString&, const QString& d) { return d; }),
      Display([](const QString& t) { return t; }),
      Warning([](const QString&) {})
{
}

QString TApprovalLines::Setting(const QString& name) const
{
    if (!SysInfo) return QString();
    for (const QString& line : *SysInfo) {
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && line.left(eq).compare(name, Qt::CaseInsensitive) == 0) return line.mid(eq + 1);
    }
    return QString();
}

QString TApprovalLines::T(const QString& key, const QString& defaultText) const { return Text(key, defaultText); }
QString TApprovalLines::Show(const QString& text) const { return Display(text); }

bool TApprovalLines::IntegrationOn() const { return Setting(QStringLiteral("Sys060")) == QLatin1String("Y"); }
bool TApprovalLines::WebService() const { return Setting(QStringLiteral("Sys174")) == QLatin1String("Y"); }

QStringList TApprovalLines::KeyFields(const QString& groupExpression)
{
    QStringList fields;
    if (groupExpression.trimmed().isEmpty()) return fields;
    for (const QString& part : groupExpression.split(QLatin1Char('+'))) {
        const QString p = part.trimmed();
        const int dot = p.lastIndexOf(QLatin1Char('.'));
        fields << (dot >= 0 ? p.mid(dot + 1) : p);
    }
    return fields;
}

QString TApprovalLines::RegistrationSQL(const QString& docType, bool webService)
{
    // The code is a literal with its quotes doubled: a type code is the
    // user's text and must never become part of the statement.
    return webService ? QStringLiteral("SELECT * FROM $$QNSMC WHERE MC002=") + SqlQuoted(docType)
                      : QStringLiteral("SELECT * FROM $$ADMMQ WHERE MQ002=") + SqlQuoted(docType);
}

QString TApprovalLines::BuildRequest(TClientDataSet& data, const QStringList& keyFields)
{
    QString request = QStringLiteral("<FormSet> ");
    auto keysOfRow = [&] {
        QStringList keys;
        for (const QString& f : keyFields) keys << KeyValue(data, f);
        return keys;
    };
    while (!data.Eof()) {
        const QStringList current = keysOfRow();
        data.Next();
        const QStringList next = data.Eof() ? QStringList(keyFields.size(), QString()) : keysOfRow();
        // The row closes its document when any key of the next row differs.
        if (current != next && !current.value(0).isEmpty() && !current.value(1).isEmpty()) {
            request += QStringLiteral(" <Form wfProgramID='' ") + QStringLiteral(" wfFormType='") + XmlAttribute(current[0]) +
                       QStringLiteral("' ") + QStringLiteral(" wfSheetNo ='") + XmlAttribute(current[1]) + QStringLiteral("' ");
            const QString p3 = keyFields.size() >= 3 ? XmlAttribute(current[2]) : QString();
            const QString p4 = keyFields.size() >= 4 ? XmlAttribute(current[3]) : QString();
            request += QStringLiteral(" wfParameter3='") + p3 + QStringLiteral("' ");
            request += QStringLiteral(" wfParameter4='") + p4 + QStringLiteral("' ");
            request += QStringLiteral("/> \n");
        }
    }
    request += QStringLiteral("</FormSet> ");
    data.First();
    return request;
}

void TApprovalLines::Prepare(TClientDataSet& data, const QString& groupExpression, const QString& programCode)
{
    registered_ = false;
    answer_ = Variant();
    answerXml_.clear();
    request_.clear();
    const bool on = IntegrationOn();
    try {
        if (!DocTypeCode.isEmpty() && on)
            registered_ = AppServer.RunFreeSQL(Variant(RegistrationSQL(DocTypeCode, WebService()))) > 0;
        const QStringList keys = KeyFields(groupExpression);
        if (on && registered_ && keys.size() >= 2) request_ = BuildRequest(data, keys);
        if (request_.isEmpty() || data.IsEmpty()) return;
        WriteLog(kWebLog, QStringLiteral("mPara:") + request_, QStringLiteral("D"));
        if (WebService()) answerXml_ = AppServer.GetWebserviceQNData(request_, programCode).ToString();
        else answer_ = AppServer.GetQNData(request_);
    } catch (const std::exception&) {
        // Printing goes on without the history; the user is told once.
        Warning(T(QStringLiteral("sDefine0"),
                  QStringLiteral("无法Create GetQNData取得Quillan 的签核资料,可能後端未更新,请更新DorvexS.exe!!")));
    }
}

Variant TApprovalLines::RowKeys(TClientDataSet& data, const QStringList& keyFields)
{
    std::vector<Variant> keys{Variant(static_cast<int>(keyFields.size()))};
    for (const QString& f : keyFields) keys.emplace_back(KeyValue(data, f));
    return Variant::ArrayOf(keys);
}

QString TApprovalLines::SignTime(const QString& raw) const
{
    const QString time = raw.trimmed();
    if (time.isEmpty()) {
        WriteLog(kReturnLog, QStringLiteral("Warrning:") + T(QStringLiteral("sDefine2"), QStringLiteral("签核时间为空")),
                 QStringLiteral("D"));
        return time;
    }
    QDateTime when;
    for (const char* format : {"yyyy/MM/dd hh:mm:ss", "yyyy/MM/dd hh:mm", "yyyy/MM/dd", "yyyy-MM-dd hh:mm:ss",
                               "yyyy-MM-dd hh:mm", "yyyy-MM-dd", "yyyy-MM-ddThh:mm:ss"}) {
        when = QDateTime::fromString(time, QString::fromLatin1(format));
        if (when.isValid()) break;
    }
    if (!when.isValid()) {
        // Fixed positions: year 1-4, month 6-7, day 9-10 ("2024.06.28 ...").
        WriteLog(kReturnLog,
                 QStringLiteral("Warrning:") + T(QStringLiteral("sDefine1"),
                                                 QStringLiteral("无法做执行StrToDateTime(mDate),改用固定位数解法!!")),
                 QStringLiteral("D"));
        const QDate day(time.mid(0, 4).toInt(), time.mid(5, 2).toInt(), time.mid(8, 2).toInt());
        if (!day.isValid()) return time;
        return FormatDateStyle(DateType, DateSeparator, DateToValue(day));
    }
    return FormatDateStyle(DateType, DateSeparator, DateToValue(when.date()));
}

Variant TApprovalLines::Lines(const Variant& keys) const
{
    QStringList request;
    if (keys.IsArray())
        for (int i = keys.LowBound() + 1; i <= keys.HighBound(); ++i) request << keys[i].ToString();
    if (request.value(0).isEmpty() || request.value(1).isEmpty())
        return Variant::ArrayOf({Variant(0), Variant(QString()), Variant(QString()), Variant(QString())});
    return IntegrationOn() && WebService() ? XmlLines(request) : ArrayLines(request);
}

Variant TApprovalLines::ArrayLines(const QStringList& keys) const
{
    int found = 0;
    QString line1, line2, line3;
    if (answer_.IsArray() && answer_.Count() > 0 && answer_[0].ToInt() > 0) {
        const int n = std::min(answer_[0].ToInt(), answer_.HighBound());
        for (int d = 1; d <= n; ++d) {
            const Variant& doc = answer_[d];
            if (!doc.IsArray()) continue;
            QStringList values;
            for (int e = 1; e <= std::min(4, doc.HighBound()); ++e)
                if (!doc[e].IsArray()) values << doc[e].ToString();
            for (int e = doc.LowBound(); e <= doc.HighBound(); ++e) {
                const Variant& records = doc[e];
                if (!records.IsArray() || records.DimCount() != 2) continue;
                bool same = true;
                for (int k = 0; k < keys.size() && same; ++k) same = k < values.size() && keys[k] == values[k];
                if (!same) continue;
                found = 1;
                bool keysLogged = false;
                for (int r = records.LowBound(2); r <= records.HighBound(2); ++r) {
                    auto column = [&](int c) { return c <= records.HighBound(1) ? records.At(c, r).ToString() : QString(); };
                    const QString time = SignTime(column(5));
                    const QString name = column(10).trimmed(), title = column(12).trimmed();
                    if (!time.isEmpty() && !name.isEmpty() && !title.isEmpty()) {
                        line1 += PadLeft(title, 14);
                        line2 += PadLeft(name, 14);
                        line3 += PadLeft(time, 14);
                        continue;
                    }
                    if (!keysLogged) {
                        for (int k = 0; k < keys.size(); ++k)
                            WriteLog(kReturnLog, QStringLiteral("Key %1=").arg(k + 1) + keys[k], QStringLiteral("D"));
                        keysLogged = true;
                    }
                    for (int c = 0; c < 13; ++c)
                        WriteLog(kReturnLog, T(QStringLiteral("sDefine%1").arg(c + 3), QString::fromUtf8(kColumnLabels[c])) + column(c),
                                 QStringLiteral("D"));
                }
            }
        }
    }
    line1 = T(QStringLiteral("sDefine16"), QStringLiteral("职      称:")) + line1;
    line2 = T(QStringLiteral("sDefine17"), QStringLiteral("签核人姓名:")) + line2;
    line3 = T(QStringLiteral("sDefine18"), QStringLiteral("签核  时间:")) + line3;
    return Variant::ArrayOf({Variant(found), Variant(line1), Variant(line2), Variant(line3)});
}

Variant TApprovalLines::XmlLines(const QStringList& keys) const
{
    Variant result = Variant::ArrayOf({Variant(0), Variant(QString()), Variant(QString()), Variant(QString())});
    if (answerXml_.isEmpty()) return result;
    auto fail = [&](const QString& error) {
        WriteLog(kWebLog, QStringLiteral("c_QNWebserviceData:") + answerXml_, QStringLiteral("D"));
        WriteLog(kWebLog, QStringLiteral("GetQNSignin Error:") + error, QStringLiteral("D"));
        return result;
    };
    const QByteArray bytes = QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"GB2312\"?>") + EncodeCodePage(answerXml_, 936);
    std::unique_ptr<xmlDoc, void (*)(xmlDocPtr)> doc(
        xmlReadMemory(bytes.constData(), static_cast<int>(bytes.size()), "answer.xml", nullptr,
                      XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING),
        xmlFreeDoc);
    if (!doc) return fail(QStringLiteral("the answer is not well-formed XML"));
    std::unique_ptr<xmlXPathContext, void (*)(xmlXPathContextPtr)> context(xmlXPathNewContext(doc.get()),
                                                                            xmlXPathFreeContext);
    const QByteArray path = (QStringLiteral("//FormSet/Form[@wfFormType=") + XPathLiteral(keys[0]) +
                             QStringLiteral(" and @wfSheetNo=") + XPathLiteral(keys[1]) + QLatin1Char(']'))
                                .toUtf8();
    std::unique_ptr<xmlXPathObject, void (*)(xmlXPathObjectPtr)> nodes(
        context ? xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(path.constData()), context.get()) : nullptr,
        xmlXPathFreeObject);
    if (!nodes) return fail(QStringLiteral("the selection cannot be evaluated"));
    if (!nodes->nodesetval || nodes->nodesetval->nodeNr == 0) return fail(QStringLiteral("no Form of the document"));
    xmlChar* content = xmlNodeGetContent(nodes->nodesetval->nodeTab[0]);
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(content));
    xmlFree(content);
    QStringList entries = text.split(QStringLiteral("||"));
    const QString last = entries.takeLast();
    QStringList heading;
    const char* const headings[7] = {"关号", "支号", "签核人", "职称", "签核结果", "签核日期", "签核意见"};
    for (int i = 0; i < 7; ++i) heading << T(QStringLiteral("sDefine%1").arg(19 + i), QString::fromUtf8(headings[i]));
    QString history;
    for (const QString& e : entries) history += e + QLatin1Char('\n');
    history += T(QStringLiteral("sDefine26"), QStringLiteral("签核最终结果:")) + last;
    return Variant::ArrayOf({Variant(1), Variant(Show(heading.join(QStringLiteral("  ")))), Variant(Show(history)),
                             Variant(QString())});
}

}  // namespace kelm24
