#pragma once
// Every message of the program: a real QMessageBox titled with the program's name.
#include <QMessageBox>

namespace messages {

inline const QString kAppTitle = QStringLiteral("Xelt Ombrel Astrology");

QMessageBox::StandardButton show(QWidget *parent, const QString &text, QMessageBox::Icon icon,
                                 QMessageBox::StandardButtons buttons = QMessageBox::Ok);

inline void information(QWidget *parent, const QString &text)
{
    show(parent, text, QMessageBox::Information);
}
inline void critical(QWidget *parent, const QString &text)
{
    show(parent, text, QMessageBox::Critical);
}

} // namespace messages
