#include "kelm24/Variant.h"
#include "kelm24/Automation.h"

#include <QDate>
#include <QDateTime>
#include <cmath>
#include <limits>

namespace kelm24 {

Exception::Exception(const QString& message) : std::runtime_error(message.toStdString()), text_(message) {}

namespace {

const QDate kDateBase(1899, 12, 30);

// Rounds half to even, as the variant conversions do.
int64_t RoundBankers(double v)
{
    double r = std::nearbyint(v);  // default rounding mode is to-nearest-even
    if (!std::isfinite(r) || r > 9.2e18 || r < -9.2e18) throw EVariantError("Invalid floating point operation");
    return static_cast<int64_t>(r);
}

bool ParseNumber(const QString& text, double& out)
{
    QString t = text.trimmed();
    if (t.isEmpty()) return false;
    bool ok = false;
    out = t.toDouble(&ok);
    return ok && std::isfinite(out);
}

bool ParseDate(const QString& text, double& out)
{
    QString t = text.trimmed();
    static const char* const formats[] = {"yyyy-MM-dd HH:mm:ss.zzz", "yyyy-MM-dd HH:mm:ss", "yyyy/MM/dd HH:mm:ss",
                                          "yyyy-MM-dd", "yyyy/MM/dd", "yyyyMMdd"};
    for (const char* f : formats) {
        QDateTime dt = QDateTime::fromString(t, QString::fromLatin1(f));
        if (!dt.isValid()) {
            QDate d = QDate::fromString(t, QString::fromLatin1(f));
            if (!d.isValid()) continue;
            dt = QDateTime(d, QTime(0, 0));
        }
        out = kDateBase.daysTo(dt.date()) + dt.time().msecsSinceStartOfDay() / 86400000.0;
        return true;
    }
    return false;
}

QString DateText(double days)
{
    double whole = std::floor(days);
    int64_t ms = std::llround((days - whole) * 86400000.0);
    if (ms >= 86400000) {  // rounds up to the next midnight
        whole += 1;
        ms = 0;
    }
    QDate d = kDateBase.addDays(static_cast<qint64>(whole));
    if (ms == 0) return d.toString(QStringLiteral("yyyy-MM-dd"));
    return d.toString(QStringLiteral("yyyy-MM-dd ")) + QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)).toString(QStringLiteral("HH:mm:ss"));
}

}  // namespace

Variant::Variant(int v) : type_(VarType::Integer), int_(v) {}
Variant::Variant(int64_t v) : type_(VarType::Int64), int_(v) {}
Variant::Variant(bool v) : type_(VarType::Boolean), int_(v ? -1 : 0) {}
Variant::Variant(double v) : type_(VarType::Double), dbl_(v) {}
Variant::Variant(const QString& v) : type_(VarType::String), str_(v) {}
Variant::Variant(const char* v) : type_(VarType::String), str_(QString::fromUtf8(v)) {}
Variant::Variant(std::shared_ptr<IAutomationObject> object)
    : type_(object ? VarType::Dispatch : VarType::Empty), obj_(std::move(object))
{
}

Variant Variant::Null()
{
    Variant v;
    v.type_ = VarType::Null;
    return v;
}

Variant Variant::FromDate(double days)
{
    Variant v;
    v.type_ = VarType::Date;
    v.dbl_ = days;
    return v;
}

Variant Variant::CreateArray(int low, int high)
{
    if (high < low - 1) throw EVariantError(QStringLiteral("Invalid variant array bounds"));
    Variant v;
    v.type_ = VarType::Array;
    v.arr_ = std::make_shared<VariantArray>();
    v.arr_->low = {low};
    v.arr_->high = {high};
    v.arr_->items.resize(static_cast<size_t>(high - low + 1));
    return v;
}

