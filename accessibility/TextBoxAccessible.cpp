#include "TextBoxAccessible.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QValidator>

namespace pellorin {

TextBoxAccessible::TextBoxAccessible(QLineEdit* box)
    : QAccessibleWidget(box, QAccessible::EditableText)
{
    addControllingSignal(QStringLiteral("textChanged(const QString&)"));
    addControllingSignal(QStringLiteral("returnPressed()"));
}

QAccessibleInterface* TextBoxAccessible::create(const QString& className, QObject* object)
{
    if (className == QLatin1String(QLineEdit::staticMetaObject.className()))
        return new TextBoxAccessible(static_cast<QLineEdit*>(object));
    return nullptr;
}

QLineEdit* TextBoxAccessible::box() const
{
    return static_cast<QLineEdit*>(widget());
}

bool TextBoxAccessible::readable() const
{
    return box()->echoMode() == QLineEdit::Normal;
}

void* TextBoxAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    if (t == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

QAccessible::State TextBoxAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    if (box()->isReadOnly())
        state.readOnly = true;
    else
        state.editable = true;
    state.passwordEdit = !readable();
    state.selectableText = true;
    return state;
}

QString TextBoxAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value) {
        if (readable())
            return box()->text();
        if (box()->echoMode() != QLineEdit::NoEcho)
            return QString(box()->text().size(), QLatin1Char('*'));
        return {};
    }
    return QAccessibleWidget::text(t);
}

void TextBoxAccessible::setText(QAccessible::Text t, const QString& text)
{
    if (t != QAccessible::Value) {
        QAccessibleWidget::setText(t, text);
        return;
    }
    // What the box would refuse from the keyboard it refuses here too.
    if (const QValidator* validator = box()->validator()) {
        QString checked = text;
        int position = 0;
        if (validator->validate(checked, position) != QValidator::Acceptable)
            return;
    }
    box()->setText(text);
}

void TextBoxAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !box()->hasSelectedText())
        return;
    *startOffset = box()->selectionStart();
    *endOffset = box()->selectionEnd();
}

int TextBoxAccessible::selectionCount() const
{
    return box()->hasSelectedText() ? 1 : 0;
}

void TextBoxAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void TextBoxAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        box()->deselect();
}

void TextBoxAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        box()->setSelection(startOffset, endOffset - startOffset);
}

int TextBoxAccessible::cursorPosition() const
{
    return box()->cursorPosition();
}

void TextBoxAccessible::setCursorPosition(int position)
{
    box()->setCursorPosition(position);
}

QString TextBoxAccessible::text(int startOffset, int endOffset) const
{
    if (startOffset > endOffset || !readable())
        return {};
    return box()->text().mid(startOffset, endOffset - startOffset);
}

// Offset -2 stands for the text cursor's position.
QString TextBoxAccessible::textBeforeOffset(
    int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset, int* endOffset) const
{
    if (!readable()) {
        *startOffset = *endOffset = -1;
        return {};
    }
    return QAccessibleTextInterface::textBeforeOffset(
        offset == -2 ? cursorPosition() : offset, boundaryType, startOffset, endOffset);
}

QString TextBoxAccessible::textAfterOffset(
    int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset, int* endOffset) const
{
    if (!readable()) {
        *startOffset = *endOffset = -1;
        return {};
    }
    return QAccessibleTextInterface::textAfterOffset(
        offset == -2 ? cursorPosition() : offset, boundaryType, startOffset, endOffset);
}

QString TextBoxAccessible::textAtOffset(
    int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset, int* endOffset) const
{
    if (!readable()) {
        *startOffset = *endOffset = -1;
        return {};
    }
    return QAccessibleTextInterface::textAtOffset(
        offset == -2 ? cursorPosition() : offset, boundaryType, startOffset, endOffset);
}

int TextBoxAccessible::characterCount() const
{
    return int(box()->text().size());
}

QRect TextBoxAccessible::characterRect(int offset) const
{
    const QString shown = text(offset, offset + 1);
    if (shown.isEmpty())
        return {};
    // The box tells where its cursor is drawn, scrolling included; a
    // character lies as far from it as the text between them is wide.
    const QRect cursor = box()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const QFontMetrics metrics(box()->font());
    const QString all = box()->text();
    const int x = cursor.center().x() + metrics.horizontalAdvance(all.left(offset))
        - metrics.horizontalAdvance(all.left(cursorPosition()));
    const QRect local(x, cursor.top(), metrics.horizontalAdvance(shown), metrics.height());
    return { box()->mapToGlobal(local.topLeft()), local.size() };
}

int TextBoxAccessible::offsetAtPoint(const QPoint& point) const
{
    return box()->cursorPositionAt(box()->mapFromGlobal(point));
}

void TextBoxAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    box()->setCursorPosition(endIndex);
    box()->setCursorPosition(startIndex);
}

QString TextBoxAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    Q_UNUSED(offset);
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

void TextBoxAccessible::deleteText(int startOffset, int endOffset)
{
    box()->setText(box()->text().remove(startOffset, endOffset - startOffset));
}

void TextBoxAccessible::insertText(int offset, const QString& text)
{
    box()->setText(box()->text().insert(offset, text));
}

void TextBoxAccessible::replaceText(int startOffset, int endOffset, const QString& text)
{
    box()->setText(box()->text().replace(startOffset, endOffset - startOffset, text));
}

} // namespace pellorin
