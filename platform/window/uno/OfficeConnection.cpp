#include "OfficeConnection.h"

#include "OfficeCall.h"

#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <rtl/bootstrap.hxx>

#include <QFileInfo>

#include <cstdlib>
#include <mutex>

using namespace css;

namespace pellorin::office {

namespace {

// The UNO libraries that the module links come in packages of their own, so
// they may be installed without the rest. Without the runtime's types,
// services and C++ bridge, UNO cannot even describe its own exceptions
// (asking it to crashes); without the office there is nothing to talk to.
// So these are looked for before the first call into UNO.
void checkOfficeInstalled()
{
    const auto path = [](const char* file) {
        return QStringLiteral(PELLORIN_OFFICE_PROGRAM_DIR "/") + QLatin1String(file);
    };
    for (const char* file : { "unorc", "types.rdb", "services.rdb", "libgcc3_uno.so" })
        if (!QFileInfo::exists(path(file)))
            throw SpreadsheetError(
                QStringLiteral("the UNO runtime (package ure) is incomplete: %1 is missing")
                    .arg(path(file)));
    for (const char* file : { "soffice", "fundamentalrc" })
        if (!QFileInfo::exists(path(file)))
            throw SpreadsheetError(
                QStringLiteral("the office itself is missing: %1 does not exist").arg(path(file)));
}

} // namespace

uno::Reference<uno::XComponentContext> localContext()
{
    static std::mutex mutex;
    static uno::Reference<uno::XComponentContext> context;
    const std::lock_guard lock(mutex);
    if (context.is())
        return context;
    checkOfficeInstalled();
    // Without it our runtime finds no service registry when it is not itself
    // inside the office's program folder, and Desktop::create crashes.
    if (std::getenv("URE_BOOTSTRAP") == nullptr)
        rtl::Bootstrap::set(rtl::OUString("URE_BOOTSTRAP"),
            rtl::OUString("vnd.sun.star.pathname:" PELLORIN_OFFICE_PROGRAM_DIR "/fundamentalrc"));
    try {
        context = cppu::defaultBootstrap_InitialComponentContext();
    } catch (const uno::Exception& e) {
        // Only the message: the type system that would name the exception's
        // type is what could not be set up.
        throw SpreadsheetError(
            QStringLiteral("the UNO runtime could not be set up: ") + toQString(e.Message));
    }
    if (!context.is())
        throw SpreadsheetError(QStringLiteral("the UNO runtime could not be set up"));
    return context;
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
