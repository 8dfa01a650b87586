#include "profile/AssistantValues.h"
#include "profile/AssistantMode.h"

#include "catalogue/RecordSet.h"
#include "support/QtPrinting.h"

#include <gtest/gtest.h>
#include <QVariantMap>

using namespace tarnwick;
using namespace Qt::StringLiterals;

namespace {

// One photo's record as the catalogue returns it.
RecordSet photo(const QString& label, const QVariantMap& fields) {
    QVariantMap all{{u"BookLabel"_s, label.section(u'/', 0, 0)},
                    {u"PhotoLabel"_s, label.section(u'/', 1)}};
    for (int k = 1; k <= 7; ++k)
        all.insert(u"TonsPerAcreBreak%1"_s.arg(k), 0.0);
    for (const QString& field :
         {u"AverageDuffDepth"_s, u"AverageFuelbedDepth"_s, u"HerbTonsPerAcre"_s,
          u"WoodyTonsPerAcre"_s, u"VegType"_s, u"Activity"_s})
        all.insert(field, QVariant());
    all.insert(fields);
    RecordSet set(u"test"_s, all.keys());
    for (const QVariant& value : all)
        set.appendValue(value);
    return set;
}

const QRgb red = qRgb(255, 0, 0);
const QRgb blue = qRgb(0, 0, 255);

} // namespace

TEST(FuelProfile, ANewProfileShowsZerosAndNoSources) {
    const FuelProfile fresh;
    const ProfileColumn shown = profileColumn(fresh);
    EXPECT_EQ(QStringList({shown.zeroToThree, shown.threePlus, shown.duff, shown.fuelBed,
                           shown.herb, shown.woody}),
              QStringList(6, u"0.0"_s));
    EXPECT_EQ(shown.total, u"0"_s);
    EXPECT_EQ(fresh.name, u"Untitled"_s);
    EXPECT_TRUE(fresh.source0to3.isEmpty() && fresh.duffSource.isEmpty() &&
                fresh.woodySource.isEmpty());
    EXPECT_EQ(assistantTitle(u"Untitled"_s), u"Tarnwick Assistant[Untitled]"_s);
    EXPECT_EQ(assistantTitle(u"/home/p/site.pr3"_s), u"Tarnwick Assistant[/home/p/site.pr3]"_s);
}

