#include "ErrorTrap.h"

#include <new>
#include <system_error>

namespace pellorin {

QString handlerLocation(const char* handler)
{
    return QStringLiteral("in Tavimbrel5/20/2014.Form1.") + QLatin1String(handler)
        + QLatin1Char(' ');
}

StepFailure::StepFailure(const QString& description)
    : std::runtime_error(description.toStdString())
{
}

QString describeCurrentException()
{
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Out of memory");
    } catch (const std::system_error& e) {
        return QString::fromStdString(e.code().message());
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Unexpected failure");
    }
}

ErrorTrap::ErrorTrap(MessageBoxes& boxes, QString location)
    : m_boxes(boxes)
    , m_location(std::move(location))
{
}

void ErrorTrap::report(int line, const QString& description)
{
    m_boxes.show(composeReport(description, m_location, line), QStringLiteral("Application Error"),
        MessageIcon::Warning);
}

QString ErrorTrap::composeReport(const QString& description, const QString& location, int line)
{
    return description + QStringLiteral("\r\n") + location + QStringLiteral("at line ")
        + QString::number(line) + QStringLiteral("\r\r")
        + QStringLiteral("Please email screenshot of this message to ") + supportAddress();
}

QString ErrorTrap::supportAddress()
{
    return QStringLiteral("support@quillmere.example");
}

} // namespace pellorin
