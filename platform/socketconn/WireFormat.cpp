#include "platform/socketconn/WireFormat.h"

#include <QCborStreamReader>
#include <QCborStreamWriter>
#include <QtEndian>
#include <limits>

namespace kelm24 {

namespace {

constexpr quint64 kTagInt64 = 65001, kTagDate = 65002, kTagArray = 65003;
constexpr int kMaxDepth = 64;
// Values a request may hold. A value takes one byte on the wire but a whole
// variant in memory, so a request is held to what a layout's lines or a
// statement's parameters need, far below what its byte limit would allow.
constexpr quint64 kMaxRequestValues = quint64(1) << 20;

[[noreturn]] void Malformed(const QString& what) { throw Exception(QStringLiteral("应用服务器消息格式错误: %1").arg(what)); }

void WriteVariant(QCborStreamWriter& w, const Variant& v)
{
    switch (v.Type()) {
    case VarType::Empty: w.append(QCborSimpleType::Undefined); return;
    case VarType::Null: w.append(nullptr); return;
    case VarType::Integer: w.append(static_cast<qint64>(v.ToInt())); return;
    case VarType::Int64:
        w.append(QCborTag(kTagInt64));
        w.append(static_cast<qint64>(v.ToInt64()));
        return;
    case VarType::Boolean: w.append(v.ToBool()); return;
    case VarType::Double: w.append(v.ToDouble()); return;
    case VarType::String: w.append(v.ToString()); return;
    case VarType::Date:
        w.append(QCborTag(kTagDate));
        w.append(v.ToDate());
        return;
    case VarType::Dispatch: throw Exception(QStringLiteral("自动化对象不能通过应用服务器连接传递"));
    case VarType::Array: break;
    }
    const int dims = v.DimCount();
    if (dims == 1 && v.LowBound() == 0) {
        w.startArray(static_cast<quint64>(v.Count()));
        for (int i = 0; i < v.Count(); ++i) WriteVariant(w, v[i]);
        w.endArray();
        return;
    }
    w.append(QCborTag(kTagArray));
    w.startArray(2);
    w.startArray(static_cast<quint64>(dims * 2));
    for (int d = 1; d <= dims; ++d) {
        w.append(static_cast<qint64>(v.LowBound(d)));
        w.append(static_cast<qint64>(v.HighBound(d)));
    }
    w.endArray();
    if (dims == 1) {
        w.startArray(static_cast<quint64>(v.Count()));
        for (int i = v.LowBound(); i <= v.HighBound(); ++i) WriteVariant(w, v[i]);
    } else {
        w.startArray(static_cast<quint64>(v.Count(1)) * static_cast<quint64>(v.Count(2)));
        for (int r = v.LowBound(1); r <= v.HighBound(1); ++r)
            for (int c = v.LowBound(2); c <= v.HighBound(2); ++c) WriteVariant(w, v.At(r, c));
    }
    w.endArray();
    w.endArray();
}

class TReader {
public:
    TReader(const QByteArray& bytes, quint64 maxValues) : r_(bytes), size_(bytes.size()), maxValues_(maxValues) {}

    Variant ReadVariant(int depth = 0)
    {
        if (depth > kMaxDepth) Malformed(QStringLiteral("数组嵌套过深"));
        Check();
        switch (r_.type()) {
        case QCborStreamReader::UnsignedInteger:
        case QCborStreamReader::NegativeInteger: {
            qint64 v = Integer();
            if (v >= INT32_MIN && v <= INT32_MAX) return Variant(static_cast<int>(v));
            return Variant(static_cast<int64_t>(v));
        }
        case QCborStreamReader::SimpleType: {
            QCborSimpleType t = r_.toSimpleType();
            r_.next();
            if (t == QCborSimpleType::False) return Variant(false);
            if (t == QCborSimpleType::True) return Variant(true);
            if (t == QCborSimpleType::Null) return Variant::Null();
            return Variant();
        }
        case QCborStreamReader::Float16: case QCborStreamReader::Float: case QCborStreamReader::Double:
            return Variant(Double());
        case QCborStreamReader::String: return Variant(Text());
        case QCborStreamReader::Array: return Array(depth);
        case QCborStreamReader::Tag: {
            quint64 tag = static_cast<quint64>(r_.toTag());
            r_.next();
            Check();
            if (tag == kTagInt64) return Variant(static_cast<int64_t>(Integer()));
            if (tag == kTagDate) return Variant::FromDate(Double());
            if (tag == kTagArray) return BoundedArray(depth);
            Malformed(QStringLiteral("未知的标记 %1").arg(tag));
        }
        default: Malformed(QStringLiteral("不支持的数据类型"));
        }
    }

