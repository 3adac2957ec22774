#include <gtest/gtest.h>
#include <fmt/format.h>

#include <atomic>
#include <filesystem>

#include "local_server.h"
#include "model/error.h"
#include "model/encoding.h"
#include "model/files.h"
#include "online/checksums.h"
#include "online/http.h"
#include "online/process.h"
#include "online/self_update.h"
#include "test_support.h"

namespace tessara {
namespace {

namespace fs = std::filesystem;
using test::LocalServer;
using test::RecordingHost;
using test::TempDir;
using test::WriteBytes;

class RecordingProgress : public TProgressWindow {
public:
    std::vector<std::string> Texts;
    std::vector<int> Positions;

protected:
    void Shown(const std::string& text, int steps) override {
        Texts.push_back(text + " /" + std::to_string(steps));
        Positions.push_back(0);
    }
    void Moved(int position) override { Positions.back() = position; }
};

class TestUi : public TSelfUpdateUi {
public:
    TProgressWindow& Progress() override { return progress; }
    bool OfferUpdate(const std::string& current, const std::string& offered,
                     const std::string& notes) override {
        Offers.push_back(current + "|" + offered + "|" + notes);
        return Accept;
    }
    RecordingProgress progress;
    std::vector<std::string> Offers;
    bool Accept = true;
};

std::string Read(const std::string& path) { return FileExists(path) ? ReadFileBytes(path) : "<none>"; }

// Everything under a folder, as "name=content" lines, to compare states.
std::string Snapshot(const std::string& dir) {
    std::vector<std::string> lines;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        const std::string rel = fs::relative(e.path(), dir).string();
        lines.push_back(e.is_regular_file() ? rel + "=" + ReadFileBytes(e.path().string()) : rel + "/");
    }
    std::sort(lines.begin(), lines.end());
    std::string s;
    for (const auto& l : lines) s += l + "\n";
    return s;
}

// An installation folder and a server folder with the description, its
// notes and the packages.
class SelfUpdateTest : public ::testing::Test {
protected:
    void SetUp() override {
        install_ = dir_.File("install");
        served_ = dir_.File("srv");
        fs::create_directories(install_);
        fs::create_directories(served_ + "/UpdDescr");
        WriteBytes(install_ + "/a.txt", "old a");
        WriteBytes(install_ + "/keep.txt", "keep");
        server_.Http().set_pre_routing_handler([this](const httplib::Request& req, httplib::Response&) {
            if (req.path.starts_with("/pkg")) ++packageHits_;
            ++hits_;
            return httplib::Server::HandlerResponse::Unhandled;
        });
        server_.Http().set_mount_point("/", served_);
        server_.Start();
        options_.InstallDir = install_;
        options_.RunningVersion = "2.5.0.310";
        options_.RunTimeoutMs = 5000;
        options_.PollMs = 10;
        options_.DeleteRetryMs = 1;
    }

    std::string Url(const std::string& path) const { return server_.Url() + "/" + path; }

    // A package: a shell script run in the work folder.
    void Package(const std::string& name, const std::string& script) {
        WriteBytes(served_ + "/" + name, "#!/bin/sh\n" + script);
    }
    // The description for the executable "tessara" with the given keys.
    void Describe(const std::string& section, const std::string& global = {}) {
        WriteBytes(served_ + "/Kovra_AU.cfg",
                   "[GlobalOptions]\r\n" + global + "[tessara]\r\n" + section);
    }
    std::string Offer(const std::string& ver, const std::string& pkg, const std::string& extra = {}) {
        return "VerId=" + ver + "\r\nDescription=Весенний выпуск\r\nDownloadUrl=" + Url(pkg) +
               "\r\nOriginalFileName=setup.sh\r\n" + extra;
    }

    int Run(bool silent = false) {
        SelfUpdater updater(host_, ui_, options_);
        return updater.SelfUpdate(Url("Kovra_AU.cfg"), silent);
    }
    std::string Texts() const {
        std::string s;
        for (const auto& m : host_.Messages) s += m.Text + "\n";
        return s;
    }

