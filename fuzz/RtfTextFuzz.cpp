// Any text in a report: the rich text must keep its braces balanced, so the reader sees the
// document's structure, and give the text back as it went in. The document's title carries the
// text alone; a paragraph carries it too, for the balance of the body.
#include "document/ReportDocument.h"
#include "document/RtfWriter.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace tarnwick;

namespace {

[[noreturn]] void fail(const char* what, const QByteArray& rtf) {
    std::fprintf(stderr, "%s\n%s\n", what, rtf.left(4000).constData());
    std::abort();
}

// The text of the group that starts at "{\title ": plain characters, escaped symbols, \tab,
// \line and \uN with the one replacement character that \uc1 says follows it.
std::optional<QString> titleOf(const QByteArray& rtf) {
    const QByteArray start = "{\\title ";
    qsizetype i = rtf.indexOf(start);
    if (i < 0)
        return std::nullopt;
    i += start.size();
    QString text;
    while (i < rtf.size()) {
        const char c = rtf[i++];
        if (c == '}')
            return text;
        if (c == '{' || c == '\r' || c == '\n')
            return std::nullopt; // no group and no raw line end inside a title's text
        if (c != '\\') {
            if (uchar(c) >= 0x80)
                return std::nullopt; // the file is 7-bit
            text += QLatin1Char(c);
            continue;
        }
        if (i >= rtf.size())
            return std::nullopt;
        const char next = rtf[i];
        if (next == '\\' || next == '{' || next == '}') {
            text += QLatin1Char(next);
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < rtf.size() && std::isalpha(uchar(rtf[end])))
            ++end;
        const QByteArray word = rtf.mid(i, end - i);
        qsizetype digits = end;
        if (digits < rtf.size() && rtf[digits] == '-')
            ++digits;
        while (digits < rtf.size() && std::isdigit(uchar(rtf[digits])))
            ++digits;
        const QByteArray parameter = rtf.mid(end, digits - end);
        i = digits;
        if (i < rtf.size() && rtf[i] == ' ')
            ++i; // the delimiter of a control word
        if (word == "tab" && parameter.isEmpty()) {
            text += u'\t';
        } else if (word == "line" && parameter.isEmpty()) {
            text += u'\n';
        } else if (word == "u" && !parameter.isEmpty()) {
            text += QChar(char16_t(parameter.toInt()));
            if (i >= rtf.size() || rtf[i] == '\\' || rtf[i] == '{' || rtf[i] == '}')
                return std::nullopt; // the replacement a reader skips is missing
            ++i;
        } else {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

// What a title can hold: line breaks as one kind, no other control characters.
QString expectedOf(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    QString kept;
    for (const QChar c : text)
        if (c == u'\t' || c == u'\n' || (c.unicode() >= 0x20 && c.unicode() != 0x7f))
            kept += c;
    return kept;
}

bool balanced(const QByteArray& rtf) {
    int depth = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\')
            ++i; // an escaped character, or the first letter of a control word
        else if (rtf[i] == '{')
            ++depth;
        else if (rtf[i] == '}' && --depth < 0)
            return false;
    }
    return depth == 0;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    ReportDocument document;
    document.startDocument();
    document.printParagraph(text.left(300));
    document.endDocument();
    const QByteArray rtf = writeRtf(document, text);
    if (!rtf.startsWith("{\\rtf1") || !balanced(rtf))
        fail("the braces do not balance", rtf);
    const std::optional<QString> title = titleOf(rtf);
    if (!title)
        fail("the title is no plain escaped text", rtf);
    if (*title != expectedOf(text))
        fail("the title reads back otherwise", rtf);
    return 0;
}