Variant Variant::CreateArray(int low1, int high1, int low2, int high2)
{
    if (high1 < low1 - 1 || high2 < low2 - 1) throw EVariantError(QStringLiteral("Invalid variant array bounds"));
    Variant v;
    v.type_ = VarType::Array;
    v.arr_ = std::make_shared<VariantArray>();
    v.arr_->low = {low1, low2};
    v.arr_->high = {high1, high2};
    v.arr_->items.resize(static_cast<size_t>(high1 - low1 + 1) * static_cast<size_t>(high2 - low2 + 1));
    return v;
}

Variant Variant::ArrayOf(std::initializer_list<Variant> values)
{
    return ArrayOf(std::vector<Variant>(values));
}

Variant Variant::ArrayOf(std::vector<Variant> values)
{
    Variant v = CreateArray(0, -1);
    v.arr_->high = {static_cast<int>(values.size()) - 1};
    v.arr_->items = std::move(values);  // a temporary's elements move in uncopied
    return v;
}

QString Variant::TypeName() const
{
    switch (type_) {
    case VarType::Empty: return QStringLiteral("Empty");
    case VarType::Null: return QStringLiteral("Null");
    case VarType::Integer: return QStringLiteral("Integer");
    case VarType::Int64: return QStringLiteral("Int64");
    case VarType::Boolean: return QStringLiteral("Boolean");
    case VarType::Double: return QStringLiteral("Double");
    case VarType::String: return QStringLiteral("String");
    case VarType::Date: return QStringLiteral("Date");
    case VarType::Dispatch: return QStringLiteral("Dispatch");
    case VarType::Array: return QStringLiteral("Array");
    }
    return QStringLiteral("Unknown");
}

bool Variant::IsNumeric() const
{
    return type_ == VarType::Integer || type_ == VarType::Int64 || type_ == VarType::Double ||
           type_ == VarType::Boolean;
}

void Variant::CannotConvert(const char* to) const
{
    throw EVariantError(QStringLiteral("Could not convert variant of type (%1) into type (%2)")
                            .arg(TypeName(), QString::fromLatin1(to)));
}

QString Variant::ToString() const
{
    switch (type_) {
    case VarType::Empty: return QString();
    case VarType::Integer:
    case VarType::Int64: return QString::number(int_);
    case VarType::Boolean: return int_ ? QStringLiteral("True") : QStringLiteral("False");
    case VarType::Double: return QString::number(dbl_, 'g', 15);
    case VarType::String: return str_;
    case VarType::Date: return DateText(dbl_);
    default: CannotConvert("String");
    }
}

