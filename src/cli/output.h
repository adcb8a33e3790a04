#pragma once
// Buffered output to a file descriptor (standard output, or a file being
// written). A failed write throws CliError naming where it went.

#include <cstdint>
#include <string>
#include <string_view>

namespace lexicarta::cli {

class Output {
public:
    // what: how the destination is named in a message ("standard output").
    Output(int fd, std::string what);
    ~Output();  // writes what is left; errors at that point are lost, call flush() first
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    Output& operator<<(std::string_view bytes)
    {
        m_buffer.append(bytes);
        settle();
        return *this;
    }
    Output& operator<<(char byte)
    {
        m_buffer.push_back(byte);
        settle();
        return *this;
    }
    Output& number(std::int64_t value);

    // Large output is appended straight to the buffer, then settled: one
    // copy of each text on its way out.
    std::string& buffer() { return m_buffer; }
    void settle()
    {
        if (m_buffer.size() >= Capacity) drain();
    }
    void flush() { drain(); }
    int fd() const { return m_fd; }
    // Nothing more goes out, not even what is buffered: the destination
    // turned out to be a file that must not be written.
    void discard()
    {
        m_buffer.clear();
        m_fd = -1;
    }

private:
    // Small enough to stay in the processor's cache between two writes:
    // a dump is faster with this than with a buffer of megabytes.
    static constexpr std::size_t Capacity = 1u << 18;
    void drain();

    int m_fd;
    std::string m_what;
    std::string m_buffer;
};

}  // namespace lexicarta::cli
