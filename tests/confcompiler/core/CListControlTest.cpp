// The control id list: ids in document order, IndexOf with its rules (id 0 never found, the
// first of equal ids wins, negative ids, low 16 bits), built from a document or from ids.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "CListControl.h"
#include "CXMLDOM.h"

namespace {

constexpr uint16_t kNone = 0xFFFF;

TEST(CListControlTest, AnEmptyListFindsNothing) {
    const CListControl list;
    EXPECT_EQ(list.Count(), 0);
    for (int id : {0, 1, -1, 0xFFFF}) {
        EXPECT_EQ(list.IndexOf(id), kNone) << id;
    }
}

TEST(CListControlTest, IndexOfFollowsTheRules) {
    const std::array<int16_t, 6> ids{5, 9, 0, -5, 9, 32767};
    const CListControl list(ids);
    EXPECT_EQ(list.Count(), 6);
    EXPECT_EQ(list.IndexOf(5), 0);
    EXPECT_EQ(list.IndexOf(9), 1);      // the first of two
    EXPECT_EQ(list.IndexOf(0), kNone);  // even though the third control has id 0
    EXPECT_EQ(list.IndexOf(-5), 3);
    EXPECT_EQ(list.IndexOf(32767), 5);
    EXPECT_EQ(list.IndexOf(7), kNone);
    // Only the low 16 bits are compared.
    EXPECT_EQ(list.IndexOf(65531), 3);
    EXPECT_EQ(list.IndexOf(65536 + 5), 0);
    EXPECT_EQ(list.IndexOf(65536), kNone);
    EXPECT_EQ(list.IdAt(3), -5);
    EXPECT_EQ(list.IdAt(6), 0);
}

class CListControlBuildTest : public ::testing::Test {
protected:
    XmlNode Controls(std::string_view formName) {
        XmlNode form = document_.FindNode(document_.GetFirstNode(), formName);
        return document_.FindChild(form, "controls");
    }
    bool Load(std::string_view xml) { return document_.LoadMemory(xml); }
    CXMLDOM document_;
};

TEST_F(CListControlBuildTest, ReadsTheIdsOfTheControlChildrenInDocumentOrder) {
    ASSERT_TRUE(Load(R"(<?xml version="1.0" encoding="windows-1251"?>
<quillora>
  <form name="a">
    <controls>
      <control id="5"/>
      <!-- a comment is no control -->
      <Control id="9"/>
      <control type="label"/>
      <item id="7"/>
      <control id="-5"><control id="8"/></control>
      <CONTROL id="9"/>
      <control id="70000"/>
    </controls>
  </form>
</quillora>)"));
    CListControl list;
    EXPECT_EQ(list.Build(document_, Controls("form")), 6);
    ASSERT_EQ(list.Count(), 6);
    const std::array<int16_t, 6> expected{5, 9, 0, -5, 9, static_cast<int16_t>(70000 - 65536)};
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(list.IdAt(i), expected[i]) << i;
    }
    EXPECT_EQ(list.IndexOf(9), 1);
    EXPECT_EQ(list.IndexOf(0), kNone);
    EXPECT_EQ(list.IndexOf(-5), 3);
    EXPECT_EQ(list.IndexOf(7), kNone);  // not a control
    EXPECT_EQ(list.IndexOf(8), kNone);  // not a child of controls
    EXPECT_EQ(list.IndexOf(70000), 5);
}

TEST_F(CListControlBuildTest, NoControlsGiveAnEmptyList) {
    ASSERT_TRUE(Load("<quillora><form><controls/></form><frame/></quillora>"));
    const std::array<int16_t, 2> ids{1, 2};
    CListControl list(ids);
    EXPECT_EQ(list.Build(document_, Controls("form")), 0);
    EXPECT_EQ(list.IndexOf(1), kNone);
    list = CListControl(ids);
    EXPECT_EQ(list.Build(document_, Controls("frame")), 0);  // no controls element: null
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Build(document_, nullptr), 0);
}

TEST_F(CListControlBuildTest, BuildingAgainReplacesTheIds) {
    ASSERT_TRUE(Load(R"(<quillora>
  <form><controls><control id="1"/><control id="2"/></controls></form>
  <form2><controls><control id="3"/></controls></form2>
</quillora>)"));
    CListControl list;
    EXPECT_EQ(list.Build(document_, Controls("form")), 2);
    EXPECT_EQ(list.Build(document_, Controls("form2")), 1);
    EXPECT_EQ(list.IndexOf(3), 0);
    EXPECT_EQ(list.IndexOf(1), kNone);
}

// A form of the most controls a form may hold, ids descending with repeats and wrapped
// values: every id is found where a walk of the list finds it first.
TEST(CListControlTest, IndexOfOfALargeListAgreesWithAWalkOfIt) {
    std::vector<int16_t> ids;
    for (int i = 0; i < 882; ++i) {
        ids.push_back(static_cast<int16_t>(i % 7 == 3 ? 40 : 900 - i * 37 % 1000));
    }
    const CListControl list(ids);
    for (int id = -1100; id <= 1100; ++id) {
        uint16_t walked = kNone;
        for (size_t i = 0; i < ids.size() && id != 0; ++i) {
            if (static_cast<uint16_t>(ids[i]) == static_cast<uint16_t>(id)) {
                walked = static_cast<uint16_t>(i);
                break;
            }
        }
        ASSERT_EQ(list.IndexOf(id), walked) << id;
    }
}

}  // namespace