    TempDir dir_;
    std::string install_, served_;
    LocalServer server_;
    std::atomic<int> hits_{0}, packageHits_{0};
    RecordingHost host_;
    TestUi ui_;
    TSelfUpdateOptions options_;
};

TEST_F(SelfUpdateTest, InstallsCheckedPackageFromServerOrFolder) {
    Package("pkg.sh", "printf 'new a' > a.txt\nmkdir sub\nprintf 'b' > sub/b.txt\n");
    const std::string pkg = served_ + "/pkg.sh";
    const std::string crc = FileCrc32Hex(pkg), sha = FileSha256Hex(pkg);
    WriteBytes(served_ + "/UpdDescr/UpdDescr_RUS_2.6.0.311.txt", "Исправлены ошибки");

    // Once from the web server, once with the description as a file path.
    for (const bool web : {true, false}) {
        SCOPED_TRACE(web ? "web" : "path");
        WriteBytes(install_ + "/a.txt", "old a");
        fs::remove_all(install_ + "/sub");
        host_.Messages.clear();
        ui_.Offers.clear();
        ui_.progress.Texts.clear();
        const std::string url = web ? Url("pkg.sh") : pkg;
        WriteBytes(served_ + "/Kovra_AU.cfg",
                   "[tessara]\r\nVerId=2.6.0.311\r\nDescription=Весенний выпуск\r\nDownloadUrl=" + url +
                       "\r\nOriginalFileName=setup.sh\r\nChecksumCRC32=" + crc +
                       "\r\nChecksumSHA256=" + sha + "\r\n");
        SelfUpdater updater(host_, ui_, options_);
        EXPECT_EQ(updater.SelfUpdate(web ? Url("Kovra_AU.cfg") : served_ + "/Kovra_AU.cfg", false), 1)
            << Texts();
        EXPECT_EQ(Read(install_ + "/a.txt"), "new a");
        EXPECT_EQ(Read(install_ + "/sub/b.txt"), "b");
        EXPECT_EQ(Read(install_ + "/keep.txt"), "keep");
        // Only the installed files remain: no work folder, description,
        // notes, package or moved-aside copies.
        EXPECT_EQ(Snapshot(install_), "a.txt=new a\nkeep.txt=keep\nsub/\nsub/b.txt=b\n");
        ASSERT_EQ(ui_.Offers.size(), 1u);
        EXPECT_EQ(ui_.Offers[0], "2.5.0.310|2.6.0.311|Исправлены ошибки");
        ASSERT_EQ(host_.Messages.size(), 1u);
        EXPECT_EQ(host_.Messages[0].Text,
                  "Установка обновления \"Весенний выпуск\" успешно выполнена.\r\rДля завершения "
                  "установки необходимо перезапустить программу!");
        EXPECT_EQ(ui_.progress.Texts,
                  (std::vector<std::string>{"Поиск доступных обновлений... /5",
                                            "Загрузка и установка обновления \"2.6.0.311\"... /14"}));
        EXPECT_EQ(ui_.progress.Positions.back(), 14);
        EXPECT_FALSE(ui_.progress.IsOpen());
        EXPECT_FALSE(host_.Busy());
    }
}

// A package larger than a page may be (the program with its libraries) is
// written to disk as it arrives; only MaxPackageBytes limits it.
TEST_F(SelfUpdateTest, InstallsAPackageLargerThanAPage) {
    std::string script = "#!/bin/sh\nprintf 'big' > a.txt\nexit 0\n#";
    script.resize(static_cast<size_t>(MaxBodyBytes) + 1, '#');
    WriteBytes(served_ + "/big.sh", script);
    Describe(Offer("2.6.0.311", "big.sh",
                   "ChecksumCRC32=" + FileCrc32Hex(served_ + "/big.sh") + "\r\n"));
    EXPECT_EQ(Run(), 1) << Texts();
    EXPECT_EQ(Read(install_ + "/a.txt"), "big");

    options_.MaxPackageBytes = 1000;
    WriteBytes(install_ + "/a.txt", "old a");
    host_.Messages.clear();
    EXPECT_EQ(Run(), 2);
    EXPECT_EQ(Texts(),
              "Ошибка установки обновления!\r\rОтвет сервера превышает допустимый размер "
              "(1000 байт)\n");
    EXPECT_EQ(Snapshot(install_), "a.txt=old a\nkeep.txt=keep\n");
}

TEST_F(SelfUpdateTest, NoUpdateCases) {
    Package("pkg.sh", "printf x > x.txt\n");
    struct Case {
        const char* Name;
        std::string Section;
    } cases[] = {
        // The running build 310 is not below 305, whatever the other words say.
        {"older build", Offer("2.6.0.305", "pkg.sh")},
        {"same build", Offer("1.0.0.310", "pkg.sh")},
        {"no package", "VerId=2.6.0.311\r\nDownloadUrl=\r\n"},
        {"no version", "DownloadUrl=" + Url("pkg.sh") + "\r\n"},
        {"no section", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteBytes(install_ + "/old.~1", "left");
        WriteBytes(install_ + "/tessara.~buff", "buffer");
        host_.Messages.clear();
        Describe(c.Section);
        EXPECT_EQ(Run(), 0);
        EXPECT_EQ(Texts(), "Обновлений не найдено!\n");
        EXPECT_TRUE(ui_.Offers.empty());
        // Leftovers of an earlier installation go; the buffer is the user's.
        EXPECT_FALSE(FileExists(install_ + "/old.~1"));
        EXPECT_EQ(Read(install_ + "/tessara.~buff"), "buffer");
        EXPECT_FALSE(FileExists(install_ + "/SelfUpdates.inf"));
        host_.Messages.clear();
        EXPECT_EQ(Run(true), 0);
        EXPECT_TRUE(host_.Messages.empty());
    }
    EXPECT_EQ(packageHits_, 0);
}

TEST_F(SelfUpdateTest, NotesByLanguageName) {
    Describe(Offer("2.6.0.311", "pkg.sh"));
    ui_.Accept = false;
    struct Case {
        const char* File;  // served notes, empty for none
        bool Language;
        const char* Notes;
    } cases[] = {
        {"UpdDescr_RUS_2.6.0.311.txt", true, "по аббревиатуре"},
        {"UpdDescr_1049_2.6.0.311.txt", true, "по номеру"},
        {"UpdDescr_2.6.0.311.txt", true, "общие"},
        {"UpdDescr_RUS_2.6.0.311.txt", false, "< Описание обновления не доступно >"},
        {"", true, "< Описание обновления не доступно >"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.File);
        fs::remove_all(served_ + "/UpdDescr");
        fs::create_directories(served_ + "/UpdDescr");
        // The notes in the code page of the server's text files.
        if (*c.File) WriteBytes(served_ + "/UpdDescr/" + c.File, Utf8ToCp1251(c.Notes));
        options_.Language = c.Language ? &RussianLanguage : nullptr;
        ui_.Offers.clear();
        host_.Messages.clear();
        // Declining installs nothing and says nothing.
        EXPECT_EQ(Run(), 0);
        ASSERT_EQ(ui_.Offers.size(), 1u);
        EXPECT_EQ(ui_.Offers[0], std::string("2.5.0.310|2.6.0.311|") + c.Notes);
        EXPECT_TRUE(host_.Messages.empty());
        EXPECT_EQ(Snapshot(install_), "a.txt=old a\nkeep.txt=keep\n");
    }
}

TEST_F(SelfUpdateTest, RefusedPackagesChangeNothing) {
    Package("pkg.sh", "printf 'new a' > a.txt\n");
    Package("pkg_slow.sh", "printf 'new a' > a.txt\nsleep 30\n");
    Package("pkg_fail.sh", "printf 'new a' > a.txt\nexit 3\n");
    Package("pkg_empty.sh", "true\n");
    const std::string crc = FileCrc32Hex(served_ + "/pkg.sh");
    std::string lower = crc;
    for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    const std::string sha = FileSha256Hex(served_ + "/pkg.sh");
    options_.RunTimeoutMs = 300;
    struct Case {
        const char* Name;
        std::string Section;
        std::string Cause;
        int Downloads;
    } cases[] = {
        {"wrong crc", Offer("2.6.0.311", "pkg.sh", "ChecksumCRC32=1A2B3C4D\r\n"),
         "Неверная контрольная сумма скачанного файла.", 3},
        {"lower-case crc, forged sha",
         Offer("2.6.0.311", "pkg.sh",
               "ChecksumCRC32=" + lower + "\r\nChecksumSHA256=" + std::string(64, '0') + "\r\n"),
         "Неверная контрольная сумма скачанного файла.", 3},
        {"malformed sha", Offer("2.6.0.311", "pkg.sh", "ChecksumSHA256=" + sha.substr(1) + "\r\n"),
         "Неверная контрольная сумма скачанного файла.", 3},
        {"missing package", Offer("2.6.0.311", "pkg_none.sh"), "404", 3},
        {"runs too long", Offer("2.6.0.311", "pkg_slow.sh"),
         "Ожидание завершения процесса (файла) \"setup.sh\" прервано в связи с превышением времени "
         "ожидания!",
         1},
        {"exits non-zero", Offer("2.6.0.311", "pkg_fail.sh"), "\"setup.sh\" завершился с кодом 3", 1},
        {"makes nothing", Offer("2.6.0.311", "pkg_empty.sh"),
         "Файл \"" + install_ + "/SelfUpdate/*.*\" не найден!", 1},
        {"name outside the folder",
         "VerId=2.6.0.311\r\nDownloadUrl=" + Url("pkg.sh") + "\r\nOriginalFileName=../setup.sh\r\n",
         "Недопустимое имя файла в описании обновления: \"../setup.sh\"", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        host_.Messages.clear();
        packageHits_ = 0;
        Describe(c.Section);
        EXPECT_EQ(Run(), 2);
        ASSERT_EQ(host_.Messages.size(), 1u);
        EXPECT_EQ(host_.Messages[0].Kind, MessageKind::Error);
        EXPECT_TRUE(host_.Messages[0].Text.starts_with("Ошибка установки обновления!\r\r"))
            << host_.Messages[0].Text;
        EXPECT_NE(host_.Messages[0].Text.find(c.Cause), std::string::npos) << host_.Messages[0].Text;
        EXPECT_EQ(packageHits_, c.Downloads);
        EXPECT_EQ(Snapshot(install_), "a.txt=old a\nkeep.txt=keep\n");
        EXPECT_FALSE(host_.Busy());
    }
    // The lower-case CRC on its own is accepted.
    Describe(Offer("2.6.0.311", "pkg.sh", "ChecksumCRC32=" + lower + "\r\n"));
    EXPECT_EQ(Run(), 1) << Texts();
    EXPECT_EQ(Read(install_ + "/a.txt"), "new a");
}

TEST_F(SelfUpdateTest, ListsRunAndDeleteAroundTheCopy) {
    WriteBytes(install_ + "/old_global.txt", "1");
    WriteBytes(install_ + "/old_own.txt", "2");
    WriteBytes(install_ + "/stale_global.txt", "3");
    WriteBytes(install_ + "/stale_own.txt", "4");
    // pre.sh sees the old a.txt and leaves its finding in the work folder
    // (so it is copied); post.sh sees the new one and writes beside it.
    Package("pkg.sh",
            "printf 'new a' > a.txt\n"
            "printf '#!/bin/sh\\ncat ../a.txt > pre.txt\\n' > pre.sh\n"
            "printf '#!/bin/sh\\ncat ../a.txt > ../post.txt\\n' > post.sh\n");
    Describe(Offer("2.6.0.311", "pkg.sh",
                   "DeleteBefore=old_own.txt\r\nExecAfter=post.sh;absent.sh\r\nDeleteAfter=stale_own.txt\r\n"),
             "DeleteBefore=old_global.txt; missing.txt\r\nExecBefore=pre.sh\r\nDeleteAfter=stale_global.txt\r\n");
    EXPECT_EQ(Run(), 1) << Texts();
    EXPECT_EQ(Snapshot(install_),
              "a.txt=new a\nkeep.txt=keep\npost.sh=#!/bin/sh\ncat ../a.txt > ../post.txt\n\n"
              "post.txt=new a\npre.sh=#!/bin/sh\ncat ../a.txt > pre.txt\n\npre.txt=old a\n");
}

TEST_F(SelfUpdateTest, FailureAfterTheFirstReplacementPutsEverythingBack) {
    struct Case {
        const char* Name;
        std::string Script;
        std::string Extra;
        std::string Global;
    } cases[] = {
        // "sub" is a file in the installation, so sub/b.txt cannot be made
        // after a.txt was already replaced.
        {"copy fails midway", "printf 'new a' > a.txt\nmkdir sub\nprintf b > sub/b.txt\n", "", ""},
        {"after step fails",
         "printf 'new a' > a.txt\nprintf 'new k' > keep.txt\nprintf '#!/bin/sh\\nexit 1\\n' > post.sh\n",
         "ExecAfter=post.sh\r\nDeleteAfter=gone.txt\r\n", "DeleteBefore=sub\r\n"},
    };
    WriteBytes(install_ + "/sub", "a file");
    WriteBytes(install_ + "/gone.txt", "g");
    const std::string before = Snapshot(install_);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        host_.Messages.clear();
        Package("pkg.sh", c.Script);
        Describe(Offer("2.6.0.311", "pkg.sh", c.Extra), c.Global);
        EXPECT_EQ(Run(), 2);
        ASSERT_EQ(host_.Messages.size(), 1u);
        EXPECT_TRUE(host_.Messages[0].Text.starts_with("Ошибка установки обновления!\r\r"));
        EXPECT_EQ(Snapshot(install_), before);
    }
}

TEST_F(SelfUpdateTest, SearchFailures) {
    Describe(Offer("2.6.0.311", "pkg.sh"));
    // A folder the program may not write to is refused before anything is
    // fetched, naming the folder.
    options_.InstallDir = dir_.File("absent");
    EXPECT_EQ(Run(), 2);
    EXPECT_EQ(Texts(), "Ошибка поиска обновлений!\r\rНет прав на запись в папку программы \"" +
                           dir_.File("absent") +
                           "\": обновление может установить только пользователь, которому она "
                           "доступна для записи.\n");
    EXPECT_EQ(hits_, 0);
    options_.InstallDir = install_;

    // An unreachable server: told when asked, silent at start-up.
    server_.Stop();
    host_.Messages.clear();
    EXPECT_EQ(Run(), 2);
    ASSERT_EQ(host_.Messages.size(), 1u);
    EXPECT_TRUE(host_.Messages[0].Text.starts_with("Ошибка поиска обновлений!\r\r"));
    host_.Messages.clear();
    EXPECT_EQ(Run(true), 2);
    EXPECT_TRUE(host_.Messages.empty());
    EXPECT_EQ(Snapshot(install_), "a.txt=old a\nkeep.txt=keep\n");

    // A second progress window is refused, and said even in a silent check.
    ui_.progress.Open("другое", 3);
    EXPECT_EQ(Run(true), 2);
    EXPECT_EQ(Texts(), "Ошибка системы самообновления программы!\r\rОкно индикатора уже создано!\n");
    EXPECT_FALSE(host_.Busy());
}

TEST(SelfUpdateHelpers, VersionBuildAndAddress) {
    const std::pair<const char*, int64_t> builds[] = {
        {"2.5.0.310", 310}, {"2,6-0_305", 305}, {"1.2.3", 0}, {"1.2.3.x", 0}, {"", 0}, {"1.2.3.4.5", 4}};
    for (const auto& [text, build] : builds) EXPECT_EQ(VersionBuild(text), build) << text;

    TOnlineConfig online;
    EXPECT_EQ(UpdateDescriptionUrl(online), "");
    online.ServerUrl = "https://server.example/";
    EXPECT_EQ(UpdateDescriptionUrl(online), "https://server.example/files/autoupdates/Kovra_AU.cfg");
    online.UpdateUrl = "/srv/updates/Kovra_AU.cfg";
    EXPECT_EQ(UpdateDescriptionUrl(online), "/srv/updates/Kovra_AU.cfg");

    RecordingHost host;
    TestUi ui;
    EXPECT_EQ(SelfUpdate(TOnlineConfig{}, false, host, ui, {}), 2);
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_NE(host.Messages[0].Text.find("UpdateUrl"), std::string::npos);
    host.Messages.clear();
    EXPECT_EQ(SelfUpdate(TOnlineConfig{}, true, host, ui, {}), 2);
    EXPECT_TRUE(host.Messages.empty());
}

TEST(SelfUpdateHelpers, ProgressWindowStaysWithinItsSteps) {
    RecordingProgress p;
    p.Open("шаги", 2);
    for (int i = 0; i < 5; ++i) p.Step();
    EXPECT_EQ(p.Position(), 2);
    EXPECT_THROW(p.Open("второе", 1), Error);
    p.Close();
    p.Open("снова", 1);
    EXPECT_EQ(p.Position(), 0);
}

}  // namespace
}  // namespace tessara
