#pragma once

#include <QString>

namespace pellorin {

// The per-user store of text values under application "Quillmere", section
// "Pellorin". Keys are only read and written: nothing is listed or deleted.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The stored text of `key`, or `defaultValue` when the key is absent or the
    // store cannot be read.
    virtual QString read(const QString& key, const QString& defaultValue) const = 0;

    // Stores `value` under `key` and flushes it to disk at once. A store that
    // cannot be written is ignored silently: settings are a convenience.
    virtual void write(const QString& key, const QString& value) = 0;
};

} // namespace pellorin
