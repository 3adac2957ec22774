#include <gtest/gtest.h>

#include "model/error.h"
#include "online/base64.h"
#include "online/markers.h"

namespace tessara {
namespace {

TEST(Markers, ExtractBetweenFindsTrimsAndUnquotes) {
    struct Case {
        const char* text;
        const char* start;
        const char* end;
        TMarkerMode mode;
        const char* want;
    };
    const Case cases[] = {
        {"<TD> \t42\r\n</td>", "<td>", "</TD>", TMarkerMode::Raise, "42"},  // Latin case ignored
        {"Итог: 5; ИТОГ: 6;", "ИТОГ:", ";", TMarkerMode::Raise, "6"},       // Cyrillic exact
        {"a=\"x\"\"y\"z\";", "a=", ";", TMarkerMode::Raise, "x\"yz"},        // doubled and lone quotes
        {"a= \"\" ;", "a=", ";", TMarkerMode::Raise, ""},
        {"a=\"only one;", "a=", ";", TMarkerMode::Raise, "\"only one"},  // not quoted on both ends
        {"no start here", "<b>", "</b>", TMarkerMode::Raise, ""},
        {"<b> rest", "<b>", "", TMarkerMode::Raise, "rest"},           // empty end: to the end
        {"<b> rest", "<b>", "</b>", TMarkerMode::Empty, ""},
        {"<b> rest ", "<b>", "</b>", TMarkerMode::Rest, "rest"},
        {"<b>1</b><b>2</b>", "<b>", "</b>", TMarkerMode::Raise, "1"},  // first occurrence
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExtractBetween(c.text, c.start, c.end, c.mode), c.want) << c.text;
}

TEST(Markers, MissingEndInRaiseModeQuotesTheWholeText) {
    try {
        ExtractBetween("<p>page text", "<p>", "</p>", TMarkerMode::Raise);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(),
                     "Не удалось найти пару идентификаторов \"<p>\" - \"</p>\" в тексте\r\r"
                     "[<p>page text]!");
    }
}

TEST(Markers, CutBetweenConsumesUpToTheEndMarker) {
    std::string text = "x<i>1</i>y<I>2</I>z";
    EXPECT_EQ(CutBetween(text, "<i>", "</i>", TMarkerMode::Raise), "1");
    EXPECT_EQ(text, "y<I>2</I>z");
    EXPECT_EQ(CutBetween(text, "<i>", "</i>", TMarkerMode::Raise), "2");
    EXPECT_EQ(text, "z");
    EXPECT_EQ(CutBetween(text, "<i>", "</i>", TMarkerMode::Raise), "");
    EXPECT_EQ(text, "z");  // nothing found, nothing cut

    text = "<i>open";
    EXPECT_EQ(CutBetween(text, "<i>", "</i>", TMarkerMode::Empty), "");
    EXPECT_EQ(text, "<i>open");
    EXPECT_EQ(CutBetween(text, "<i>", "</i>", TMarkerMode::Rest), "open");
    EXPECT_EQ(text, "");
}

TEST(Markers, CutAtWalksFromOneMarkerToTheNext) {
    std::string text = "head<tr> a <TR>b<tr>c";
    EXPECT_EQ(CutAt(text, "<tr>"), "a");
    EXPECT_EQ(text, "<TR>b<tr>c");
    EXPECT_EQ(CutAt(text, "<tr>"), "b");
    EXPECT_EQ(CutAt(text, "<tr>"), "c");
    EXPECT_EQ(text, "");
    text = "no rows";
    EXPECT_EQ(CutAt(text, "<tr>"), "");
    EXPECT_EQ(text, "no rows");
}

TEST(Base64, RoundTripsAndSkipsForeignCharacters) {
    for (const std::string& s : std::vector<std::string>{"", "a", "ab", "abc", "abcd", std::string("\0\xff\x10", 3)})
        EXPECT_EQ(Base64Decode(Base64Encode(s)), s);
    EXPECT_EQ(Base64Encode("Man"), "TWFu");
    EXPECT_EQ(Base64Encode("Ma"), "TWE=");
    EXPECT_EQ(Base64Decode("TW\r\nFu"), "Man");
}

}  // namespace
}  // namespace tessara
