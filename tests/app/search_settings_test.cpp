// The search options shared by the windows: the start StrRef they give and
// that each change is announced once.

#include <QSignalSpy>
#include <QTest>

#include "app/search_settings.h"

using namespace lexicarta;

class SearchSettingsTest : public QObject {
    Q_OBJECT

private slots:
    void startStrRefFollowsTheChoiceAndTheText();
    void changesAreAnnouncedOnce();
};

void SearchSettingsTest::startStrRefFollowsTheChoiceAndTheText()
{
    const struct {
        bool fromString;
        const char* text;
        std::int32_t start;
    } cases[] = {{true, "17", 17}, {true, "007", 7}, {true, "12abc", 0}, {true, "", 0}, {false, "17", 0}};
    for (const auto& c : cases) {
        SearchSettings settings;
        settings.setFromString(true);
        settings.setStartText(QString::fromLatin1(c.text));
        settings.setFromString(c.fromString);
        QCOMPARE(settings.startStrRef(), c.start);
        // The whole table puts "0" into the start StrRef.
        QCOMPARE(settings.startText(), c.fromString ? QString::fromLatin1(c.text) : QStringLiteral("0"));
    }
}

void SearchSettingsTest::changesAreAnnouncedOnce()
{
    SearchSettings settings;
    QSignalSpy caseChanges(&settings, &SearchSettings::caseSensitiveChanged);
    QSignalSpy methodChanges(&settings, &SearchSettings::lengthOrientedChanged);
    QSignalSpy modeChanges(&settings, &SearchSettings::advancedModeChanged);
    for (int i = 0; i < 2; ++i) {
        settings.setCaseSensitive(true);
        settings.setLengthOriented(false);
        settings.setAdvancedMode(true);
    }
    QCOMPARE(caseChanges.count(), 1);
    QCOMPARE(methodChanges.count(), 1);
    QCOMPARE(modeChanges.count(), 1);
    const SearchOptions options = settings.options();
    QVERIFY(options.caseSensitive && !options.wholeWords && !options.lengthOriented);
}

QTEST_MAIN(SearchSettingsTest)
#include "search_settings_test.moc"
