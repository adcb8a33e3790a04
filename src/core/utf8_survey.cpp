#include "core/utf8_survey.h"

#include <algorithm>
#include <cstring>

#include "core/text_encoding.h"

namespace lexicarta {
namespace {

constexpr std::size_t MaxRechecks = 64;

bool IsContinuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// Bytes of the character a lead byte begins; 0 for a byte that begins none.
std::size_t LengthOfLead(unsigned char byte)
{
    if (byte >= 0xC2 && byte <= 0xDF) return 2;
    if (byte >= 0xE0 && byte <= 0xEF) return 3;
    if (byte >= 0xF0 && byte <= 0xF4) return 4;
    return 0;
}

}  // namespace

Utf8Survey::Utf8Survey(const StrRefEntry* entries, std::uint32_t count, std::uint64_t dataSize)
    : m_entries(entries), m_count(count), m_dataSize(dataSize)
{
    m_boundaryCursor = nextText(0);
    m_errorCursor = m_boundaryCursor;
    m_highCursor = m_boundaryCursor;
}

std::uint32_t Utf8Survey::nextText(std::uint32_t from) const
{
    while (from < m_count && (m_entries[from].Length == 0 || m_entries[from].Offset >= m_dataSize)) ++from;
    return from;
}

std::uint64_t Utf8Survey::endOf(std::uint32_t n) const
{
    return std::min<std::uint64_t>(m_dataSize, std::uint64_t{m_entries[n].Offset} + m_entries[n].Length);
}

bool Utf8Survey::nulBetween(std::uint64_t from, std::uint64_t to) const
{
    return to > from && std::memchr(m_chunk.data() + (from - m_chunkStart), 0, to - from) != nullptr;
}

void Utf8Survey::settle(Utf8SurveyResult::Outcome outcome)
{
    if (m_settled) return;
    m_result.outcome = outcome;
    m_settled = true;
}

void Utf8Survey::mustRecheck(std::uint32_t n)
{
    if (!m_result.recheck.empty() && m_result.recheck.back() == n) return;
    m_result.recheck.push_back(n);
    if (m_result.recheck.size() > MaxRechecks) settle(Utf8SurveyResult::Outcome::Unknown);
}

bool Utf8Survey::feed(std::string_view chunk)
{
    if (m_settled) return false;
    m_chunk = chunk;
    m_chunkStart = m_chunkEnd;
    m_chunkEnd = m_chunkStart + chunk.size();
    m_chunkHasHigh = false;
    // The validation brings the chunk into the processor's cache for the
    // rest. (An invalid byte is only ever placed in a text that truly holds
    // it, so this needs no layout checked beforehand.)
    validate(false);
    if (!m_settled) checkBoundaries();
    if (!m_settled && !m_result.highConfirmed && !m_result.highCandidate && m_chunkHasHigh) findHighByte();
    return !m_settled;
}

Utf8SurveyResult Utf8Survey::finish()
{
    if (!m_settled) {
        // A character begun at the very end of the data is cut off.
        m_chunk = {};
        m_chunkStart = m_chunkEnd;
        validate(true);
    }
    if (!m_settled)
        settle(m_result.highConfirmed || m_result.highCandidate ? Utf8SurveyResult::Outcome::Utf8
                                                                : Utf8SurveyResult::Outcome::NotUtf8);
    if (m_result.outcome != Utf8SurveyResult::Outcome::Utf8) {
        m_result.recheck.clear();
        m_result.highConfirmed = false;
        m_result.highCandidate.reset();
    }
    return std::move(m_result);
}

void Utf8Survey::validate(bool last)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(m_chunk.data());
    const std::size_t size = m_chunk.size();
    std::size_t from = 0;

    if (m_carryLength > 0) {
        // Finish the character the previous chunk began, with the bytes it still needs.
        const std::size_t needed = LengthOfLead(static_cast<unsigned char>(m_carry[0])) - m_carryLength;
        if (!last && size < needed) {
            if (size > 0) std::memcpy(m_carry + m_carryLength, m_chunk.data(), size);
            m_carryLength += size;
            m_chunkHasHigh = true;
            return;
        }
        const std::uint64_t carryStart = m_chunkStart - m_carryLength;
        char joined[8];
        std::memcpy(joined, m_carry, m_carryLength);
        const std::size_t taken = std::min(needed, size);
        if (taken > 0) std::memcpy(joined + m_carryLength, m_chunk.data(), taken);
        const std::string_view piece(joined, m_carryLength + taken);
        std::size_t pos = 0;
        while (pos < m_carryLength) {
            const Utf8Char c = NextUtf8(piece, pos);
            if (IsStandIn(c.code)) {
                invalidByteAt(carryStart + pos);
                if (m_settled) return;
            }
            pos += c.length;
        }
        from = pos - m_carryLength;
        m_carryLength = 0;
        m_chunkHasHigh = true;
    }

