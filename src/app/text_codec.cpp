#include "app/text_codec.h"

#include "core/cp1252.h"

#include <QPlainTextEdit>
#include <QTextDocument>

#include <algorithm>

namespace lexicarta {

QString FromCp1252(std::string_view bytes)
{
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (std::size_t i = 0; i < bytes.size(); ++i)
        out[i] = QChar(Cp1252ToUnicode(static_cast<unsigned char>(bytes[i])));
    return text;
}

std::string ToCp1252(const QString& text)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text) {
        const auto byte = UnicodeToCp1252(c.unicode());
        bytes += byte ? static_cast<char>(*byte) : '?';
    }
    return bytes;
}

QString FromTableText(TextEncoding encoding, std::string_view bytes)
{
    if (encoding == TextEncoding::Windows1252) return FromCp1252(bytes);
    const std::u16string text = DecodeText(encoding, bytes);
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

std::string ToTableText(TextEncoding encoding, const QString& text)
{
    if (encoding == TextEncoding::Windows1252) return ToCp1252(text);
    return EncodeText(encoding, std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                                    static_cast<std::size_t>(text.size())));
}

namespace {

// Index of the first character of text that the user may not enter in a
// table of encoding, or -1. A stand-in stands for a byte only where the
// decoding of the table's own bytes made it; typed or pasted, it is a
// private-use character that no encoding holds.
qsizetype FirstRefused(TextEncoding encoding, const QString& text, bool standInsAllowed)
{
    const std::ptrdiff_t unencodable = FirstUnencodable(
        encoding, std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
    const qsizetype end = unencodable < 0 ? text.size() : static_cast<qsizetype>(unencodable);
    if (!standInsAllowed)
        for (qsizetype i = 0; i < end; ++i)
            if (IsStandIn(text.at(i).unicode())) return i;
    return unencodable < 0 ? -1 : end;
}

}  // namespace

bool CanHold(TextEncoding encoding, const QString& text) { return FirstRefused(encoding, text, false) < 0; }

bool CanHoldTableText(TextEncoding encoding, const QString& text) { return FirstRefused(encoding, text, true) < 0; }

QString Holdable(TextEncoding encoding, const QString& text)
{
    QString kept = text;
    for (;;) {
        const qsizetype at = FirstRefused(encoding, kept, false);
        if (at < 0) return kept;
        // A surrogate pair is one character.
        const bool pair = kept.at(at).isHighSurrogate() && at + 1 < kept.size() && kept.at(at + 1).isLowSurrogate();
        kept.remove(at, pair ? 2 : 1);
    }
}

QString ToEditorText(TextEncoding encoding, std::string_view entryBytes)
{
    QString text = FromTableText(encoding, DisplayForm(entryBytes));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

std::string FromEditorText(TextEncoding encoding, const QString& text)
{
    QString normalized = text;
    normalized.replace(QChar::ParagraphSeparator, QChar('\n'));
    normalized.replace(QChar::LineSeparator, QChar('\n'));
    return DisplayForm(ToTableText(encoding, normalized));
}

QString EditorText(const QPlainTextEdit& editor)
{
    QString text = editor.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QChar('\n'));
    text.replace(QChar::LineSeparator, QChar('\n'));
    return text;
}

int EditorPosition(std::string_view displayForm, std::int64_t position, TextEncoding encoding)
{
    std::int64_t editor = 0;
    std::size_t i = 0;
    const auto size = static_cast<std::int64_t>(displayForm.size());
    while (static_cast<std::int64_t>(i) < position && static_cast<std::int64_t>(i) < size) {
        // The editor's line break is the LF; the CR before it takes no place.
        if (displayForm[i] == '\r' && static_cast<std::int64_t>(i) + 1 < std::min(position, size) &&
            displayForm[i + 1] == '\n') {
            ++i;
            continue;
        }
        if (encoding != TextEncoding::Utf8 || static_cast<unsigned char>(displayForm[i]) < 0x80) {
            ++editor;
            ++i;
            continue;
        }
        const Utf8Char c = NextUtf8(displayForm, i);
        editor += c.code >= 0x10000 ? 2 : 1;
        i += c.length;
    }
    if (position > size) editor += position - size;
    return static_cast<int>(editor);
}

}  // namespace lexicarta
