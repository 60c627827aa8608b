#include "QtSettingsStore.h"

#include <QStringList>

namespace pellorin {

namespace {
const QString kSection = QStringLiteral("Pellorin");
}

QtSettingsStore::QtSettingsStore()
    : m_settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quillmere"),
        QStringLiteral("Pellorin"))
{
}

QString QtSettingsStore::read(const QString& key, const QString& defaultValue) const
{
    const QVariant value = m_settings.value(kSection + QLatin1Char('/') + key);
    if (!value.isValid())
        return defaultValue;
    // An INI value with unquoted commas, as a hand-edited file may hold, comes
    // back as a list; give back the text that was in the file.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

void QtSettingsStore::write(const QString& key, const QString& value)
{
    m_settings.setValue(kSection + QLatin1Char('/') + key, value);
    m_settings.sync();
}

} // namespace pellorin
