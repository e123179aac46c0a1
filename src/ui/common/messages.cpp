#include "ui/common/messages.h"

#include "ui/common/accesskeys.h"

#include <QLoggingCategory>

// Off by default; QT_LOGGING_RULES="xelt.messages.info=true" shows each box's
// text on stderr, for support and for tests that watch the whole program.
Q_LOGGING_CATEGORY(lcMessages, "xelt.messages", QtWarningMsg)

namespace messages {

QMessageBox::StandardButton show(QWidget *parent, const QString &text, QMessageBox::Icon icon,
                                 QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, kAppTitle, text, buttons, parent);
    box.setObjectName(QStringLiteral("messageBox"));
    if (buttons & QMessageBox::Yes)
        box.setDefaultButton(QMessageBox::Yes);
    // Esc and the close box answer as the box's one button, or No.
    box.setEscapeButton(buttons & QMessageBox::No ? QMessageBox::No : QMessageBox::Ok);
    accessKeys::actAtOnce(&box);
    qCInfo(lcMessages).noquote() << "message:" << text;
    return QMessageBox::StandardButton(box.exec());
}

} // namespace messages
