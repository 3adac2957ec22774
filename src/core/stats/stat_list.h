#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/config.h"
#include "base/host.h"
#include "stats/custom_stat.h"

namespace tessara {

// One registered method: a statistic class with a parameter.
struct TStatMethod {
    const TStatClass* Class = nullptr;
    int32_t Param = 0;
    bool Favourite = true;
    std::string UserName;
    std::string Formula;  // shredding methods: the formula of their parameter

    std::string Code() const { return Class->CodeFor(Param); }
    std::string Caption() const { return Class->CaptionFor(Param); }
    std::string Name() const { return UserName.empty() ? Caption() : UserName; }
    std::string DisplayName() const;
};

// The registry of statistic methods, the favourites and their names, and the
// configuration the statistics read.
class TStatList {
public:
    TStatList(const TDrawsArray& archive, TConfigData& config, const TShreddingConfig& shredding);

    const TDrawsArray& Archive() const { return *archive_; }
    // The draws the statistics read from now on (the workspace hands the
    // sound ones when its archive holds damaged draws).
    void SetArchive(const TDrawsArray& archive) { archive_ = &archive; }
    const TConfigData& Config() const { return config_; }
    const TShreddingConfig& Shredding() const { return shredding_; }

    int Count() const { return static_cast<int>(methods_.size()); }
    const TStatMethod& Items(int i) const { return methods_[static_cast<size_t>(i)]; }
    TStatMethod& Items(int i) { return methods_[static_cast<size_t>(i)]; }
    bool IsAvailable(int i) const { return Items(i).Class->Available; }
    bool IsListed(int i) const { return Items(i).Class->Listed; }
    bool HasGraph(int i) const { return Items(i).Class->HasGraph; }
    bool HasNorm(int i) const { return Items(i).Class->HasNorm(); }
    bool IsFavourite(int i) const { return AllFavourites || Items(i).Favourite; }
    // Index of the method with this code (letter case ignored), or -1.
    int FindMethod(std::string_view code) const;
    std::string ListCaption(int i, bool withFeatures) const;
    std::string HelpTopic(int i) const { return Items(i).Class->HelpTopicFor(Items(i).Param); }

    std::unique_ptr<TCustomStat> CreateStat(int i) const;
    // The instance of the method chosen in a list; throws Error when nothing
    // is chosen (index -1), naming the list's control.
    std::unique_ptr<TCustomStat> CreateSelectedStat(int i, std::string_view controlName) const;

    // Rebuilds the method list from the registration table.
    void Register();

    void SetAllFavourites();
    void NormalizeFavourites();
    std::string FavouritesText() const;
    void SetFavouritesText(std::string_view text);

    // The favourites file and exported name files. Failures show their
    // message through the host and return false.
    bool LoadNames(Host& host, const std::string& file, bool withOptions);
    bool SaveNames(Host& host, const std::string& file, bool withOptions, bool allNames);
    static std::string NamesSection() { return "STRINGS_RUS"; }

    // The weights of the value table, saved and restored around scenario lines.
    void SaveWeights() { savedWeights_ = config_.Coefs; }
    void RestoreWeights() { config_.Coefs = savedWeights_; }
    void ApplyWeights(bool own, const TCDLCoefs& coefs) {
        config_.Coefs = own ? coefs : savedWeights_;
    }

    bool Ordered = false;
    bool ShowGroupName = true;
    bool ShowMethodFlags = true;
    bool AllFavourites = true;

private:
    const TDrawsArray* archive_;
    TConfigData& config_;
    const TShreddingConfig& shredding_;
    TCDLCoefs savedWeights_;
    std::vector<TStatMethod> methods_;
};

// The classes in registration order.
const std::vector<const TStatClass*>& RegistrationTable();

inline constexpr const char* MsgLoadNames = "Ошибка загрузки списка фильтров!\r\r";
inline constexpr const char* MsgSaveNames = "Ошибка сохранения списка фильтров!\r\r";

}  // namespace tessara