    // A character that the next chunk finishes is kept back for it.
    std::size_t end = size;
    if (!last) {
        for (std::size_t back = 1; back <= 3 && back <= size - from; ++back) {
            if (IsContinuation(static_cast<char>(bytes[size - back]))) continue;
            if (LengthOfLead(bytes[size - back]) > back) end = size - back;
            break;
        }
    }
    const std::string_view whole(m_chunk.data(), end);
    bool sawHigh = false;
    for (std::size_t pos = from; pos < end;) {
        const std::size_t invalid = FirstInvalidUtf8(whole, pos, &sawHigh);
        if (invalid >= end) break;
        invalidByteAt(m_chunkStart + invalid);
        if (m_settled) return;
        pos = invalid + 1;
    }
    if (sawHigh || end < size) m_chunkHasHigh = true;
    m_carryLength = size - end;
    if (m_carryLength > 0) std::memcpy(m_carry, m_chunk.data() + end, m_carryLength);
}

void Utf8Survey::invalidByteAt(std::uint64_t position)
{
    while (m_errorCursor < m_count && endOf(m_errorCursor) <= position) m_errorCursor = nextText(m_errorCursor + 1);
    if (m_errorCursor >= m_count) return;
    const std::uint64_t start = startOf(m_errorCursor);
    if (start > position) return;  // between texts: no text holds it
    // Only bytes before a text's first NUL count.
    if (inChunk(start) && inChunk(position)) {
        if (!nulBetween(start, position)) settle(Utf8SurveyResult::Outcome::NotUtf8);
        return;
    }
    mustRecheck(m_errorCursor);
}

std::optional<bool> Utf8Survey::cutOffAt(std::uint64_t start, std::uint64_t end) const
{
    // The pass over the whole data reads a character across the end of a
    // text only where the byte after it continues one.
    if (end >= m_dataSize || !IsContinuation(m_chunk[end - m_chunkStart])) return false;
    for (std::uint64_t back = 1; back <= 3 && back <= end - start; ++back) {
        if (!inChunk(end - back)) return std::nullopt;
        const auto byte = static_cast<unsigned char>(m_chunk[end - back - m_chunkStart]);
        if (IsContinuation(static_cast<char>(byte))) continue;
        return LengthOfLead(byte) > back;
    }
    // Only continuation bytes: they close a character or are invalid bytes of the text itself.
    return false;
}

void Utf8Survey::checkBoundaries()
{
    if (m_pendingEnd && endOf(*m_pendingEnd) < m_chunkEnd) {
        const auto cut = cutOffAt(startOf(*m_pendingEnd), endOf(*m_pendingEnd));
        if (!cut || *cut) mustRecheck(*m_pendingEnd);
        m_pendingEnd.reset();
    }
    // Every record passes here once: kept lean.
    const char* chunk = m_chunk.data();
    const std::uint64_t chunkStart = m_chunkStart;
    const std::uint64_t chunkEnd = m_chunkEnd;
    const std::uint64_t dataSize = m_dataSize;
    std::uint64_t previousEnd = m_previousEnd;
    std::uint32_t n = m_boundaryCursor;
    for (; n < m_count; ++n) {
        const StrRefEntry& entry = m_entries[n];
        const std::uint64_t start = entry.Offset;
        if (entry.Length == 0 || start >= dataSize) continue;
        if (start >= chunkEnd) break;
        const std::uint64_t end = std::min<std::uint64_t>(dataSize, start + entry.Length);
        // Texts that overlap, share bytes or come out of order: each must be checked by itself.
        if (start < previousEnd || start < chunkStart) {
            settle(Utf8SurveyResult::Outcome::Unknown);
            break;
        }
        previousEnd = end;
        // A text that starts inside a character starts with an invalid byte.
        if (IsContinuation(chunk[start - chunkStart])) {
            settle(Utf8SurveyResult::Outcome::NotUtf8);
            break;
        }
        // One that ends inside a character is cut off, unless a NUL ends it sooner.
        if (end == dataSize) continue;
        if (end >= chunkEnd) {
            m_pendingEnd = n;
            continue;
        }
        if (!IsContinuation(chunk[end - chunkStart])) continue;
        const auto cut = cutOffAt(start, end);
        if (!cut) {
            mustRecheck(n);
        } else if (*cut && !nulBetween(start, end)) {
            settle(Utf8SurveyResult::Outcome::NotUtf8);
            break;
        }
    }
    m_boundaryCursor = n;
    m_previousEnd = previousEnd;
}

void Utf8Survey::findHighByte()
{
    while (m_highCursor < m_count && endOf(m_highCursor) <= m_chunkStart) m_highCursor = nextText(m_highCursor + 1);
    while (m_highCursor < m_count && startOf(m_highCursor) < m_chunkEnd) {
        const std::uint32_t n = m_highCursor;
        const std::uint64_t start = startOf(n);
        const std::uint64_t end = endOf(n);
        const std::uint64_t from = std::max(start, m_chunkStart);
        const std::uint64_t to = std::min(end, m_chunkEnd);
        const char* first = m_chunk.data() + (from - m_chunkStart);
        const char* last = m_chunk.data() + (to - m_chunkStart);
        const char* high = std::find_if(first, last, [](char c) { return (c & 0x80) != 0; });
        if (high != last) {
            const std::uint64_t position = m_chunkStart + static_cast<std::uint64_t>(high - m_chunk.data());
            if (start < m_chunkStart) {
                m_result.highCandidate = n;
                return;
            }
            if (!nulBetween(start, position)) {
                m_result.highConfirmed = true;
                return;
            }
        }
        if (end > m_chunkEnd) return;  // the text goes on in the next chunk
        m_highCursor = nextText(n + 1);
    }
}

}  // namespace lexicarta
