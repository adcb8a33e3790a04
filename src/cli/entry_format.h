#pragma once
// One entry of a table in each output format of get and dump.

#include <cstdint>
#include <string>

#include "cli/loaded_table.h"

namespace lexicarta::cli {

enum class EntryFormat { Text, Tra, Json };

// "text", "tra" or "json"; throws CliError for anything else.
EntryFormat ParseEntryFormat(const std::string& command, const std::string& name);

// Appends entry n: text (a heading line, the text as shown, an empty
// line), a TRA line, or one JSON object on one line. A sound name a TRA
// cannot hold (see TraSoundWritable) is left out of its line: then false.
// With a female table that has entry n, its text and sound are added where
// they differ from the male ones: a second block "StrRef N female | ...",
// the female part of the TRA line, "female_text" and "female_sound" in JSON.
bool AppendEntry(std::string& out, EntryFormat format, const LoadedTable& table, std::uint32_t n,
                 const LoadedTable* female = nullptr);

// The warning for an entry written without its sound.
std::string SoundLeftOutWarning(const std::string& command, std::uint32_t n);

// Whether a sound name can stand between [ ] in a TRA file.
bool TraSoundWritable(std::string_view sound);

}  // namespace lexicarta::cli
