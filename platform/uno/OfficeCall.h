#pragma once

#include "OfficeWait.h"
#include "Spreadsheet.h"

#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <cppuhelper/exc_hlp.hxx>

#include <QRegularExpression>
#include <QString>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <mutex>
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

// The calls abandoned so far that are still waiting for the office.
std::atomic<int>& abandonedCalls();

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
    struct Fate {
        std::mutex mutex;
        bool finished = false;
        bool abandoned = false;
    };
    const auto fate = std::make_shared<Fate>();
    std::future<Result> result = task->get_future();
    std::thread([task, fate] {
        (*task)();
        const std::lock_guard lock(fate->mutex);
        fate->finished = true;
        if (fate->abandoned)
            --abandonedCalls();
    }).detach();
    const bool answered
        = waitServingEvents(deadline.left(), [&result](std::chrono::milliseconds slice) {
              return result.wait_for(slice) == std::future_status::ready;
          });
    if (!answered) {
        const std::lock_guard lock(fate->mutex);
        if (!fate->finished) {
            fate->abandoned = true;
            ++abandonedCalls();
            throw OfficeTimeout(
                what + QStringLiteral(": LibreOffice did not answer ") + deadline.within());
        }
    }
    return result.get();
}

template <class Call>
auto callOffice(std::chrono::milliseconds limit, const QString& what, Call call) -> decltype(call())
{
    return callOffice(Deadline::after(limit), what, std::move(call));
}

} // namespace pellorin::office
