#include "core/encoding_settings.h"

#include <algorithm>
#include <cstdio>

#include "core/file_io.h"

namespace lexicarta {
namespace {

constexpr std::string_view LastSingleByteKey = "last-single-byte";
constexpr std::string_view TableKey = "table";

// The fields of one line, split at each tab.
std::vector<std::string_view> Fields(std::string_view line)
{
    std::vector<std::string_view> fields;
    for (;;) {
        const auto tab = line.find('\t');
        fields.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos) return fields;
        line.remove_prefix(tab + 1);
    }
}

}  // namespace

std::optional<TextEncoding> EncodingSettings::chosenFor(const std::string& tablePath) const
{
    for (const auto& [path, encoding] : m_tables)
        if (path == tablePath) return encoding;
    return std::nullopt;
}

void EncodingSettings::remember(const std::string& tablePath, TextEncoding encoding)
{
    if (IsSingleByte(encoding)) m_lastSingleByte = encoding;
    // A path the line format cannot hold is not remembered.
    if (tablePath.empty() || tablePath.find_first_of("\n\r") != std::string::npos) return;
    std::erase_if(m_tables, [&](const auto& entry) { return entry.first == tablePath; });
    m_tables.insert(m_tables.begin(), {tablePath, encoding});
    if (m_tables.size() > MaxTables) m_tables.resize(MaxTables);
}

std::string EncodingSettings::encode() const
{
    std::string text;
    text.append(LastSingleByteKey).append("\t").append(EncodingName(m_lastSingleByte)).append("\n");
    for (const auto& [path, encoding] : m_tables)
        text.append(TableKey).append("\t").append(EncodingName(encoding)).append("\t").append(path).append("\n");
    return text;
}

EncodingSettings EncodingSettings::Parse(std::string_view text)
{
    EncodingSettings settings;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        const auto fields = Fields(line);
        const auto encoding = fields.size() >= 2 ? EncodingFromName(fields[1]) : std::nullopt;
        if (!encoding) continue;
        if (fields[0] == LastSingleByteKey && fields.size() == 2 && IsSingleByte(*encoding)) {
            settings.m_lastSingleByte = *encoding;
        } else if (fields[0] == TableKey && fields.size() >= 3 && settings.m_tables.size() < MaxTables) {
            // A path may itself hold tabs: it is the rest of the line.
            const std::string path(line.substr(fields[0].size() + fields[1].size() + 2));
            if (!path.empty() && !settings.chosenFor(path)) settings.m_tables.emplace_back(path, *encoding);
        }
    }
    return settings;
}

EncodingSettings EncodingSettings::Read(const std::string& path)
{
    const auto text = ReadWholeFile(path);
    return text ? Parse(*text) : EncodingSettings();
}

bool EncodingSettings::write(const std::string& path) const
{
    return ReplaceWholeFile(path, encode());
}

}  // namespace lexicarta
