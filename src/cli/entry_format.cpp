#include "cli/entry_format.h"

#include "cli/arguments.h"
#include "cli/cli_error.h"
#include "cli/text_forms.h"
#include "cli/tra_file.h"

namespace lexicarta::cli {

EntryFormat ParseEntryFormat(const std::string& command, const std::string& name)
{
    if (name == "text") return EntryFormat::Text;
    if (name == "tra") return EntryFormat::Tra;
    if (name == "json") return EntryFormat::Json;
    UsageError(command, "unknown format '" + name + "' (text, tra or json)");
}

bool TraSoundWritable(std::string_view sound) { return sound.find_first_of("]\n\r") == std::string_view::npos; }

std::string SoundLeftOutWarning(const std::string& command, std::uint32_t n)
{
    return "lexicarta-cli: " + command + ": warning: StrRef " + std::to_string(n) +
           " is written without its sound: the sound name holds ']' or a line break, which a TRA file cannot hold\n";
}

namespace {

std::string Heading(const std::string& name, const StrRefEntry& record, TextEncoding encoding, std::string_view sound)
{
    return name + " | flags " + std::to_string(record.Flags) + " | " +
           (sound.empty() ? std::string("no sound") : "sound " + DecodeToUtf8(encoding, sound)) + " | volume variance " +
           std::to_string(record.VolumeVariance) + " | pitch variance " + std::to_string(record.PitchVariance) + "\n";
}

// As the window shows it: up to the first NUL byte.
void AppendShownText(std::string& out, TextEncoding encoding, std::string_view text)
{
    out += DecodeToUtf8(encoding, text.substr(0, text.find('\0')));
    out += "\n\n";
}

}  // namespace

bool AppendEntry(std::string& out, EntryFormat format, const LoadedTable& table, std::uint32_t n, const LoadedTable* female)
{
    const StrRefEntry& record = table.record(n);
    const std::string_view text = table.text(n);
    const std::string_view sound = table.sound(n);
    if (female && n >= female->entryCount()) female = nullptr;
    const std::string_view femaleText = female ? female->text(n) : text;
    const std::string_view femaleSound = female ? female->sound(n) : sound;
    const bool femaleDiffers = femaleText != text || femaleSound != sound;
    switch (format) {
    case EntryFormat::Tra: {
        const bool writable = TraSoundWritable(sound) && TraSoundWritable(femaleSound);
        auto soundOf = [](std::string_view name, bool given) {
            return given && TraSoundWritable(name) ? std::optional<std::string_view>(name) : std::nullopt;
        };
        AppendTraLine(out, n, text, soundOf(sound, !sound.empty()),
                      femaleDiffers ? std::optional<std::string_view>(femaleText) : std::nullopt,
                      soundOf(femaleSound, femaleDiffers && (!femaleSound.empty() || femaleSound != sound)));
        return writable;
    }
    case EntryFormat::Json:
        out += "{\"strref\":" + std::to_string(n) + ",\"flags\":" + std::to_string(record.Flags) + ",\"sound\":";
        AppendJsonString(out, table.encoding(), sound);
        out += ",\"volume_variance\":" + std::to_string(record.VolumeVariance) +
               ",\"pitch_variance\":" + std::to_string(record.PitchVariance) + ",\"text\":";
        AppendJsonString(out, table.encoding(), text);
        if (femaleText != text) {
            out += ",\"female_text\":";
            AppendJsonString(out, table.encoding(), femaleText);
        }
        if (femaleSound != sound) {
            out += ",\"female_sound\":";
            AppendJsonString(out, table.encoding(), femaleSound);
        }
        out += "}\n";
        return true;
    case EntryFormat::Text:
        out += Heading("StrRef " + std::to_string(n), record, table.encoding(), sound);
        AppendShownText(out, table.encoding(), text);
        if (femaleDiffers) {
            out += Heading("StrRef " + std::to_string(n) + " female", female->record(n), table.encoding(), femaleSound);
            AppendShownText(out, table.encoding(), femaleText);
        }
        return true;
    }
    return true;
}

}  // namespace lexicarta::cli
