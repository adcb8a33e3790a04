#pragma once
// The shared window of long operations (TForm5): title, bar, hint line and
// status line; Esc here pauses or interrupts the statistics and the
// advanced search.

#include <QDialog>

#include "core/progress.h"

class QLabel;
class QProgressBar;
class QStatusBar;

namespace lexicarta {

struct Session;

class ProgressWindow : public QDialog, public Progress {
    Q_OBJECT
public:
    explicit ProgressWindow(Session& session, QWidget* parent = nullptr);

    void setTitle(const std::string& title) override;
    void setStatus(const std::string& status) override;
    void setHintVisible(bool visible) override;
    void setBarVisible(bool visible) override;
    void setBarPosition(int position) override;
    void setSmooth(bool smooth) override;
    void show() override;
    bool isShown() const override;
    void close() override;
    bool pump() override;

    QString statusText() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    QProgressBar* progressBar = nullptr;
    QLabel* hintLabel = nullptr;
    QStatusBar* statusBar = nullptr;
    static constexpr int DefaultWidth = 337;

    void handleEscape();
    // Makes the window wide enough for the status line (narrower only when
    // mayShrink).
    void fitWidth(const QString& status, bool mayShrink);
    // Lets the window paint without letting any user action run.
    void repaintNow();

    Session& m_session;
    bool m_placed = false;
};

}  // namespace lexicarta
