#include "app/spelling_highlighter.h"

#include <QMenu>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

#include "app/table_document.h"
#include "app/text_codec.h"
#include "app/translation_document.h"
#include "translation/spell_checker.h"

namespace lexicarta {
namespace {

std::u16string_view Utf16(const QString& text)
{
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

}  // namespace

SpellingHighlighter::SpellingHighlighter(QTextDocument* document, TranslationDocument& translation)
    : StandInHighlighter(document), m_translation(translation)
{
    connect(&translation, &TranslationDocument::spellingChanged, this, &QSyntaxHighlighter::rehighlight);
    connect(&translation.document(), &TableDocument::encodingChanged, this, &QSyntaxHighlighter::rehighlight);
}

SpellingHighlighter* SpellingHighlighter::Install(QPlainTextEdit* editor, TranslationDocument& translation)
{
    QTextDocument* document = editor->document();
    for (StandInHighlighter* old : document->findChildren<StandInHighlighter*>(QString(), Qt::FindDirectChildrenOnly))
        delete old;
    auto* highlighter = new SpellingHighlighter(document, translation);
    editor->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(editor, &QWidget::customContextMenuRequested, highlighter,
            [highlighter, editor](const QPoint& position) { highlighter->showContextMenu(editor, position); });
    return highlighter;
}

void SpellingHighlighter::highlightBlock(const QString& text)
{
    StandInHighlighter::highlightBlock(text);
    SpellChecker* spelling = m_translation.spelling();
    if (!spelling) return;
    for (const TextRange& range : spelling->misspelledRanges(Utf16(text), m_translation.document().encoding())) {
        for (std::size_t i = range.begin; i < range.end; ++i) {
            QTextCharFormat marked = format(static_cast<int>(i));
            marked.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
            marked.setUnderlineColor(QColor(220, 0, 0));
            setFormat(static_cast<int>(i), 1, marked);
        }
    }
}

void SpellingHighlighter::showContextMenu(QPlainTextEdit* editor, const QPoint& position)
{
    QMenu* menu = editor->createStandardContextMenu(position);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    SpellChecker* spelling = m_translation.spelling();
    const QTextCursor at = editor->cursorForPosition(position);
    const QTextBlock block = at.block();
    const auto column = static_cast<std::size_t>(at.positionInBlock());
    const TableDocument& document = m_translation.document();
    if (spelling && !editor->isReadOnly()) {
        for (const TextRange& range : spelling->misspelledRanges(Utf16(block.text()), document.encoding())) {
            if (column < range.begin || column > range.end) continue;
            const QString word = block.text().mid(static_cast<qsizetype>(range.begin),
                                                  static_cast<qsizetype>(range.end - range.begin));
            QAction* first = menu->actions().value(0);
            int offered = 0;
            for (const std::string& suggestion : spelling->suggestions(ToUtf8(word))) {
                const QString replacement = FromUtf8(suggestion);
                if (!CanHold(document.encoding(), replacement) || ++offered > 8) continue;
                QAction* action = new QAction(replacement, menu);
                connect(action, &QAction::triggered, editor, [editor, block, range, replacement] {
                    QTextCursor cursor(block);
                    cursor.setPosition(block.position() + static_cast<int>(range.begin));
                    cursor.setPosition(block.position() + static_cast<int>(range.end), QTextCursor::KeepAnchor);
                    cursor.insertText(replacement);
                });
                menu->insertAction(first, action);
            }
            if (offered == 0) {
                QAction* none = new QAction(QStringLiteral("(no suggestions)"), menu);
                none->setEnabled(false);
                menu->insertAction(first, none);
            }
            QAction* add = new QAction(QStringLiteral("Add to word list"), menu);
            connect(add, &QAction::triggered, this, [this, word] { m_translation.addToWordList(word); });
            menu->insertAction(first, add);
            menu->insertSeparator(first);
            break;
        }
    }
    menu->popup(editor->viewport()->mapToGlobal(position));
}

}  // namespace lexicarta
