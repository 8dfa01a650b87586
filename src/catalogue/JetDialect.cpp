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

bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// PostgreSQL folds unquoted names to lower case, ASCII letters only.
QString asciiLower(QString name) {
    for (QChar& c : name)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    return name;
}

// A name PostgreSQL reads as itself without quotes: ASCII letters, digits and "_", no keyword
// that it reserves.
bool isPlainPostgresName(const QString& name) {
    if (name.isEmpty() || !(isAsciiLetter(name.front()) || name.front() == u'_'))
        return false;
    for (QChar c : name)
        if (!isAsciiLetter(c) && !c.isDigit() && c != u'_')
            return false;
    static const QStringList reserved{u"all"_s,
                                      u"analyse"_s,
                                      u"analyze"_s,
                                      u"and"_s,
                                      u"any"_s,
                                      u"array"_s,
                                      u"as"_s,
                                      u"asc"_s,
                                      u"asymmetric"_s,
                                      u"authorization"_s,
                                      u"binary"_s,
                                      u"both"_s,
                                      u"case"_s,
                                      u"cast"_s,
                                      u"check"_s,
                                      u"collate"_s,
                                      u"collation"_s,
                                      u"column"_s,
                                      u"concurrently"_s,
                                      u"constraint"_s,
                                      u"create"_s,
                                      u"cross"_s,
                                      u"current_catalog"_s,
                                      u"current_date"_s,
                                      u"current_role"_s,
                                      u"current_schema"_s,
                                      u"current_time"_s,
                                      u"current_timestamp"_s,
                                      u"current_user"_s,
                                      u"default"_s,
                                      u"deferrable"_s,
                                      u"desc"_s,
                                      u"distinct"_s,
                                      u"do"_s,
                                      u"else"_s,
                                      u"end"_s,
                                      u"except"_s,
                                      u"false"_s,
                                      u"fetch"_s,
                                      u"for"_s,
                                      u"foreign"_s,
                                      u"freeze"_s,
                                      u"from"_s,
                                      u"full"_s,
                                      u"grant"_s,
                                      u"group"_s,
                                      u"having"_s,
                                      u"ilike"_s,
                                      u"in"_s,
                                      u"initially"_s,
                                      u"inner"_s,
                                      u"intersect"_s,
                                      u"into"_s,
                                      u"is"_s,
                                      u"isnull"_s,
                                      u"join"_s,
                                      u"lateral"_s,
                                      u"leading"_s,
                                      u"left"_s,
                                      u"like"_s,
                                      u"limit"_s,
                                      u"localtime"_s,
                                      u"localtimestamp"_s,
                                      u"natural"_s,
                                      u"not"_s,
                                      u"notnull"_s,
                                      u"null"_s,
                                      u"offset"_s,
                                      u"on"_s,
                                      u"only"_s,
                                      u"or"_s,
                                      u"order"_s,
                                      u"outer"_s,
                                      u"overlaps"_s,
                                      u"placing"_s,
                                      u"primary"_s,
                                      u"references"_s,
                                      u"returning"_s,
                                      u"right"_s,
                                      u"select"_s,
                                      u"session_user"_s,
                                      u"similar"_s,
                                      u"some"_s,
                                      u"symmetric"_s,
                                      u"table"_s,
                                      u"tablesample"_s,
                                      u"then"_s,
                                      u"to"_s,
                                      u"trailing"_s,
                                      u"true"_s,
                                      u"union"_s,
                                      u"unique"_s,
                                      u"user"_s,
                                      u"using"_s,
                                      u"variadic"_s,
                                      u"verbose"_s,
                                      u"when"_s,
                                      u"where"_s,
                                      u"window"_s,
                                      u"with"_s};
    return !reserved.contains(asciiLower(name));
}

// [name] as PostgreSQL names it: plain where it can be, else double-quoted in the lower case
// that the tables were created in. A bracket left open stays an open quote, which the server
// refuses as SQLite refuses the open bracket.
QString postgresName(const JetToken& t) {
    const bool closed = t.text.size() > 1 && t.text.endsWith(u']');
    const QString name = t.text.mid(1, t.text.size() - (closed ? 2 : 1));
    if (closed && isPlainPostgresName(name))
        return name;
    QString quoted = u'"' + asciiLower(name).replace(u'"', u"\"\""_s);
    return closed ? quoted + u'"' : quoted;
}

