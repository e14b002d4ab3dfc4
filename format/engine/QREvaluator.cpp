#include "format/engine/QREvaluator.h"

#include "format/engine/ClientDataSet.h"
#include "format/engine/QRMask.h"

#include <QDate>
#include <QDateTime>
#include <algorithm>
#include <cmath>
#include <limits>

namespace kelm24 {

namespace {

enum class Tok { End, Number, String, Ident, Op, LParen, RParen, Comma, Dot };

struct Token {
    Tok kind = Tok::End;
    QString text;
    double number = 0;
    int pos = 0;
};

[[noreturn]] void SyntaxError(const QString& expr, int pos, const QString& what)
{
    throw Exception(QStringLiteral("Expression error at %1 in \"%2\": %3").arg(pos + 1).arg(expr, what));
}

std::vector<Token> Tokenize(const QString& s)
{
    std::vector<Token> out;
    int i = 0;
    while (i < s.size()) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        Token t;
        t.pos = i;
        if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < s.size() && s[i + 1].isDigit())) {
            int j = i;
            while (j < s.size() && (s[j].isDigit() || s[j] == QLatin1Char('.'))) ++j;
            t.kind = Tok::Number;
            t.text = s.mid(i, j - i);
            bool ok = false;
            t.number = t.text.toDouble(&ok);
            if (!ok || !std::isfinite(t.number)) SyntaxError(s, i, QStringLiteral("bad number"));
            i = j;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            int j = i + 1;
            QString text;
            for (;; ++j) {
                if (j >= s.size()) SyntaxError(s, i, QStringLiteral("unterminated text"));
                if (s[j] == c) {
                    if (j + 1 < s.size() && s[j + 1] == c) {  // doubled quote
                        text += c;
                        ++j;
                        continue;
                    }
                    break;
                }
                text += s[j];
            }
            t.kind = Tok::String;
            t.text = text;
            i = j + 1;
        } else if (c.isLetter() || c == QLatin1Char('_')) {
            int j = i;
            while (j < s.size() && (s[j].isLetterOrNumber() || s[j] == QLatin1Char('_'))) ++j;
            t.kind = Tok::Ident;
            t.text = s.mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char('(')) {
            t.kind = Tok::LParen, ++i;
        } else if (c == QLatin1Char(')')) {
            t.kind = Tok::RParen, ++i;
        } else if (c == QLatin1Char(',')) {
            t.kind = Tok::Comma, ++i;
        } else if (c == QLatin1Char('.')) {
            t.kind = Tok::Dot, ++i;
        } else if (QStringLiteral("+-*/=<>").contains(c)) {
            t.kind = Tok::Op;
            t.text = c;
            if ((c == QLatin1Char('<') || c == QLatin1Char('>')) && i + 1 < s.size() &&
                (s[i + 1] == QLatin1Char('=') || (c == QLatin1Char('<') && s[i + 1] == QLatin1Char('>'))))
                t.text += s[++i];
            ++i;
        } else {
            SyntaxError(s, i, QStringLiteral("unexpected character '%1'").arg(c));
        }
        out.push_back(t);
    }
    Token end;
    end.pos = static_cast<int>(s.size());
    out.push_back(end);
    return out;
}

bool IsTextual(const Variant& v) { return v.IsText() || v.Type() == VarType::Date; }

double Num(const Variant& v)
{
    if (v.IsNull() || v.IsEmpty()) return 0;
    if (v.IsText()) {
        bool ok = false;
        const double d = v.ToString().trimmed().toDouble(&ok);
        return ok ? d : 0;
    }
    return v.ToDouble();
}

bool Truth(const Variant& v)
{
    if (v.IsNull() || v.IsEmpty()) return false;
    if (v.Type() == VarType::Boolean) return v.ToBool();
    if (v.IsText()) return v.ToString().compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0;
    return Num(v) != 0;
}

}  // namespace

QString QRValueText(const Variant& v)
{
    switch (v.Type()) {
    case VarType::Empty:
    case VarType::Null: return {};
    case VarType::Double: return FloatToStr(v.ToDouble());
    case VarType::Boolean: return v.ToBool() ? QStringLiteral("True") : QStringLiteral("False");
    default: return v.ToString();
    }
}

