#pragma once
// The main window's "Reference..." control: which talk table in the original
// language the loaded table is translated from. The button asks for the
// file; the label under it names the chosen one, or says that none is
// loaded; "Translation (F4)" shows the translation window.

#include <QObject>

class QLabel;
class QPushButton;
class QWidget;

namespace lexicarta {

class TranslationDocument;

class ReferenceControl : public QObject {
    Q_OBJECT
public:
    // Places the controls in parent, one under the other, from the given
    // top left corner, width wide.
    // The choose button's row starts firstRowIndent right of x (a field to
    // its left may reach under it).
    ReferenceControl(TranslationDocument& translation, QWidget* parent, int x, int y, int width, int firstRowIndent = 0);

    void setEnabled(bool enabled);

signals:
    void translationRequested();

private:
    void showReference();

    TranslationDocument& m_translation;
    QPushButton* m_chooseButton = nullptr;
    QLabel* m_nameLabel = nullptr;
    QPushButton* m_translationButton = nullptr;
};

}  // namespace lexicarta
