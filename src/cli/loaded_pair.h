#pragma once
// A table with its female counterpart, when it has one: named with
// --female FILE, or found beside it ("dialogF.tlk" beside "dialog.tlk")
// unless --no-female. Both are loaded side by side.

#include <memory>
#include <optional>
#include <string>

#include "cli/arguments.h"
#include "cli/loaded_table.h"
#include "cli/output.h"

namespace lexicarta::cli {

inline const KnownOption FemaleOption{"--female", true};
inline const KnownOption NoFemaleOption{"--no-female", false};

// The female table of table: the value of option (--female), or the one
// found beside it unless --no-female is given. Throws CliError when both
// options are given or the file named is the table itself.
std::optional<std::string> FemaleTablePath(const std::string& command, const Arguments& arguments,
                                           const std::string& table, const std::string& option = "--female");

class LoadedPair {
public:
    // Loads the male table and, when femalePath is given, the female one
    // beside it (in a thread of its own), both for purpose. The female table
    // is read in the male table's encoding unless one is given. A failure of
    // either throws its CliError.
    LoadedPair(const std::string& malePath, const std::optional<std::string>& femalePath, const std::string& directory,
               LoadPurpose purpose, std::optional<TextEncoding> encoding);

    LoadedTable& male() { return *m_male; }
    const LoadedTable& male() const { return *m_male; }
    // nullptr without a female table.
    LoadedTable* female() { return m_female.get(); }
    const LoadedTable* female() const { return m_female.get(); }
    const std::string& malePath() const { return m_malePath; }
    const std::string& femalePath() const { return m_femalePath; }

    bool countsDiffer() const { return m_female && m_female->entryCount() != m_male->entryCount(); }
    // "dialog.tlk has 5 entries and dialogF.tlk 4"
    std::string countsText() const;
    // For commands that only read: one warning on err when the counts
    // differ; entries the female table lacks are read as having no female text.
    void warnIfCountsDiffer(const std::string& command, Output& err) const;

private:
    std::string m_malePath;
    std::string m_femalePath;
    std::unique_ptr<LoadedTable> m_male;
    std::unique_ptr<LoadedTable> m_female;
};

}  // namespace lexicarta::cli
