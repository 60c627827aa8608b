#pragma once

#include "OfficeWait.h"
#include "Spreadsheet.h"

#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <cppuhelper/exc_hlp.hxx>

#include <QRegularExpression>
#include <QString>

#include <pthread.h>

#include <algorithm>
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

// When the office must have answered, and the limit to name when it has not:
// several calls may share one limit.
struct Deadline {
    std::chrono::steady_clock::time_point at;
    std::chrono::milliseconds limit;

    static Deadline after(std::chrono::milliseconds limit)
    {
        return { std::chrono::steady_clock::now() + limit, limit };
    }
    std::chrono::milliseconds left() const
    {
        return std::max(std::chrono::milliseconds(0),
            std::chrono::duration_cast<std::chrono::milliseconds>(
                at - std::chrono::steady_clock::now()));
    }
    bool passed() const { return std::chrono::steady_clock::now() >= at; }
    // "within 20 s"
    QString within() const
    {
        return QStringLiteral("within %1 s").arg(double(limit.count()) / 1000.0);
    }
};

// The office did not answer in time, and the call was abandoned.
class OfficeTimeout : public SpreadsheetError {
public:
    using SpreadsheetError::SpreadsheetError;
};

// The name every thread that waits on the office carries, so that calls left
// waiting for a hung office can be told apart in a debugger, in `top -H`, or
// by reading /proc/PID/task/*/comm. At most 15 bytes, the kernel's limit.
inline constexpr char kCallThreadName[] = "office-call";

// Runs `call` against the office and returns its result. A remote call blocks
// until the office answers, and a hung office never does; so the call runs on
// a thread of its own while this one keeps the event queue alive, and is
// abandoned at `deadline` (OfficeTimeout). `call` must own everything it uses
// (capture by value): an abandoned call may finish long after we have gone on.
template <class Call>
auto callOffice(Deadline deadline, const QString& what, Call call) -> decltype(call())
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
    std::thread([task] {
        pthread_setname_np(pthread_self(), kCallThreadName);
        (*task)();
    }).detach();
    const bool answered
        = waitServingEvents(deadline.left(), [&result](std::chrono::milliseconds slice) {
              return result.wait_for(slice) == std::future_status::ready;
          });
    // The answer may have come in just after the last look: it is taken then.
    if (!answered && result.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
        throw OfficeTimeout(
            what + QStringLiteral(": LibreOffice did not answer ") + deadline.within());
    return result.get();
}

template <class Call>
auto callOffice(std::chrono::milliseconds limit, const QString& what, Call call) -> decltype(call())
{
    return callOffice(Deadline::after(limit), what, std::move(call));
}

} // namespace pellorin::office
