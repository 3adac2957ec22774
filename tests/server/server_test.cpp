#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <fmt/format.h>

#include "archive_pages.h"
#include "model/draw_archive.h"
#include "online/base64.h"
#include "online/server_rows.h"
#include "server_support.h"

namespace tessara::test {
namespace {

using Fields = httplib::Params;

struct User {
    std::string Name, Mail, HwdId;
};
const User Anna{"Анна", "anna@example.org", "install-anna"};
const User Boris{"Борис", "boris@example.org", "install-boris"};

Fields With(const User& u, Fields f) {
    f.emplace("appid", ApplicationId);
    f.emplace("appver", "1.2.3.4");
    f.emplace("hwdid", u.HwdId);
    f.emplace("cl_name", EscapeText(u.Name));
    f.emplace("cl_mail", EscapeText(u.Mail));
    f.emplace("cl_lcid", "1049");
    return f;
}

class ServerTest : public ::testing::Test {
protected:
    std::string Post(const std::string& path, const Fields& f) {
        auto res = client_.Post(("/scripts/" + path).c_str(), f);
        if (!res) return "<no answer>";
        EXPECT_EQ(res->status, 200) << path;
        return res->body;
    }
    std::vector<std::string> Rows(const std::string& path, const Fields& f) {
        return ReadServerRows(Post(path, f));
    }
    // The error text of a refused request, "" when it was accepted.
    std::string Refusal(const std::string& path, const Fields& f) {
        for (const auto& row : Rows(path, f))
            if (!RowElement(row, "error").empty()) return RowElement(row, "error");
        return {};
    }
    int Publish(const User& u, const std::string& title, int id = -1, bool pub = true,
                const std::string& script = "FILTER SUMS\r\nFILTER NUMS") {
        const auto rows = Rows("scr_putscript.php",
                               With(u, {{"del_mode", "0"},
                                        {"scr_id", std::to_string(id)},
                                        {"scr_uniapps", "0"},
                                        {"scr_publics", pub ? "1" : "0"},
                                        {"scr_title", EscapeText(title)},
                                        {"scr_descr", EscapeText("описание")},
                                        {"scr_script", EscapeText(script)}}));
        if (rows.empty() || !RowElement(rows.back(), "error").empty()) return -1;
        return RowIntStrict(rows.back(), "id_scripts");
    }
    std::string Delete(const User& u, int id) {
        return Refusal("scr_putscript.php",
                       With(u, {{"del_mode", "1"}, {"scr_id", std::to_string(id)}}));
    }
    std::vector<std::string> List(const User& u, int filter) {
        return Rows("scr_getlist.php", With(u, {{"fltid", std::to_string(filter)}}));
    }
    std::vector<int> ListIds(const User& u, int filter) {
        std::vector<int> ids;
        for (const auto& row : List(u, filter)) ids.push_back(RowIntStrict(row, "id"));
        return ids;
    }
    int Rate(const User& u, int id, int value, const std::string& notes = {}) {
        const auto rows = Rows("scr_setrate.php", With(u, {{"scr_id", std::to_string(id)},
                                                           {"rate_value", std::to_string(value)},
                                                           {"rate_notes", EscapeText(notes)}}));
        return rows.empty() ? -100 : RowIntStrict(rows.back(), "res_code");
    }