TEST(FuelProfile, ValuesAreTakenAsTheirComponentKeepsThem) {
    const RecordSet fine = photo(u"PNW-1/7-PP-12"_s, {{u"TonsPerAcreBreak1"_s, 0.04},
                                                      {u"TonsPerAcreBreak2"_s, 0.16},
                                                      {u"TonsPerAcreBreak3"_s, 0.33},
                                                      {u"TonsPerAcreBreak4"_s, 2.26},
                                                      {u"AverageDuffDepth"_s, -1.0},
                                                      {u"AverageFuelbedDepth"_s, 1.0},
                                                      {u"HerbTonsPerAcre"_s, 1.0},
                                                      {u"WoodyTonsPerAcre"_s, 12.25}});
    const PhotoColumn current = photoColumn(fine);
    EXPECT_EQ(current.photo, u"PNW-1/7-PP-12"_s);
    EXPECT_EQ(current.duff, u"no data"_s);
    EXPECT_EQ(current.fuelBed, u"1.0"_s);

    FuelProfile profile;
    for (int c = 0; c < profileComponentCount; ++c)
        takeProfileValue(profile, ProfileComponent(c), current, fine);
    // The three raw class loadings, not their rounded sum.
    EXPECT_EQ(profile.break1, 0.04);
    EXPECT_EQ(profile.break2, 0.16);
    EXPECT_EQ(profile.break3, 0.33);
    EXPECT_EQ(profile.value3Plus, 2.3); // the one-decimal display of 2.26
    EXPECT_EQ(profile.duffValue, u"N/A"_s);
    EXPECT_EQ(profile.fuelBedValue, u"1.0"_s); // as displayed
    EXPECT_EQ(profile.herbValue, u"1"_s);      // the displayed number written out
    EXPECT_EQ(profile.woodyValue, u"12.3"_s);
    EXPECT_EQ(profile.herbSource, u"PNW-1/7-PP-12"_s);
    EXPECT_EQ(profile.source0to3, u"PNW-1/7-PP-12"_s);

    const ProfileColumn shown = profileColumn(profile);
    EXPECT_EQ(shown.zeroToThree, u"0.5"_s); // 0.53
    EXPECT_EQ(shown.threePlus, u"2.3"_s);
    EXPECT_EQ(shown.total, u"2.8"_s); // 0.5 + 2.3, the two displays
    EXPECT_EQ(shown.duff, u"N/A"_s);
    EXPECT_EQ(shown.herb, u"1.0"_s);
    profile.herbValue = u"-1"_s;
    EXPECT_EQ(profileColumn(profile).herb, u"no data"_s);

    // Every class loaded, each twice the one before, so no class can go missing from a sum
    // unseen; a duff of exactly 0 is a value, not "no data"; a fuel bed of 2 keeps its decimal.
    const RecordSet full = photo(u"PNW-2/3-LP-4"_s, {{u"TonsPerAcreBreak1"_s, 0.1},
                                                     {u"TonsPerAcreBreak2"_s, 0.2},
                                                     {u"TonsPerAcreBreak3"_s, 0.4},
                                                     {u"TonsPerAcreBreak4"_s, 1.6},
                                                     {u"TonsPerAcreBreak5"_s, 3.2},
                                                     {u"TonsPerAcreBreak6"_s, 6.4},
                                                     {u"TonsPerAcreBreak7"_s, 12.8},
                                                     {u"AverageDuffDepth"_s, 0.0},
                                                     {u"AverageFuelbedDepth"_s, 2.0}});
    FuelProfile whole;
    for (int c = 0; c < profileComponentCount; ++c)
        takeProfileValue(whole, ProfileComponent(c), photoColumn(full), full);
    EXPECT_EQ(whole.value3Plus, 24.0);
    EXPECT_EQ(whole.duffValue, u"0.0"_s);
    EXPECT_EQ(whole.fuelBedValue, u"2.0"_s);
    const ProfileColumn wholeShown = profileColumn(whole);
    EXPECT_EQ(wholeShown.zeroToThree, u"0.7"_s);
    EXPECT_EQ(wholeShown.threePlus, u"24.0"_s);
    EXPECT_EQ(wholeShown.total, u"24.7"_s);
    EXPECT_EQ(wholeShown.duff, u"0.0"_s);
    EXPECT_EQ(wholeShown.fuelBed, u"2.0"_s);
}

