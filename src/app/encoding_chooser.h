#pragma once
// The main window's "Text encoding" control: which encoding the loaded
// table's texts are read and written in. A table opens in the encoding the
// user last chose for it, else in the one its texts show (UTF-8 when they
// all are valid UTF-8 with at least one byte above 127), else in the
// single-byte encoding chosen last. Hand choices are kept in
// "lexicarta-encoding.cfg" beside the configuration file.

#include <QObject>

#include <optional>
#include <string>

#include "core/encoding_settings.h"
#include "core/text_encoding.h"

class QComboBox;
class QLabel;
class QWidget;

namespace lexicarta {

struct Session;

class EncodingChooser : public QObject {
    Q_OBJECT
public:
    // Places the label and the list in parent at the given top left corner.
    EncodingChooser(Session& session, QWidget* parent, int x, int y);

    // The encoding the user chose for the table at path, if any.
    std::optional<TextEncoding> chosenFor(const std::string& path);
    // The single-byte encoding for a table whose texts are not UTF-8.
    TextEncoding lastSingleByte();
    // A table was loaded from path in the encoding it now has: shows it.
    void tableLoaded(const std::string& path);
    // Switches the loaded table to encoding as the user's choice: the shown
    // text is stored first (in the old encoding; when it cannot be, nothing
    // changes), then every window showing text reads it anew. False when the
    // switch did not happen.
    bool choose(TextEncoding encoding);
    void setEnabled(bool enabled);

    EncodingSettings& settings();
    std::string settingsPath() const;

    QLabel* label = nullptr;
    QComboBox* list = nullptr;

private:
    void chosenFromList(int index);
    void showEncoding(TextEncoding encoding);
    // The fields and lists of terms keep only what the new encoding holds;
    // the advanced search's quick view reads its text anew.
    void followEncoding();

    Session& m_session;
    EncodingSettings m_settings;
    bool m_settingsRead = false;
    // The loaded table's file, links followed: what its choice is kept under.
    std::string m_tablePath;
};

}  // namespace lexicarta
