#pragma once
// Checks a table's string data for UTF-8 while a load copies it into the
// cache, so that telling the table's encoding costs no pass of its own.
//
// When the texts lie one after another in StrRef order (as saved tables lay
// them out), one pass over the whole string data answers for every text: a
// text is valid UTF-8 exactly when it holds no invalid byte and neither
// starts nor ends inside a character. Other layouts are left to a check of
// each text.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/tlk_format.h"

namespace lexicarta {

// What a load learnt about its texts.
struct Utf8SurveyResult {
    enum class Outcome {
        NotUtf8,  // some text is no valid UTF-8, or none holds a byte above 127
        Utf8,     // every text is valid UTF-8 and one holds a byte above 127, subject to the rechecks below
        Unknown,  // the layout did not allow an answer; check each text
    };
    Outcome outcome = Outcome::Unknown;
    // The cache generation the result belongs to.
    std::uint64_t cacheGeneration = 0;
    // Entries whose texts (to their first NUL) must still prove valid UTF-8:
    // the pass found an invalid byte or a broken character it could not place
    // before or after a NUL.
    std::vector<std::uint32_t> recheck;
    // Whether a text is known to hold a byte above 127; otherwise the entry
    // whose text should, unless a NUL comes first.
    bool highConfirmed = false;
    std::optional<std::uint32_t> highCandidate;
};

class Utf8Survey {
public:
    // entries: the records as read (their Offset and Length); dataSize: bytes of string data.
    Utf8Survey(const StrRefEntry* entries, std::uint32_t count, std::uint64_t dataSize);

    // The next bytes of the string data, in order. False once the answer is
    // known, after which no more bytes are needed.
    bool feed(std::string_view chunk);
    // The answer, after the last chunk.
    Utf8SurveyResult finish();

private:
    // The next entry from `from` on whose text lies within the data, or m_count.
    std::uint32_t nextText(std::uint32_t from) const;
    std::uint64_t startOf(std::uint32_t n) const { return m_entries[n].Offset; }
    std::uint64_t endOf(std::uint32_t n) const;
    bool inChunk(std::uint64_t position) const { return position >= m_chunkStart && position < m_chunkEnd; }
    // Whether the chunk shows a NUL between from and to (both within it).
    bool nulBetween(std::uint64_t from, std::uint64_t to) const;

    // Whether the text from start to end (end within the chunk) stops inside
    // a character; nullopt when the bytes that tell lie before the chunk.
    std::optional<bool> cutOffAt(std::uint64_t start, std::uint64_t end) const;
    void validate(bool last);
    void invalidByteAt(std::uint64_t position);
    void checkBoundaries();
    void findHighByte();
    void mustRecheck(std::uint32_t n);
    void settle(Utf8SurveyResult::Outcome outcome);

    const StrRefEntry* m_entries;
    std::uint32_t m_count;
    std::uint64_t m_dataSize;

    // The chunk being looked at.
    std::string_view m_chunk;
    std::uint64_t m_chunkStart = 0;
    std::uint64_t m_chunkEnd = 0;
    bool m_chunkHasHigh = false;
    // Bytes at the end of the previous chunk that begin a character it did not finish.
    char m_carry[8]{};
    std::size_t m_carryLength = 0;

    std::uint32_t m_boundaryCursor = 0;  // next text whose start is still to be checked
    std::uint64_t m_previousEnd = 0;
    std::optional<std::uint32_t> m_pendingEnd;  // text whose end lies beyond the chunks seen
    std::uint32_t m_errorCursor = 0;
    std::uint32_t m_highCursor = 0;

    Utf8SurveyResult m_result;
    bool m_settled = false;
};

}  // namespace lexicarta
