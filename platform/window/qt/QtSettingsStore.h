#pragma once

#include "SettingsStore.h"

#include <QSettings>

namespace pellorin {

// The settings store as an INI file in the user's configuration folder
// ($XDG_CONFIG_HOME/Quillmere/Pellorin.ini on Linux).
class QtSettingsStore final : public SettingsStore {
public:
    QtSettingsStore();

    QString read(const QString& key, const QString& defaultValue) const override;
    void write(const QString& key, const QString& value) override;

private:
    mutable QSettings m_settings;
};

} // namespace pellorin
