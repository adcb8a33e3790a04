// Any bytes as the configuration file: read, and what was read written and
// read again unchanged.

#include <cstddef>
#include <cstdint>

#include "core/config_file.h"
#include "core/file_io.h"
#include "fuzz_support.h"

using namespace lexicarta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzz::ScratchFolder() + ConfigFileName;
    WriteWholeFile(path, std::string_view(reinterpret_cast<const char*>(data), size));
    const ConfigReadResult read = ReadConfigFile(path);
    if (read.status != ConfigReadStatus::Ok) return 0;

    FUZZ_CHECK(UnscramblePath(ScramblePath(read.lastOpenedPath)) == read.lastOpenedPath);
    FUZZ_CHECK(WriteConfigFile(path, read.record, read.lastOpenedPath));
    const ConfigReadResult again = ReadConfigFile(path);
    FUZZ_CHECK(again.status == ConfigReadStatus::Ok);
    FUZZ_CHECK(again.record.bytes == read.record.bytes);
    FUZZ_CHECK(again.lastOpenedPath == read.lastOpenedPath || !read.record.flag(cfg::LastFileFlag));
    return 0;
}
