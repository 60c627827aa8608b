#pragma once

#include "FakeServices.h"
#include "Form1.h"

#include <QColor>
#include <QObject>
#include <QWidget>

#include <memory>

namespace pellorin::test {

// The main window over recording services, shown and exposed; nullptr when
// the window system never exposed it.
std::unique_ptr<Form1> showMainWindow(FakeServices& services);

// The window's control named `name`; a missing control ends the test run,
// since every case after it would fail for the same reason.
template <class T = QWidget> T* control(const QWidget& window, const QString& name)
{
    auto* widget = window.findChild<T*>(name);
    if (!widget)
        qFatal("no control %s", qPrintable(name));
    return widget;
}

// "Save Results As Text File" clicked in `window` over `services`, with
// `fileName` the save dialog's answer (empty: cancelled).
void saveAs(Form1& window, FakeServices& services, const QString& fileName);

// The background colour that `widget` fills itself with.
inline QColor backColor(const QWidget& widget)
{
    return widget.palette().color(widget.backgroundRole());
}

// A test object whose every test function starts without a settings file,
// with a main window over fresh recording services, shown and exposed. A test
// object that needs more declares its own init() or cleanup() and calls these.
class MainWindowTest : public QObject {
    Q_OBJECT

protected slots:
    void init();
    // The window goes before the services it holds on to.
    void cleanup();

protected:
    template <class T = QWidget> T* control(const QString& name) const
    {
        return test::control<T>(*m_form, name);
    }

    void saveAs(const QString& fileName) { test::saveAs(*m_form, *m_services, fileName); }

    std::unique_ptr<FakeServices> m_services;
    std::unique_ptr<Form1> m_form;
};

} // namespace pellorin::test
