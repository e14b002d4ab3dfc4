// Parsing layout texts into a tree of components and property lines; the
// reader applies the tree to a form, the writer makes the text of a form.
#include "format/LayoutText.h"

#include <cmath>

namespace kelm24 {

ELayoutError::ELayoutError(int line, const QString& message)
    : Exception(QStringLiteral("line %1: %2").arg(line).arg(message)), line_(line), message_(message)
{
}

TLayoutNode::~TLayoutNode()
{
    // Children go one level at a time; the parser bounds the depth.
    Children.clear();
}

// ============================================================ parsing

namespace {

bool IsIdentStart(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
bool IsIdentChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('.'); }

class TParser {
public:
    TParser(const QString& text, const TLayoutLimits& limits) : s_(text), limits_(limits) {}

    std::unique_ptr<TLayoutNode> Parse()
    {
        CheckSize();
        SkipBlank();
        if (AtEnd()) Fail(line_, QStringLiteral("the layout text is empty"));
        auto root = ParseHeader();
        std::vector<TLayoutNode*> stack{root.get()};
        int components = 1;
        while (!stack.empty()) {
            SkipBlank();
            if (AtEnd()) {
                Fail(stack.back()->Line, QStringLiteral("the text ends inside component %1 (\"end\" is missing)")
                                             .arg(stack.back()->Name));
            }
            const int wordLine = line_;
            const QString word = PeekWord();
            if (word.compare(QLatin1String("end"), Qt::CaseInsensitive) == 0) {
                ReadWord();
                ExpectLineEnd();
                stack.pop_back();
                continue;
            }
            if (IsComponentKeyword(word)) {
                if (static_cast<int>(stack.size()) >= limits_.MaxDepth)
                    Fail(wordLine, QStringLiteral("components are nested deeper than %1 levels").arg(limits_.MaxDepth));
                if (++components > limits_.MaxComponents)
                    Fail(wordLine, QStringLiteral("the text holds more than %1 components").arg(limits_.MaxComponents));
                auto child = ParseHeader();
                TLayoutNode* raw = child.get();
                stack.back()->Children.push_back(std::move(child));
                stack.push_back(raw);
                continue;
            }
            stack.back()->Properties.push_back(ParseProperty());
        }
        SkipBlank();
        if (!AtEnd()) Fail(line_, QStringLiteral("text follows the end of the root component"));
        return root;
    }

private:
    [[noreturn]] static void Fail(int line, const QString& message) { throw ELayoutError(line, message); }

    void CheckSize()
    {
        // Counted in UTF-8 bytes line by line, so the refusal names the line
        // where the text passes the limit.
        qint64 bytes = 0;
        int line = 1, start = 0;
        for (int i = 0; i <= s_.size(); ++i) {
            if (i == s_.size() || s_[i] == QLatin1Char('\n')) {
                bytes += QStringView(s_).mid(start, i - start).toUtf8().size() + 1;
                if (bytes > limits_.MaxBytes)
                    Fail(line, QStringLiteral("the layout text is longer than %1 bytes").arg(limits_.MaxBytes));
                ++line;
                start = i + 1;
            }
        }
    }

    static bool IsComponentKeyword(const QString& w)
    {
        return w.compare(QLatin1String("object"), Qt::CaseInsensitive) == 0 ||
               w.compare(QLatin1String("inherited"), Qt::CaseInsensitive) == 0 ||
               w.compare(QLatin1String("inline"), Qt::CaseInsensitive) == 0;
    }

    bool AtEnd() const { return pos_ >= s_.size(); }
    QChar Cur() const { return AtEnd() ? QChar() : s_[pos_]; }
    void Advance()
    {
        if (Cur() == QLatin1Char('\n')) ++line_;
        ++pos_;
    }
    // Blanks within the line.
    void SkipSpaces()
    {
        while (!AtEnd() && (Cur() == QLatin1Char(' ') || Cur() == QLatin1Char('\t') || Cur() == QLatin1Char('\r')))
            ++pos_;
    }
    // Blanks and line ends.
    void SkipBlank()
    {
        while (!AtEnd() && Cur().isSpace()) Advance();
    }
    void ExpectLineEnd()
    {
        SkipSpaces();
        if (!AtEnd() && Cur() != QLatin1Char('\n')) Fail(line_, QStringLiteral("unexpected text \"%1\"").arg(RestOfLine()));
    }
    QString RestOfLine() const
    {
        int e = pos_;
        while (e < s_.size() && s_[e] != QLatin1Char('\n') && e - pos_ < 40) ++e;
        return s_.mid(pos_, e - pos_).trimmed();
    }
    QString PeekWord() const
    {
        int e = pos_;
        while (e < s_.size() && IsIdentChar(s_[e])) ++e;
        return s_.mid(pos_, e - pos_);
    }
    QString ReadWord()
    {
        const int b = pos_;
        while (!AtEnd() && IsIdentChar(Cur())) ++pos_;
        return s_.mid(b, pos_ - b);
    }
    QString ReadIdent(const QString& what)
    {
        SkipSpaces();
        if (!IsIdentStart(Cur())) Fail(line_, QStringLiteral("%1 expected, found \"%2\"").arg(what, RestOfLine()));
        return ReadWord();
    }