// Rewrites a token stream into the target's dialect. Text in the old engine compares and sorts
// without regard to letter case, and Null sorts before every value.
class Translator {
public:
    Translator(std::vector<JetToken> tokens, SqlTarget target)
        : tokens_(std::move(tokens)), target_(target) {
        for (const JetToken& t : tokens_)
            overActiveView_ = overActiveView_ || isName(t, "qryactive");
    }

    QString run() {
        for (size_t i = 0; i < tokens_.size(); ++i)
            if (skipThrough_ < 0 || qsizetype(i) > skipThrough_)
                emitToken(i);
        endListTerm();
        orderGroups();
        return out_.join(QString());
    }

private:
    bool toSqlite() const { return target_ == SqlTarget::Sqlite; }

    qsizetype nextSignificantIndex(size_t i) const {
        for (size_t j = i + 1; j < tokens_.size(); ++j)
            if (tokens_[j].kind != JetTokenKind::Space)
                return qsizetype(j);
        return -1;
    }

    const JetToken* nextSignificant(size_t i) const {
        const qsizetype j = nextSignificantIndex(i);
        return j < 0 ? nullptr : &tokens_[size_t(j)];
    }

    // Brackets and the closing quote of the old literals kept names and literals apart that
    // PostgreSQL's spelling would run together ("[a][b]" is not "a""b", "[a]b" not "ab").
    void keepApart(const QString& text) {
        if (toSqlite() || out_.isEmpty() || out_.back().isEmpty() || text.isEmpty())
            return;
        const QChar before = out_.back().back();
        const QChar after = text.front();
        if ((isWordChar(before) && isWordChar(after)) ||
            (before == after && (after == u'\'' || after == u'"')))
            out_ << u" "_s;
    }

    void emitSignificant(const QString& text, bool identifier) {
        keepApart(text);
        lastSignificant_ = out_.size();
        out_ << text;
        previousSignificant_.push_back(identifier ? out_.size() - 1 : -1);
        if (inListClause_) {
            termIdentifier_ = identifier ? out_.size() - 1 : -1;
            if (!termHasTokens_) {
                termStart_ = out_.size() - 1;
                termIsName_ = true;
            }
            termHasTokens_ = true;
            termIsName_ = termIsName_ && identifier;
        }
    }

    // SQLite only: PostgreSQL's text columns compare without case themselves.
    void addCollationAfter(qsizetype outIndex) {
        if (toSqlite() && outIndex >= 0)
            out_[outIndex] += collateNoCase;
    }

    void endListTerm() {
        if (inListClause_) {
            if (toSqlite()) {
                addCollationAfter(termIdentifier_);
            } else if (termHasTokens_ && orderList_ && !leftOpen_) {
                out_[lastSignificant_] += termDescending_ ? u" NULLS LAST"_s : u" NULLS FIRST"_s;
            } else if (termHasTokens_ && listDepth_ == 0) {
                // Only names are repeated in the ORDER BY: a term with a literal or an
                // expression is left to the server's order.
                groupsOrderable_ = groupsOrderable_ && termIsName_;
                QString term;
                for (qsizetype k = termStart_; k <= lastSignificant_; ++k)
                    term += out_[k];
                groupTerms_ << term;
            }
        }
        termIdentifier_ = -1;
        termHasTokens_ = false;
        termDescending_ = false;
    }

    // The old engine returned groups in order, Null first; PostgreSQL needs to be asked.
    void orderGroups() {
        if (toSqlite() || groupTerms_.isEmpty() || !groupsOrderable_ || topLevelOrder_ ||
            topLevelUnion_ || leftOpen_)
            return;
        QStringList terms;
        for (const QString& term : groupTerms_)
            terms << term + u" NULLS FIRST"_s;
        const QString order = u" ORDER BY "_s + terms.join(u", "_s);
        if (orderInsertAt_ < 0)
            out_ << order;
        else
            out_.insert(orderInsertAt_, order);
    }

