#include "core/table_pair.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <thread>

namespace lexicarta {
namespace {

bool EqualWithoutCase(std::string_view a, std::string_view b)
{
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

bool IsRegularFile(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The female table's load runs where no dialog may be shown: its messages
// are kept for the caller, its questions answered No.
class KeptMessages : public Dialogs {
public:
    void message(BoxKind kind, const std::string& text) override { told.push_back({kind, text}); }
    Answer confirm(BoxKind kind, Buttons, const std::string& text) override
    {
        told.push_back({kind, text});
        return Answer::No;
    }
    std::optional<std::string> openFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> saveFile(const FileDialogRequest&) override { return std::nullopt; }
    std::vector<ToldMessage> told;
};

}  // namespace

std::optional<std::string> FindFemaleTable(const std::string& path)
{
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = path.substr(folder.size());
    constexpr std::string_view Extension = ".tlk";
    if (name.size() <= Extension.size() || !EqualWithoutCase(std::string_view(name).substr(name.size() - 4), Extension))
        return std::nullopt;
    const std::string stem = name.substr(0, name.size() - Extension.size());
    const std::string extension = name.substr(stem.size());
    auto accept = [&](const std::string& candidate) -> std::optional<std::string> {
        const std::string full = folder + candidate;
        if (!IsRegularFile(full) || IsSameFile(full, path)) return std::nullopt;
        return full;
    };
    for (const char f : {'F', 'f'})
        if (auto found = accept(stem + f + extension)) return found;

    std::vector<std::string> spellings;
    if (DIR* directory = ::opendir(folder.empty() ? "." : folder.c_str())) {
        while (const dirent* entry = ::readdir(directory)) {
            const std::string_view candidate = entry->d_name;
            if (candidate.size() == name.size() + 1 &&
                EqualWithoutCase(candidate.substr(0, stem.size()), stem) &&
                EqualWithoutCase(candidate.substr(stem.size()), "f" + std::string(Extension)))
                spellings.emplace_back(candidate);
        }
        ::closedir(directory);
    }
    std::sort(spellings.begin(), spellings.end());
    for (const std::string& candidate : spellings)
        if (auto found = accept(candidate)) return found;
    return std::nullopt;
}

bool IsSameFile(const std::string& a, const std::string& b)
{
    struct stat first {}, second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

bool PairLoadResult::countsDiffer() const { return maleLoaded && femaleLoaded && maleCount != femaleCount; }

PairLoadResult LoadTablePair(TalkTable& male, const std::string& malePath, TalkTable& female,
                             const std::string& femalePath, Dialogs& dialogs, Progress& progress, RunFlags& flags)
{
    return LoadTablePair(male, malePath, LoadOptions{}, female, femalePath, LoadOptions{}, dialogs, progress, flags);
}

PairLoadResult LoadTablePair(TalkTable& male, const std::string& malePath, const LoadOptions& maleOptions,
                             TalkTable& female, const std::string& femalePath, const LoadOptions& femaleOptions,
                             Dialogs& dialogs, Progress& progress, RunFlags& flags)
{
    PairLoadResult result;
    KeptMessages femaleDialogs;
    SilentProgress femaleProgress;
    RunFlags femaleFlags;
    // Each load has its own table, cache and ports; the cache names are
    // claimed exclusively, so both may look for one in the same folder.
    std::thread femaleLoad([&] {
        result.female =
            LoadTableFile(female, femalePath, femaleOptions, femaleDialogs, femaleProgress, femaleFlags).opened;
    });
    result.male = LoadTableFile(male, malePath, maleOptions, dialogs, progress, flags).opened;
    femaleLoad.join();
    result.femaleMessages = std::move(femaleDialogs.told);
    if (femaleFlags.StatisticsAborted) flags.StatisticsAborted = true;
    result.maleLoaded = result.male == OpenResult::Opened && !male.CacheFailed;
    result.femaleLoaded = result.female == OpenResult::Opened && !female.CacheFailed;
    result.maleCount = male.EntryCount;
    result.femaleCount = female.EntryCount;
    return result;
}

FemaleFinding FemaleFindingFor(std::string_view male, std::optional<std::string_view> female,
                               std::optional<std::string_view> referenceMale,
                               std::optional<std::string_view> referenceFemale)
{
    if (!male.empty() && (!female || female->empty())) return FemaleFinding::FemaleMissing;
    if (female && *female == male && referenceMale && referenceFemale && *referenceMale != *referenceFemale)
        return FemaleFinding::SameAsMale;
    return FemaleFinding::None;
}

}  // namespace lexicarta
