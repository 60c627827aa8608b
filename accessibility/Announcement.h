#pragma once

#include <QWidget>

class QAccessibleInterface;

namespace pellorin {

// Tells screen readers what an action changed, as a notification they speak
// at once, without anything shown on the screen: the widget is never shown
// and only its accessible name carries the text.
class Announcement final : public QWidget {
    Q_OBJECT
public:
    explicit Announcement(QWidget* parent);

    void say(const QString& text);

    // A QAccessible factory: a notification for an Announcement.
    static QAccessibleInterface* createAccessible(const QString& className, QObject* object);
};

} // namespace pellorin
