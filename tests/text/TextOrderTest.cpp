#include "text/TextOrder.h"

#include "support/QtPrinting.h"

#include <gtest/gtest.h>
#include <QRandomGenerator>

using namespace tarnwick;

TEST(TextOrder, RanksFollowTheCollatorForEveryKindOfText) {
    // Catalogue-like texts of printable ASCII, and some that are not, each through its own path.
    QRandomGenerator random(20261208);
    const QString alphabet = QStringLiteral(" -./_,0123456789AaBbNnZz\"'()&+");
    for (const bool accented : {false, true}) {
        std::vector<QString> texts;
        for (int i = 0; i < 400; ++i) {
            QString text;
            const int length = random.bounded(i % 2 ? 6 : 40); // short and long texts
            for (int k = 0; k < length; ++k)
                text += alphabet[random.bounded(int(alphabet.size()))];
            if (accented && i % 7 == 0)
                text += QChar(0x00E9);
            texts.push_back(text);
        }
        const std::vector<quint32> ranks = textRanks(texts);
        const QCollator order = textOrder();
        for (size_t a = 0; a < texts.size(); a += 3)
            for (size_t b = 1; b < texts.size(); b += 5) {
                const int expected = order.compare(texts[a], texts[b]);
                const int got = ranks[a] < ranks[b] ? -1 : ranks[a] > ranks[b] ? 1 : 0;
                ASSERT_EQ(got, expected < 0   ? -1
                               : expected > 0 ? 1
                                              : 0)
                    << texts[a].toStdString() << " against " << texts[b].toStdString();
            }
    }
}
