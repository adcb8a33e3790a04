#pragma once
// The character codes of a string, one number per character (TForm11),
// filled by the string viewer's "ASCII codes".

#include <QWidget>

class QCheckBox;
class QPlainTextEdit;

namespace lexicarta {

struct Session;

class AsciiCodesWindow : public QWidget {
    Q_OBJECT
public:
    explicit AsciiCodesWindow(Session& session, QWidget* parent = nullptr);

    // Replaces the listing, sets the caption and shows the window.
    void showListing(const QString& caption, const QString& listing);

public slots:
    void stayOnTopToggled(bool checked);

private:
    QPlainTextEdit* codesText = nullptr;
    QCheckBox* stayOnTopCheck = nullptr;
};

}  // namespace lexicarta