struct TQREvaluator::Node {
    enum Kind { Const, Field, Call, Neg, Not, Binary } kind = Const;
    Variant value;
    QString op;                 // Binary operator or function name (upper case)
    TClientDataSet* dataSet = nullptr;
    QString fieldName;
    mutable int fieldIndex = -1;  // cached column of fieldName
    int depth = 1;                // levels of the tree below and including this node
    TQRFunction function;  // a copy: the table may change after Prepare
    std::vector<std::unique_ptr<Node>> args;
};

namespace {

using Node = TQREvaluator::Node;

Variant FieldValue(const Node& n)
{
    TClientDataSet* ds = n.dataSet;
    if (!ds->Active()) return QString();
    if (n.fieldIndex < 0 || n.fieldIndex >= ds->FieldCount() ||
        ds->Field(n.fieldIndex).FieldName().compare(n.fieldName, Qt::CaseInsensitive) != 0) {
        TField* f = ds->FindField(n.fieldName);
        if (f == nullptr) throw Exception(QStringLiteral("%1: Field '%2' not found").arg(ds->objectName(), n.fieldName));
        n.fieldIndex = f->Index();
    }
    TField& f = ds->Field(n.fieldIndex);
    if (f.IsNull()) return f.IsNumeric() ? Variant(0) : Variant(QString());
    if (f.DataType() == TFieldType::Date) return f.AsString();
    return f.Value();
}

Variant Compare(const QString& op, const Variant& a, const Variant& b)
{
    int c;
    if (IsTextual(a) && IsTextual(b)) {
        c = QString::compare(a.ToString(), b.ToString());
    } else if (IsTextual(a) || IsTextual(b)) {
        // A text against a number compares as numbers when the text is one.
        bool ok = false;
        const double x = (IsTextual(a) ? a : b).ToString().trimmed().toDouble(&ok);
        if (ok) {
            const double y = Num(IsTextual(a) ? b : a);
            c = x < y ? -1 : (x > y ? 1 : 0);
            if (!IsTextual(a)) c = -c;
        } else {
            c = QString::compare(QRValueText(a), QRValueText(b));
        }
    } else {
        const double x = Num(a), y = Num(b);
        c = x < y ? -1 : (x > y ? 1 : 0);
    }
    bool r = false;
    if (op == QLatin1String("=")) r = c == 0;
    else if (op == QLatin1String("<>")) r = c != 0;
    else if (op == QLatin1String("<")) r = c < 0;
    else if (op == QLatin1String(">")) r = c > 0;
    else if (op == QLatin1String("<=")) r = c <= 0;
    else if (op == QLatin1String(">=")) r = c >= 0;
    return Variant(r);
}

Variant Arith(const QString& op, const Variant& a, const Variant& b)
{
    if (op == QLatin1String("+") && (IsTextual(a) || IsTextual(b))) return QRValueText(a) + QRValueText(b);
    const double x = Num(a), y = Num(b);
    double r = 0;
    switch (op[0].toLatin1()) {
    case '+': r = x + y; break;
    case '-': r = x - y; break;
    case '*': r = x * y; break;
    case '/':
        if (y == 0) throw Exception(QStringLiteral("Division by zero in expression"));
        r = x / y;
        break;
    }
    if (!std::isfinite(r)) throw Exception(QStringLiteral("Numeric overflow in expression"));
    if (op != QLatin1String("/") && a.Type() != VarType::Double && b.Type() != VarType::Double && std::fabs(r) < 2e9 &&
        r == std::trunc(r))
        return Variant(static_cast<int>(r));
    return Variant(r);
}

Variant Eval(const Node& n)
{
    switch (n.kind) {
    case Node::Const: return n.value;
    case Node::Field: return FieldValue(n);
    case Node::Neg: {
        const Variant v = Eval(*n.args[0]);
        if (v.Type() == VarType::Integer && v.ToInt() != std::numeric_limits<int>::min()) return Variant(-v.ToInt());
        return Variant(-Num(v));
    }
    case Node::Not: return Variant(!Truth(Eval(*n.args[0])));
    case Node::Binary: {
        if (n.op == QLatin1String("AND")) return Variant(Truth(Eval(*n.args[0])) && Truth(Eval(*n.args[1])));
        if (n.op == QLatin1String("OR")) return Variant(Truth(Eval(*n.args[0])) || Truth(Eval(*n.args[1])));
        const Variant a = Eval(*n.args[0]);
        const Variant b = Eval(*n.args[1]);
        if (QStringLiteral("+-*/").contains(n.op)) return Arith(n.op, a, b);
        return Compare(n.op, a, b);
    }
    case Node::Call: {
        if (n.op == QLatin1String("IF")) {
            if (n.args.size() != 3) throw Exception(QStringLiteral("IF needs three arguments"));
            return Truth(Eval(*n.args[0])) ? Eval(*n.args[1]) : Eval(*n.args[2]);
        }
        std::vector<Variant> args;
        args.reserve(n.args.size());
        for (const auto& a : n.args) args.push_back(Eval(*a));
        return n.function(args);
    }
    }
    return {};
}

// Functions every expression knows.
const TQRFunctionTable& BuiltIns()
{
    static const TQRFunctionTable table = [] {
        TQRFunctionTable t;
        auto arg = [](const std::vector<Variant>& a, size_t i) { return i < a.size() ? a[i] : Variant(QString()); };
        t.insert(QStringLiteral("STR"), [arg](const auto& a) { return Variant(QRValueText(arg(a, 0))); });
        t.insert(QStringLiteral("UPPER"), [arg](const auto& a) { return Variant(QRValueText(arg(a, 0)).toUpper()); });
        t.insert(QStringLiteral("LOWER"), [arg](const auto& a) { return Variant(QRValueText(arg(a, 0)).toLower()); });
        t.insert(QStringLiteral("TRIM"), [arg](const auto& a) { return Variant(QRValueText(arg(a, 0)).trimmed()); });
        t.insert(QStringLiteral("COPY"), [arg](const auto& a) {
            const QString s = QRValueText(arg(a, 0));
            // Positions beyond any text are clamped before they become integers.
            auto position = [](double d) { return std::isnan(d) ? 0.0 : std::clamp(std::trunc(d), -1e9, 1e9); };
            const double start = std::max(1.0, position(Num(arg(a, 1))));
            const double len = std::max(0.0, position(Num(arg(a, 2))));
            return Variant(s.mid(static_cast<qsizetype>(start) - 1, static_cast<qsizetype>(len)));
        });
        t.insert(QStringLiteral("INT"), [arg](const auto& a) { return Variant(std::trunc(Num(arg(a, 0)))); });
        t.insert(QStringLiteral("FRAC"), [arg](const auto& a) {
            const double d = Num(arg(a, 0));
            return Variant(d - std::trunc(d));
        });
        t.insert(QStringLiteral("FORMATNUMERIC"),
                 [arg](const auto& a) { return Variant(FormatFloat(QRValueText(arg(a, 0)), Num(arg(a, 1)))); });
        t.insert(QStringLiteral("DATE"),
                 [](const auto&) { return Variant(QDate::currentDate().toString(QStringLiteral("yyyyMMdd"))); });
        t.insert(QStringLiteral("TIME"),
                 [](const auto&) { return Variant(QTime::currentTime().toString(QStringLiteral("hh:mm"))); });
        return t;
    }();
    return table;
}

class Parser {
public:
    Parser(const QString& expr, const std::vector<TClientDataSet*>& dataSets, const TQRFunctionTable* functions)
        : expr_(expr), toks_(Tokenize(expr)), dataSets_(dataSets), functions_(functions)
    {
    }