    qint64 Integer()
    {
        Check();
        if (!r_.isInteger()) Malformed(QStringLiteral("应是整数"));
        qint64 v = r_.toInteger();
        r_.next();
        return v;
    }

    double Double()
    {
        Check();
        double v = 0;
        if (r_.isDouble()) v = r_.toDouble();
        else if (r_.isFloat()) v = r_.toFloat();
        else if (r_.isFloat16()) v = static_cast<double>(r_.toFloat16());
        else if (r_.isInteger()) v = static_cast<double>(r_.toInteger());
        else Malformed(QStringLiteral("应是数字"));
        r_.next();
        return v;
    }

    QString Text()
    {
        Check();
        if (!r_.isString()) Malformed(QStringLiteral("应是文本"));
        QString s;
        auto chunk = r_.readString();
        while (chunk.status == QCborStreamReader::Ok) {
            s += chunk.data;
            chunk = r_.readString();
        }
        if (chunk.status == QCborStreamReader::Error) Malformed(QStringLiteral("文本无法读取"));
        return s;
    }

    // Enters an array of known length; answers its length.
    quint64 EnterArray()
    {
        Check();
        if (!r_.isArray() || !r_.isLengthKnown()) Malformed(QStringLiteral("应是定长数组"));
        quint64 n = r_.length();
        // Every element takes at least one byte: a longer claim is a lie.
        if (n > static_cast<quint64>(size_)) Malformed(QStringLiteral("数组长度超出消息"));
        values_ += n;
        if (values_ > maxValues_) Malformed(QStringLiteral("数值过多 (上限 %1 个)").arg(maxValues_));
        r_.enterContainer();
        return n;
    }
    void LeaveArray()
    {
        CheckError();
        if (r_.hasNext()) Malformed(QStringLiteral("数组元素多于声明"));
        r_.leaveContainer();
    }
    VariantArgs List(int depth)
    {
        quint64 n = EnterArray();
        VariantArgs out;
        out.reserve(n);
        for (quint64 i = 0; i < n; ++i) out.push_back(ReadVariant(depth + 1));
        LeaveArray();
        return out;
    }
    void End()
    {
        if (r_.lastError() != QCborError::NoError) Malformed(r_.lastError().toString());
        if (r_.currentOffset() != size_) Malformed(QStringLiteral("消息末尾有多余的数据"));
    }

private:
    void CheckError()
    {
        if (r_.lastError() != QCborError::NoError) Malformed(r_.lastError().toString());
    }
    void Check()
    {
        CheckError();
        if (r_.type() == QCborStreamReader::Invalid) Malformed(QStringLiteral("消息不完整"));
    }

    Variant Array(int depth) { return Variant::ArrayOf(List(depth)); }

