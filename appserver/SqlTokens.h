// A lexical view of an SQL statement: words, string literals, numbers,
// parameters, punctuation, blanks and comments, each keeping its text, so a
// statement can be rewritten token by token and joined back unchanged elsewhere.
#pragma once

#include <QString>
#include <QVector>

namespace kelm24 {

enum class TSqlTokenKind { Word, String, Number, Param, Punct, Space, Comment };

struct TSqlToken {
    TSqlTokenKind Kind;
    QString Text;
    bool Is(const char* keyword) const;  // a word equal to keyword, without case
    bool IsPunct(QChar c) const { return Kind == TSqlTokenKind::Punct && Text.size() == 1 && Text[0] == c; }
    bool Blank() const { return Kind == TSqlTokenKind::Space || Kind == TSqlTokenKind::Comment; }
};

class TSqlTokens {
public:
    explicit TSqlTokens(const QString& sql);
    QVector<TSqlToken>& Items() { return tokens_; }
    const QVector<TSqlToken>& Items() const { return tokens_; }
    int Size() const { return static_cast<int>(tokens_.size()); }
    const TSqlToken& operator[](int i) const { return tokens_[i]; }
    TSqlToken& operator[](int i) { return tokens_[i]; }
    // Index of the next (previous) token that is not blank, or -1.
    int Next(int from) const;
    int Prev(int from) const;
    QString Join() const;
    bool Unterminated() const { return unterminated_; }  // a literal or comment without its end

private:
    QVector<TSqlToken> tokens_;
    bool unterminated_ = false;
};

// Words SQL itself reserves in the statements this system writes.
bool IsSqlKeyword(const QString& word);
// Functions a client statement may call.
bool IsSqlFunction(const QString& word);

}  // namespace kelm24
