#pragma once
// The arguments of one command: its operands and its options, checked
// against what the command accepts. Options may stand anywhere after the
// command; "--" ends them. Values follow as "--from 5" or "--from=5".

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/text_encoding.h"

namespace lexicarta::cli {

struct KnownOption {
    std::string name;  // "--from"
    bool takesValue = false;
};

class Arguments {
public:
    // Throws CliError (status 2) for an unknown option, a missing value, or
    // an operand count outside [minOperands, maxOperands].
    Arguments(const std::string& command, const std::vector<std::string>& args, const std::vector<KnownOption>& options,
              std::size_t minOperands, std::size_t maxOperands);

    const std::vector<std::string>& operands() const { return m_operands; }
    bool has(const std::string& option) const { return m_flags.count(option) || m_values.count(option); }
    std::optional<std::string> value(const std::string& option) const;

    // A whole number from 0 to max; throws CliError naming the option.
    std::optional<std::int64_t> number(const std::string& option, std::int64_t max) const;
    // --encoding (or another option naming an encoding), by its name.
    std::optional<TextEncoding> encoding(const std::string& option = "--encoding") const;

    // An operand or value as a whole number from 0 to max; what names it in the message.
    static std::int64_t ParseNumber(const std::string& text, std::int64_t max, const std::string& what);

private:
    std::string m_command;
    std::vector<std::string> m_operands;
    std::set<std::string> m_flags;
    std::map<std::string, std::string> m_values;
};

// The common error of a command's arguments: "CMD: what (see 'lexicarta-cli CMD --help')".
[[noreturn]] void UsageError(const std::string& command, const std::string& what);

}  // namespace lexicarta::cli
