#include "temp_dir.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace lexicarta::testing {

TempDir::TempDir()
{
    char pattern[] = "/tmp/lexicarta-test-XXXXXX";
    if (!::mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
    m_path = std::string(pattern) + "/";
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

std::vector<std::string> TempDir::list() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_path)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

bool TempDir::exists(const std::string& name) const { return std::filesystem::exists(m_path + name); }

std::string TempDir::read(const std::string& name) const
{
    std::ifstream in(m_path + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void TempDir::write(const std::string& name, const std::string& bytes) const
{
    std::ofstream out(m_path + name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace lexicarta::testing
