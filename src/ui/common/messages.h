#pragma once
// Every message of the program: a real QMessageBox titled with the program's name.
#include "core/product.h"

#include <QMessageBox>

namespace messages {

inline const QString kAppTitle = product::kName;

// Plain text unless told: a text that echoes the user's input is never read as HTML.
QMessageBox::StandardButton show(QWidget *parent, const QString &text, QMessageBox::Icon icon,
                                 QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                 Qt::TextFormat format = Qt::PlainText);

inline void information(QWidget *parent, const QString &text)
{
    show(parent, text, QMessageBox::Information);
}
inline void critical(QWidget *parent, const QString &text)
{
    show(parent, text, QMessageBox::Critical);
}

} // namespace messages
