// Editing the current entry from the main window: the editor and the sound
// field hand what is typed to the table document, which marks, stores,
// reverts and saves.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/main_window.h"
#include "app/table_document.h"
#include "app/text_codec.h"
#include "app/widgets.h"
#include "app/session.h"

namespace lexicarta {

void MainWindow::connectJournalHandlers()
{
    connect(stringEditor, &QPlainTextEdit::textChanged, this, &MainWindow::MarkEdited);
    connect(soundField, &QLineEdit::textChanged, this, &MainWindow::MarkSoundEdited);
    TableDocument& document = m_document;
    WatchExit(stringEditor, [&document] { document.FlushJournal(); });
    WatchExit(soundField, [&document] { document.CommitSoundRef(); });
    connect(newEntryButton, &QPushButton::clicked, this, &MainWindow::NewString);
}

void MainWindow::MarkEdited()
{
    if (!SuppressMemoChange) m_document.setText(EditorText(*stringEditor), this);
}

void MainWindow::MarkSoundEdited()
{
    if (!SuppressSoundChange) m_document.setSound(soundField->text(), this);
}

bool MainWindow::FlushJournal() { return m_document.FlushJournal(); }

bool MainWindow::CommitSoundRef() { return m_document.CommitSoundRef(); }

void MainWindow::NewString()
{
    if (m_document.NewString()) stringEditor->setFocus();
}

void MainWindow::RevertString() { m_document.RevertString(); }

void MainWindow::UndoAll() { m_document.UndoAll(); }

bool MainWindow::SaveAll(bool skipCacheUpdate) { return m_document.SaveAll(skipCacheUpdate); }

}  // namespace lexicarta
