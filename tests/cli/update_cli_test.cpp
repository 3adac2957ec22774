#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/versions.h"
#include "cli.h"
#include "model/files.h"
#include "online/checksums.h"
#include "test_support.h"

namespace tessara {
namespace {

using test::WriteBytes;

// An installation and an update description given as file paths (the web
// addresses are the updater's own tests).
class UpdateCliTest : public ::testing::Test {
protected:
    UpdateCliTest() {
        install = dir.File("install");
        std::filesystem::create_directories(install);
        std::filesystem::create_directories(dir.File("srv/UpdDescr"));
        WriteBytes(install + "/a.txt", "old a");
        WriteBytes(dir.File("srv/pkg.sh"), "#!/bin/sh\nprintf 'new a' > a.txt\n");
        // Text files have CR LF line ends.
        WriteBytes(dir.File("srv/UpdDescr/UpdDescr_RUS_9.9.9.999.txt"),
                   "Новые отчёты\r\nБыстрее поиск\r\n");
    }
    void Describe(const std::string& ver, const std::string& crc) {
        WriteBytes(dir.File("srv/Kovra_AU.cfg"),
                   "[tessara]\r\nVerId=" + ver + "\r\nDescription=Выпуск\r\nDownloadUrl=" +
                       dir.File("srv/pkg.sh") + "\r\nOriginalFileName=setup.sh\r\nChecksumCRC32=" +
                       crc + "\r\n");
    }
    std::pair<int, std::string> Run(std::vector<std::string> args, bool withDescription = true) {
        args.insert(args.begin(), {"--data-dir", dir.Path(), "update"});
        if (withDescription)
            args.insert(args.end(), {"--description", dir.File("srv/Kovra_AU.cfg"), "--install-dir", install});
        std::ostringstream out, err;
        const int code = cli::RunCli(args, out, err);
        return {code, out.str() + err.str()};
    }
    test::TempDir dir;
    std::string install;
};

TEST_F(UpdateCliTest, CheckPrintsVersionsAndNotes) {
    Describe("9.9.9.999", "");
    auto [code, out] = Run({"check"});
    EXPECT_EQ(code, 0);
    EXPECT_EQ(out,
              "Текущая версия программы:\t" + ProgramVersion() +
                  "\nНовая версия программы:\t9.9.9.999\nОписание версии:\nНовые отчёты\nБыстрее "
                  "поиск\n");
    EXPECT_EQ(ReadFileBytes(install + "/a.txt"), "old a");

    Describe("0.0.0.0", "");
    std::tie(code, out) = Run({"check"});
    EXPECT_EQ(code, 0);
    EXPECT_NE(out.find("Обновлений не найдено!"), std::string::npos) << out;

    // Without an address in the configuration nothing is checked.
    std::tie(code, out) = Run({"check"}, false);
    EXPECT_EQ(code, 1);
    EXPECT_NE(out.find("UpdateUrl"), std::string::npos) << out;
    std::tie(code, out) = Run({"check", "--install-dir"}, false);
    EXPECT_EQ(code, 2);
}

TEST_F(UpdateCliTest, InstallOnlyWithYesAndOnlyAMatchingPackage) {
    Describe("9.9.9.999", "00000000");
    auto [code, out] = Run({"install", "--yes"});
    EXPECT_EQ(code, 1);
    EXPECT_NE(out.find("Неверная контрольная сумма скачанного файла."), std::string::npos) << out;
    EXPECT_EQ(ReadFileBytes(install + "/a.txt"), "old a");

    Describe("9.9.9.999", FileCrc32Hex(dir.File("srv/pkg.sh")));
    std::tie(code, out) = Run({"install"});
    EXPECT_EQ(code, 0);
    EXPECT_NE(out.find("Новые отчёты"), std::string::npos) << out;
    EXPECT_EQ(ReadFileBytes(install + "/a.txt"), "old a");

    std::tie(code, out) = Run({"install", "--yes"});
    EXPECT_EQ(code, 0) << out;
    EXPECT_EQ(ReadFileBytes(install + "/a.txt"), "new a");
    EXPECT_NE(out.find("Установка обновления \"Выпуск\" успешно выполнена."), std::string::npos) << out;
}

}  // namespace
}  // namespace tessara
