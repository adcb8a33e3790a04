#include "app/advanced_search_window.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include "app/widgets.h"

namespace lexicarta {

AdvancedSearchWindow::AdvancedSearchWindow(Session& session, QWidget* parent) : QWidget(parent, Qt::Window), m_session(session)
{
    SetUpWindow(this, "TForm7", QStringLiteral("Advanced Search"), QSize(640, 480));

    searchMethodGroup = MakeGroup(this, "GroupBox3", QStringLiteral("Search Method"), QRect(330, 270, 150, 74));
    lengthOrientedRadio = MakeRadioButton(searchMethodGroup, "RadioButton3", QStringLiteral("Length-oriented"), QRect(10, 22, 134, 18), true);
    absoluteRadio = MakeRadioButton(searchMethodGroup, "RadioButton4", QStringLiteral("Absolute"), QRect(10, 46, 134, 18));
    SetUnderlinedTitle(searchMethodGroup);
    caseSensitiveCheck = MakeCheckBox(this, "CheckBox2", QStringLiteral("Case sensitivity"), QRect(490, 284, 140, 18));
    wholeWordsCheck = MakeCheckBox(this, "CheckBox3", QStringLiteral("Whole words"), QRect(490, 310, 140, 18));

    searchStartGroup = MakeGroup(this, "GroupBox4", QString(), QRect(330, 350, 300, 74));
    searchStartGroup->setAccessibleName(QStringLiteral("Start of the search"));
    wholeTableRadio = MakeRadioButton(searchStartGroup, "RadioButton5", QStringLiteral("Search whole talk table"),
                                   QRect(10, 12, 200, 18), true);
    fromStringRadio = MakeRadioButton(searchStartGroup, "RadioButton6", QStringLiteral("Search from string"), QRect(10, 42, 140, 18));
    searchStartField = MakeEdit(searchStartGroup, "Edit3", QStringLiteral("0"), 12, QRect(156, 40, 90, 22),
                     QStringLiteral("Search from string"));
    searchStartField->setEnabled(false);
}

}  // namespace lexicarta
