// The help pages shipped in data/help: every statistic has its page, and the
// links between pages lead somewhere.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "stats/stat_list.h"

namespace tessara {
namespace {

namespace fs = std::filesystem;

const fs::path kHelpDir = TESSARA_HELP_DIR;

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Pages that link to one another: every local href of every page.
std::set<std::string> LocalLinks(const std::string& html) {
    std::set<std::string> links;
    static const std::regex href(R"re(href\s*=\s*"([^"#]*)(#[^"]*)?")re", std::regex::icase);
    for (auto it = std::sregex_iterator(html.begin(), html.end(), href); it != std::sregex_iterator();
         ++it) {
        const std::string target = (*it)[1];
        if (target.empty() || target.find(':') != std::string::npos) continue;  // anchors, http:
        links.insert(target);
    }
    return links;
}

TEST(HelpPages, EveryRegisteredMethodHasItsPage) {
    // The default configuration and ones that register the parameterised
    // families more widely: 14 channels, 3 and 10 matrix columns, nine
    // segments, formulas of every shredding method.
    const std::function<void(TConfigData&)> configs[] = {
        [](TConfigData&) {},
        [](TConfigData& c) {
            c.ChannelSize = 3;
            c.MatrixCols = 3;
            for (int n = 0; n < MaxNumber; ++n) c.MatrixSegments[static_cast<size_t>(n)] =
                static_cast<uint8_t>(1 + n % 9);
        },
        [](TConfigData& c) {
            c.ChannelSize = 10;
            c.MatrixCols = 10;
        },
    };
    const TDrawsArray archive;
    const TShreddingConfig shredding;
    std::set<std::string> topics;
    for (const auto& configure : configs) {
        TConfigData config;
        configure(config);
        TStatList list(archive, config, shredding);
        list.Register();
        ASSERT_GT(list.Count(), 0);
        for (int i = 0; i < list.Count(); ++i) {
            const std::string topic = list.HelpTopic(i);
            topics.insert(topic);
            EXPECT_TRUE(fs::is_regular_file(kHelpDir / topic))
                << list.Items(i).Code() << ": no page " << topic;
        }
    }
    // The contents lists every statistic page.
    const std::set<std::string> index = LocalLinks(ReadText(kHelpDir / "index.htm"));
    for (const std::string& topic : topics) EXPECT_TRUE(index.count(topic)) << topic;
}

TEST(HelpPages, LinksResolve) {
    // The task pages are written apart from the statistic pages; until they
    // are in the folder the links to them cannot resolve, but once any of
    // them is there, all must be.
    const std::set<std::string> taskPages = {
        "archive.htm", "statistics.htm", "combinations.htm", "scenario.htm",
        "stakes.htm",  "ratings.htm",    "regulars.htm",     "views.htm",
        "systems.htm", "online.htm",     "cli.htm"};
    bool anyTaskPage = false;
    for (const std::string& p : taskPages) anyTaskPage |= fs::exists(kHelpDir / p);

    int pages = 0;
    for (const auto& entry : fs::directory_iterator(kHelpDir)) {
        if (entry.path().extension() != ".htm") continue;
        ++pages;
        const std::string html = ReadText(entry.path());
        EXPECT_NE(html.find("style.css"), std::string::npos) << entry.path().filename();
        for (const std::string& link : LocalLinks(html)) {
            if (!anyTaskPage && taskPages.count(link)) continue;
            EXPECT_TRUE(fs::is_regular_file(kHelpDir / link))
                << entry.path().filename().string() << " links to " << link;
        }
    }
    EXPECT_GT(pages, 1);
    EXPECT_TRUE(fs::is_regular_file(kHelpDir / "style.css"));
}

}  // namespace
}  // namespace tessara