int64_t Variant::ToInt64() const
{
    switch (type_) {
    case VarType::Empty: return 0;
    case VarType::Integer:
    case VarType::Int64:
    case VarType::Boolean: return int_;
    case VarType::Double:
    case VarType::Date: return RoundBankers(dbl_);
    case VarType::String: {
        bool ok = false;
        qint64 n = str_.trimmed().toLongLong(&ok);
        if (ok) return n;
        double d = 0;
        if (ParseNumber(str_, d)) return RoundBankers(d);
        if (str_.trimmed().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return -1;
        if (str_.trimmed().compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return 0;
        CannotConvert("Integer");
    }
    default: CannotConvert("Integer");
    }
}

int32_t Variant::ToInt() const
{
    int64_t v = ToInt64();
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        throw EVariantError(QStringLiteral("Overflow while converting variant of type (%1) into type (Integer)").arg(TypeName()));
    return static_cast<int32_t>(v);
}

bool Variant::ToBool() const
{
    switch (type_) {
    case VarType::Empty: return false;
    case VarType::Integer:
    case VarType::Int64:
    case VarType::Boolean: return int_ != 0;
    case VarType::Double:
    case VarType::Date: return dbl_ != 0;
    case VarType::String: {
        QString t = str_.trimmed();
        if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
        if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
        double d = 0;
        if (ParseNumber(t, d)) return d != 0;
        CannotConvert("Boolean");
    }
    default: CannotConvert("Boolean");
    }
}

double Variant::ToDouble() const
{
    switch (type_) {
    case VarType::Empty: return 0;
    case VarType::Integer:
    case VarType::Int64:
    case VarType::Boolean: return static_cast<double>(int_);
    case VarType::Double:
    case VarType::Date: return dbl_;
    case VarType::String: {
        double d = 0;
        if (ParseNumber(str_, d)) return d;
        CannotConvert("Double");
    }
    default: CannotConvert("Double");
    }
}

double Variant::ToDate() const
{
    switch (type_) {
    case VarType::Empty: return 0;
    case VarType::Integer:
    case VarType::Int64: return static_cast<double>(int_);
    case VarType::Double:
    case VarType::Date: return dbl_;
    case VarType::String: {
        double d = 0;
        if (ParseDate(str_, d)) return d;
        CannotConvert("Date");
    }
    default: CannotConvert("Date");
    }
}

std::shared_ptr<IAutomationObject> Variant::ToObject() const
{
    if (type_ != VarType::Dispatch) CannotConvert("Dispatch");
    return obj_;
}

const VariantArray& Variant::Arr() const
{
    if (type_ != VarType::Array) throw EVariantError(QStringLiteral("Variant is not an array"));
    return *arr_;
}

void Variant::Detach()
{
    if (arr_ && arr_.use_count() > 1) arr_ = std::make_shared<VariantArray>(*arr_);
}

VariantArray& Variant::ArrMut()
{
    Arr();
    Detach();
    return *arr_;
}

int VariantArray::Offset(int dim, int index) const
{
    size_t d = static_cast<size_t>(dim);
    if (index < low[d] || index > high[d])
        throw EVariantError(QStringLiteral("Variant or safe array index out of bounds"));
    return index - low[d];
}

int Variant::DimCount() const
{
    return type_ == VarType::Array ? static_cast<int>(arr_->low.size()) : 0;
}

int Variant::LowBound(int dim) const
{
    const VariantArray& a = Arr();
    if (dim < 1 || dim > static_cast<int>(a.low.size())) throw EVariantError(QStringLiteral("Variant array bounds error"));
    return a.low[static_cast<size_t>(dim - 1)];
}

int Variant::HighBound(int dim) const
{
    const VariantArray& a = Arr();
    if (dim < 1 || dim > static_cast<int>(a.high.size())) throw EVariantError(QStringLiteral("Variant array bounds error"));
    return a.high[static_cast<size_t>(dim - 1)];
}

const Variant& Variant::At(int index) const
{
    const VariantArray& a = Arr();
    if (a.low.size() != 1) throw EVariantError(QStringLiteral("Variant array bounds error"));
    return a.items[static_cast<size_t>(a.Offset(0, index))];
}

Variant& Variant::At(int index)
{
    VariantArray& a = ArrMut();
    if (a.low.size() != 1) throw EVariantError(QStringLiteral("Variant array bounds error"));
    return a.items[static_cast<size_t>(a.Offset(0, index))];
}

const Variant& Variant::At(int row, int column) const
{
    const VariantArray& a = Arr();
    if (a.low.size() != 2) throw EVariantError(QStringLiteral("Variant array bounds error"));
    size_t cols = static_cast<size_t>(a.high[1] - a.low[1] + 1);
    return a.items[static_cast<size_t>(a.Offset(0, row)) * cols + static_cast<size_t>(a.Offset(1, column))];
}

Variant& Variant::At(int row, int column)
{
    VariantArray& a = ArrMut();
    if (a.low.size() != 2) throw EVariantError(QStringLiteral("Variant array bounds error"));
    size_t cols = static_cast<size_t>(a.high[1] - a.low[1] + 1);
    return a.items[static_cast<size_t>(a.Offset(0, row)) * cols + static_cast<size_t>(a.Offset(1, column))];
}

void Variant::Redim(int newHigh)
{
    VariantArray& a = ArrMut();
    if (newHigh < a.low.back() - 1) throw EVariantError(QStringLiteral("Invalid variant array bounds"));
    if (a.low.size() == 1) {
        a.high[0] = newHigh;
        a.items.resize(static_cast<size_t>(newHigh - a.low[0] + 1));
        return;
    }
    // Two dimensions: the column dimension changes, rows keep their cells.
    size_t rows = static_cast<size_t>(a.high[0] - a.low[0] + 1);
    size_t oldCols = static_cast<size_t>(a.high[1] - a.low[1] + 1);
    size_t newCols = static_cast<size_t>(newHigh - a.low[1] + 1);
    std::vector<Variant> items(rows * newCols);
    for (size_t r = 0; r < rows; ++r)
        for (size_t c = 0; c < std::min(oldCols, newCols); ++c) items[r * newCols + c] = a.items[r * oldCols + c];
    a.items.swap(items);
    a.high[1] = newHigh;
}

std::vector<Variant> Variant::Elements() const
{
    const VariantArray& a = Arr();
    if (a.low.size() != 1) throw EVariantError(QStringLiteral("Variant array bounds error"));
    return a.items;
}

Variant Variant::Call(const QString& member, std::vector<Variant>& args) const
{
    if (type_ != VarType::Dispatch) throw EVariantError(QStringLiteral("Variant does not reference an automation object"));
    return obj_->Invoke(member, args);
}

Variant Variant::Call(const QString& member, std::initializer_list<Variant> args) const
{
    std::vector<Variant> a(args);
    return Call(member, a);
}

Variant Variant::Get(const QString& property) const
{
    if (type_ != VarType::Dispatch) throw EVariantError(QStringLiteral("Variant does not reference an automation object"));
    return obj_->GetProperty(property);
}

void Variant::Set(const QString& property, const Variant& value) const
{
    if (type_ != VarType::Dispatch) throw EVariantError(QStringLiteral("Variant does not reference an automation object"));
    obj_->SetProperty(property, value);
}

bool Variant::operator==(const Variant& other) const
{
    if (type_ == VarType::Null || other.type_ == VarType::Null) return type_ == other.type_;
    if (type_ == VarType::Dispatch || other.type_ == VarType::Dispatch) return obj_ == other.obj_;
    if (type_ == VarType::Array || other.type_ == VarType::Array) {
        if (type_ != other.type_) return false;
        return arr_ == other.arr_ || (arr_->low == other.arr_->low && arr_->high == other.arr_->high &&
                                      arr_->items == other.arr_->items);
    }
    if (type_ == VarType::Empty && other.type_ == VarType::Empty) return true;
    if (type_ == VarType::String && other.type_ == VarType::String) return str_ == other.str_;
    if (type_ == VarType::Empty || other.type_ == VarType::Empty) {
        const Variant& v = type_ == VarType::Empty ? other : *this;
        return v.type_ == VarType::String ? v.str_.isEmpty() : v.ToDouble() == 0;
    }
    if (type_ == VarType::String || other.type_ == VarType::String) {
        const Variant& text = type_ == VarType::String ? *this : other;
        const Variant& number = type_ == VarType::String ? other : *this;
        if (number.type_ == VarType::Boolean) {
            try {
                return text.ToBool() == (number.int_ != 0);
            } catch (const EVariantError&) {
                return false;
            }
        }
        double d = 0;
        if (ParseNumber(text.str_, d)) return d == number.ToDouble();
        if (number.type_ == VarType::Date) {
            double day = 0;
            return ParseDate(text.str_, day) && day == number.dbl_;
        }
        return text.str_ == number.ToString();
    }
    if ((type_ == VarType::Integer || type_ == VarType::Int64 || type_ == VarType::Boolean) &&
        (other.type_ == VarType::Integer || other.type_ == VarType::Int64 || other.type_ == VarType::Boolean))
        return int_ == other.int_;
    return ToDouble() == other.ToDouble();
}

bool Variant::SameText(const QString& text) const
{
    if (type_ == VarType::Null || type_ == VarType::Array || type_ == VarType::Dispatch) return false;
    return ToString().compare(text, Qt::CaseInsensitive) == 0;
}

}  // namespace kelm24