    std::unique_ptr<Node> Parse()
    {
        auto n = Or();
        if (Peek().kind != Tok::End) SyntaxError(expr_, Peek().pos, QStringLiteral("unexpected '%1'").arg(Peek().text));
        return n;
    }

private:
    const Token& Peek() const { return toks_[pos_]; }
    Token Take() { return toks_[pos_++]; }
    bool IsWord(const char* w) const
    {
        return Peek().kind == Tok::Ident && Peek().text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
    }
    bool IsOp(const char* o) const { return Peek().kind == Tok::Op && Peek().text == QLatin1String(o); }

    // Parsing and evaluating recurse once per level of nesting: a limit keeps
    // hostile or runaway expressions from overflowing the stack.
    static constexpr int kMaxDepth = 256;
    class Nesting {
    public:
        explicit Nesting(Parser& p) : p_(p)
        {
            if (++p_.nesting_ > kMaxDepth) p_.TooDeep();
        }
        ~Nesting() { --p_.nesting_; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        Parser& p_;
    };
    [[noreturn]] void TooDeep() const { SyntaxError(expr_, Peek().pos, QStringLiteral("expression too deeply nested")); }
    // Sets the depth of a node from its arguments.
    std::unique_ptr<Node> Finish(std::unique_ptr<Node> n) const
    {
        for (const auto& a : n->args) n->depth = std::max(n->depth, a->depth + 1);
        if (n->depth > kMaxDepth) TooDeep();
        return n;
    }

