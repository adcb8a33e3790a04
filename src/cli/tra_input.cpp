#include "cli/tra_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "cli/cli_error.h"
#include "core/unique_fd.h"

namespace lexicarta::cli {
namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

std::optional<std::string> ReadToEnd(int fd)
{
    // A regular file's size is a first guess of how much comes; reading
    // goes on until a read gives nothing, whatever the size said.
    struct stat st {};
    const std::size_t expected =
        ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? static_cast<std::size_t>(st.st_size) : std::size_t{0};
    std::string bytes;
    std::size_t used = 0;
    bytes.resize(std::max<std::size_t>(expected + 1, 1u << 16));
    for (;;) {
        if (used == bytes.size()) bytes.resize(bytes.size() * 2);
        const ssize_t n = ::read(fd, bytes.data() + used, bytes.size() - used);
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (n == 0) break;
        used += static_cast<std::size_t>(n);
    }
    bytes.resize(used);
    return bytes;
}

TraInput::TraInput(const std::string& command, const std::string& path, std::optional<TextEncoding> given)
    : m_command(command), m_name(path == "-" ? "standard input" : path), m_encoding(given)
{
    UniqueFd opened;
    if (path != "-") {
        opened.reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        if (!opened) throw CliError(command + ": cannot read " + path + ": " + std::strerror(errno));
    }
    auto bytes = ReadToEnd(opened ? opened.get() : STDIN_FILENO);
    if (!bytes) throw CliError(command + ": cannot read " + m_name + ": " + std::strerror(errno));
    m_bytes = std::move(*bytes);
    std::string_view content = m_bytes;
    if (content.starts_with(ByteOrderMark)) {
        if (m_encoding && *m_encoding != TextEncoding::Utf8)
            fail(1, "the file starts with a UTF-8 byte-order mark, but --tra-encoding says " +
                        std::string(EncodingName(*m_encoding)));
        m_encoding = TextEncoding::Utf8;
        content.remove_prefix(ByteOrderMark.size());
    }
    m_parsed = ParseTra(content);
    if (m_parsed.error) fail(m_parsed.error->line, m_parsed.error->message);
}

void TraInput::convertTo(TextEncoding tableEncoding)
{
    if (const auto error = ConvertTraEntries(m_parsed, m_encoding.value_or(tableEncoding), tableEncoding))
        fail(error->line, error->message);
}

void TraInput::fail(int line, const std::string& message) const
{
    throw CliError(m_command + ": " + m_name + ":" + std::to_string(line) + ": " + message);
}

}  // namespace lexicarta::cli
