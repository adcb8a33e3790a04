#include "app/encoding_chooser.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>

#include "app/advanced_search_window.h"
#include "app/main_window.h"
#include "app/session.h"
#include "app/statistics_window.h"
#include "app/widgets.h"
#include "core/file_io.h"

namespace lexicarta {
namespace {

// The list's order, as the user sees it.
constexpr TextEncoding ListOrder[] = {TextEncoding::Windows1252, TextEncoding::Utf8, TextEncoding::Windows1250,
                                      TextEncoding::Windows1251};

int IndexOf(TextEncoding encoding)
{
    for (int i = 0; i < static_cast<int>(std::size(ListOrder)); ++i)
        if (ListOrder[i] == encoding) return i;
    return 0;
}

}  // namespace

EncodingChooser::EncodingChooser(Session& session, QWidget* parent, int x, int y) : QObject(parent), m_session(session)
{
    const QString caption = QStringLiteral("Text encoding");
    label = MakeLabel(parent, "textEncodingLabel", caption, QRect(x, y, 116, 16));
    list = new QComboBox(parent);
    list->setObjectName(QStringLiteral("textEncodingList"));
    list->setGeometry(x, y + 17, 116, 22);
    list->setAccessibleName(caption);
    label->setBuddy(list);
    for (const TextEncoding encoding : ListOrder) {
        const std::string_view name = EncodingName(encoding);
        list->addItem(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }
    showEncoding(session.table.Encoding);
    setEnabled(false);
    connect(list, &QComboBox::activated, this, &EncodingChooser::chosenFromList);
}

std::string EncodingChooser::settingsPath() const
{
    return m_session.table.ProgramDirectory + EncodingSettingsFileName;
}

EncodingSettings& EncodingChooser::settings()
{
    if (!m_settingsRead) {
        m_settings = EncodingSettings::Read(settingsPath());
        m_settingsRead = true;
    }
    return m_settings;
}

void EncodingChooser::setEnabled(bool enabled)
{
    label->setEnabled(enabled);
    list->setEnabled(enabled);
}

void EncodingChooser::showEncoding(TextEncoding encoding)
{
    const QSignalBlocker blocker(list);
    list->setCurrentIndex(IndexOf(encoding));
}

std::optional<TextEncoding> EncodingChooser::chosenFor(const std::string& path)
{
    return settings().chosenFor(ResolvedPath(path));
}

TextEncoding EncodingChooser::lastSingleByte() { return settings().lastSingleByte(); }

void EncodingChooser::tableLoaded(const std::string& path)
{
    m_tablePath = ResolvedPath(path);
    showEncoding(m_session.table.Encoding);
    followEncoding();
}

void EncodingChooser::followEncoding()
{
    const Windows& windows = m_session.windows;
    if (windows.advancedSearch) windows.advancedSearch->encodingChanged();
    for (QWidget* window : {static_cast<QWidget*>(windows.main), static_cast<QWidget*>(windows.advancedSearch),
                            static_cast<QWidget*>(windows.statistics)})
        if (window) RevalidateTableTextFields(window);
}

void EncodingChooser::chosenFromList(int index)
{
    if (index < 0 || index >= static_cast<int>(std::size(ListOrder))) return;
    if (!choose(ListOrder[index])) showEncoding(m_session.table.Encoding);
}

bool EncodingChooser::choose(TextEncoding encoding)
{
    TalkTable& table = m_session.table;
    MainWindow* main = m_session.windows.main;
    if (!table.TableLoaded || !main) return false;
    if (encoding == table.Encoding) return true;
    // What was typed belongs to the encoding it was typed in.
    if (!main->FlushJournal()) return false;

    table.Encoding = encoding;
    showEncoding(encoding);
    settings().remember(m_tablePath, encoding);
    // Not being able to remember the choice changes nothing of this run.
    settings().write(settingsPath());

    if (table.EntryIsCurrent && table.validStrRef(table.CurrentStrRef)) main->ShowCurrentEntry();
    followEncoding();
    return true;
}

}  // namespace lexicarta
