#include "OfficeConnection.h"

#include "OfficeCall.h"

#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <rtl/bootstrap.hxx>

#include <cstdlib>
#include <mutex>

using namespace css;

namespace pellorin::office {

uno::Reference<uno::XComponentContext> localContext()
{
    static std::mutex mutex;
    static uno::Reference<uno::XComponentContext> context;
    const std::lock_guard lock(mutex);
    if (context.is())
        return context;
    // Without it our runtime finds no service registry when it is not itself
    // inside the office's program folder, and Desktop::create crashes.
    if (std::getenv("URE_BOOTSTRAP") == nullptr)
        rtl::Bootstrap::set(rtl::OUString("URE_BOOTSTRAP"),
            rtl::OUString("vnd.sun.star.pathname:" PELLORIN_OFFICE_PROGRAM_DIR "/fundamentalrc"));
    try {
        context = cppu::defaultBootstrap_InitialComponentContext();
    } catch (const uno::Exception& e) {
        throw SpreadsheetError(QStringLiteral("the UNO runtime could not be set up: ")
            + describeCaughtUnoException(e));
    }
    if (!context.is())
        throw SpreadsheetError(QStringLiteral("the UNO runtime could not be set up"));
    return context;
}

std::atomic<int>& abandonedCalls()
{
    static std::atomic<int> count { 0 };
    return count;
}

uno::Reference<uno::XComponentContext> connectOnce(const QString& pipeName, Deadline deadline)
{
    const uno::Reference<uno::XComponentContext> local = localContext();
    const rtl::OUString url = toOUString(
        QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(pipeName));
    return callOffice(deadline, QStringLiteral("connecting to LibreOffice"),
        [local, url]() -> uno::Reference<uno::XComponentContext> {
            const uno::Reference<bridge::XUnoUrlResolver> resolver
                = bridge::UnoUrlResolver::create(local);
            try {
                return uno::Reference<uno::XComponentContext>(
                    resolver->resolve(url), uno::UNO_QUERY_THROW);
            } catch (const connection::NoConnectException&) {
                return {};
            }
        });
}

rtl::OUString toOUString(const QString& text)
{
    return rtl::OUString(
        reinterpret_cast<const sal_Unicode*>(text.utf16()), sal_Int32(text.size()));
}

QString toQString(const rtl::OUString& text)
{
    return QString(reinterpret_cast<const QChar*>(text.getStr()), text.getLength());
}

} // namespace pellorin::office
