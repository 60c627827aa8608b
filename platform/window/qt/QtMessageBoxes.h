#pragma once

#include "MessageBoxes.h"

#include <QPointer>
#include <QWidget>

namespace pellorin {

class QtMessageBoxes final : public MessageBoxes {
public:
    // The window the boxes belong to: they open over it, also where the
    // window system places windows itself (Wayland).
    void setParentWindow(QWidget* parent) { m_parent = parent; }

    void show(const QString& text, const QString& caption, MessageIcon icon) override;

private:
    QPointer<QWidget> m_parent;
};

} // namespace pellorin
