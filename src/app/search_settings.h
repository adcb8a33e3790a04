#pragma once
// The options of the searches, one set for the whole program: the main
// window's standard search and the advanced search window show the same
// object, each with its own controls. Each change is announced once.

#include <QObject>
#include <QString>

#include <cstdint>

#include "search/search_engine.h"

class QAbstractButton;

namespace lexicarta {

class SearchSettings : public QObject {
    Q_OBJECT
public:
    explicit SearchSettings(QObject* parent = nullptr);

    bool caseSensitive() const { return m_caseSensitive; }
    bool wholeWords() const { return m_wholeWords; }
    // The method: "Length-oriented" (true) or "Absolute".
    bool lengthOriented() const { return m_lengthOriented; }
    // The start: "Search from String" (true) or "Search whole talk table".
    bool fromString() const { return m_fromString; }
    // The start StrRef as typed, checked or not.
    const QString& startText() const { return m_startText; }
    // AdvancedSearchMode: the main window's "Advanced search" is chosen.
    bool advancedMode() const { return m_advancedMode; }
    // Find next looks through the female table of a pair instead of the table.
    bool femaleTable() const { return m_femaleTable; }

    // The StrRef a search starts from: the typed one while "Search from
    // String" is chosen (a text not yet checked counts as 0), else 0.
    std::int32_t startStrRef() const;
    // The matching options of the standard and the advanced search.
    SearchOptions options() const;

public slots:
    void setCaseSensitive(bool on);
    void setWholeWords(bool on);
    void setLengthOriented(bool on);
    // Choosing the whole table puts "0" into the start StrRef too.
    void setFromString(bool on);
    void setStartText(const QString& text);
    void setAdvancedMode(bool on);
    void setFemaleTable(bool on);

signals:
    void caseSensitiveChanged(bool on);
    void wholeWordsChanged(bool on);
    void lengthOrientedChanged(bool on);
    void fromStringChanged(bool on);
    void startTextChanged(const QString& text);
    void advancedModeChanged(bool on);
    void femaleTableChanged(bool on);

private:
    bool m_caseSensitive = false;
    bool m_wholeWords = false;
    bool m_lengthOriented = true;
    bool m_fromString = false;
    QString m_startText = QStringLiteral("0");
    bool m_advancedMode = false;
    bool m_femaleTable = false;
};

// The option controls a search window shows. ShowSearchOptions makes the
// whole words check box, the method and the start choice set the settings
// and follow them (without a signal of their own); case sensitivity and what
// a start choice does besides are each window's own business.
struct SearchOptionControls {
    QAbstractButton* caseSensitive;
    QAbstractButton* wholeWords;
    QAbstractButton* lengthOriented;
    QAbstractButton* absolute;
    QAbstractButton* wholeTable;
    QAbstractButton* fromString;
};
void ShowSearchOptions(SearchSettings& settings, const SearchOptionControls& controls, QObject* context);

}  // namespace lexicarta