    std::unique_ptr<TLayoutNode> ParseHeader()
    {
        auto node = std::make_unique<TLayoutNode>();
        node->Line = line_;
        const QString keyword = ReadIdent(QStringLiteral("\"object\" or \"inherited\""));
        if (!IsComponentKeyword(keyword))
            Fail(node->Line, QStringLiteral("\"object\" or \"inherited\" expected, found \"%1\"").arg(keyword));
        node->Inherited = keyword.compare(QLatin1String("object"), Qt::CaseInsensitive) != 0;
        SkipSpaces();
        // "object Name: TClass", or an unnamed "object TClass".
        QString first = ReadIdent(QStringLiteral("a component name"));
        SkipSpaces();
        if (Cur() == QLatin1Char(':')) {
            ++pos_;
            node->Name = first;
            node->ClassName = ReadIdent(QStringLiteral("a class name"));
        } else {
            node->ClassName = first;
        }
        SkipSpaces();
        if (Cur() == QLatin1Char('[')) {  // inline index, kept for compatibility
            while (!AtEnd() && Cur() != QLatin1Char(']') && Cur() != QLatin1Char('\n')) ++pos_;
            if (Cur() != QLatin1Char(']')) Fail(line_, QStringLiteral("\"]\" expected"));
            ++pos_;
        }
        ExpectLineEnd();
        return node;
    }

    TLayoutProperty ParseProperty()
    {
        TLayoutProperty p;
        p.Line = line_;
        if (!IsIdentStart(Cur())) Fail(line_, QStringLiteral("a property name expected, found \"%1\"").arg(RestOfLine()));
        p.Name = ReadWord();
        SkipSpaces();
        if (Cur() != QLatin1Char('=')) Fail(p.Line, QStringLiteral("\"=\" expected after %1").arg(p.Name));
        ++pos_;
        SkipSpaces();
        p.Value = ParseValue(p.Name);
        ExpectLineEnd();
        return p;
    }

    TLayoutValue ParseValue(const QString& name)
    {
        const QChar c = Cur();
        if (c == QLatin1Char('\'') || c == QLatin1Char('#')) return ParseString();
        if (c == QLatin1Char('-') || c == QLatin1Char('+') || c.isDigit() || c == QLatin1Char('$')) return ParseNumber();
        if (c == QLatin1Char('[')) return ParseSet();
        if (c == QLatin1Char('(')) return ParseList();
        if (c == QLatin1Char('{')) return ParseBinary();
        if (IsIdentStart(c)) {
            TLayoutValue v;
            v.Kind = TLayoutValue::vkIdent;
            v.Text = ReadWord();
            return v;
        }
        Fail(line_, QStringLiteral("a value expected for %1").arg(name));
    }

    TLayoutValue ParseString()
    {
        TLayoutValue v;
        v.Kind = TLayoutValue::vkString;
        for (;;) {
            if (Cur() == QLatin1Char('\'')) {
                ++pos_;
                for (;;) {
                    if (AtEnd() || Cur() == QLatin1Char('\n')) Fail(line_, QStringLiteral("unterminated string"));
                    if (Cur() == QLatin1Char('\'')) {
                        if (pos_ + 1 < s_.size() && s_[pos_ + 1] == QLatin1Char('\'')) {
                            v.Text += QLatin1Char('\'');
                            pos_ += 2;
                            continue;
                        }
                        ++pos_;
                        break;
                    }
                    v.Text += Cur();
                    ++pos_;
                }
            } else if (Cur() == QLatin1Char('#')) {
                ++pos_;
                bool hex = false;
                if (Cur() == QLatin1Char('$')) {
                    hex = true;
                    ++pos_;
                }
                const int b = pos_;
                while (!AtEnd() && (hex ? isxdigit(Cur().unicode()) != 0 : Cur().isDigit())) ++pos_;
                bool ok = false;
                const uint code = s_.mid(b, pos_ - b).toUInt(&ok, hex ? 16 : 10);
                if (!ok || code > 0x10FFFF) Fail(line_, QStringLiteral("bad character code"));
                v.Text += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
            } else {
                // "+" at the end of a line continues the string on the next.
                SkipSpaces();
                if (Cur() == QLatin1Char('+')) {
                    ++pos_;
                    SkipBlank();
                    if (Cur() != QLatin1Char('\'') && Cur() != QLatin1Char('#'))
                        Fail(line_, QStringLiteral("a string expected after \"+\""));
                    continue;
                }
                break;
            }
        }
        return v;
    }

