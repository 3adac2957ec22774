#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/ini_file.h"
#include "model/records.h"

namespace tessara {

inline constexpr const char* ConfigFileName = "Tessara_6x42.ini";

struct TPrizeRow {
    uint8_t Overlap = 0;  // number of matches, 0..6
    TMoney Profit = 0;
    bool operator==(const TPrizeRow&) const = default;
};

// The weights of the "Вес" column of the statistics table.
struct TCDLCoefs {
    double Count = 0;
    double Deviation = -1;
    double Level = 1;
    bool UsePercents = false;
    bool UseAbsValues = false;
    bool operator==(const TCDLCoefs&) const = default;
};

// What the configuration dialog edits.
struct TConfigData {
    int32_t MatrixCols = 7;
    int32_t ChannelSize = 7;
    TMoney Cost = 0;
    int32_t MaxStake = 10;
    std::vector<TPrizeRow> Profits;
    TCDLCoefs Coefs;
    std::array<uint8_t, MaxNumber> MatrixSegments = DefaultSegments();

    static constexpr std::array<uint8_t, MaxNumber> DefaultSegments() {
        std::array<uint8_t, MaxNumber> s{};
        s.fill(1);
        return s;
    }
    // The 42 segments as the file holds them, one digit per number.
    std::string SegmentsText() const;
    bool operator==(const TConfigData&) const = default;
};

// Reads the "MatrixSegments" text: a digit gives its value, any other
// character and any position past the end give 1.
std::array<uint8_t, MaxNumber> ParseSegmentsText(const std::string& text);

// Default mode and text of the combination list generation.
struct TCombsGenerateParams {
    uint8_t Mode = 0;
    std::string Parameters;  // up to 255 characters
    bool operator==(const TCombsGenerateParams&) const = default;
};

struct TShreddingConfig {
    std::array<std::string, 3> Formulas = {"(n1+n2+n3)/(n4+n5+n6)", "(n4+n5+n6)/(n1+n2+n3)",
                                           "(n1+n3+n5)/(n2+n4+n6)"};
    std::array<int32_t, 3> Digits = {2, 2, 2};
    bool operator==(const TShreddingConfig&) const = default;
};

// The proxy state: the PROXY section plus what the download keeps.
struct TProxy {
    uint8_t Mode = 0;  // 0 none, 1 automatic search, 2 manual
    std::string Server;
    int32_t Port = 80;
    std::string Username;
    std::string Password;
    bool Saved = false;
    std::vector<std::string> Found;
};

// Addresses and identity of the online services: the section ONLINE. An
// empty address switches its service off. New keys go here and into
// ReadOnlineSection / WriteOnlineSection.
struct TOnlineConfig {
    // The lottery operator's site, e.g. "https://host"; the archive path is
    // appended to it.
    std::string DrawsSite;
    // Root address of the public proxy-list service.
    std::string ProxyListUrl;
    // The catalogue server, e.g. "http://host:8642"; empty switches the
    // online catalogues off.
    std::string ServerUrl;
    // Who the catalogue requests name: the user and this installation
    // (made once at random and kept).
    std::string UserName;
    std::string UserMail;
    std::string InstallId;
    // The update description: an address or a file path; empty takes the
    // description of the catalogue server.
    std::string UpdateUrl;
    bool operator==(const TOnlineConfig&) const = default;
};

// The statistic families whose methods depend on the configuration.
struct TChangedFamilies {
    bool Matrix = false;
    bool Channel = false;
    bool Segment = false;
    bool Any() const { return Matrix || Channel || Segment; }
};
TChangedFamilies ChangedFamilies(const TConfigData& before, const TConfigData& after);

// Reading and writing the sections. Readers take every key in order and
// throw Error at the first value that cannot be read; the fields read before
// it keep their new values and the others their old ones. An absent or empty
// key keeps the field as it is.
void ReadGenerateDefaults(const IniFile& ini, TCombsGenerateParams& gen);
void ReadConfigSections(const IniFile& ini, TConfigData& config);
void ReadShreddingSection(const IniFile& ini, TShreddingConfig& shredding);
void ReadProxySection(const IniFile& ini, TProxy& proxy);
void WriteConfigSections(IniFile& ini, const TConfigData& config);
void WriteShreddingSection(IniFile& ini, const TShreddingConfig& shredding);
void WriteGenerateDefaults(IniFile& ini, const TCombsGenerateParams& gen);
void WriteProxySection(IniFile& ini, const TProxy& proxy);
void ReadOnlineSection(const IniFile& ini, TOnlineConfig& online);
void WriteOnlineSection(IniFile& ini, const TOnlineConfig& online);

// The largest cost or prize the configuration accepts: the cost of the
// largest stake (924 tickets) plus any prize then stays far inside 64 bits.
inline constexpr double MaxMoneyAmount = 1e11;
// Money as the files hold it: a decimal amount.
std::string FormatMoneyValue(TMoney value);
TMoney MoneyFromAmount(double amount);
// A money value with two decimals and the display separator.
std::string FormatMoney(TMoney value);

inline constexpr const char* MsgConfigRead = "Ошибка чтения файла конфигурации!\r\r";
inline constexpr const char* MsgConfigWrite = "Ошибка записи в файл конфигурации!\r\r";

}  // namespace tessara
