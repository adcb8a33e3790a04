#include "cli/loaded_pair.h"

#include <exception>
#include <thread>

#include "cli/cli_error.h"
#include "core/table_pair.h"

namespace lexicarta::cli {

std::optional<std::string> FemaleTablePath(const std::string& command, const Arguments& arguments,
                                           const std::string& table, const std::string& option)
{
    const auto given = arguments.value(option);
    if (given && arguments.has(NoFemaleOption.name))
        UsageError(command, option + " and " + NoFemaleOption.name + " cannot go together");
    if (!given) return arguments.has(NoFemaleOption.name) ? std::nullopt : FindFemaleTable(table);
    if (IsSameFile(*given, table))
        throw CliError(command + ": the female table " + *given + " is the table " + table + " itself");
    return given;
}

LoadedPair::LoadedPair(const std::string& malePath, const std::optional<std::string>& femalePath,
                       const std::string& directory, LoadPurpose purpose, std::optional<TextEncoding> encoding)
    : m_malePath(malePath), m_femalePath(femalePath.value_or(""))
{
    // Each load has its own table, ports and cache name: they may run side by side.
    std::exception_ptr femaleFailed;
    std::thread femaleLoad;
    if (femalePath)
        femaleLoad = std::thread([&] {
            try {
                m_female = std::make_unique<LoadedTable>(*femalePath, directory, purpose, encoding);
            } catch (...) {
                femaleFailed = std::current_exception();
            }
        });
    try {
        m_male = std::make_unique<LoadedTable>(malePath, directory, purpose, encoding);
    } catch (...) {
        if (femaleLoad.joinable()) femaleLoad.join();
        throw;
    }
    if (femaleLoad.joinable()) femaleLoad.join();
    if (femaleFailed) std::rethrow_exception(femaleFailed);
    // One language, one encoding: the female texts are read as the male ones.
    if (m_female && !encoding) m_female->table().Encoding = m_male->encoding();
}

std::string LoadedPair::countsText() const
{
    return m_malePath + " has " + std::to_string(m_male->entryCount()) + " entries and " + m_femalePath + " " +
           std::to_string(m_female ? m_female->entryCount() : 0);
}

void LoadedPair::warnIfCountsDiffer(const std::string& command, Output& err) const
{
    if (!countsDiffer()) return;
    err << "lexicarta-cli: " + command + ": warning: " + countsText() +
               ": the tables are out of step, and only the StrRefs both have are paired\n";
    err.flush();
}

}  // namespace lexicarta::cli
