#include "catalogue/JetDialect.h"

#include <QStringList>

namespace tarnwick {

using namespace Qt::StringLiterals;

namespace {

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

qsizetype endOfQuoted(const QString& s, qsizetype start, QChar quote) {
    qsizetype i = start + 1;
    while (i < s.size()) {
        if (s[i] == quote) {
            if (i + 1 < s.size() && s[i + 1] == quote) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return s.size(); // unterminated: the engine reports it
}

qsizetype endOfToken(const QString& s, qsizetype i, JetTokenKind& kind) {
    const QChar c = s[i];
    if (c.isSpace()) {
        kind = JetTokenKind::Space;
        while (i < s.size() && s[i].isSpace())
            ++i;
        return i;
    }
    if (c == u'\'' || c == u'"') {
        kind = c == u'\'' ? JetTokenKind::SingleQuoted : JetTokenKind::DoubleQuoted;
        return endOfQuoted(s, i, c);
    }
    if (c == u'[') {
        kind = JetTokenKind::Bracketed;
        const qsizetype close = s.indexOf(u']', i);
        return close < 0 ? s.size() : close + 1;
    }
    if (isWordChar(c)) {
        kind = JetTokenKind::Word;
        while (i < s.size() && isWordChar(s[i]))
            ++i;
        return i;
    }
    kind = JetTokenKind::Symbol;
    static const QStringList pairs{u"<="_s, u">="_s, u"<>"_s, u"||"_s, u"!="_s};
    if (i + 1 < s.size() && pairs.contains(s.mid(i, 2)))
        return i + 2;
    return i + 1;
}

// Whether a quoted token ends with its closing quote rather than with the statement.
bool isClosedLiteral(const JetToken& t) {
    const QString& s = t.text;
    const QChar quote = s.front();
    for (qsizetype i = 1; i < s.size(); ++i) {
        if (s[i] != quote)
            continue;
        if (i + 1 < s.size() && s[i + 1] == quote) {
            ++i;
            continue;
        }
        return i + 1 == s.size();
    }
    return false;
}

bool isWord(const JetToken& t, const char* word) {
    return t.kind == JetTokenKind::Word &&
           t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool isName(const JetToken& t, const char* name) {
    if (t.kind == JetTokenKind::Bracketed)
        return t.text.mid(1, t.text.size() - 2).compare(QLatin1String(name), Qt::CaseInsensitive) ==
               0;
    return isWord(t, name);
}

bool isSymbol(const JetToken& t, const char* symbol) {
    return t.kind == JetTokenKind::Symbol && t.text == QLatin1String(symbol);
}

bool isIdentifier(const JetToken& t) {
    if (t.kind == JetTokenKind::Bracketed)
        return true;
    if (t.kind != JetTokenKind::Word || t.text.front().isDigit())
        return false;
    static const QStringList keywords{u"and"_s,  u"or"_s,    u"not"_s,  u"in"_s,
                                      u"by"_s,   u"asc"_s,   u"desc"_s, u"select"_s,
                                      u"from"_s, u"where"_s, u"null"_s, u"is"_s};
    return !keywords.contains(t.text.toLower());
}

bool endsListClause(const JetToken& t) {
    static const QStringList words{u"having"_s, u"limit"_s, u"union"_s, u"order"_s,
                                   u"group"_s,  u"where"_s, u"from"_s};
    return t.kind == JetTokenKind::Word && words.contains(t.text.toLower());
}

const QString collateNoCase = u" COLLATE NOCASE"_s;

// Rewrites a token stream into SQLite's dialect. Text in the old engine compares and sorts
// without regard to letter case, so every string literal, every IN operand and every ORDER BY /
// GROUP BY term gets the NOCASE collation.
class Translator {
public:
    explicit Translator(std::vector<JetToken> tokens) : tokens_(std::move(tokens)) {
        for (const JetToken& t : tokens_)
            overActiveView_ = overActiveView_ || isName(t, "qryactive");
    }

    QString run() {
        for (size_t i = 0; i < tokens_.size(); ++i)
            emitToken(i);
        endListTerm();
        return out_.join(QString());
    }

private:
    const JetToken* nextSignificant(size_t i) const {
        for (size_t j = i + 1; j < tokens_.size(); ++j)
            if (tokens_[j].kind != JetTokenKind::Space)
                return &tokens_[j];
        return nullptr;
    }

    void emitSignificant(const QString& text, bool identifier) {
        lastSignificant_ = out_.size();
        out_ << text;
        previousSignificant_.push_back(identifier ? out_.size() - 1 : -1);
        if (inListClause_)
            termIdentifier_ = identifier ? out_.size() - 1 : -1;
    }

    void addCollationAfter(qsizetype outIndex) {
        if (outIndex >= 0)
            out_[outIndex] += collateNoCase;
    }

    void endListTerm() {
        if (inListClause_)
            addCollationAfter(termIdentifier_);
        termIdentifier_ = -1;
    }

    void emitToken(size_t i) {
        const JetToken& t = tokens_[i];
        switch (t.kind) {
        case JetTokenKind::Space:
            out_ << t.text;
            return;
        case JetTokenKind::DoubleQuoted:
        case JetTokenKind::SingleQuoted:
            if (!isClosedLiteral(t)) {
                // The old engine refused a literal left open; closing it here would run a
                // statement with another meaning. Left open, SQLite refuses it too.
                QString open = sqliteStringLiteral(unquoteJetLiteral(t));
                open.chop(1);
                emitSignificant(open, false);
                return;
            }
            emitSignificant(sqliteStringLiteral(unquoteJetLiteral(t)) + collateNoCase, false);
            return;
        case JetTokenKind::Bracketed:
            if (dropsQualifier(t, i))
                return;
            emitSignificant(t.text, true);
            return;
        case JetTokenKind::Symbol:
            emitSymbol(t, i);
            return;
        case JetTokenKind::Word:
            emitWord(t, i);
            return;
        }
    }

    bool dropsQualifier(const JetToken& t, size_t i) {
        if (!overActiveView_ || !isName(t, "Photos") || i + 1 >= tokens_.size() ||
            !isSymbol(tokens_[i + 1], "."))
            return false;
        skipNextDot_ = true;
        return true;
    }

    void emitSymbol(const JetToken& t, size_t i) {
        Q_UNUSED(i);
        if (skipNextDot_ && t.text == u".") {
            skipNextDot_ = false;
            return;
        }
        if (t.text == u"(") {
            ++depth_;
        } else if (t.text == u")") {
            if (inListClause_ && depth_ == listDepth_)
                leaveListClause();
            --depth_;
        } else if ((t.text == u"," && inListClause_ && depth_ == listDepth_)) {
            endListTerm();
        } else if (t.text == u";") {
            leaveListClause();
        }
        if (t.text == u"&") {
            emitSignificant(u"||"_s, false);
            return;
        }
        // a qualified name keeps its identifier status across the dot
        if (t.text == u".") {
            out_ << t.text;
            return;
        }
        emitSignificant(t.text, false);
    }

    void emitWord(const JetToken& t, size_t i) {
        if (dropsQualifier(t, i))
            return;
        if (isWord(t, "True") || isWord(t, "False")) {
            emitBoolean(isWord(t, "True"));
            return;
        }
        if (isWord(t, "where") || isWord(t, "having") || isWord(t, "on") || isWord(t, "when"))
            inCondition_ = true;
        else if (isWord(t, "select") || isWord(t, "set") || isWord(t, "values"))
            inCondition_ = false;
        if (inListClause_ && depth_ == listDepth_ && (isWord(t, "asc") || isWord(t, "desc"))) {
            endListTerm();
            emitSignificant(t.text, false);
            return;
        }
        if (inListClause_ && endsListClause(t))
            leaveListClause();
        if (isWord(t, "in")) {
            const JetToken* next = nextSignificant(i);
            if (next && isSymbol(*next, "("))
                addCollationAfter(operandBeforeIn());
        }
        if (isWord(t, "by") && previousWordIsOrderOrGroup()) {
            emitSignificant(t.text, false);
            inListClause_ = true;
            listDepth_ = depth_;
            termIdentifier_ = -1;
            return;
        }
        emitSignificant(t.text, isIdentifier(t));
        lastWord_ = t.text.toLower();
    }

    // The old engine stored True as -1, and catalogues converted from it keep that; any value
    // but 0 is true. So a condition "x = True" becomes "x <> 0" rather than "x = 1".
    void emitBoolean(bool value) {
        const bool compared = inCondition_ && lastSignificant_ >= 0 &&
                              (out_[lastSignificant_] == u"=" || out_[lastSignificant_] == u"<>");
        if (compared) {
            const bool equals = out_[lastSignificant_] == u"=";
            out_[lastSignificant_] = equals == value ? u"<>"_s : u"="_s;
            emitSignificant(u"0"_s, false);
            return;
        }
        emitSignificant(value ? u"1"_s : u"0"_s, false);
    }

    bool previousWordIsOrderOrGroup() const {
        return lastWord_ == u"order" || lastWord_ == u"group";
    }

    // The operand of "x IN (...)" or "x NOT IN (...)"; -1 when it is not a plain name.
    qsizetype operandBeforeIn() const {
        qsizetype k = qsizetype(previousSignificant_.size()) - 1;
        if (k >= 0 && lastWord_ == u"not" && previousSignificant_[size_t(k)] < 0)
            --k;
        return k >= 0 ? previousSignificant_[size_t(k)] : -1;
    }

    void leaveListClause() {
        endListTerm();
        inListClause_ = false;
    }

    std::vector<JetToken> tokens_;
    QStringList out_;
    std::vector<qsizetype> previousSignificant_; // per significant token: out index if a name
    bool overActiveView_ = false;
    bool inCondition_ = false;
    qsizetype lastSignificant_ = -1; // out index of the last token that is not a blank
    bool skipNextDot_ = false;
    bool inListClause_ = false;
    int depth_ = 0;
    int listDepth_ = 0;
    qsizetype termIdentifier_ = -1;
    QString lastWord_;
};

} // namespace

std::vector<JetToken> tokenizeJet(const QString& statement) {
    std::vector<JetToken> tokens;
    qsizetype i = 0;
    while (i < statement.size()) {
        JetTokenKind kind;
        const qsizetype end = endOfToken(statement, i, kind);
        tokens.push_back({kind, statement.mid(i, end - i)});
        i = end;
    }
    return tokens;
}

QString unquoteJetLiteral(const JetToken& token) {
    const QChar quote = token.text.front();
    QString inner = token.text.mid(1);
    if (inner.endsWith(quote))
        inner.chop(1);
    return inner.replace(QString(2, quote), QString(quote));
}

QString sqliteStringLiteral(const QString& value) {
    QString escaped = value;
    escaped.replace(u'\'', u"''"_s);
    return u'\'' + escaped + u'\'';
}

QString translateJetToSqlite(const QString& statement) {
    return Translator(tokenizeJet(statement)).run();
}

} // namespace tarnwick
