#pragma once
// The edit journal's operations on the table: offset shifting and bringing
// an edited entry back to its saved state.

#include <cstdint>

#include "core/talk_table.h"

namespace lexicarta {

// Adds delta (32-bit unsigned arithmetic, so a "negative" delta wraps) to the
// Offset of the entries first .. EntryCount - 1.
void ShiftOffsets(TalkTable& table, std::int64_t first, std::uint32_t delta);

// Restores an EditedByUser entry: later offsets shifted back by its change
// of length, Length, SoundResRef and Flags from the baseline, its journal
// file deleted (if any), state Original. Returns whether the file deletion
// succeeded (a missing file counts as success).
bool RevertEditedEntry(TalkTable& table, std::int32_t strRef);

}  // namespace lexicarta
