#include "text/Windows1252.h"

#include <array>
#include <optional>

namespace tarnwick {

namespace {

// Bytes 0x80 to 0x9F; the undefined ones (0x81, 0x8D, 0x8F, 0x90, 0x9D) keep their own number.
constexpr std::array<char16_t, 32> upperControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::optional<char> byteOf(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (size_t i = 0; i < upperControls.size(); ++i)
        if (upperControls[i] == c)
            return char(0x80 + i);
    return std::nullopt;
}

} // namespace

QString decodeWindows1252(const QByteArray& bytes) {
    QString text;
    text.resize(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text[i] = QChar(byte >= 0x80 && byte < 0xA0 ? upperControls[byte - 0x80] : char16_t(byte));
    }
    return text;
}

EncodedText encodeWindows1252(const QString& text) {
    EncodedText encoded;
    encoded.bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const std::optional<char> byte = byteOf(text[i].unicode());
        if (byte) {
            encoded.bytes.append(*byte);
            continue;
        }
        // A character outside the basic plane is two halves but one character.
        const bool pair =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const QString character = text.mid(i, pair ? 2 : 1);
        if (!encoded.unrepresentable.contains(character))
            encoded.unrepresentable += character;
        encoded.bytes.append('?');
        if (pair)
            ++i;
    }
    return encoded;
}

} // namespace tarnwick
