#include "text/TextOrder.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <numeric>

namespace tarnwick {

QCollator textOrder() {
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

namespace {

constexpr char16_t firstPrintable = 0x20;
constexpr char16_t lastPrintable = 0x7e;

// The collator's order of the printable ASCII characters, as weights: without accents or
// ignorable characters among them, two such texts compare as their weights do, character by
// character, the shorter first when one begins the other.
struct AsciiWeights {
    AsciiWeights() {
        const QCollator order = textOrder();
        std::vector<char16_t> characters;
        for (char16_t c = firstPrintable; c <= lastPrintable; ++c)
            characters.push_back(c);
        const auto text = [](char16_t c) { return QString(QChar(c)); };
        std::stable_sort(characters.begin(), characters.end(), [&](char16_t a, char16_t b) {
            return order.compare(text(a), text(b)) < 0;
        });
        quint8 weight = 0;
        for (size_t i = 0; i < characters.size(); ++i) {
            if (i > 0 && order.compare(text(characters[i - 1]), text(characters[i])) != 0)
                ++weight;
            weights[characters[i]] = weight;
        }
    }

    int compare(const QString& a, const QString& b) const {
        const qsizetype common = std::min(a.size(), b.size());
        for (qsizetype i = 0; i < common; ++i) {
            const int difference = int(weights[a[i].unicode()]) - int(weights[b[i].unicode()]);
            if (difference != 0)
                return difference;
        }
        return int(a.size() > b.size()) - int(a.size() < b.size());
    }

    std::array<quint8, 128> weights{};
};

// A character of either kind of text, QString or UTF-8 bytes: any byte of a character beyond
// ASCII reads as 0x80 or more, so it fails the printable test as the character itself would.
char16_t unitAt(const QString& text, qsizetype i) {
    return text[i].unicode();
}
char16_t unitAt(const QByteArray& text, qsizetype i) {
    return quint8(text[i]);
}

template <typename Text> bool isPrintableAscii(const Text& text) {
    for (qsizetype i = 0; i < text.size(); ++i)
        if (unitAt(text, i) < firstPrintable || unitAt(text, i) > lastPrintable)
            return false;
    return true;
}

template <typename Compare> std::vector<quint32> ranksBy(size_t count, Compare compare) {
    std::vector<quint32> order(count);
    std::iota(order.begin(), order.end(), 0U);
    std::sort(order.begin(), order.end(), [&](quint32 a, quint32 b) { return compare(a, b) < 0; });
    std::vector<quint32> ranks(count);
    quint32 rank = 0;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0 && compare(order[i - 1], order[i]) != 0)
            ++rank;
        ranks[order[i]] = rank;
    }
    return ranks;
}

// Short texts of printable ASCII as one number each: their weights, one byte a character after
// a 0 that stands for "nothing more", so that comparing the numbers compares the texts.
using PackedText = std::array<quint64, 3>;
constexpr qsizetype packedLength = qsizetype(sizeof(PackedText));

template <typename Text> bool isPackable(const Text& text) {
    return text.size() <= packedLength && isPrintableAscii(text);
}

template <typename Text> PackedText packed(const Text& text, const AsciiWeights& weights) {
    PackedText key{};
    for (qsizetype i = 0; i < text.size(); ++i)
        key[size_t(i / 8)] |= quint64(weights.weights[unitAt(text, i)] + 1) << (56 - 8 * (i % 8));
    return key;
}

// Sorting the keys with their indexes side by side reads memory in order; sorting indexes by
// keys elsewhere would jump about for every comparison.
std::vector<quint32> packedRanks(const std::vector<PackedText>& keys) {
    std::vector<std::pair<PackedText, quint32>> sorted(keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        sorted[i] = {keys[i], quint32(i)};
    std::sort(sorted.begin(), sorted.end());
    std::vector<quint32> ranks(keys.size());
    quint32 rank = 0;
    for (size_t i = 0; i < sorted.size(); ++i) {
        if (i > 0 && sorted[i - 1].first != sorted[i].first)
            ++rank;
        ranks[sorted[i].second] = rank;
    }
    return ranks;
}

const AsciiWeights& asciiWeights() {
    static const AsciiWeights weights;
    return weights;
}

std::vector<quint32> unpackedRanks(const std::vector<QString>& texts) {
    const AsciiWeights& weights = asciiWeights();
    if (std::all_of(texts.begin(), texts.end(), isPrintableAscii<QString>))
        return ranksBy(texts.size(),
                       [&](quint32 a, quint32 b) { return weights.compare(texts[a], texts[b]); });
    const QCollator order = textOrder();
    std::vector<QCollatorSortKey> sortKeys;
    sortKeys.reserve(texts.size());
    for (const QString& text : texts)
        sortKeys.push_back(order.sortKey(text));
    return ranksBy(texts.size(),
                   [&](quint32 a, quint32 b) { return sortKeys[a].compare(sortKeys[b]); });
}

} // namespace

std::vector<quint32> textRanks(const std::vector<QString>& texts) {
    if (!std::all_of(texts.begin(), texts.end(), isPackable<QString>))
        return unpackedRanks(texts);
    std::vector<PackedText> keys;
    keys.reserve(texts.size());
    for (const QString& text : texts)
        keys.push_back(packed(text, asciiWeights()));
    return packedRanks(keys);
}

std::vector<quint32> textRanks(size_t count,
                               const std::function<void(size_t, QByteArray&)>& appendUtf8At) {
    QByteArray text;
    std::vector<PackedText> keys;
    keys.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        text.truncate(0); // keeps its room: no allocation per text
        appendUtf8At(i, text);
        if (!isPackable(text))
            break;
        keys.push_back(packed(text, asciiWeights()));
    }
    if (keys.size() == count)
        return packedRanks(keys);
    keys = {};
    std::vector<QString> texts;
    texts.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        text.truncate(0);
        appendUtf8At(i, text);
        texts.push_back(QString::fromUtf8(text));
    }
    return unpackedRanks(texts);
}

} // namespace tarnwick