TEST(ComparisonAssistant, TheLargerValueIsRedTheSmallerBlueAndTiesFavourNeither) {
    const RecordSet first = photo(u"B/1"_s, {{u"HerbTonsPerAcre"_s, 1.2},
                                             {u"WoodyTonsPerAcre"_s, 0.4},
                                             {u"AverageDuffDepth"_s, 2.0},
                                             {u"AverageFuelbedDepth"_s, -1.0},
                                             {u"TonsPerAcreBreak1"_s, 3.0}});
    const RecordSet second = photo(u"B/2"_s, {{u"HerbTonsPerAcre"_s, 0.4},
                                              {u"WoodyTonsPerAcre"_s, 1.2},
                                              {u"AverageDuffDepth"_s, 2.0},
                                              {u"AverageFuelbedDepth"_s, 5.0},
                                              {u"TonsPerAcreBreak4"_s, 1.25}});
    const ComparisonTab tab = comparisonTab(first, second);
    const auto expect = [&](ComparedRow row, const char* text, QRgb colour0, QRgb colour1) {
        EXPECT_EQ(tab.difference(row).text, QString::fromLatin1(text)) << int(row);
        EXPECT_EQ(tab.difference(row).colours[0], colour0) << int(row);
        EXPECT_EQ(tab.difference(row).colours[1], colour1) << int(row);
    };
    expect(ComparedRow::Herb, "0.8", red, blue);
    expect(ComparedRow::Woody, "0.8", blue, red);
    expect(ComparedRow::Duff, "0.0", blue, red);     // a tie
    expect(ComparedRow::FuelBed, "N/A", blue, blue); // photo 0 has no data
    expect(ComparedRow::ZeroToThree, "3.0", red, blue);
    expect(ComparedRow::ThreePlus, "1.3", blue, red); // 1.25 shown as 1.3
    expect(ComparedRow::Total, "1.7", red, blue);

    // With one photo the empty column counts as 0.
    const ComparisonTab alone = comparisonTab(RecordSet(), second);
    EXPECT_TRUE(alone.photos[0].photo.isEmpty());
    EXPECT_EQ(alone.difference(ComparedRow::FuelBed).text, u"5.0"_s);
    EXPECT_EQ(alone.difference(ComparedRow::FuelBed).colours[1], red);
    EXPECT_EQ(alone.difference(ComparedRow::ZeroToThree).colours[1], red); // 0 against 0
    // The current-photo column falls back to slot 0 only when the current slot is empty.
    EXPECT_EQ(currentPhotoColumn(alone, 1).photo, u"B/2"_s);
    EXPECT_EQ(currentPhotoColumn(comparisonTab(first, RecordSet()), 1).photo, u"B/1"_s);
}

TEST(AssistantModes, EveryOpeningAndClosingOfTheTwoAssistants) {
    AssistantModes modes;
    EXPECT_TRUE(applyAssistantMode(modes).hideWindow);
    EXPECT_FALSE(applyAssistantMode(modes).menuEnabled);

    EXPECT_TRUE(openComparisonAssistant(modes)); // nothing was open: show the window
    EXPECT_TRUE(modes.comparison && !modes.builder);
    AssistantLayout layout = applyAssistantMode(modes);
    EXPECT_EQ(layout.currentTab, 0);
    EXPECT_EQ(layout.builderTabEnabled, false);
    EXPECT_EQ(layout.buttonPressed, true);

    EXPECT_TRUE(toggleProfileBuilder(modes));
    EXPECT_TRUE(modes.comparison && modes.builder);
    layout = applyAssistantMode(modes);
    EXPECT_EQ(layout.comparisonTabEnabled, true);
    EXPECT_EQ(layout.builderTabEnabled, true);
    EXPECT_FALSE(layout.currentTab.has_value());

    // One of two closes: the flag is set, so the button is left as it was, then cleared.
    closeComparisonAssistant(modes);
    EXPECT_TRUE(!modes.comparison && modes.builder);
    EXPECT_TRUE(modes.hidden);
    layout = applyAssistantMode(modes);
    EXPECT_EQ(layout.currentTab, 1);
    EXPECT_EQ(layout.comparisonTabEnabled, false);
    EXPECT_EQ(layout.menuChecked, true);
    EXPECT_FALSE(layout.buttonPressed.has_value());
    EXPECT_FALSE(modes.hidden);

    EXPECT_FALSE(openComparisonAssistant(modes)); // the window is already there
    EXPECT_TRUE(modes.comparison && modes.builder);
    EXPECT_FALSE(toggleProfileBuilder(modes));
    EXPECT_TRUE(modes.comparison && !modes.builder);
    EXPECT_TRUE(modes.hidden);
    layout = applyAssistantMode(modes);
    EXPECT_FALSE(layout.buttonPressed.has_value());
    EXPECT_FALSE(layout.menuChecked.has_value());
    closeComparisonAssistant(modes);
    EXPECT_TRUE(!modes.comparison && !modes.builder);
    EXPECT_TRUE(applyAssistantMode(modes).hideWindow);
}
