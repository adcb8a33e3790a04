#include "app/reference_control.h"

#include <QLabel>
#include <QPushButton>

#include "app/text_codec.h"
#include "app/translation_document.h"
#include "app/widgets.h"
#include "translation/reference_table.h"

namespace lexicarta {

ReferenceControl::ReferenceControl(TranslationDocument& translation, QWidget* parent, int x, int y, int width,
                                   int firstRowIndent)
    : QObject(parent), m_translation(translation)
{
    m_chooseButton = MakeButton(parent, "referenceButton", QStringLiteral("Reference..."),
                                QRect(x + firstRowIndent, y, width - firstRowIndent, 22));
    m_chooseButton->setToolTip(QStringLiteral("The talk table in the original language this one is translated from"));
    m_nameLabel = MakeLabel(parent, "referenceName", QString(), QRect(x, y + 26, width, 16));
    m_translationButton =
        MakeButton(parent, "translationButton", QStringLiteral("Translation (F4)"), QRect(x, y + 42, width, 22));
    m_translationButton->setToolTip(QStringLiteral("Keyboard hotkey: F4"));
    connect(m_chooseButton, &QPushButton::clicked, &translation, &TranslationDocument::chooseReference);
    connect(m_translationButton, &QPushButton::clicked, this, &ReferenceControl::translationRequested);
    connect(&translation, &TranslationDocument::referenceChanged, this, &ReferenceControl::showReference);
    showReference();
    setEnabled(false);
}

void ReferenceControl::setEnabled(bool enabled)
{
    for (QWidget* control : {static_cast<QWidget*>(m_chooseButton), static_cast<QWidget*>(m_nameLabel),
                             static_cast<QWidget*>(m_translationButton)})
        control->setEnabled(enabled);
}

void ReferenceControl::showReference()
{
    const QString name = m_translation.referenceFileName();
    const QString shown = !name.isEmpty()                            ? name
                          : m_translation.referenceMessage().isEmpty() ? QStringLiteral("No reference")
                                                                       : QStringLiteral("Not loaded");
    m_nameLabel->setText(m_nameLabel->fontMetrics().elidedText(shown, Qt::ElideMiddle, m_nameLabel->width()));
    m_nameLabel->setToolTip(name.isEmpty() ? m_translation.referenceMessage() : FromUtf8(m_translation.reference()->path()));
    m_nameLabel->setAccessibleName(QStringLiteral("Reference table: ") + shown);
}

}  // namespace lexicarta
