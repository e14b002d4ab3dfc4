// Variant: the value type of every call across the host boundary and of every
// automation call. Empty and Null are distinct; arrays carry their own bounds.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <vector>

// The object runtime library exports these; every module refers to the same
// definitions (and the same exception types).
#define KELM24_SDK __attribute__((visibility("default")))

namespace kelm24 {

// Every failure the system raises carries a message text.
class KELM24_SDK Exception : public std::runtime_error {
public:
    explicit Exception(const QString& message);
    QString Message() const { return text_; }

private:
    QString text_;
};

// A conversion or array access that the value cannot satisfy.
class KELM24_SDK EVariantError : public Exception {
public:
    using Exception::Exception;
};

class IAutomationObject;
class VariantArray;

using WordBool = int16_t;  // 16-bit boolean: true = -1, false = 0
constexpr WordBool WordTrue = -1;
constexpr WordBool WordFalse = 0;

enum class VarType { Empty, Null, Integer, Int64, Boolean, Double, String, Date, Dispatch, Array };

class KELM24_SDK Variant {
public:
    Variant() = default;
    Variant(int v);
    Variant(int64_t v);
    Variant(bool v);
    Variant(double v);
    Variant(const QString& v);
    Variant(const char* v);
    Variant(std::shared_ptr<IAutomationObject> object);

    static Variant Null();
    // A date held as days since 1899-12-30, fraction = time of day.
    static Variant FromDate(double days);
    // One-dimensional array with bounds [low, high]; elements start Empty.
    static Variant CreateArray(int low, int high);
    // Two-dimensional array: rows [low1, high1] x columns [low2, high2].
    static Variant CreateArray(int low1, int high1, int low2, int high2);
    // Zero-based one-dimensional array of the given values.
    static Variant ArrayOf(std::initializer_list<Variant> values);
    static Variant ArrayOf(std::vector<Variant> values);

    VarType Type() const { return type_; }
    QString TypeName() const;
    bool IsEmpty() const { return type_ == VarType::Empty; }
    bool IsNull() const { return type_ == VarType::Null; }
    bool IsArray() const { return type_ == VarType::Array; }
    bool IsObject() const { return type_ == VarType::Dispatch; }
    bool IsNumeric() const;
    bool IsText() const { return type_ == VarType::String; }

    // Conversions raise EVariantError when the value cannot become the type.
    QString ToString() const;
    int32_t ToInt() const;
    int64_t ToInt64() const;
    bool ToBool() const;
    double ToDouble() const;
    double ToDate() const;
    std::shared_ptr<IAutomationObject> ToObject() const;

    // Arrays.
    int DimCount() const;
    int LowBound(int dim = 1) const;
    int HighBound(int dim = 1) const;
    int Count(int dim = 1) const { return HighBound(dim) - LowBound(dim) + 1; }
    const Variant& At(int index) const;
    Variant& At(int index);
    const Variant& At(int row, int column) const;
    Variant& At(int row, int column);
    const Variant& operator[](int index) const { return At(index); }
    Variant& operator[](int index) { return At(index); }
    // Grows or shrinks the last dimension, keeping the elements that remain.
    void Redim(int newHigh);
    std::vector<Variant> Elements() const;  // of a one-dimensional array, in order

    // Late-bound calls on an automation object held in this variant.
    Variant Call(const QString& member, std::vector<Variant>& args) const;
    Variant Call(const QString& member, std::initializer_list<Variant> args = {}) const;
    Variant Get(const QString& property) const;
    void Set(const QString& property, const Variant& value) const;

    // Equality as a variant comparison: numbers by value, texts exactly,
    // a text against a number by the text's number; Null equals only Null.
    bool operator==(const Variant& other) const;
    bool operator!=(const Variant& other) const { return !(*this == other); }
    // Texts compared without regard to letter case.
    bool SameText(const QString& text) const;

private:
    void Detach();
    const VariantArray& Arr() const;
    VariantArray& ArrMut();
    [[noreturn]] void CannotConvert(const char* to) const;

    VarType type_ = VarType::Empty;
    int64_t int_ = 0;
    double dbl_ = 0;
    QString str_;
    std::shared_ptr<IAutomationObject> obj_;
    std::shared_ptr<VariantArray> arr_;
};

// Array storage: row-major elements with per-dimension bounds.
class KELM24_SDK VariantArray {
public:
    std::vector<int> low, high;
    std::vector<Variant> items;
    int Offset(int dim, int index) const;
};

}  // namespace kelm24
