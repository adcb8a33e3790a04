// Writes the seed corpus of every fuzz target from the project's table
// generator: small talk tables (ordered, shuffled, with empty entries),
// configuration files, search texts and edit scripts.
//
// Usage: lexicarta-fuzz-seeds OUTDIR   (creates OUTDIR/<target>/seed-N)

#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/config_file.h"
#include "core/file_io.h"
#include "tlk_generator.h"

using namespace lexicarta;

namespace {

void WriteSeeds(const std::string& folder, const std::vector<std::string>& seeds)
{
    ::mkdir(folder.c_str(), 0755);
    for (std::size_t i = 0; i < seeds.size(); ++i)
        if (!WriteWholeFile(folder + "/seed-" + std::to_string(i), seeds[i])) std::perror(folder.c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "Usage: lexicarta-fuzz-seeds OUTDIR\n");
        return 2;
    }
    const std::string out = argv[1];
    ::mkdir(out.c_str(), 0755);

    std::vector<std::string> tables;
    const struct {
        std::uint32_t entries;
        bool ordered;
        double emptyShare;
    } shapes[] = {{1, true, 0}, {3, true, 0.3}, {8, false, 0.2}, {20, true, 0.1}, {40, false, 0.05}, {120, true, 0.03}};
    std::uint64_t seed = 1;
    for (const auto& shape : shapes) {
        tlkgen::GeneratorOptions options;
        options.entries = shape.entries;
        options.seed = seed++;
        options.textsInStrRefOrder = shape.ordered;
        options.emptyShare = shape.emptyShare;
        tables.push_back(tlkgen::GenerateTalkTable(options).bytes);
    }
    WriteSeeds(out + "/talk_table_load_fuzz", tables);

    // Scripts: edits, sounds, new entries, reverts, deletions, undo-all, saves.
    const std::vector<std::string> scripts = {
        std::string("\x00\x01\x05hello\x06", 9),
        std::string("\x02\x00\x00\x00\x03line\nbreak\x06\x03\x00\x06", 15),
        std::string("\x01\x02\x04SND1\x02\x00\x04\x00\x05\x00\x06", 13),
        std::string("\x00\x00\x10<CHARNAME> hi!\x06\x00\x01\x00\x06\x05\x00", 25),
    };
    std::vector<std::string> roundTrips;
    for (std::size_t i = 0; i < tables.size(); ++i) {
        const std::string& script = scripts[i % scripts.size()];
        roundTrips.push_back(std::string(1, static_cast<char>(script.size())) + script + tables[i]);
    }
    WriteSeeds(out + "/save_roundtrip_fuzz", roundTrips);

    ConfigRecord record = ConfigRecord::Defaults();
    std::vector<std::string> configs = {EncodeConfigFile(record, "")};
    record.setFlag(cfg::LastFileFlag, true);
    record.setInt32(cfg::SearchFromStrRef, 1234);
    configs.push_back(EncodeConfigFile(record, "/home/user/games/dialog.tlk"));
    configs.push_back(EncodeConfigFile(record, "/m\xE9r/\xFF\x01/dialog.tlk"));
    WriteSeeds(out + "/config_file_fuzz", configs);

    std::vector<std::string> searches;
    for (std::uint32_t n = 0; n < 6; ++n) {
        tlkgen::GeneratorOptions options;
        options.seed = 7;
        const std::string text = tlkgen::GeneratedText(options, n * 11);
        const std::string term = text.substr(text.size() / 3, 5);
        searches.push_back(std::string(1, static_cast<char>(n % 4)) + static_cast<char>(term.size()) +
                           static_cast<char>(n) + term + text);
    }
    WriteSeeds(out + "/find_text_fuzz", searches);
    return 0;
}
