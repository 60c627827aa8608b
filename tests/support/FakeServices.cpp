#include "tests/support/FakeServices.h"

namespace pellorin::test {

void RecordingMessageBoxes::show(const QString& text, const QString& caption, MessageIcon icon)
{
    shown.append({text, caption, icon});
    if (onShow)
        onShow(shown.back());
}

void RecordingClipboard::clear()
{
    ++clears;
    text = QString();
}

void RecordingClipboard::setText(const QString& newText)
{
    text = newText;
}

QString ScriptedSaveDialog::askSaveFileName(const QString& title, const QStringList& filters)
{
    ++asked;
    lastTitle = title;
    lastFilters = filters;
    return nextFileName;
}

} // namespace pellorin::test
