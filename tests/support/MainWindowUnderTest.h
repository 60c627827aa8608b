#pragma once

#include "app/Form1.h"
#include "tests/support/FakeServices.h"

#include <QtGlobal>

#include <memory>

namespace pellorin::test {

// The main window over recording services, shown and exposed; nullptr when
// the window system never exposed it.
std::unique_ptr<Form1> showMainWindow(FakeServices& services);

// The window's control named `name`; a missing control ends the test run,
// since every case after it would fail for the same reason.
template <class T>
T* control(QWidget& window, const char* name)
{
    auto* widget = window.findChild<T*>(QLatin1String(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

} // namespace pellorin::test
