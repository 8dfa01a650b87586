#pragma once

#include <QByteArray>
#include <QString>

namespace tarnwick {

// The code page every text file of the suite is written in (code lists, profiles, the analyst
// file list): Windows-1252, where bytes 0x80 to 0x9F hold the euro sign, curly quotes, dashes
// and a few letters rather than Latin-1's control characters. The five bytes the code page
// leaves undefined read as the control characters of the same number, so any file reads and
// writes back byte for byte.
QString decodeWindows1252(const QByteArray& bytes);

struct EncodedText {
    QByteArray bytes;
    // The characters the code page cannot hold, each once, in the order met; each was written
    // as "?". Empty when the text reads back exactly.
    QString unrepresentable;

    bool isExact() const { return unrepresentable.isEmpty(); }
};

// Never loses a character silently: what cannot be written is named in the result, and the
// caller tells the user or refuses to write.
EncodedText encodeWindows1252(const QString& text);

} // namespace tarnwick
