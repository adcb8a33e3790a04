// lexicarta-tlkgen: writes a generated talk table for benchmarks and manual trials.

#include "tlk_generator.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace {

constexpr int UsageExit = 2;

void PrintUsage(std::FILE* to)
{
    std::fputs(
        "Usage: lexicarta-tlkgen --entries N --seed S [options] OUT.tlk\n"
        "\n"
        "Writes a talk table (TLK V1) of N entries with realistic texts derived from seed S.\n"
        "The same N and S always give the same file.\n"
        "\n"
        "Options:\n"
        "  --entries N        number of entries, 1 to 4294967295 (required)\n"
        "  --seed S           unsigned 64-bit seed (required)\n"
        "  --shuffled         place the texts in the string data out of StrRef order\n"
        "  --language ID      language id written in the header (0 to 65535, default 0)\n"
        "  --empty-share F    share of empty entries, 0 to 1 (default 0.03)\n"
        "  --encoding E       encoding of the texts: utf-8, windows-1250, windows-1251 or\n"
        "                     windows-1252 (default windows-1252)\n"
        "  --invalid-utf8-share F\n"
        "                     UTF-8 only: share of texts given one invalid byte sequence,\n"
        "                     0 to 1 (default 0)\n"
        "  --pair             also write the female table beside OUT (OUTF.tlk for OUT.tlk):\n"
        "                     the same entries, some texts said to a woman instead\n"
        "  --female-share F   with --pair: share of texts that differ, 0 to 1 (default 0.1)\n"
        "  --help             show this help\n",
        to);
}

int UsageError(const std::string& message)
{
    std::fprintf(stderr, "lexicarta-tlkgen: %s\n\n", message.c_str());
    PrintUsage(stderr);
    return UsageExit;
}

template <typename T>
bool ParseNumber(std::string_view text, T& value)
{
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

}  // namespace

int main(int argc, char** argv)
{
    tlkgen::GeneratorOptions options;
    bool haveEntries = false;
    bool haveSeed = false;
    bool pair = false;
    std::string out;

    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&](std::string_view& into) {
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return true;
        };
        std::string_view text;
        if (arg == "--help" || arg == "-h") {
            PrintUsage(stdout);
            return 0;
        } else if (arg == "--entries") {
            if (!value(text) || !ParseNumber(text, options.entries) || options.entries == 0)
                return UsageError("--entries needs a whole number from 1 to 4294967295");
            haveEntries = true;
        } else if (arg == "--seed") {
            if (!value(text) || !ParseNumber(text, options.seed))
                return UsageError("--seed needs an unsigned 64-bit whole number");
            haveSeed = true;
        } else if (arg == "--shuffled") {
            options.textsInStrRefOrder = false;
        } else if (arg == "--language") {
            if (!value(text) || !ParseNumber(text, options.languageId))
                return UsageError("--language needs a whole number from 0 to 65535");
        } else if (arg == "--empty-share") {
            double share = -1;
            if (!value(text) || !ParseNumber(text, share) || !(share >= 0.0 && share <= 1.0))
                return UsageError("--empty-share needs a number from 0 to 1");
            options.emptyShare = share;
        } else if (arg == "--encoding") {
            const auto encoding = value(text) ? lexicarta::EncodingFromName(text) : std::nullopt;
            if (!encoding) return UsageError("--encoding needs utf-8, windows-1250, windows-1251 or windows-1252");
            options.encoding = *encoding;
        } else if (arg == "--invalid-utf8-share") {
            double share = -1;
            if (!value(text) || !ParseNumber(text, share) || !(share >= 0.0 && share <= 1.0))
                return UsageError("--invalid-utf8-share needs a number from 0 to 1");
            options.invalidUtf8Share = share;
        } else if (arg == "--pair") {
            pair = true;
        } else if (arg == "--female-share") {
            double share = -1;
            if (!value(text) || !ParseNumber(text, share) || !(share > 0.0 && share <= 1.0))
                return UsageError("--female-share needs a number above 0, up to 1");
            options.femaleShare = share;
        } else if (arg.size() > 1 && arg.front() == '-') {
            return UsageError("unknown option " + std::string(arg));
        } else if (!out.empty()) {
            return UsageError("only one output file may be given");
        } else {
            out = arg;
        }
    }
    if (!haveEntries) return UsageError("--entries is required");
    if (!haveSeed) return UsageError("--seed is required");
    if (out.empty()) return UsageError("no output file given");
    if (options.femaleShare > 0.0 && !pair) return UsageError("--female-share goes with --pair");

    const auto started = std::chrono::steady_clock::now();
    const std::string female = tlkgen::FemaleTablePath(out);
    if (pair ? !tlkgen::WriteTalkTablePair(out, female, options) : !tlkgen::WriteTalkTable(out, options)) {
        std::fprintf(stderr, "lexicarta-tlkgen: cannot write %s (unwritable, or the texts exceed 4 GiB)\n", out.c_str());
        return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    std::error_code error;
    const auto size = std::filesystem::file_size(out, error);
    if (error) {
        std::fprintf(stderr, "lexicarta-tlkgen: wrote %s but cannot read its size\n", out.c_str());
        return 1;
    }
    std::printf("%s: %u entries, %llu bytes (%.1f s)\n", out.c_str(), options.entries,
                static_cast<unsigned long long>(size), seconds);
    if (pair) std::printf("%s: its female table\n", female.c_str());
    return 0;
}
