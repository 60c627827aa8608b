#include "StyleSheetSkinEngine.h"

#include <QApplication>
#include <QFile>
#include <QWidget>

namespace pellorin {

namespace {

// A skin is a few kilobytes; anything far larger is not one.
constexpr qint64 kMaxSkinBytes = qint64 { 4 } * 1024 * 1024;

} // namespace

QVariant StyleSheetSkinEngine::invoke(int id, const QVariantList& arguments)
{
    switch (id) {
    case LoadSkin:
        return loadSkin(arguments.value(0).toString());
    case ApplyWindow:
        return applyWindow(arguments.value(0));
    default:
        return {};
    }
}

QVariant StyleSheetSkinEngine::getProperty(int id)
{
    switch (id) {
    case ApplyOptions:
        return m_applyOptions;
    case AutoApplyNewWindows:
        return m_autoApplyNewWindows;
    case AutoApplyNewThreads:
        return m_autoApplyNewThreads;
    default:
        return {};
    }
}

void StyleSheetSkinEngine::putProperty(int id, const QVariant& value)
{
    switch (id) {
    case ApplyOptions:
        m_applyOptions = value.toInt();
        break;
    case AutoApplyNewWindows:
        m_autoApplyNewWindows = value.toBool();
        break;
    case AutoApplyNewThreads:
        m_autoApplyNewThreads = value.toBool();
        break;
    default:
        break;
    }
}

bool StyleSheetSkinEngine::loadSkin(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxSkinBytes)
        return false;
    QString sheet = QString::fromUtf8(file.readAll());
    if (sheet.startsWith(QChar(0xFEFF)))
        sheet.remove(0, 1);
    m_styleSheet = sheet;
    return true;
}

bool StyleSheetSkinEngine::applyWindow(const QVariant& window)
{
    auto* widget = qobject_cast<QWidget*>(window.value<QObject*>());
    if (!widget || m_styleSheet.isEmpty())
        return false;
    widget->setStyleSheet(m_styleSheet);
    if (m_autoApplyNewWindows)
        qApp->setStyleSheet(m_styleSheet);
    return true;
}

} // namespace pellorin
