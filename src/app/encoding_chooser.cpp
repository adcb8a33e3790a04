#include "app/encoding_chooser.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>

#include "app/table_document.h"
#include "app/widgets.h"

namespace lexicarta {
namespace {

// The list's order, as the user sees it.
constexpr TextEncoding ListOrder[] = {TextEncoding::Windows1252, TextEncoding::Utf8, TextEncoding::Windows1250,
                                      TextEncoding::Windows1251};

int IndexOf(TextEncoding encoding)
{
    for (int i = 0; i < static_cast<int>(std::size(ListOrder)); ++i)
        if (ListOrder[i] == encoding) return i;
    return 0;
}

}  // namespace

EncodingChooser::EncodingChooser(TableDocument& document, QWidget* parent, int x, int y)
    : QObject(parent), m_document(document)
{
    const QString caption = QStringLiteral("Text encoding");
    m_label = MakeLabel(parent, "textEncodingLabel", caption, QRect(x, y, 116, 16));
    m_list = new QComboBox(parent);
    m_list->setObjectName(QStringLiteral("textEncodingList"));
    m_list->setGeometry(x, y + 17, 116, 22);
    m_list->setAccessibleName(caption);
    m_label->setBuddy(m_list);
    for (const TextEncoding encoding : ListOrder) {
        const std::string_view name = EncodingName(encoding);
        m_list->addItem(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }
    showEncoding(document.encoding());
    setEnabled(false);
    connect(m_list, &QComboBox::activated, this, &EncodingChooser::chosenFromList);
    connect(&document, &TableDocument::encodingChanged, this, &EncodingChooser::showEncoding);
}

void EncodingChooser::setEnabled(bool enabled)
{
    m_label->setEnabled(enabled);
    m_list->setEnabled(enabled);
}

void EncodingChooser::showEncoding(TextEncoding encoding)
{
    const QSignalBlocker blocker(m_list);
    m_list->setCurrentIndex(IndexOf(encoding));
}

void EncodingChooser::chosenFromList(int index)
{
    if (index < 0 || index >= static_cast<int>(std::size(ListOrder))) return;
    if (!m_document.chooseEncoding(ListOrder[index])) showEncoding(m_document.encoding());
}

}  // namespace lexicarta