    std::unique_ptr<Node> Bin(const QString& op, std::unique_ptr<Node> a, std::unique_ptr<Node> b) const
    {
        auto n = std::make_unique<Node>();
        n->kind = Node::Binary;
        n->op = op;
        n->args.push_back(std::move(a));
        n->args.push_back(std::move(b));
        return Finish(std::move(n));
    }

    std::unique_ptr<Node> Or()
    {
        Nesting nesting(*this);
        auto n = And();
        while (IsWord("OR")) {
            Take();
            n = Bin(QStringLiteral("OR"), std::move(n), And());
        }
        return n;
    }
    std::unique_ptr<Node> And()
    {
        auto n = NotExpr();
        while (IsWord("AND")) {
            Take();
            n = Bin(QStringLiteral("AND"), std::move(n), NotExpr());
        }
        return n;
    }
    std::unique_ptr<Node> NotExpr()
    {
        if (IsWord("NOT")) {
            Nesting nesting(*this);
            Take();
            auto n = std::make_unique<Node>();
            n->kind = Node::Not;
            n->args.push_back(NotExpr());
            return Finish(std::move(n));
        }
        return Cmp();
    }
    std::unique_ptr<Node> Cmp()
    {
        auto n = Add();
        if (IsOp("=") || IsOp("<>") || IsOp("<") || IsOp(">") || IsOp("<=") || IsOp(">=")) {
            const QString op = Take().text;
            n = Bin(op, std::move(n), Add());
        }
        return n;
    }
    std::unique_ptr<Node> Add()
    {
        auto n = Mul();
        while (IsOp("+") || IsOp("-")) {
            const QString op = Take().text;
            n = Bin(op, std::move(n), Mul());
        }
        return n;
    }
    std::unique_ptr<Node> Mul()
    {
        auto n = Unary();
        while (IsOp("*") || IsOp("/")) {
            const QString op = Take().text;
            n = Bin(op, std::move(n), Unary());
        }
        return n;
    }
    std::unique_ptr<Node> Unary()
    {
        if (IsOp("-")) {
            Nesting nesting(*this);
            Take();
            auto n = std::make_unique<Node>();
            n->kind = Node::Neg;
            n->args.push_back(Unary());
            return Finish(std::move(n));
        }
        if (IsOp("+")) Take();
        return Primary();
    }
    std::unique_ptr<Node> Primary()
    {
        const Token t = Take();
        auto n = std::make_unique<Node>();
        switch (t.kind) {
        case Tok::Number:
            n->value = t.number == std::trunc(t.number) && std::fabs(t.number) < 2e9 && !t.text.contains(QLatin1Char('.'))
                           ? Variant(static_cast<int>(t.number))
                           : Variant(t.number);
            return n;
        case Tok::String: n->value = t.text; return n;
        case Tok::LParen: {
            auto inner = Or();
            if (Take().kind != Tok::RParen) SyntaxError(expr_, t.pos, QStringLiteral("missing ')'"));
            return inner;
        }
        case Tok::Ident: return Identifier(t);
        default: SyntaxError(expr_, t.pos, t.kind == Tok::End ? QStringLiteral("unexpected end") : QStringLiteral("unexpected token"));
        }
    }

