#include <gtest/gtest.h>
#include <iconv.h>

#include "model/encoding.h"

namespace tessara {
namespace {

// The system's converter as a reference for every byte of the code page.
std::string IconvToUtf8(const std::string& in) {
    iconv_t cd = iconv_open("UTF-8", "CP1251");
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    std::string out(16, '\0');
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (r == static_cast<size_t>(-1)) return {};
    out.resize(out.size() - dstLeft);
    return out;
}

TEST(Encoding, EveryByteMatchesTheCodePage) {
    for (int b = 1; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string utf8 = Cp1251ToUtf8(byte);
        const std::string reference = IconvToUtf8(byte);
        if (!reference.empty()) {
            EXPECT_EQ(utf8, reference) << b;
        }
        EXPECT_EQ(Utf8ToCp1251(utf8), byte) << b;
    }
}

TEST(Encoding, TextsAndCase) {
    EXPECT_EQ(Utf8ToCp1251("Тираж №5"), "\xD2\xE8\xF0\xE0\xE6 \xB9" "5");
    EXPECT_EQ(Utf8ToCp1251("日本"), "??");
    EXPECT_EQ(Utf8ToCp1251("a\xC3"), "a?");  // a cut sequence
    EXPECT_EQ(Utf8Length("Ёжик"), 4u);
    EXPECT_EQ(Utf8Left("Ёжик", 2), "Ёж");
    EXPECT_EQ(Utf8ToLower("ЁЖИК Abc Їё"), "ёжик abc їё");
    EXPECT_TRUE(SameTextIgnoreCase("МАРТА", "марта"));
    EXPECT_FALSE(SameTextIgnoreCase("март", "марта"));
    EXPECT_EQ(Trim("\t x y \r"), "x y");
}

}  // namespace
}  // namespace tessara
