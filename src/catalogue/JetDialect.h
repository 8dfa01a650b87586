#pragma once

#include <QString>
#include <vector>

namespace tarnwick {

// The program composes its statements in the dialect of the catalogue's original engine (string
// literals in double quotes, "&" concatenation, True/False, Photos.-qualified names over the
// qryactive view, case-blind text comparison). translateJetToSqlite turns such a statement into
// SQL that SQLite runs with the same meaning. It works on tokens, so quoted text and bracketed
// names are never rewritten.

enum class JetTokenKind {
    Space,
    Word,         // identifier, keyword or number
    Bracketed,    // [name]
    SingleQuoted, // 'text', '' inside
    DoubleQuoted, // "text", "" inside
    Symbol,       // operator or punctuation; <=, >=, <> and || are one token
};

struct JetToken {
    JetTokenKind kind;
    QString text; // the token exactly as written
};

std::vector<JetToken> tokenizeJet(const QString& statement);

// The value of a quoted literal token: quotes removed, doubled quotes made single.
QString unquoteJetLiteral(const JetToken& token);

// Quotes text as an SQLite string literal.
QString sqliteStringLiteral(const QString& value);

QString translateJetToSqlite(const QString& statement);

} // namespace tarnwick
