#include "LibreOfficeSpreadsheet.h"

#include "OfficeCall.h"
#include "OfficeConnection.h"
#include "OfficeProcess.h"
#include "OfficeWait.h"

#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/XTextRange.hpp>

#include <unistd.h>

#include <algorithm>

#include <vector>

using namespace css;

namespace pellorin {

namespace {

using std::chrono::milliseconds;

uno::Reference<sheet::XSpreadsheet> activeSheet(const uno::Reference<frame::XModel>& document)
{
    const uno::Reference<sheet::XSpreadsheetView> view(
        document->getCurrentController(), uno::UNO_QUERY_THROW);
    const uno::Reference<sheet::XSpreadsheet> sheet = view->getActiveSheet();
    if (!sheet.is())
        throw uno::RuntimeException(rtl::OUString("the document has no active sheet"));
    return sheet;
}

// The requests of one export to the office. Once a request has got no answer
// in time, the office is taken for hung: later requests fail at once rather
// than keep the user waiting again and leave one more call blocked behind.
class OfficeLine {
public:
    explicit OfficeLine(milliseconds limit)
        : m_limit(limit)
    {
    }

    template <class Call> auto call(const QString& what, Call request) const
    {
        if (*m_hung)
            throw SpreadsheetError(
                what + QStringLiteral(": LibreOffice has not answered an earlier request"));
        try {
            return office::callOffice(m_limit, what, std::move(request));
        } catch (const office::OfficeTimeout&) {
            *m_hung = true;
            throw;
        }
    }

private:
    milliseconds m_limit;
    std::shared_ptr<bool> m_hung = std::make_shared<bool>(false);
};

class CalcWorkbook final : public SpreadsheetWorkbook {
public:
    CalcWorkbook(const uno::Reference<frame::XModel>& document, int rowCount, OfficeLine office)
        : m_document(document)
        , m_rowCount(rowCount)
        , m_office(std::move(office))
    {
    }

    int sheetRowCount() override { return m_rowCount; }

    void setActiveSheetCell(int row, int column, const QString& text) override
    {
        checkPosition(row, column, 1);
        m_office.call(QStringLiteral("LibreOffice Calc could not fill a cell"),
            [document = m_document, row, column, value = office::toOUString(text)] {
                const uno::Reference<text::XTextRange> cell(
                    activeSheet(document)->getCellByPosition(column - 1, row - 1),
                    uno::UNO_QUERY_THROW);
                cell->setString(value);
            });
    }

    void setActiveSheetColumn(int column, std::span<const SpreadsheetColumnRun> runs) override
    {
        struct Block {
            int firstRow;
            int lastRow;
            uno::Sequence<uno::Sequence<uno::Any>> rows;
        };
        std::vector<Block> blocks;
        for (const SpreadsheetColumnRun& run : runs) {
            if (run.texts.empty())
                continue;
            checkPosition(run.firstRow, column, run.texts.size());
            uno::Sequence<uno::Sequence<uno::Any>> rows(sal_Int32(run.texts.size()));
            uno::Sequence<uno::Any>* row = rows.getArray();
            for (const std::string& text : run.texts) {
                const uno::Any value(
                    rtl::OUString(text.data(), sal_Int32(text.size()), RTL_TEXTENCODING_UTF8));
                *row++ = uno::Sequence<uno::Any>(&value, 1);
            }
            blocks.push_back({ run.firstRow, run.firstRow + int(run.texts.size()) - 1, rows });
        }
        if (blocks.empty())
            return;
        // One request for all runs: each remote call costs a round trip, and
        // a list with many unticked rows has many short runs.
        m_office.call(QStringLiteral("LibreOffice Calc could not fill the cells"),
            [document = m_document, column, blocks = std::move(blocks)] {
                const uno::Reference<sheet::XSpreadsheet> sheet = activeSheet(document);
                for (const Block& block : blocks) {
                    const uno::Reference<sheet::XCellRangeData> range(
                        sheet->getCellRangeByPosition(
                            column - 1, block.firstRow - 1, column - 1, block.lastRow - 1),
                        uno::UNO_QUERY_THROW);
                    range->setDataArray(block.rows);
                }
            });
    }

    void fitActiveSheetColumn(int column) override
    {
        checkPosition(1, column, 1);
        m_office.call(QStringLiteral("LibreOffice Calc could not widen the column"),
            [document = m_document, column] {
                const uno::Reference<table::XColumnRowRange> sheet(
                    activeSheet(document), uno::UNO_QUERY_THROW);
                const uno::Reference<beans::XPropertySet> properties(
                    sheet->getColumns()->getByIndex(column - 1), uno::UNO_QUERY_THROW);
                properties->setPropertyValue(rtl::OUString("OptimalWidth"), uno::Any(true));
            });
    }

private:
    void checkPosition(int row, int column, std::size_t rows) const
    {
        if (row < 1 || column < 1 || row > m_rowCount
            || rows > std::size_t(m_rowCount) - std::size_t(row) + 1)
            throw SpreadsheetError(QStringLiteral("Row %1 is outside the sheet, which has %2 rows")
                                       .arg(row)
                                       .arg(m_rowCount));
    }

