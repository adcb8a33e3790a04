#pragma once
// Short help texts (TForm2), filled before each showing: the search methods
// or the type flags.

#include <QWidget>

#include <array>

class QGroupBox;
class QLabel;

namespace lexicarta {

struct Session;

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(Session& session, QWidget* parent = nullptr);

    void showSearchMethods();
    void showTypeFlags();

    std::array<QLabel*, 8> lineLabels{};  // one label per line of help

private:
    QGroupBox* helpGroup = nullptr;
    void fill(const QString& caption, const QString& groupCaption, const std::array<const char*, 8>& lines);

    Session& m_session;
};

}  // namespace lexicarta
