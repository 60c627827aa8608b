#pragma once

#include <QString>

namespace pellorin {

enum class MessageIcon { None, Warning };

// Modal message boxes with a single OK button. Tests substitute a recorder.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;

    // Shows `text` under `caption` and returns when the user has closed it.
    virtual void show(const QString& text, const QString& caption, MessageIcon icon) = 0;
};

} // namespace pellorin
