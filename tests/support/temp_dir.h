#pragma once
// A fresh directory under /tmp, removed with everything in it at the end.

#include <string>
#include <vector>

namespace lexicarta::testing {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // With a trailing '/'.
    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + name; }
    // Names of the files in the directory, sorted.
    std::vector<std::string> list() const;
    bool exists(const std::string& name) const;
    std::string read(const std::string& name) const;
    void write(const std::string& name, const std::string& bytes) const;

private:
    std::string m_path;
};

}  // namespace lexicarta::testing
