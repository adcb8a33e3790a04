// lexicarta-pairgen: writes an English talk table, a copy translated in part
// with planted cases, and the list of what was planted.

#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

#include "translation_pair.h"

namespace {

void PrintUsage(std::FILE* to)
{
    std::fputs(
        "Usage: lexicarta-pairgen --entries N --seed S [options] ENGLISH.tlk TRANSLATION.tlk PLANTED.txt\n"
        "\n"
        "Writes an English talk table of N entries, a copy translated in part into a made-up\n"
        "French, and the list of the cases planted in the copy, one a line:\n"
        "StrRef<TAB>kind<TAB>what. The kind is what the checks should find there (tokens,\n"
        "lowercase-token, flags, length, leftover) or the entry's status (untranslated,\n"
        "missing, only-here); nothing else should be found. Same N and S, same files.\n"
        "\n"
        "Options:\n"
        "  --entries N               entries of the English table, 1 to 1000001 (required)\n"
        "  --seed S                  unsigned 64-bit seed (required)\n"
        "  --translation-entries M   entries of the translation (default N)\n"
        "  --encoding E              encoding of the translation: windows-1252 (default),\n"
        "                            utf-8, windows-1250 or windows-1251\n"
        "  --planted-share F         share of entries with a planted check case, 0 to 1\n"
        "                            (default 0.01; StrRefs 1 to 16 always get one)\n"
        "  --help                    show this help\n",
        to);
}

int UsageError(const std::string& message)
{
    std::fprintf(stderr, "lexicarta-pairgen: %s\n\n", message.c_str());
    PrintUsage(stderr);
    return 2;
}

template <typename T>
bool ParseNumber(std::string_view text, T& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

}  // namespace

int main(int argc, char** argv)
{
    tlkgen::TranslationPairOptions options;
    bool haveEntries = false;
    bool haveSeed = false;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const auto value = [&]() -> std::string_view { return i + 1 < argc ? argv[++i] : std::string_view(); };
        if (arg == "--help" || arg == "-h") {
            PrintUsage(stdout);
            return 0;
        } else if (arg == "--entries") {
            if (!ParseNumber(value(), options.entries) || options.entries == 0 || options.entries > 1000001)
                return UsageError("--entries needs a whole number from 1 to 1000001");
            haveEntries = true;
        } else if (arg == "--seed") {
            if (!ParseNumber(value(), options.seed)) return UsageError("--seed needs an unsigned 64-bit whole number");
            haveSeed = true;
        } else if (arg == "--translation-entries") {
            if (!ParseNumber(value(), options.translationEntries) || options.translationEntries == 0 ||
                options.translationEntries > 1000001)
                return UsageError("--translation-entries needs a whole number from 1 to 1000001");
        } else if (arg == "--encoding") {
            const auto encoding = lexicarta::EncodingFromName(value());
            if (!encoding) return UsageError("--encoding needs windows-1252, utf-8, windows-1250 or windows-1251");
            options.translationEncoding = *encoding;
        } else if (arg == "--planted-share") {
            double share = -1;
            if (!ParseNumber(value(), share) || !(share >= 0.0 && share <= 1.0))
                return UsageError("--planted-share needs a number from 0 to 1");
            options.plantedShare = share;
        } else if (arg.size() > 1 && arg.front() == '-') {
            return UsageError("unknown option " + std::string(arg));
        } else {
            files.emplace_back(arg);
        }
    }
    if (!haveEntries) return UsageError("--entries is required");
    if (!haveSeed) return UsageError("--seed is required");
    if (files.size() != 3) return UsageError("give the English table, the translation and the planted list");
    if (!tlkgen::WriteTranslationPair(files[0], files[1], files[2], options)) {
        std::fprintf(stderr, "lexicarta-pairgen: cannot write %s, %s or %s\n", files[0].c_str(), files[1].c_str(),
                     files[2].c_str());
        return 1;
    }
    return 0;
}
