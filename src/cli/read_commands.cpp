// info, get and dump: the header and the entries of a table.

#include <fcntl.h>
#include <sys/stat.h>

#include "cli/arguments.h"
#include "cli/cli_error.h"
#include "cli/commands.h"
#include "cli/entry_format.h"
#include "cli/loaded_pair.h"
#include "cli/loaded_table.h"
#include "cli/output_guard.h"
#include "cli/text_forms.h"
#include "core/file_io.h"
#include "core/tlk_format.h"

namespace lexicarta::cli {
namespace {

const KnownOption EncodingOption{"--encoding", true};

void PrintHeader(Output& out, const TlkHeader& header, std::uint64_t fileSize)
{
    std::string signature;
    for (const char c : header.Signature) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '"' && byte != '\\') {
            signature += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            signature += hex;
        }
    }
    out << "Signature: \"" << signature << "\"\n";
    out << "Language id: ";
    out.number(header.LanguageId) << "\nEntries: ";
    out.number(header.EntryCount) << "\nStringDataOffset: ";
    out.number(header.StringDataOffset) << "\nFile size: ";
    out.number(static_cast<std::int64_t>(fileSize)) << "\n";
}

// A TRA holds the table's own bytes: no encoding needs detecting for it.
std::optional<TextEncoding> EncodingFor(EntryFormat format, const Arguments& arguments)
{
    const auto given = arguments.encoding();
    if (!given && format == EntryFormat::Tra) return TextEncoding::Windows1252;
    return given;
}

// One entry into standard output; a sound left out is told on standard
// error, in its place among the entries.
void WriteEntry(CommandContext& context, const std::string& command, EntryFormat format, const LoadedPair& pair,
                std::uint32_t n)
{
    if (!AppendEntry(context.out.buffer(), format, pair.male(), n, pair.female())) {
        context.out.flush();
        context.err << SoundLeftOutWarning(command, n);
        context.err.flush();
    }
    context.out.settle();
}

// The table and, when it has one, its female table; a pair out of step is
// warned about once.
LoadedPair LoadForReading(const std::string& command, const Arguments& arguments, EntryFormat format,
                          CommandContext& context)
{
    const std::string& path = arguments.operands()[0];
    const auto female = FemaleTablePath(command, arguments, path);
    RefuseOutputsOntoTables(command, female ? Args{path, *female} : Args{path}, {}, context);
    LoadedPair pair(path, female, {}, LoadPurpose::Read, EncodingFor(format, arguments));
    pair.warnIfCountsDiffer(command, context.err);
    return pair;
}

}  // namespace

int InfoCommand(const Args& args, CommandContext& context)
{
    const Arguments arguments("info", args, {EncodingOption}, 1, 1);
    const std::string& path = arguments.operands()[0];
    RefuseOutputsOntoTables("info", {path}, {}, context);
    try {
        const LoadedTable loaded(path, {}, LoadPurpose::Read, arguments.encoding());
        const TalkTable& table = loaded.table();
        PrintHeader(context.out, {table.Signature, table.LanguageId, table.EntryCount, table.StringDataOffset},
                    loaded.fileSize());
        context.out << "Encoding: " << EncodingName(loaded.encoding())
                    << (loaded.encodingGiven() ? " (given)\n" : " (detected)\n");
        return ExitOk;
    } catch (const CliError&) {
        // A damaged table is refused, but its header is worth showing (of
        // a regular file: a pipe would be waited for).
        UniqueFd file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        struct stat st {};
        if (!file || ::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode)) throw;
        unsigned char bytes[HeaderSize];
        const auto size = file ? FileSize(file.get()) : std::nullopt;
        if (size && ReadExact(file.get(), bytes, HeaderSize, 0)) {
            const TlkHeader header = DecodeHeader(std::span<const unsigned char, HeaderSize>(bytes, HeaderSize));
            if (HasValidSignature(header.Signature)) PrintHeader(context.out, header, *size);
        }
        throw;
    }
}

int GetCommand(const Args& args, CommandContext& context)
{
    const Arguments arguments("get", args, {EncodingOption, {"--format", true}, FemaleOption, NoFemaleOption}, 2,
                              SIZE_MAX);
    const EntryFormat format = ParseEntryFormat("get", arguments.value("--format").value_or("text"));
    const LoadedPair pair = LoadForReading("get", arguments, format, context);
    const LoadedTable& loaded = pair.male();
    const std::int64_t last = std::int64_t{loaded.entryCount()} - 1;
    if (last < 0) throw CliError("get: the table has no entries");
    std::vector<std::uint32_t> strRefs;
    for (std::size_t i = 1; i < arguments.operands().size(); ++i)
        strRefs.push_back(static_cast<std::uint32_t>(
            Arguments::ParseNumber(arguments.operands()[i], last, "get: StrRef")));
    for (const std::uint32_t n : strRefs) WriteEntry(context, "get", format, pair, n);
    return ExitOk;
}

int DumpCommand(const Args& args, CommandContext& context)
{
    if (NamesReference(args)) return DumpUntranslated(args, context);
    const Arguments arguments(
        "dump", args, {EncodingOption, {"--format", true}, {"--from", true}, {"--to", true}, FemaleOption, NoFemaleOption},
        1, 1);
    const EntryFormat format = ParseEntryFormat("dump", arguments.value("--format").value_or("text"));
    // Checked before the table is loaded: a mistyped number fails at once.
    arguments.number("--from", INT32_MAX);
    arguments.number("--to", INT32_MAX);
    const LoadedPair pair = LoadForReading("dump", arguments, format, context);
    const LoadedTable& loaded = pair.male();
    const std::int64_t last = std::int64_t{loaded.entryCount()} - 1;
    const std::int64_t from = arguments.number("--from", std::max<std::int64_t>(last, 0)).value_or(0);
    const std::int64_t to = arguments.number("--to", std::max<std::int64_t>(last, 0)).value_or(last);
    if (from > to && last >= 0) UsageError("dump", "--from " + std::to_string(from) + " lies after --to " + std::to_string(to));
    for (std::int64_t n = from; n <= to; ++n) WriteEntry(context, "dump", format, pair, static_cast<std::uint32_t>(n));
    return ExitOk;
}

}  // namespace lexicarta::cli
