#include "AccessibleFactories.h"

#include "Announcement.h"
#include "ResultsViewAccessible.h"
#include "ScreenOrderAccessible.h"
#include "SteppedProgressBarAccessible.h"
#include "TextBoxAccessible.h"

#include <QAccessible>

namespace pellorin {

namespace {

const char* g_windowClassName = nullptr;

// To assistive technology a top-level QWidget is a plain pane; the main
// window is told as a window, so a screen reader treats it as one.
QAccessibleInterface* createWindowAccessible(const QString& className, QObject* object)
{
    if (g_windowClassName && className == QLatin1String(g_windowClassName))
        return new ScreenOrderAccessible(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

void installAccessibleFactories(const char* windowClassName)
{
    g_windowClassName = windowClassName;
    // Qt installs a factory once, however often it is asked to.
    for (const QAccessible::InterfaceFactory factory :
        { &createWindowAccessible, &ScreenOrderAccessible::create, &TextBoxAccessible::create,
            &SteppedProgressBarAccessible::create, &ResultsViewAccessible::create,
            &Announcement::createAccessible })
        QAccessible::installFactory(factory);
}

} // namespace pellorin