    // Where an ORDER BY of the groups would go: before the first top-level ";" or LIMIT after
    // the GROUP BY.
    void noteEndOfGroupedPart() {
        if (depth_ == 0 && sawTopLevelGroup_ && orderInsertAt_ < 0)
            orderInsertAt_ = out_.size();
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
                // statement with another meaning. Left open, the engine refuses it too.
                QString open = sqliteStringLiteral(unquoteJetLiteral(t));
                open.chop(1);
                leftOpen_ = true;
                emitSignificant(open, false);
                return;
            }
            emitSignificant(sqliteStringLiteral(unquoteJetLiteral(t)) +
                                (toSqlite() ? collateNoCase : QString()),
                            false);
            return;
        case JetTokenKind::Bracketed:
            if (dropsQualifier(t, i))
                return;
            leftOpen_ = leftOpen_ || !t.text.endsWith(u']');
            emitSignificant(toSqlite() ? t.text : postgresName(t), true);
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
            // The separator belongs to neither term.
            emitSignificant(t.text, false);
            termHasTokens_ = false;
            termIdentifier_ = -1;
            return;
        } else if (t.text == u";") {
            leaveListClause();
            noteEndOfGroupedPart();
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

    // "x COLLATE NOCASE" is case-blind already in PostgreSQL's text columns.
    bool dropsNoCaseCollation(const JetToken& t, size_t i) {
        if (toSqlite() || !isWord(t, "collate"))
            return false;
        const qsizetype next = nextSignificantIndex(i);
        if (next < 0 || !isWord(tokens_[size_t(next)], "nocase"))
            return false;
        skipThrough_ = next;
        return true;
    }

    void emitWord(const JetToken& t, size_t i) {
        if (dropsQualifier(t, i) || dropsNoCaseCollation(t, i))
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
            if (toSqlite()) {
                endListTerm();
            } else {
                termDescending_ = isWord(t, "desc");
            }
            emitSignificant(t.text, false);
            return;
        }
        if (inListClause_ && endsListClause(t))
            leaveListClause();
        if (isWord(t, "limit"))
            noteEndOfGroupedPart();
        if (depth_ == 0 && isWord(t, "union"))
            topLevelUnion_ = true;
        if (isWord(t, "in")) {
            const JetToken* next = nextSignificant(i);
            if (next && isSymbol(*next, "("))
                addCollationAfter(operandBeforeIn());
        }
        if (isWord(t, "by") && previousWordIsOrderOrGroup()) {
            orderList_ = lastWord_ == u"order";
            if (depth_ == 0) {
                topLevelOrder_ = topLevelOrder_ || orderList_;
                sawTopLevelGroup_ = sawTopLevelGroup_ || !orderList_;
            }
            emitSignificant(t.text, false);
            inListClause_ = true;
            listDepth_ = depth_;
            termIdentifier_ = -1;
            termHasTokens_ = false;
            termDescending_ = false;
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
    SqlTarget target_;
    QStringList out_;
    std::vector<qsizetype> previousSignificant_; // per significant token: out index if a name
    bool overActiveView_ = false;
    bool inCondition_ = false;
    qsizetype lastSignificant_ = -1; // out index of the last token that is not a blank
    bool skipNextDot_ = false;
    qsizetype skipThrough_ = -1; // tokens up to this index are dropped
    bool inListClause_ = false;
    bool orderList_ = false; // the list clause is ORDER BY, not GROUP BY
    int depth_ = 0;
    int listDepth_ = 0;
    qsizetype termIdentifier_ = -1;
    bool termHasTokens_ = false;
    qsizetype termStart_ = -1;
    bool termDescending_ = false;
    bool termIsName_ = false;
    bool groupsOrderable_ = true;
    bool leftOpen_ = false;  // a literal or a bracket runs to the end of the statement
    QStringList groupTerms_; // top-level GROUP BY terms as written out
    bool sawTopLevelGroup_ = false;
    bool topLevelOrder_ = false;
    bool topLevelUnion_ = false;
    qsizetype orderInsertAt_ = -1;
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

QString translateJet(const QString& statement, SqlTarget target) {
    return Translator(tokenizeJet(statement), target).run();
}

QString translateJetToSqlite(const QString& statement) {
    return translateJet(statement, SqlTarget::Sqlite);
}

QString translateJetToPostgreSql(const QString& statement) {
    return translateJet(statement, SqlTarget::PostgreSql);
}

} // namespace tarnwick
