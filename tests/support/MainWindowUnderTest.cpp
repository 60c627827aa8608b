#include "tests/support/MainWindowUnderTest.h"

#include <QTest>

namespace pellorin::test {

std::unique_ptr<Form1> showMainWindow(FakeServices& services)
{
    auto form = std::make_unique<Form1>(services.services());
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        return nullptr;
    return form;
}

} // namespace pellorin::test
