#include "QtMessageBoxes.h"

#include <QMessageBox>

namespace pellorin {

void QtMessageBoxes::show(const QString& text, const QString& caption, MessageIcon icon)
{
    QMessageBox box(icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon,
        caption, text, QMessageBox::Ok, m_parent);
    box.exec();
}

} // namespace pellorin
