#include "app/help_window.h"

#include <QGroupBox>
#include <QLabel>

#include "app/widgets.h"
#include "app/session.h"

namespace lexicarta {

HelpWindow::HelpWindow(Session& session, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_session(session)
{
    SetUpWindow(this, "TForm2", QStringLiteral("Lexicarta - Search Methods"), QSize(353, 186));

    helpGroup = MakeGroup(this, "GroupBox1", QStringLiteral("Lexicarta Help"), QRect(6, 4, 341, 176));
    for (int i = 0; i < 8; ++i) {
        const QByteArray name = "Label" + QByteArray::number(i + 1);
        lineLabels[i] = MakeLabel(helpGroup, name.constData(), QString(), QRect(5, 20 + 19 * i, 333, 17));
    }
}

void HelpWindow::fill(const QString& caption, const QString& groupCaption, const std::array<const char*, 8>& lines)
{
    setWindowTitle(caption);
    SetCaption(helpGroup, groupCaption);
    for (int i = 0; i < 8; ++i) lineLabels[i]->setText(QString::fromUtf8(lines[i]));
    // The window has a fixed size: the lines take the largest font, up to
    // 8 points, in which every one of them fits.
    QFont font = this->font();
    for (qreal size = 8.0; size >= 6.0; size -= 0.25) {
        font.setPointSizeF(size);
        const QFontMetrics metrics(font);
        bool fits = true;
        for (const QLabel* line : lineLabels) fits = fits && metrics.horizontalAdvance(line->text()) <= line->width();
        if (fits) break;
    }
    for (QLabel* line : lineLabels) line->setFont(font);
    ShowCentred(this);
    raise();
    activateWindow();
}

void HelpWindow::showSearchMethods()
{
    fill(QStringLiteral("Lexicarta - Search Methods"), QStringLiteral("Lexicarta Help"),
         {"The absolute method counts EVERY occurance of the specified",
          "text, while the length-oriented method will not check the characters",
          "of the previous match when searching.",
          "For instance, you are searching for 'haha', and the program",
          "encounters the following text when searching in the talk table:",
          "'hahahaha'",
          "The absolute method will return 3 matches, while when using the",
          "length-oriented method, the program will report only 2 matches."});
}

void HelpWindow::showTypeFlags()
{
    fill(QStringLiteral("Lexicarta - StrRef's Type flag"), QStringLiteral("From the IESDP, 06.12.2004."),
         {"00 - No message data",
          "01 - Text exists",
          "02 - Sound exists",
          "03 - Standard message. Ambient message. Used for sound without",
          "text (BG1) or message displayed over characters head (BG2)",
          "Message with tags (for instance <CHARNAME> ) for all games",
          "except BG2",
          "07 - Message with tags (for instance <CHARNAME> ) in BG2 only "});
}

}  // namespace lexicarta
