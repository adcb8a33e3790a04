#include "cli/arguments.h"

#include <charconv>

#include "cli/cli_error.h"

namespace lexicarta::cli {

void UsageError(const std::string& command, const std::string& what)
{
    throw CliError(command + ": " + what + " (see 'lexicarta-cli " + command + " --help')");
}

Arguments::Arguments(const std::string& command, const std::vector<std::string>& args,
                     const std::vector<KnownOption>& options, std::size_t minOperands, std::size_t maxOperands)
    : m_command(command)
{
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            m_operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const auto equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const KnownOption* known = nullptr;
        for (const KnownOption& option : options)
            if (option.name == name) known = &option;
        if (!known) UsageError(command, "unknown option '" + name + "'");
        if (!known->takesValue) {
            if (equals != std::string::npos) UsageError(command, "option " + name + " takes no value");
            m_flags.insert(name);
        } else if (equals != std::string::npos) {
            m_values[name] = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            m_values[name] = args[++i];
        } else {
            UsageError(command, "option " + name + " needs a value");
        }
    }
    if (m_operands.size() < minOperands) UsageError(command, "missing operand");
    if (m_operands.size() > maxOperands) UsageError(command, "unexpected operand '" + m_operands[maxOperands] + "'");
}

std::optional<std::string> Arguments::value(const std::string& option) const
{
    const auto found = m_values.find(option);
    if (found == m_values.end()) return std::nullopt;
    return found->second;
}

std::int64_t Arguments::ParseNumber(const std::string& text, std::int64_t max, const std::string& what)
{
    std::int64_t value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0 || value > max)
        throw CliError(what + " must be a whole number from 0 to " + std::to_string(max) + ", not '" + text + "'");
    return value;
}

std::optional<std::int64_t> Arguments::number(const std::string& option, std::int64_t max) const
{
    const auto text = value(option);
    if (!text) return std::nullopt;
    try {
        return ParseNumber(*text, max, option);
    } catch (const CliError& error) {
        throw CliError(m_command + ": " + error.what());
    }
}

std::optional<TextEncoding> Arguments::encoding(const std::string& option) const
{
    const auto name = value(option);
    if (!name) return std::nullopt;
    if (const auto encoding = EncodingFromName(*name)) return encoding;
    std::string known;
    for (const TextEncoding encoding : AllTextEncodings) known += (known.empty() ? "" : ", ") + std::string(EncodingName(encoding));
    UsageError(m_command, "unknown encoding '" + *name + "' (known: " + known + ")");
}

}  // namespace lexicarta::cli