    uno::Reference<frame::XModel> m_document;
    int m_rowCount;
    OfficeLine m_office;
};

class CalcApplication final : public SpreadsheetApplication {
public:
    CalcApplication(const uno::Reference<uno::XComponentContext>& context, milliseconds callLimit)
        : m_context(context)
        , m_office(callLimit)
    {
    }

    std::unique_ptr<SpreadsheetWorkbook> addWorkbook() override
    {
        auto [document, rowCount] = m_office.call(
            QStringLiteral("LibreOffice Calc could not open a new document"),
            [context = m_context] {
                const uno::Reference<frame::XDesktop2> desktop = frame::Desktop::create(context);
                const uno::Reference<frame::XModel> document(
                    desktop->loadComponentFromURL(
                        rtl::OUString("private:factory/scalc"), rtl::OUString("_blank"), 0, {}),
                    uno::UNO_QUERY_THROW);
                const uno::Reference<table::XColumnRowRange> sheet(
                    activeSheet(document), uno::UNO_QUERY_THROW);
                return std::make_pair(document, int(sheet->getRows()->getCount()));
            });
        m_documents.push_back(document);
        return std::make_unique<CalcWorkbook>(document, rowCount, m_office);
    }

    // Calc has no application window of its own: showing it means showing
    // the windows of the documents added through this object.
    void setVisible(bool visible) override
    {
        m_office.call(QStringLiteral("LibreOffice Calc could not show its window"),
            [documents = m_documents, visible] {
                for (const uno::Reference<frame::XModel>& document : documents) {
                    const uno::Reference<awt::XWindow> window
                        = document->getCurrentController()->getFrame()->getContainerWindow();
                    window->setVisible(visible);
                    if (const uno::Reference<awt::XTopWindow> top { window, uno::UNO_QUERY };
                        visible && top.is())
                        top->toFront();
                }
            });
    }

private:
    uno::Reference<uno::XComponentContext> m_context;
    OfficeLine m_office;
    std::vector<uno::Reference<frame::XModel>> m_documents;
};

} // namespace

LibreOfficeSpreadsheet::LibreOfficeSpreadsheet()
    : LibreOfficeSpreadsheet(Options {})
{
}

LibreOfficeSpreadsheet::LibreOfficeSpreadsheet(Options options)
    : m_options(std::move(options))
{
    if (m_options.pipeName.isEmpty())
        m_options.pipeName = defaultPipeName();
}

QString LibreOfficeSpreadsheet::defaultPipeName()
{
    return QStringLiteral("pellorin_office_%1").arg(getuid());
}

std::unique_ptr<SpreadsheetApplication> LibreOfficeSpreadsheet::createApplication(
    const QString& programmaticId)
{
    if (programmaticId != QLatin1String("Excel.Application"))
        throw SpreadsheetError(QStringLiteral("No spreadsheet application is registered as \"%1\"")
                                   .arg(programmaticId));
    const QString failure
        = QStringLiteral("LibreOffice Calc is not installed or could not be started: ");
    // One limit from the request to a connected office, however many tries
    // it takes: a try that gets no answer is not repeated, as each would keep
    // the user waiting again and leave one more call blocked behind.
    const auto deadline = office::Deadline::after(m_options.startLimit);
    try {
        uno::Reference<uno::XComponentContext> context;
        for (int attempt = 1;; ++attempt) {
            try {
                context = office::connectOnce(m_options.pipeName, deadline);
                break;
            } catch (const office::OfficeTimeout&) {
                throw;
            } catch (const SpreadsheetError&) {
                // While the connection of an earlier export is being torn
                // down, a busy office can refuse the next one for a moment.
                if (attempt == 3 || deadline.passed())
                    throw;
                office::pauseServingEvents(std::min(milliseconds(250), deadline.left()));
            }
        }
        if (!context.is()) {
            const QString program = office::officeProgram(m_options.officeProgram);
            const qint64 pid
                = office::startOffice(program, m_options.pipeName, m_options.extraArguments);
            context = office::waitForStartedOffice(m_options.pipeName, pid, program, deadline);
        }
        return std::make_unique<CalcApplication>(context, m_options.callLimit);
    } catch (const SpreadsheetError& e) {
        throw SpreadsheetError(failure + QString::fromUtf8(e.what()));
    }
}

} // namespace pellorin
