#pragma once
// The "Findings" list: every finding of the checks over the whole table,
// sortable and filtered by kind; double-clicking a row goes to its entry.
// It follows the user's edits.

#include <QWidget>

#include <cstdint>

class QComboBox;
class QLabel;
class QTableView;

namespace lexicarta {

class FindingsModel;
class TranslationDocument;

class FindingsWindow : public QWidget {
    Q_OBJECT
public:
    explicit FindingsWindow(TranslationDocument& translation, QWidget* parent = nullptr);
    ~FindingsWindow() override;

    void showWindow();
    FindingsModel& model() { return *m_model; }

signals:
    // A row was double-clicked (or Enter pressed on it): the main window goes there.
    void entryRequested(std::int32_t strRef);

private:
    void showCount();
    void rowActivated(int row);

    TranslationDocument& m_translation;
    FindingsModel* m_model = nullptr;
    QComboBox* m_kindList = nullptr;
    QLabel* m_countLabel = nullptr;
    QTableView* m_table = nullptr;
};

}  // namespace lexicarta
