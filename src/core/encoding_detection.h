#pragma once
// Which encoding a freshly loaded table is read in.

#include "core/talk_table.h"
#include "core/text_encoding.h"

namespace lexicarta {

// UTF-8 when every saved text of the table (its bytes up to the first NUL) is
// valid UTF-8 and at least one holds a byte above 127; otherwise fallback,
// the single-byte encoding the user chose last. Takes the answer of the load's
// own pass over the texts where it has one (at most a few texts are read
// again); otherwise reads each text from the string cache.
TextEncoding DetectTextEncoding(const TalkTable& table, TextEncoding fallback);

}  // namespace lexicarta
