#pragma once
// Conversions between a table's bytes and Qt's text. Every window converts
// here, with the loaded table's encoding (TalkTable::Encoding).

#include <QString>

class QPlainTextEdit;

#include <cstdint>
#include <string>
#include <string_view>

#include "core/text_encoding.h"

namespace lexicarta {

// The text of bytes in encoding; a byte that is no character of it becomes
// its stand-in, which converts back to that very byte.
QString FromTableText(TextEncoding encoding, std::string_view bytes);
// The bytes of text; the callers let no character in that the encoding
// cannot hold (one that still comes would be written as '?').
std::string ToTableText(TextEncoding encoding, const QString& text);
// Whether the user may type or paste text into a table of encoding: every
// character is one the encoding holds. A stand-in (U+F780..U+F7FF) is not:
// only those decoded from the table's own bytes stand for a byte.
bool CanHold(TextEncoding encoding, const QString& text);
// The same for text copied from a table of encoding, whose stand-ins are
// that table's bytes.
bool CanHoldTableText(TextEncoding encoding, const QString& text);
// text without the characters CanHold refuses.
QString Holdable(TextEncoding encoding, const QString& text);

// Names of sound resources are file names: always Windows-1252, whatever the
// table's texts are written in.
QString FromCp1252(std::string_view bytes);
// Characters outside Windows-1252 become '?'.
std::string ToCp1252(const QString& text);

// Editor text from an entry's bytes: its display form, each CR LF as one
// line break of the editor.
QString ToEditorText(TextEncoding encoding, std::string_view entryBytes);
// The editor's text as the program sees it: the table's bytes with CR LF breaks.
std::string FromEditorText(TextEncoding encoding, const QString& text);
// What an editor holds, every character as it stands: toPlainText() would
// turn each no-break space into a plain space. Line breaks come as '\n'.
QString EditorText(const QPlainTextEdit& editor);

// Position in the editor (UTF-16 units) of a byte position in a display form
// in the given encoding: the editor holds each CR LF as one line break and
// each character as its decoded text.
int EditorPosition(std::string_view displayForm, std::int64_t position, TextEncoding encoding);

// UTF-8 text of paths and messages.
inline QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }
inline std::string ToUtf8(const QString& text) { return text.toStdString(); }

}  // namespace lexicarta
