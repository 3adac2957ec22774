#include <gtest/gtest.h>

#include <vector>

#include "model/error.h"
#include "online/base64.h"
#include "online/server_rows.h"

namespace tessara {
namespace {

TEST(Base64Strict, RoundTripsEveryTailLengthAndRejectsDamage) {
    for (const std::string& s : std::vector<std::string>{"", "f", "fo", "foo", "foob", "fooba", "foobar",
                                std::string("\0\xff\x80 сценарий", 20)})
        EXPECT_EQ(Base64DecodeStrict(Base64Encode(s)), s);
    EXPECT_EQ(Base64Encode("foobar"), "Zm9vYmFy");
    EXPECT_EQ(Base64DecodeStrict("Zm9v\r\nYg=="), "foob");  // line breaks inside are skipped
    for (const char* bad : {"Zm9vY", "Zm9v!A==", "Z===", "Zg==Zg", "=Zm9"})
        EXPECT_THROW(Base64DecodeStrict(bad), Error) << bad;
}

TEST(EscapeText, EscapesQuotesQuestionMarksBackslashesAndControls) {
    EXPECT_EQ(EscapeText("a\"b'c?d\\e"), "a\\\"b\\'c\\?d\\\\e");
    EXPECT_EQ(EscapeText("1\r\n2"), "1\\r\\n2");
    EXPECT_EQ(EscapeText(std::string("\0\x06\x07\x1b\tх", 7)), "\\0\\6\\a\\e\\tх");
    const std::string all = std::string("\0\x01\x0b\x0c\x08 \"'?\\ конец\x1b", 18);
    EXPECT_EQ(UnescapeText(EscapeText(all)), all);
}

TEST(ServerRows, ReadsRowsElementsAndErrors) {
    const std::string answer =
        "junk<RESULT><row><id> 7 </id><Name>\"say \"\"hi\"\"\"</Name></row>"
        "<row><id>x</id></row><row><id>9</id></result>";
    const auto rows = ReadServerRows(answer);
    ASSERT_EQ(rows.size(), 2u);  // the row cut by </result> is no row
    EXPECT_EQ(RowIntStrict(rows[0], "id"), 7);
    EXPECT_EQ(RowElement(rows[0], "name"), "say \"hi\"");
    EXPECT_EQ(RowIntLenient(rows[1], "id"), 0);
    EXPECT_THROW(RowIntStrict(rows[1], "id"), Error);
    EXPECT_TRUE(ReadServerRows("<html>no result here</html>").empty());
    EXPECT_NO_THROW(CheckServerRows(rows));

    try {
        CheckServerRows(ReadServerRows(ServerErrorAnswer("Отказано")));
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Отказано");
    }
}

TEST(ServerRows, WriterKeepsMarkupOutOfPlainValues) {
    const std::string text = TServerRowsWriter()
                                 .Row()
                                 .Field("key_cl_name", "a</key_cl_name><error>x")
                                 .Base64Field("title", "<b>")
                                 .Text();
    const auto rows = ReadServerRows(text);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_NO_THROW(CheckServerRows(rows));
    EXPECT_EQ(RowElement(rows[0], "key_cl_name"), "a‹/key_cl_name›‹error›x");
    EXPECT_EQ(Base64DecodeStrict(RowElement(rows[0], "title")), "<b>");
}

}  // namespace
}  // namespace tessara
