#pragma once

#include <QWidget>

namespace pellorin {

// Tells screen readers what an action changed, as a notification they speak
// at once, without anything shown on the screen: the widget is never shown
// and only its accessible name carries the text.
class Announcement final : public QWidget {
    Q_OBJECT
public:
    explicit Announcement(QWidget* parent);

    void say(const QString& text);
};

// "No results", "1 result", "25 results": the words an announcement of the
// list's rows starts with.
QString resultCount(qint64 count);

} // namespace pellorin
