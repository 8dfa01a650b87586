#include "query/QueryControls.h"

#include <gtest/gtest.h>

using namespace tarnwick;
using namespace Qt::StringLiterals;

// The wordings the pane's tests do not reach through the widgets.
TEST(QueryControls, ModelListCaptionsAndSearchKinds) {
    for (CaptionEvent event : {CaptionEvent::RowToggled, CaptionEvent::ClosedByButton}) {
        EXPECT_EQ(codeListCaption(CodeListId::DangerRating, event, 3), u"3 Models Selected"_s);
        EXPECT_EQ(codeListCaption(CodeListId::DangerRating, event, 0),
                  u"All Danger Rating Models"_s);
        EXPECT_EQ(codeListCaption(CodeListId::FireBehaviour, event, 12), u"12 Models Selected"_s);
        EXPECT_EQ(codeListCaption(CodeListId::FireBehaviour, event, 0),
                  u"All Fire Behavior Models"_s);
        EXPECT_EQ(codeListCaption(CodeListId::Vegetation, event, 2), u"2 Veg Types Selected"_s);
    }
    EXPECT_EQ(codeListCaption(CodeListId::DangerRating, CaptionEvent::CriteriaReset, 0),
              u"All Danger Models"_s);
    EXPECT_EQ(codeListCaption(CodeListId::Activity, CaptionEvent::CriteriaReset, 0),
              u"All Activity Types"_s);

    EXPECT_EQ(searchKindOfPage(0, false, false), QueryKind::Books);
    EXPECT_EQ(searchKindOfPage(2, false, false), QueryKind::SizeClassLoading);
    EXPECT_EQ(searchKindOfPage(3, false, false), QueryKind::LiveLoading);
    EXPECT_EQ(searchKindOfPage(4, true, true), QueryKind::FuelModels);
    EXPECT_FALSE(searchKindOfPage(4, true, false).has_value());
    EXPECT_FALSE(searchKindOfPage(4, false, true).has_value());

    EXPECT_EQ(queryPageCaptions().at(2), u"Query by DDW 0\"-3\" and 3.1\"+ Loading"_s);
}
