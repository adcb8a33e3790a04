#include "cli/cli.h"

#include <new>
#include <optional>
#include <string_view>

#include "cli/cli_error.h"
#include "cli/commands.h"
#include "cli/output.h"
#include "cli/private_directory.h"
#include "core/file_io.h"

namespace lexicarta::cli {
namespace {

struct Command {
    std::string_view name;
    int (*run)(const Args&, CommandContext&);
    std::string_view summary;
    std::string_view help;
};

constexpr std::string_view EncodingHelp =
    "  --encoding NAME   read the texts as Windows-1252, Windows-1250, Windows-1251 or UTF-8\n"
    "                    instead of the encoding detected from the table\n";

constexpr std::string_view FemaleHelp =
    "  --female FILE     the female table of TABLE (the texts said to a female character);\n"
    "                    by default XF.tlk beside X.tlk (dialogF.tlk beside dialog.tlk, in any\n"
    "                    case) when there is one. It is read in TABLE's encoding.\n"
    "  --no-female       no female table, even where one lies beside TABLE\n"
    "A pair whose entry counts differ is warned about, and only apply refuses it.\n";

const Command Commands[] = {
    {"info", InfoCommand, "header values, file size and text encoding of a table",
     "Usage: lexicarta-cli info TABLE [--encoding NAME]\n"
     "\n"
     "Prints the signature, language id, entry count, StringDataOffset and file size of TABLE\n"
     "and the encoding its texts are read in (detected: UTF-8 when every text is valid UTF-8\n"
     "and one holds a non-ASCII character, Windows-1252 otherwise). A table the editor would\n"
     "refuse is reported as an error, after the header values when they can be read.\n"},
    {"get", GetCommand, "entries by StrRef",
     "Usage: lexicarta-cli get TABLE STRREF... [--format text|tra|json] [--encoding NAME] [--female FILE]\n"
     "\n"
     "Prints the given entries: text, sound, flags and variances (formats as for dump).\n"},
    {"dump", DumpCommand, "all entries, or a range of them, as text, TRA or JSON",
     "Usage: lexicarta-cli dump TABLE [--from N] [--to M] [--format text|tra|json] [--encoding NAME] [--female FILE]\n"
     "\n"
     "Prints entries N to M (both included; default: all).\n"
     "  text  a line \"StrRef N | flags F | sound S | volume variance V | pitch variance P\",\n"
     "        the text as the editor shows it (up to a NUL byte), an empty line\n"
     "  tra   \"@N = ~text~ [SOUND]\" with the table's own bytes, for apply\n"
     "  json  one object per line: strref, flags, sound, volume_variance, pitch_variance, text\n"
     "Text and JSON are UTF-8. A byte that is no character of the table's encoding (in a\n"
     "UTF-8 table) appears as the private-use character U+F7XX, XX being the byte in hex;\n"
     "in JSON as the escape \\uf7xx.\n"
     "With a female table, an entry whose female text or sound differs from the male one\n"
     "also shows them: a second block \"StrRef N female | ...\" in text, \"@N = ~male~ [SOUND]\n"
     "~female~ [SOUND]\" in TRA, \"female_text\" and \"female_sound\" in JSON.\n"
     "  --reference REF   with --format tra: only the untranslated entries (see status), with\n"
     "                    the texts of REF, the table in the original language, to hand to a\n"
     "                    translator. In REF's own bytes when both tables share an encoding,\n"
     "                    otherwise in UTF-8 (with a byte-order mark unless TABLE is UTF-8), which\n"
     "                    apply turns into TABLE's encoding.\n"
     "  --reference-encoding NAME   the encoding of REF (default: detected)\n"},
    {"search", SearchCommand, "the matches of a term, as Find next finds them",
     "Usage: lexicarta-cli search TABLE TERM [--case] [--whole-words] [--absolute] [--from N] [--count]\n"
     "\n"
     "Prints every match of TERM in the saved texts as \"StrRef<TAB>position\", in the order\n"
     "Find next shows them. The position counts from 0 in the text as the editor shows it,\n"
     "where a line break counts two: characters in a single-byte table, bytes of that text in\n"
     "UTF-8 in a UTF-8 table (a character beyond ASCII counts two to four).\n"
     "  --case          case sensitivity\n"
     "  --whole-words   only whole-word occurrences\n"
     "  --absolute      look for the next occurrence one character after the last one's start\n"
     "                  (default: behind it)\n"
     "  --from N        start at StrRef N\n"
     "  --count         print only the number of matches, counted as the word statistics count\n"
     "Exit status 1 when nothing is found.\n"},
    {"stats", StatsCommand, "the technical statistics",
     "Usage: lexicarta-cli stats TABLE [--json]\n"
     "\n"
     "Prints the figures of the statistics window's technical pages (sizes, entries by type,\n"
     "entries with sounds by type), with its default custom fields; --json as one object.\n"},
    {"export", ExportCommand, "all texts into a text file, as the editor exports them",
     "Usage: lexicarta-cli export TABLE OUT [--raw] [--number] [--empty] [--no-spacelines]\n"
     "\n"
     "Writes the editor's text export of TABLE into OUT, byte for byte the same.\n"
     "  --raw             a copy of the table's string data instead of the guided listing\n"
     "  --number          \"--- STRING N ---\" and \"--- END OF STRING N ---\" around each text\n"
     "  --empty           also texts that are empty or only spaces\n"
     "  --no-spacelines   no empty line after each text\n"},
    {"diff", DiffCommand, "entries added, removed and changed between two tables",
     "Usage: lexicarta-cli diff OLD NEW [--tra OUT.tra] [--encoding NAME] [--female FILE] [--new-female FILE]\n"
     "\n"
     "Lists, one line each: \"changed N text|sound|flags|volume variance|pitch variance: A -> B\",\n"
     "\"added N: ...\" and \"removed N: ...\", texts quoted on one line (escapes as in JSON),\n"
     "then a count. Exit status 1 when the tables differ, 0 when they do not.\n"
     "  --tra OUT.tra   also write the changed and added texts (with their sounds) as a TRA\n"
     "                  file: apply it to OLD to give it NEW's texts and sounds. Removed\n"
     "                  entries cannot be expressed in a TRA file.\n"
     "  --new-female FILE   the female table of NEW (--female names OLD's); by default\n"
     "                  found beside NEW as beside OLD\n"
     "With female tables, their changes are listed as \"changed N female text: ...\", and\n"
     "the TRA file gives an entry its female text (\"@N = ~male~ ~female~\") wherever that\n"
     "differs from the male one. A table without a female table counts as saying the same\n"
     "to both.\n"},
    {"apply", ApplyCommand, "the texts and sounds of a TRA file written into a table",
     "Usage: lexicarta-cli apply TABLE CHANGES.tra [--append] [--tra-encoding NAME] [--encoding NAME]\n"
     "                           [--female FILE]\n"
     "\n"
     "Sets entry N's text for every \"@N = ~text~\" of CHANGES.tra, and its sound when\n"
     "\"[SOUND]\" follows ([] clears it), then saves TABLE as the editor saves it: a backup\n"
     "TABLE.bak, the new file written beside it, flushed to disk and renamed over it.\n"
     "Changed entries get type 3 (7 for a text with a <TAG> in a table that has type 7\n"
     "entries), as in the editor. Texts may be delimited by ~, \", % or ~~~~~ and joined with ^;\n"
     "// and /* */ (which nest) are comments; a [SOUND] may stand on the line after its text;\n"
     "@N may have leading zeros; lines end with LF, CR LF or CR. CHANGES.tra '-' is standard\n"
     "input. A later @N replaces an earlier one; a line that changes neither text nor sound\n"
     "leaves its entry as it is.\n"
     "\"@N = ~male~ [SOUND] ~female~ [SOUND]\" gives the female table its own text and sound;\n"
     "without them the female table gets the male text (and sound, when one is given). Both\n"
     "tables are saved as one: both new, or, when either cannot be saved, both as they were.\n"
     "Without a female table the female texts are ignored, with one warning. A pair whose\n"
     "entry counts differ is refused.\n"
     "  --append              entries from the table's entry count on are added at its end\n"
     "  --tra-encoding NAME   the encoding CHANGES.tra is written in (Windows-1252,\n"
     "                        Windows-1250, Windows-1251 or UTF-8); default: the table's,\n"
     "                        or UTF-8 for a file that starts with a UTF-8 byte-order mark.\n"
     "                        Texts and sounds are turned into the table's encoding.\n"
     "A malformed line, a text that is not valid in the TRA's encoding or that holds a\n"
     "character the table's encoding cannot hold is reported with its line number, and\n"
     "nothing is written.\n"},
    {"check", CheckCommand, "the translation checks: tokens, flags, lengths, leftovers, spelling",
     "Usage: lexicarta-cli check TABLE [--reference REF] [--checks LIST] [--max-bytes N]\n"
     "                           [--format text|json] [--spelling LANG] [--encoding NAME]\n"
     "                           [--female FILE | --no-female] [--reference-female FILE]\n"
     "\n"
     "Prints every finding of the checks on TABLE's texts, by StrRef: \"StrRef<TAB>kind<TAB>detail\",\n"
     "or with --format json one object per line with the keys strref, kind and detail.\n"
     "Then one line per check on standard error: \"kind: N findings\". Exit status 0 when\n"
     "nothing was found, 1 otherwise. The checks (--checks, separated by commas; default all\n"
     "but spelling, and leftover only with a reference):\n"
     "  tokens            <TOKENS> missing, added or misspelled against the reference's (an\n"
     "                    unknown token one letter away from a known one counts as misspelled,\n"
     "                    also without a reference); '<' and '>' that do not pair up\n"
     "  lowercase-token   a token that gives a lower-case word (<PRO_HESHE>, ...) at the start\n"
     "                    of a sentence\n"
     "  flags             a text without the text bit (1) in Flags, a token without the token\n"
     "                    bit (4), a sound without the sound bit (2)\n"
     "  length            more bytes than --max-bytes (default 32767), or more than 3 times as\n"
     "                    many characters as a reference text of at least 20\n"
     "  leftover          the reference text with only a marker added (TODO, FIXME, ???, [])\n"
     "  spelling          words the dictionary of LANG does not know (needs --spelling)\n"
     "  female            with a female table: no female text where the male table has one (or\n"
     "                    no such entry there), the female text the same as the male one where\n"
     "                    the reference's female text differs from its male one, and a female\n"
     "                    table longer than TABLE (once, at the first entry TABLE lacks)\n"
     "  --reference REF          the table in the original language\n"
     "  --reference-encoding NAME   the encoding of REF (default: detected)\n"
     "  --spelling LANG          spell check with the Hunspell dictionary LANG (fr_FR, de_DE, ...)\n"
     "  --dictionaries DIR:...   where dictionaries are looked for (default /usr/share/hunspell)\n"
     "  --words FILE             a personal word list (UTF-8, one word a line): the game's names\n"
     "  --settings FILE          tokens added in a translation settings file\n"
     "                           (lexicarta-translation.cfg, as the editor keeps it)\n"
     "  --female FILE            TABLE's female table (default: XF.tlk found beside X.tlk)\n"
     "  --no-female              check TABLE alone, even with a female table beside it\n"
     "  --reference-female FILE  REF's female table (default: found beside REF)\n"},
    {"status", StatusCommand, "what is left to translate, against the table in the original language",
     "Usage: lexicarta-cli status TABLE --reference REF [--only STATUS] [--encoding NAME]\n"
     "\n"
     "Lists the entries of TABLE that are left to translate against REF, the table in the\n"
     "original language, one a line: \"StrRef<TAB>status\", and \"<TAB>beyond the end of the\n"
     "table\" (or \"of the reference\") for an entry only one of them has. The statuses:\n"
     "  untranslated   the same text as REF's, case and surrounding blanks aside, holding a\n"
     "                 letter outside its tokens\n"
     "  missing        empty here, a text in REF\n"
     "  only-here      a text here, none in REF\n"
     "  (translated and empty are listed only when asked for with --only.)\n"
     "Then the count of each status on standard error. Exit status 0 when nothing was listed,\n"
     "1 otherwise.\n"
     "  --only STATUS              only the entries of STATUS\n"
     "  --reference-encoding NAME  the encoding of REF (default: detected)\n"},
};

constexpr std::string_view Overview =
    "Usage: lexicarta-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "The Lexicarta talk table editor's core from the command line.\n"
    "\n"
    "Commands:\n";

constexpr std::string_view OverviewEnd =
    "\n"
    "'lexicarta-cli COMMAND --help' describes a command.\n"
    "Exit status: 0 success, 1 the command found a difference or no match, 2 bad arguments,\n"
    "unreadable input or a failed write (with one message on standard error).\n";

std::string OverviewText()
{
    std::string text(Overview);
    for (const Command& command : Commands) {
        std::string name(command.name);
        name.resize(10, ' ');
        text += "  " + name + std::string(command.summary) + "\n";
    }
    return text + std::string(OverviewEnd);
}

void Report(Output& err, const std::string& message)
{
    try {
        err << "lexicarta-cli: " << message << "\n";
        err.flush();
    } catch (const CliError&) {
        // Nowhere left to tell it.
    }
}

bool IsHelp(const std::string& arg) { return arg == "--help" || arg == "-h"; }

}  // namespace

int RunCli(const std::vector<std::string>& args, int outFd, int errFd)
{
    Output out(outFd, "standard output");
    Output err(errFd, "standard error");
    std::string commandName;
    try {
        if (args.empty()) throw CliError("missing command (see 'lexicarta-cli --help')");
        commandName = args[0];
        if (IsHelp(commandName) || commandName == "help") {
            if (commandName == "help" && args.size() > 1) {
                for (const Command& command : Commands)
                    if (command.name == args[1]) {
                        out << command.help;
                        out.flush();
                        return ExitOk;
                    }
                throw CliError("unknown command '" + args[1] + "' (see 'lexicarta-cli --help')");
            }
            out << OverviewText();
            out.flush();
            return ExitOk;
        }
        for (const Command& command : Commands) {
            if (command.name != commandName) continue;
            const Args rest(args.begin() + 1, args.end());
            for (const std::string& arg : rest) {
                if (arg == "--") break;
                if (IsHelp(arg)) {
                    out << command.help;
                    if (command.help.find("--encoding") != std::string_view::npos) out << "\n" << EncodingHelp;
                    if (command.help.find("--female") != std::string_view::npos) out << FemaleHelp;
                    out.flush();
                    return ExitOk;
                }
            }
            std::optional<PrivateDirectory> directory;
            CommandContext context{[&directory] { return (directory ? *directory : directory.emplace()).path(); }, out, err};
            const int status = command.run(rest, context);
            out.flush();
            return status;
        }
        throw CliError("unknown command '" + commandName + "' (see 'lexicarta-cli --help')");
    } catch (const CliError& error) {
        try {
            out.flush();
        } catch (const CliError&) {
        }
        Report(err, error.what());
        return error.status();
    } catch (const std::bad_alloc&) {
        Report(err, commandName + ": out of memory");
        return ExitError;
    }
}

}  // namespace lexicarta::cli
