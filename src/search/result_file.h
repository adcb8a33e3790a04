#pragma once
// Where the advanced search puts the StrRef of every match of one
// expression: a file of 32-bit little-endian signed integers, no header.

#include <cstdint>
#include <string>
#include <vector>

#include "core/unique_fd.h"

namespace lexicarta {

// What the search engine appends to; tests record into a double.
class ResultFile {
public:
    virtual ~ResultFile() = default;
    // Adds one StrRef at the end; false when it could not be stored.
    virtual bool append(std::int32_t strRef) = 0;
};

class ResultFileWriter : public ResultFile {
public:
    ResultFileWriter() = default;
    ResultFileWriter(const ResultFileWriter&) = delete;
    ResultFileWriter& operator=(const ResultFileWriter&) = delete;
    ~ResultFileWriter() override;

    // Creates path empty (replacing a file of that name).
    bool create(const std::string& path);
    bool append(std::int32_t strRef) override;
    // Writes what is still buffered and closes; false when anything written
    // since create was lost. Closing a closed writer succeeds.
    bool close();
    bool isOpen() const { return m_file.valid(); }

private:
    bool flush();

    UniqueFd m_file;
    std::vector<unsigned char> m_buffer;
    bool m_failed = false;
};

}  // namespace lexicarta