    std::unique_ptr<Node> Identifier(const Token& t)
    {
        auto n = std::make_unique<Node>();
        if (t.text.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0 ||
            t.text.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0) {
            n->value = Variant(t.text.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0);
            return n;
        }
        if (Peek().kind == Tok::Dot) {  // dataset.FIELD
            Take();
            const Token f = Take();
            if (f.kind != Tok::Ident) SyntaxError(expr_, f.pos, QStringLiteral("field name expected"));
            for (TClientDataSet* ds : dataSets_) {
                if (ds != nullptr && ds->objectName().compare(t.text, Qt::CaseInsensitive) == 0) {
                    n->kind = Node::Field;
                    n->dataSet = ds;
                    n->fieldName = f.text;
                    return n;
                }
            }
            SyntaxError(expr_, t.pos, QStringLiteral("unknown data set '%1'").arg(t.text));
        }
        const QString upper = t.text.toUpper();
        const TQRFunction* fn = nullptr;
        if (functions_ != nullptr) {
            auto it = functions_->constFind(upper);
            if (it != functions_->constEnd()) fn = &it.value();
        }
        if (fn == nullptr) {
            auto it = BuiltIns().constFind(upper);
            if (it != BuiltIns().constEnd()) fn = &it.value();
        }
        const bool call = Peek().kind == Tok::LParen;
        if (fn != nullptr || upper == QLatin1String("IF")) {
            n->kind = Node::Call;
            n->op = upper;
            if (fn != nullptr) n->function = *fn;
            if (call) {
                Take();
                if (Peek().kind != Tok::RParen) {
                    for (;;) {
                        n->args.push_back(Or());
                        if (Peek().kind == Tok::Comma) {
                            Take();
                            continue;
                        }
                        break;
                    }
                }
                if (Take().kind != Tok::RParen) SyntaxError(expr_, t.pos, QStringLiteral("missing ')'"));
            }
            return Finish(std::move(n));
        }
        if (call) SyntaxError(expr_, t.pos, QStringLiteral("unknown function '%1'").arg(t.text));
        // A bare field name: the first data set that has it (checked at evaluation
        // when the set is still closed).
        for (TClientDataSet* ds : dataSets_) {
            if (ds != nullptr && (!ds->Active() || ds->FindField(t.text) != nullptr)) {
                n->kind = Node::Field;
                n->dataSet = ds;
                n->fieldName = t.text;
                return n;
            }
        }
        SyntaxError(expr_, t.pos, QStringLiteral("unknown identifier '%1'").arg(t.text));
    }

    QString expr_;
    std::vector<Token> toks_;
    size_t pos_ = 0;
    int nesting_ = 0;
    const std::vector<TClientDataSet*>& dataSets_;
    const TQRFunctionTable* functions_;
};

}  // namespace

TQREvaluator::TQREvaluator() = default;
TQREvaluator::~TQREvaluator() = default;

void TQREvaluator::Prepare(const QString& expression)
{
    root_.reset();
    empty_ = expression.trimmed().isEmpty();
    if (empty_) {
        root_ = std::make_unique<Node>();
        root_->value = QString();
        return;
    }
    root_ = Parser(expression, dataSets_, functions_).Parse();
}

void TQREvaluator::Unprepare() { root_.reset(); }

Variant TQREvaluator::Value() const
{
    if (!root_) throw Exception(QStringLiteral("Expression not prepared"));
    return Eval(*root_);
}

QString TQREvaluator::AsString() const { return QRValueText(Value()); }

Variant TQREvaluator::Evaluate(const QString& expression, std::vector<TClientDataSet*> dataSets,
                               const TQRFunctionTable* functions)
{
    TQREvaluator e;
    e.SetDataSets(std::move(dataSets));
    e.SetFunctions(functions);
    e.Prepare(expression);
    return e.Value();
}

}  // namespace kelm24
