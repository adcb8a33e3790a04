#pragma once
// The TRA file of apply: read from its path or from standard input ("-")
// to its very end (a pipe, /dev/stdin or a process substitution has no size
// to go by), checked line by line, and its texts turned into the table's
// encoding. Every failure is a CliError naming the file and, for its
// contents, the line.

#include <optional>
#include <string>
#include <vector>

#include "cli/tra_file.h"
#include "core/text_encoding.h"

namespace lexicarta::cli {

class TraInput {
public:
    // Reads and parses path. given: the encoding the file is written in
    // (--tra-encoding); a file that starts with a UTF-8 byte-order mark is
    // UTF-8, and may not be given another encoding.
    TraInput(const std::string& command, const std::string& path, std::optional<TextEncoding> given);
    TraInput(const TraInput&) = delete;  // the entries refer to the bytes held here
    TraInput& operator=(const TraInput&) = delete;

    // Turns the texts and sounds into the table's encoding, read from the
    // given encoding, UTF-8 for a file with a byte-order mark, or else the
    // table's own.
    void convertTo(TextEncoding tableEncoding);

    // The path, or "standard input".
    const std::string& name() const { return m_name; }
    const std::vector<TraEntry>& entries() const { return m_parsed.entries; }

private:
    [[noreturn]] void fail(int line, const std::string& message) const;

    std::string m_command;
    std::string m_name;
    std::optional<TextEncoding> m_encoding;
    std::string m_bytes;
    TraParseResult m_parsed;
};

// Reads the whole of what fd gives, to its end; nullopt with errno set on
// a failed read.
std::optional<std::string> ReadToEnd(int fd);

}  // namespace lexicarta::cli
