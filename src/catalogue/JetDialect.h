#pragma once

#include <QString>
#include <vector>

namespace tarnwick {

// The program composes its statements in the dialect of the catalogue's original engine (string
// literals in double quotes, "&" concatenation, True/False, bracketed names, Photos.-qualified
// names over the qryactive view, case-blind text comparison, Null sorting first). The translator
// turns such a statement into SQL that the catalogue's engine runs with the same meaning: the
// embedded SQLite file or a PostgreSQL server. It works on tokens, so quoted text is never
// rewritten.

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

// The engines a statement is translated for.
enum class SqlTarget { Sqlite, PostgreSql };

// SQLite compares text case-blind only where told: every literal, IN operand and ORDER BY / GROUP
// BY term gets the NOCASE collation.
// PostgreSQL catalogues hold their text in case-blind columns (see CatalogueSchema.h), so
// comparisons need nothing; its names are plain (folded to lower case) or double-quoted, Null
// sorts last there unless told, and its GROUP BY returns the groups in no particular order.
QString translateJet(const QString& statement, SqlTarget target);

QString translateJetToSqlite(const QString& statement);
QString translateJetToPostgreSql(const QString& statement);

} // namespace tarnwick
