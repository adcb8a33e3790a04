#pragma once
// Conversions between the program's Windows-1252 bytes and Qt's text.

#include <QString>

class QPlainTextEdit;

#include <cstdint>
#include <string>
#include <string_view>

#include "core/text_encoding.h"

namespace lexicarta {

QString FromCp1252(std::string_view bytes);
// Characters outside Windows-1252 become '?'.
std::string ToCp1252(const QString& text);

// Editor text from an entry's bytes: its display form, each CR LF as one
// line break of the editor.
QString ToEditorText(std::string_view entryBytes);
// The editor's text as the program sees it: Windows-1252 with CR LF breaks.
std::string FromEditorText(const QString& text);
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
