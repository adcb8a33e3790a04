#include "app/search_settings.h"

#include <QAbstractButton>

#include "app/widgets.h"

#include "app/text_codec.h"
#include "core/numbers.h"

namespace lexicarta {

SearchSettings::SearchSettings(QObject* parent) : QObject(parent) {}

std::int32_t SearchSettings::startStrRef() const
{
    if (!m_fromString) return 0;
    return ParseInt32(ToUtf8(m_startText)).value_or(0);
}

SearchOptions SearchSettings::options() const
{
    SearchOptions options;
    options.caseSensitive = m_caseSensitive;
    options.wholeWords = m_wholeWords;
    options.lengthOriented = m_lengthOriented;
    return options;
}

void SearchSettings::setCaseSensitive(bool on)
{
    if (on == m_caseSensitive) return;
    m_caseSensitive = on;
    emit caseSensitiveChanged(on);
}

void SearchSettings::setWholeWords(bool on)
{
    if (on == m_wholeWords) return;
    m_wholeWords = on;
    emit wholeWordsChanged(on);
}

void SearchSettings::setLengthOriented(bool on)
{
    if (on == m_lengthOriented) return;
    m_lengthOriented = on;
    emit lengthOrientedChanged(on);
}

void SearchSettings::setFromString(bool on)
{
    if (on == m_fromString) return;
    m_fromString = on;
    emit fromStringChanged(on);
    if (!on) setStartText(QStringLiteral("0"));
}

void SearchSettings::setStartText(const QString& text)
{
    if (text == m_startText) return;
    m_startText = text;
    emit startTextChanged(text);
}

void SearchSettings::setAdvancedMode(bool on)
{
    if (on == m_advancedMode) return;
    m_advancedMode = on;
    emit advancedModeChanged(on);
}

void SearchSettings::setFemaleTable(bool on)
{
    if (on == m_femaleTable) return;
    m_femaleTable = on;
    emit femaleTableChanged(on);
}

void ShowSearchOptions(SearchSettings& settings, const SearchOptionControls& controls, QObject* context)
{
    QObject::connect(controls.caseSensitive, &QAbstractButton::toggled, &settings, &SearchSettings::setCaseSensitive);
    QObject::connect(controls.wholeWords, &QAbstractButton::toggled, &settings, &SearchSettings::setWholeWords);
    QObject::connect(&settings, &SearchSettings::wholeWordsChanged, context,
                     [box = controls.wholeWords](bool on) { SetCheckedQuietly(box, on); });
    WhenChosen(controls.lengthOriented, context, [&settings] { settings.setLengthOriented(true); });
    WhenChosen(controls.absolute, context, [&settings] { settings.setLengthOriented(false); });
    QObject::connect(&settings, &SearchSettings::lengthOrientedChanged, context, [controls](bool on) {
        SetCheckedQuietly(on ? controls.lengthOriented : controls.absolute, true);
    });
    WhenChosen(controls.wholeTable, context, [&settings] { settings.setFromString(false); });
    WhenChosen(controls.fromString, context, [&settings] { settings.setFromString(true); });
    QObject::connect(&settings, &SearchSettings::fromStringChanged, context,
                     [controls](bool on) { SetCheckedQuietly(on ? controls.fromString : controls.wholeTable, true); });
}

}  // namespace lexicarta
