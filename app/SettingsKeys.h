#pragma once

#include <QString>

#include <array>

namespace pellorin {

// Every key the program keeps in the settings store, with its default.
struct SettingKey {
    const char* name;
    const char* defaultValue;

    QString key() const { return QString::fromLatin1(name); }
    QString fallback() const { return QString::fromLatin1(defaultValue); }
};

inline constexpr SettingKey kQuantityKey { "Text1", "50" };
inline constexpr std::array<SettingKey, 4> kOptionKeys { {
    { "Option1", "1" },
    { "Option2", "0" },
    { "Option3", "0" },
    { "Option4", "0" },
} };

} // namespace pellorin