    Variant BoundedArray(int depth)
    {
        if (EnterArray() != 2) Malformed(QStringLiteral("带边界的数组应有两个部分"));
        quint64 nb = EnterArray();
        if (nb != 2 && nb != 4) Malformed(QStringLiteral("数组只能有一维或两维"));
        qint64 b[4] = {};
        for (quint64 i = 0; i < nb; ++i) b[i] = Integer();
        LeaveArray();
        // Each bound fits an int and each dimension holds no more elements
        // than the message has bytes, even when the other dimension is empty:
        // 0 x 2^31 elements hold nothing but would still be walked row by row.
        // Checked before anything is built, so no count can overflow.
        quint64 count = 1;
        for (quint64 i = 0; i < nb; i += 2) {
            if (b[i] < INT32_MIN / 2 || b[i] > INT32_MAX / 2 || b[i + 1] < INT32_MIN / 2 || b[i + 1] > INT32_MAX / 2 ||
                b[i + 1] < b[i] - 1)
                Malformed(QStringLiteral("数组边界无效"));
            const quint64 extent = static_cast<quint64>(b[i + 1] - b[i] + 1);
            if (extent > static_cast<quint64>(size_) || extent > maxValues_) Malformed(QStringLiteral("数组边界超出消息"));
            count *= extent;
        }
        if (EnterArray() != count) Malformed(QStringLiteral("数组元素个数与边界不符"));
        Variant out = nb == 2 ? Variant::CreateArray(static_cast<int>(b[0]), static_cast<int>(b[1]))
                              : Variant::CreateArray(static_cast<int>(b[0]), static_cast<int>(b[1]), static_cast<int>(b[2]),
                                                     static_cast<int>(b[3]));
        if (count == 0) {
            // Bounds alone: nothing to read.
        } else if (nb == 2) {
            for (qint64 i = b[0]; i <= b[1]; ++i) out[static_cast<int>(i)] = ReadVariant(depth + 1);
        } else {
            for (qint64 r = b[0]; r <= b[1]; ++r)
                for (qint64 c = b[2]; c <= b[3]; ++c) out.At(static_cast<int>(r), static_cast<int>(c)) = ReadVariant(depth + 1);
        }
        LeaveArray();
        LeaveArray();
        return out;
    }

    QCborStreamReader r_;
    qint64 size_;
    quint64 maxValues_;
    quint64 values_ = 0;  // elements of the arrays entered so far
};

void WriteList(QCborStreamWriter& w, const VariantArgs& list)
{
    w.startArray(list.size());
    for (const Variant& v : list) WriteVariant(w, v);
    w.endArray();
}

}  // namespace

QByteArray EncodeRequest(const TWireRequest& request)
{
    QByteArray out;
    QCborStreamWriter w(&out);
    w.startArray(4);
    w.append(static_cast<qint64>(request.Op));
    w.append(request.Name);
    WriteList(w, request.Args);
    WriteVariant(w, request.Value);
    w.endArray();
    return out;
}

QByteArray EncodeAnswer(const TWireAnswer& answer)
{
    QByteArray out;
    QCborStreamWriter w(&out);
    w.startArray(4);
    w.append(static_cast<qint64>(answer.Raised ? 1 : 0));
    WriteVariant(w, answer.Result);
    WriteList(w, answer.Args);
    w.append(answer.Error);
    w.endArray();
    return out;
}

TWireRequest DecodeRequest(const QByteArray& payload)
{
    TReader r(payload, kMaxRequestValues);
    if (r.EnterArray() != 4) Malformed(QStringLiteral("请求应有四个部分"));
    TWireRequest request;
    qint64 op = r.Integer();
    if (op < 1 || op > 5) Malformed(QStringLiteral("未知的请求类别 %1").arg(op));
    request.Op = static_cast<TWireOp>(op);
    request.Name = r.Text();
    request.Args = r.List(0);
    request.Value = r.ReadVariant();
    r.LeaveArray();
    r.End();
    return request;
}

TWireAnswer DecodeAnswer(const QByteArray& payload)
{
    // Answers carry rows: their size is bounded by the client's answer limit.
    TReader r(payload, std::numeric_limits<quint64>::max());
    if (r.EnterArray() != 4) Malformed(QStringLiteral("回答应有四个部分"));
    TWireAnswer answer;
    answer.Raised = r.Integer() != 0;
    answer.Result = r.ReadVariant();
    answer.Args = r.List(0);
    answer.Error = r.Text();
    r.LeaveArray();
    r.End();
    return answer;
}

QByteArray FrameHeader(qint64 payloadSize)
{
    QByteArray header(kWireHeaderSize, '\0');
    qToBigEndian(static_cast<quint32>(payloadSize), header.data());
    return header;
}

quint32 FrameLength(const char* header) { return qFromBigEndian<quint32>(header); }

}  // namespace kelm24
