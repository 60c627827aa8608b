#include "FakeServices.h"

namespace pellorin::test {

void RecordingMessageBoxes::show(const QString& text, const QString& caption, MessageIcon icon)
{
    shown.append({ text, caption, icon });
    if (onShow)
        onShow(shown.back());
}

void RecordingClipboard::clear()
{
    ++clears;
    text = QString();
    m_ownText = false;
}

void RecordingClipboard::setText(const QByteArray& newText)
{
    text = QString::fromUtf8(newText);
    m_ownText = true;
}

void RecordingClipboard::releaseOwnText()
{
    if (!m_ownText)
        return;
    ++releases;
    text = QString();
    m_ownText = false;
}

QString ScriptedSaveDialog::askSaveFileName(const QString& title, const QStringList& filters)
{
    ++asked;
    lastTitle = title;
    lastFilters = filters;
    return nextFileName;
}

namespace {

class ScriptedWorkbook final : public SpreadsheetWorkbook {
public:
    ScriptedWorkbook(ScriptedSpreadsheet& owner, std::size_t index)
        : m_owner(owner)
        , m_index(index)
    {
    }

    int sheetRowCount() override { return m_owner.sheetRows; }

    void setActiveSheetCell(int row, int column, const QString& text) override
    {
        m_owner.record(QStringLiteral("cell %1 %2 %3").arg(row).arg(column).arg(text));
        put(row, column, text);
    }

    void setActiveSheetColumn(int column, std::span<const SpreadsheetColumnRun> runs) override
    {
        for (const SpreadsheetColumnRun& run : runs) {
            m_owner.record(QStringLiteral("column %1 %2 %3")
                               .arg(run.firstRow)
                               .arg(column)
                               .arg(run.texts.size()));
            for (std::size_t i = 0; i < run.texts.size(); ++i)
                put(run.firstRow + int(i), column, QString::fromStdString(run.texts[i]));
        }
        if (m_owner.afterColumnWrite)
            m_owner.afterColumnWrite();
    }

    void fitActiveSheetColumn(int column) override
    {
        m_owner.record(QStringLiteral("fit %1").arg(column));
    }

private:
    void put(int row, int column, const QString& text)
    {
        if (row < 1 || row > m_owner.sheetRows || column < 1)
            throw SpreadsheetError(
                QStringLiteral("Cell (%1, %2) is outside the sheet").arg(row).arg(column));
        m_owner.workbooks[m_index][{ row, column }] = text;
    }

    ScriptedSpreadsheet& m_owner;
    std::size_t m_index;
};

class ScriptedApplication final : public SpreadsheetApplication {
public:
    explicit ScriptedApplication(ScriptedSpreadsheet& owner)
        : m_owner(owner)
    {
    }

    std::unique_ptr<SpreadsheetWorkbook> addWorkbook() override
    {
        m_owner.record(QStringLiteral("add"));
        m_owner.workbooks.emplace_back();
        return std::make_unique<ScriptedWorkbook>(m_owner, m_owner.workbooks.size() - 1);
    }

    void setVisible(bool visible) override
    {
        m_owner.record(QStringLiteral("visible %1").arg(int(visible)));
    }

private:
    ScriptedSpreadsheet& m_owner;
};

} // namespace

std::unique_ptr<SpreadsheetApplication> ScriptedSpreadsheet::createApplication(
    const QString& programmaticId)
{
    record(QStringLiteral("create ") + programmaticId);
    return std::make_unique<ScriptedApplication>(*this);
}

void ScriptedSpreadsheet::record(const QString& line)
{
    calls.append(line);
    if (staysFailed && failAfter < 0)
        throw SpreadsheetError(QStringLiteral("Failure after the scripted one"));
    if (!failOn.isEmpty() && line.startsWith(failOn) && failAfter-- == 0)
        throw SpreadsheetError(QStringLiteral("Scripted failure of \"%1\"").arg(line));
}

} // namespace pellorin::test