    TLayoutValue ParseNumber()
    {
        TLayoutValue v;
        const int b = pos_;
        bool negative = false;
        if (Cur() == QLatin1Char('-') || Cur() == QLatin1Char('+')) {
            negative = Cur() == QLatin1Char('-');
            ++pos_;
        }
        if (Cur() == QLatin1Char('$')) {
            ++pos_;
            const int hb = pos_;
            while (!AtEnd() && isxdigit(Cur().unicode())) ++pos_;
            bool ok = false;
            const qint64 n = s_.mid(hb, pos_ - hb).toLongLong(&ok, 16);
            if (!ok) Fail(line_, QStringLiteral("bad hexadecimal number"));
            v.Kind = TLayoutValue::vkInteger;
            v.Integer = negative ? -n : n;
            return v;
        }
        bool isFloat = false;
        while (!AtEnd() && Cur().isDigit()) ++pos_;
        if (Cur() == QLatin1Char('.')) {
            isFloat = true;
            ++pos_;
            while (!AtEnd() && Cur().isDigit()) ++pos_;
        }
        if (Cur() == QLatin1Char('e') || Cur() == QLatin1Char('E')) {
            isFloat = true;
            ++pos_;
            if (Cur() == QLatin1Char('-') || Cur() == QLatin1Char('+')) ++pos_;
            while (!AtEnd() && Cur().isDigit()) ++pos_;
        }
        const QString text = s_.mid(b, pos_ - b);
        bool ok = false;
        if (isFloat) {
            v.Kind = TLayoutValue::vkFloat;
            v.Float = text.toDouble(&ok);
            if (ok && !std::isfinite(v.Float)) ok = false;
        } else {
            v.Kind = TLayoutValue::vkInteger;
            v.Integer = text.toLongLong(&ok);
        }
        if (!ok) Fail(line_, QStringLiteral("bad number \"%1\"").arg(text));
        return v;
    }

    TLayoutValue ParseSet()
    {
        TLayoutValue v;
        v.Kind = TLayoutValue::vkSet;
        ++pos_;
        for (;;) {
            SkipBlank();
            if (AtEnd()) Fail(line_, QStringLiteral("unterminated set (\"]\" missing)"));
            if (Cur() == QLatin1Char(']')) {
                ++pos_;
                return v;
            }
            if (!v.Items.isEmpty()) {
                if (Cur() != QLatin1Char(',')) Fail(line_, QStringLiteral("\",\" or \"]\" expected in a set"));
                ++pos_;
                SkipBlank();
            }
            if (Cur().isDigit()) {
                const int b = pos_;
                while (!AtEnd() && Cur().isDigit()) ++pos_;
                v.Items << s_.mid(b, pos_ - b);
            } else {
                v.Items << ReadIdent(QStringLiteral("a set member"));
            }
            if (v.Items.size() > limits_.MaxListItems) Fail(line_, QStringLiteral("the set is too long"));
        }
    }

    TLayoutValue ParseList()
    {
        TLayoutValue v;
        v.Kind = TLayoutValue::vkList;
        ++pos_;
        for (;;) {
            SkipBlank();
            if (AtEnd()) Fail(line_, QStringLiteral("unterminated list (\")\" missing)"));
            if (Cur() == QLatin1Char(')')) {
                ++pos_;
                return v;
            }
            const TLayoutValue item = ParseValue(QStringLiteral("a list"));
            switch (item.Kind) {
            case TLayoutValue::vkString:
            case TLayoutValue::vkIdent: v.Items << item.Text; break;
            case TLayoutValue::vkInteger: v.Items << QString::number(item.Integer); break;
            case TLayoutValue::vkFloat: v.Items << QString::number(item.Float, 'g', 15); break;
            default: Fail(line_, QStringLiteral("a list holds strings and numbers only"));
            }
            if (v.Items.size() > limits_.MaxListItems)
                Fail(line_, QStringLiteral("the list holds more than %1 lines").arg(limits_.MaxListItems));
        }
    }

    TLayoutValue ParseBinary()
    {
        TLayoutValue v;
        v.Kind = TLayoutValue::vkBinary;
        ++pos_;
        QByteArray hex;
        for (;;) {
            SkipBlank();
            if (AtEnd()) Fail(line_, QStringLiteral("unterminated binary value (\"}\" missing)"));
            if (Cur() == QLatin1Char('}')) {
                ++pos_;
                break;
            }
            if (!isxdigit(Cur().unicode())) Fail(line_, QStringLiteral("hexadecimal digits expected"));
            hex += static_cast<char>(Cur().unicode());
            ++pos_;
        }
        if (hex.size() % 2) Fail(line_, QStringLiteral("an odd number of hexadecimal digits"));
        v.Binary = QByteArray::fromHex(hex);
        return v;
    }

    const QString& s_;
    TLayoutLimits limits_;
    int pos_ = 0;
    int line_ = 1;
};

}  // namespace

std::unique_ptr<TLayoutNode> ParseLayoutText(const QString& Text, const TLayoutLimits& Limits)
{
    return TParser(Text, Limits).Parse();
}

}  // namespace kelm24