    RunningServer server_;
    httplib::Client client_{"127.0.0.1", server_.Port()};
};

TEST_F(ServerTest, PublishedScenarioIsListedAndDownloadedIntact) {
    const std::string title = "Тест \"кавычки\" 'апостроф' ? \\";
    const std::string script = "строка 1\r\nстрока 2 \"x\"?\r\n";
    const int id = Publish(Anna, title, -1, true, script);
    ASSERT_GT(id, 0);

    auto rows = List(Boris, 1);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(Base64DecodeStrict(RowElement(rows[0], "title")), title);
    EXPECT_EQ(Base64DecodeStrict(RowElement(rows[0], "descr")), "описание");
    EXPECT_EQ(RowElement(rows[0], "key_cl_name"), "Анна");
    EXPECT_EQ(RowElement(rows[0], "key_cl_mail"), Anna.Mail);
    EXPECT_EQ(RowElement(rows[0], "app_name"), "tessara");
    EXPECT_EQ(RowElement(rows[0], "app_guid"), ApplicationId);
    EXPECT_EQ(RowElement(rows[0], "downloads"), "0");
    EXPECT_EQ(RowElement(rows[0], "last_download"), "");
    EXPECT_EQ(RowElement(rows[0], "created").size(), 19u);

    const auto data = Rows("scr_getdata.php", {{"scr_id", std::to_string(id)}});
    ASSERT_EQ(data.size(), 1u);
    EXPECT_EQ(Base64DecodeStrict(RowElement(data[0], "script")), script);
    rows = List(Boris, 1);
    EXPECT_EQ(RowElement(rows[0], "downloads"), "1");
    EXPECT_EQ(RowElement(rows[0], "last_download").size(), 19u);

    EXPECT_NE(Refusal("scr_getdata.php", {{"scr_id", "999"}}), "");
}

TEST_F(ServerTest, OnlyThePublishingMailAndInstallationMayReplaceOrDelete) {
    const int id = Publish(Anna, "Мой сценарий");
    ASSERT_GT(id, 0);
    const User annaElsewhere{"Анна", Anna.Mail, "another-installation"};
    const User mailOnly{"Злоумышленник", "ANNA@example.org", "thief"};
    const User annaUpper{"Анна", "ANNA@Example.ORG", Anna.HwdId};

    EXPECT_EQ(Publish(Boris, "Чужой", id), -1);
    EXPECT_EQ(Publish(annaElsewhere, "Чужой", id), -1);
    EXPECT_EQ(Publish(mailOnly, "Чужой", id), -1);
    EXPECT_NE(Delete(Boris, id), "");
    EXPECT_NE(Delete(mailOnly, id), "");
    ASSERT_EQ(ListIds(Boris, 0), std::vector<int>{id});
    EXPECT_EQ(Base64DecodeStrict(RowElement(List(Boris, 0)[0], "title")), "Мой сценарий");

    // The owner in other letter case is still the owner.
    EXPECT_EQ(Publish(annaUpper, "Новое название", id), id);
    EXPECT_EQ(Base64DecodeStrict(RowElement(List(Boris, 0)[0], "title")), "Новое название");
    EXPECT_EQ(Delete(Anna, id), "");
    EXPECT_TRUE(ListIds(Boris, 0).empty());
    EXPECT_NE(Delete(Anna, id), "");  // gone
}

TEST_F(ServerTest, TitleCheckLetsAScenarioKeepItsOwnTitle) {
    const int a = Publish(Anna, "Удачный");
    const int b = Publish(Boris, "Второй");
    auto check = [&](int id, const std::string& title) {
        const auto rows = Rows("scr_chktitle.php",
                               {{"scr_id", std::to_string(id)}, {"scr_title", EscapeText(title)}});
        return rows.empty() ? -1 : RowIntStrict(rows[0], "ret_code");
    };
    EXPECT_EQ(check(a, "Удачный"), 0);
    EXPECT_EQ(check(b, "удачный "), 1);  // letter case and blanks do not make it new
    EXPECT_EQ(check(-1, "Удачный"), 1);
    EXPECT_EQ(check(-1, "Свободный"), 0);
    EXPECT_EQ(Publish(Boris, "УДАЧНЫЙ", b), -1);
    EXPECT_EQ(Publish(Anna, "Удачный", a), a);
}

TEST_F(ServerTest, RatingsHidingAndFilters) {
    const int pub = Publish(Anna, "Публичный");
    const int priv = Publish(Anna, "Личный", -1, false);
    ASSERT_GT(pub, 0);
    ASSERT_GT(priv, 0);

    // A private scenario is seen only from the installation that published it.
    EXPECT_EQ(ListIds(Boris, 0), std::vector<int>{pub});
    EXPECT_EQ(ListIds(Anna, 2), (std::vector<int>{pub, priv}));
    EXPECT_EQ(ListIds(User{"Анна", Anna.Mail, "other"}, 0), std::vector<int>{pub});
    EXPECT_EQ(ListIds(Anna, 3), std::vector<int>{pub});

    EXPECT_EQ(Rate(Boris, pub, 4, "хорошо \"очень\""), 0);
    EXPECT_EQ(Rate(Anna, pub, 1), 0);
    auto row = List(Boris, 1)[0];
    EXPECT_EQ(RowElement(row, "rating_you"), "4");
    EXPECT_EQ(RowElement(row, "rating_cnt"), "2");
    EXPECT_EQ(RowElement(row, "rating_avg"), "2.5000");
    EXPECT_EQ(ListIds(Boris, 4), std::vector<int>{pub});
    EXPECT_TRUE(ListIds(Boris, 5).empty());

    const auto rates = Rows("scr_getrates.php", {{"scr_id", std::to_string(pub)}});
    ASSERT_EQ(rates.size(), 2u);
    bool found = false;
    for (const auto& r : rates)
        if (RowElement(r, "key_cl_name") == "Борис") {
            found = true;
            EXPECT_EQ(RowElement(r, "rate"), "4");
            EXPECT_EQ(RowElement(r, "notes"), "хорошо \"очень\"");
            EXPECT_EQ(RowElement(r, "app_name"), "tessara");
        }
    EXPECT_TRUE(found);

    EXPECT_EQ(Rate(Boris, pub, 0), 0);  // unrate
    EXPECT_EQ(RowElement(List(Boris, 1)[0], "rating_you"), "0");
    EXPECT_EQ(ListIds(Boris, 5), std::vector<int>{pub});

    EXPECT_EQ(Rate(Boris, pub, -1), 0);  // hide
    EXPECT_TRUE(ListIds(Boris, 1).empty());
    EXPECT_EQ(ListIds(Boris, -1), std::vector<int>{pub});
    EXPECT_EQ(RowElement(List(Boris, 0)[0], "rating_you"), "-1");
    EXPECT_EQ(RowElement(List(Anna, 1)[0], "rating_cnt"), "1");  // a hide is no rating
    EXPECT_EQ(ListIds(Anna, 1), (std::vector<int>{pub, priv}));

    EXPECT_EQ(Rate(Boris, pub, 6), -2);
    EXPECT_EQ(Rate(Boris, 12345, 3), -1);

    EXPECT_EQ(ListIds(Boris, 6), std::vector<int>{});  // hidden
    EXPECT_EQ(ListIds(Anna, 6), (std::vector<int>{pub, priv}));
    const int64_t later = std::time(nullptr) + 2 * 24 * 3600;
    server_.Server().Catalogue().SetClock([later] { return later; });
    EXPECT_TRUE(ListIds(Anna, 6).empty());
}

TEST_F(ServerTest, MalformedAndOversizedRequestsAreRefused) {
    const int id = Publish(Anna, "Есть");
    const std::string sid = std::to_string(id);
    const struct {
        const char* Path;
        Fields F;
    } cases[] = {
        {"scr_getlist.php", {{"fltid", "abc"}}},
        {"scr_getlist.php", {{"fltid", "9"}}},
        {"scr_getdata.php", {{"scr_id", "1x"}}},
        {"scr_getdata.php", {}},
        {"scr_getrates.php", {{"scr_id", "99999999999"}}},
        {"scr_chktitle.php", {{"scr_id", ""}, {"scr_title", "t"}}},
        {"scr_setrate.php", With(Boris, {{"scr_id", sid}, {"rate_value", "four"}})},
        {"scr_putscript.php", With(Boris, {{"del_mode", "zero"}, {"scr_id", "-1"}})},
        {"scr_putscript.php",
         With(Boris, {{"del_mode", "0"}, {"scr_id", "-1"}, {"scr_title", std::string(65, 'x')},
                      {"scr_script", "s"}})},
        {"scr_putscript.php",
         With(User{"Без почты", "", "h"},
              {{"del_mode", "0"}, {"scr_id", "-1"}, {"scr_title", "t"}, {"scr_script", "s"}})},
        {"scr_putscript.php",
         With(User{"Без установки", "x@y", ""},
              {{"del_mode", "0"}, {"scr_id", "-1"}, {"scr_title", "t"}, {"scr_script", "s"}})},
        {"scr_putscript.php",
         With(Boris, {{"del_mode", "0"}, {"scr_id", "-1"}, {"scr_title", " "}, {"scr_script", "s"}})},
        {"sys_getdata.php", {{"sys_id", "--1"}}},
        {"sys_putdata.php", With(Boris, {{"del_mode", "0"}, {"sys_id", "0"}, {"nums", "x"}})},
    };
    for (const auto& c : cases) EXPECT_NE(Refusal(c.Path, c.F), "") << c.Path;

    auto big = client_.Post("/scripts/scr_putscript.php", std::string(9 * 1024 * 1024, 'a'),
                            "application/x-www-form-urlencoded");
    ASSERT_TRUE(big);
    EXPECT_EQ(big->status, 413);
    EXPECT_EQ(ListIds(Boris, 0), std::vector<int>{id});  // nothing else got in
}

TEST_F(ServerTest, SystemsAreStoredCheckedAndOwned) {
    auto put = [&](const User& u, int id, const std::string& clist, int csize, int del = 0) {
        return Rows("sys_putdata.php",
                    With(u, {{"del_mode", std::to_string(del)},
                             {"sys_id", std::to_string(id)},
                             {"nums", "8"},
                             {"clen", "6"},
                             {"olap", "3"},
                             {"title", EscapeText("Система \"8\"")},
                             {"descr", EscapeText("для восьми")},
                             {"csize", std::to_string(csize)},
                             {"clist", Base64Encode(EscapeText(clist))},
                             {"url", "http://example.org/a?b=1"}}));
    };
    const std::string clist = "01 02 03 04 05 06\r\n1,2,3,4,7,8\r\n3 4 5 6 7 8";
    auto rows = put(Anna, 0, clist, 3);
    ASSERT_EQ(rows.size(), 1u);
    const int id = RowIntStrict(rows[0], "id_systems");
    ASSERT_GT(id, 0);

    rows = Rows("sys_getlist.php", With(Boris, {{"comblen", "6"}, {"maxnums", "42"}}));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(RowElement(rows[0], "nums"), "8");
    EXPECT_EQ(RowElement(rows[0], "csize"), "3");
    EXPECT_EQ(Base64DecodeStrict(RowElement(rows[0], "title")), "Система \"8\"");
    EXPECT_EQ(RowElement(rows[0], "author"), "Анна");
    EXPECT_EQ(RowElement(rows[0], "url"), "http://example.org/a?b=1");
    EXPECT_TRUE(Rows("sys_getlist.php", With(Boris, {{"comblen", "6"}, {"maxnums", "7"}})).empty());

    rows = Rows("sys_getdata.php", {{"sys_id", std::to_string(id)}});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(Base64DecodeStrict(RowElement(rows[0], "clist")), clist);

    // A count that disagrees with the lines, or a position past nums, would
    // break every later download: refused.
    EXPECT_NE(RowElement(put(Anna, 0, clist, 4)[0], "error"), "");
    EXPECT_NE(RowElement(put(Anna, 0, "1 2 3 4 5 9", 1)[0], "error"), "");
    EXPECT_NE(RowElement(put(Anna, 0, "1 2 3 4 5", 1)[0], "error"), "");
    EXPECT_NE(RowElement(put(Anna, 0, "1 2 3 4 5 5", 1)[0], "error"), "");

    EXPECT_NE(RowElement(put(Boris, id, clist, 3)[0], "error"), "");
    EXPECT_NE(RowElement(put(Boris, id, "", 0, 1)[0], "error"), "");
    EXPECT_EQ(RowElement(put(Anna, id, "", 0, 1)[0], "id_systems"), "0");
    EXPECT_TRUE(Rows("sys_getlist.php", With(Boris, {})).empty());
}

TEST_F(ServerTest, ServesArchivePagesNewestFirstAndStaticFiles) {
    auto page = [&](int n) {
        auto res = client_.Get(("/ru/tessara/archive/page/" + std::to_string(n)).c_str());
        return res ? *res : httplib::Response{};
    };
    EXPECT_EQ(page(1).status, 404);  // no draws file yet

    TDrawsArray draws = MakeDraws(801, 812);
    WriteDrawsFile(server_.Root() + "/Tessara_6x42.ldr", draws);
    auto numbersOf = [](const std::string& html) {
        std::vector<int> nums;
        const std::string mark = "<a href=\"/ru/tessara/draw-result/draw/";
        for (size_t p = html.find(mark); p != std::string::npos; p = html.find(mark, p + 1))
            nums.push_back(std::stoi(html.substr(p + mark.size())));
        return nums;
    };
    const auto p1 = page(1);
    EXPECT_EQ(p1.status, 200);
    EXPECT_NE(p1.body.find("<div class=\"ml-content\">"), std::string::npos);
    EXPECT_NE(p1.body.find("<ul class=\"s-paginator text-center\""), std::string::npos);
    EXPECT_EQ(numbersOf(p1.body), (std::vector<int>{812, 811, 810, 809, 808, 807, 806, 805, 804, 803}));
    EXPECT_EQ(numbersOf(page(2).body), (std::vector<int>{802, 801}));
    EXPECT_TRUE(numbersOf(page(3).body).empty());
    const TDrawRecord& last = draws.back();
    const std::string result = fmt::format("Результаты:</span> {}, {}, {}, {}, {}, {} + тессабол: {}</div>",
                                           last.Numbers[0], last.Numbers[1], last.Numbers[2],
                                           last.Numbers[3], last.Numbers[4], last.Numbers[5],
                                           last.ExtraBall);
    EXPECT_NE(p1.body.find(result), std::string::npos);

    namespace fs = std::filesystem;
    fs::create_directories(server_.Root() + "/files/autoupdates");
    std::ofstream(server_.Root() + "/files/autoupdates/Kovra_AU.cfg") << "[GlobalOptions]\r\n";
    auto cfg = client_.Get("/files/autoupdates/Kovra_AU.cfg");
    ASSERT_TRUE(cfg);
    EXPECT_EQ(cfg->status, 200);
    EXPECT_EQ(cfg->body, "[GlobalOptions]\r\n");
    auto escape = client_.Get("/files/../catalogue.db");
    ASSERT_TRUE(escape);
    EXPECT_NE(escape->status, 200);
}

TEST(ServerStorage, KeepsTheCatalogueAcrossRestarts) {
    TempDir root;
    int id = 0;
    {
        RunningServer s(root.Path());
        httplib::Client c("127.0.0.1", s.Port());
        auto res = c.Post("/scripts/scr_putscript.php",
                          With(Anna, {{"del_mode", "0"}, {"scr_id", "-1"}, {"scr_title", "Долгий"},
                                      {"scr_script", "x"}}));
        ASSERT_TRUE(res);
        id = RowIntStrict(ReadServerRows(res->body)[0], "id_scripts");
    }
    RunningServer s(root.Path());
    httplib::Client c("127.0.0.1", s.Port());
    auto res = c.Post("/scripts/scr_getlist.php", With(Boris, {{"fltid", "0"}}));
    ASSERT_TRUE(res);
    const auto rows = ReadServerRows(res->body);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(RowIntStrict(rows[0], "id"), id);
}

}  // namespace
}  // namespace tessara::test
