#pragma once

#include "platform/Spreadsheet.h"
#include "platform/uno/OfficeWait.h"

#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <cppuhelper/exc_hlp.hxx>

#include <QRegularExpression>
#include <QString>

#include <chrono>
#include <future>
#include <memory>
#include <thread>

namespace pellorin::office {

// The plain description of the UNO exception being handled. Call only inside
// a catch block.
inline QString describeCaughtUnoException(const css::uno::Exception& e)
{
    const rtl::OUString typeName = cppu::getCaughtException().getValueTypeName();
    const QString type = QString::fromUtf16(
        reinterpret_cast<const char16_t*>(typeName.getStr()), typeName.getLength());
    QString message = QString::fromUtf16(
        reinterpret_cast<const char16_t*>(e.Message.getStr()), e.Message.getLength());
    // The office appends where in its sources it threw, which tells the user nothing.
    static const QRegularExpression sourceLocation(QStringLiteral(R"(\s*\bat \./\S+:\d+\s*$)"));
    message.remove(sourceLocation);
    return message.isEmpty() ? type : type + QStringLiteral(": ") + message;
}

// Runs `call` against the office and returns its result. A remote call blocks
// until the office answers, and a hung office never does; so the call runs on
// a thread of its own while this one keeps the event queue alive, and is
// abandoned after `limit`. `call` must own everything it uses (capture by
// value): an abandoned call may finish long after we have gone on.
template <class Call>
auto callOffice(std::chrono::milliseconds limit, const QString& what, Call call) -> decltype(call())
{
    using Result = decltype(call());
    auto task = std::make_shared<std::packaged_task<Result()>>(
        [call = std::move(call), what]() mutable {
            try {
                return call();
            } catch (const css::lang::DisposedException&) {
                throw SpreadsheetError(
                    what + QStringLiteral(": the document or LibreOffice itself has been closed"));
            } catch (const css::uno::Exception& e) {
                throw SpreadsheetError(what + QStringLiteral(": ") + describeCaughtUnoException(e));
            }
        });
    std::future<Result> result = task->get_future();
    std::thread([task] { (*task)(); }).detach();
    const bool answered = waitServingEvents(limit, [&result](std::chrono::milliseconds slice) {
        return result.wait_for(slice) == std::future_status::ready;
    });
    if (!answered)
        throw SpreadsheetError(what
            + QStringLiteral(": LibreOffice did not answer within %1 s")
                  .arg(double(limit.count()) / 1000.0));
    return result.get();
}

} // namespace pellorin::office
