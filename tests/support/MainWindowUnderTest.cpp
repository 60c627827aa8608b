#include "MainWindowUnderTest.h"

#include "TestEnvironment.h"

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

void MainWindowTest::init()
{
    removeSettingsFile();
    m_services = std::make_unique<FakeServices>();
    m_form = showMainWindow(*m_services);
    QVERIFY(m_form);
}

void saveAs(Form1& window, FakeServices& services, const QString& fileName)
{
    services.saveDialog.nextFileName = fileName;
    QTest::mouseClick(control(window, QStringLiteral("PushButton4")), Qt::LeftButton);
}

void MainWindowTest::cleanup()
{
    m_form.reset();
    m_services.reset();
}

} // namespace pellorin::test
