// Statements in the old engine's dialect, well formed or not, through the adapter that turns them
// into SQLite's and PostgreSQL's. Besides crashes and hangs it checks what the adapter promises:
// tokens cover the statement exactly, and quoted text comes out with the same value and the same
// termination, so a statement the old engine would refuse is never turned into one that runs.
#include "catalogue/JetDialect.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <QString>
#include <vector>

using namespace tarnwick;

namespace {

struct Literal {
    QString value;
    bool terminated;
};

bool isQuoted(const JetToken& token) {
    return token.kind == JetTokenKind::SingleQuoted || token.kind == JetTokenKind::DoubleQuoted;
}

bool isTerminated(const JetToken& token) {
    // The closing quote is the last character and not the second half of a doubled one.
    const QChar quote = token.text.front();
    qsizetype i = 1;
    while (i < token.text.size()) {
        if (token.text[i] == quote) {
            if (i + 1 < token.text.size() && token.text[i + 1] == quote) {
                i += 2;
                continue;
            }
            return i + 1 == token.text.size();
        }
        ++i;
    }
    return false;
}

// PostgreSQL's double quotes hold names that were bracketed; its literals are single-quoted.
std::vector<Literal> literals(const std::vector<JetToken>& tokens, bool singleOnly = false) {
    std::vector<Literal> found;
    for (const JetToken& token : tokens)
        if (singleOnly ? token.kind == JetTokenKind::SingleQuoted : isQuoted(token))
            found.push_back({unquoteJetLiteral(token), isTerminated(token)});
    return found;
}

[[noreturn]] void fault(const char* what, const QString& statement) {
    std::fprintf(stderr, "%s\nstatement: %s\n", what, qUtf8Printable(statement));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString statement =
        QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));

    const std::vector<JetToken> tokens = tokenizeJet(statement);
    QString joined;
    for (const JetToken& token : tokens) {
        if (token.text.isEmpty())
            fault("an empty token", statement);
        joined += token.text;
    }
    if (joined != statement)
        fault("the tokens do not spell the statement", statement);

    const QString translated = translateJetToSqlite(statement);
    const std::vector<Literal> before = literals(tokens);
    const std::vector<JetToken> outTokens = tokenizeJet(translated);
    const std::vector<Literal> after = literals(outTokens);
    if (before.size() != after.size())
        fault("the translation changed the number of quoted literals", statement);
    for (size_t i = 0; i < before.size(); ++i) {
        if (before[i].value != after[i].value)
            fault("the translation changed a literal's text", statement);
        if (before[i].terminated != after[i].terminated)
            fault("the translation changed whether a literal is closed", statement);
    }
    for (const JetToken& token : outTokens)
        if (token.kind == JetTokenKind::DoubleQuoted)
            fault("a double-quoted literal reached SQLite, which would read it as a name",
                  statement);

    const std::vector<Literal> onServer =
        literals(tokenizeJet(translateJetToPostgreSql(statement)), true);
    if (before.size() != onServer.size())
        fault("the PostgreSQL translation changed the number of quoted literals", statement);
    for (size_t i = 0; i < before.size(); ++i)
        if (before[i].value != onServer[i].value || before[i].terminated != onServer[i].terminated)
            fault("the PostgreSQL translation changed a literal", statement);
    return 0;
}
