#include "ui/common/messages.h"

#include "ui/common/accessibility.h"
#include "ui/common/accesskeys.h"
#include "ui/common/placement.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLoggingCategory>
#include <QSpacerItem>

// Off by default; QT_LOGGING_RULES="xelt.messages.info=true" shows each box's
// text on stderr, for support and for tests that watch the whole program.
Q_LOGGING_CATEGORY(lcMessages, "xelt.messages", QtWarningMsg)

namespace messages {

namespace {
int titleBarWidth(const QString &title)
{
    // Title bars draw the title in their own font, often bold and larger,
    // beside an icon and up to three buttons: room for all of it.
    QFont font = QApplication::font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.25);
    return QFontMetrics(font).horizontalAdvance(title) + 4 * 28 + 16;
}

// A box with no window of ours under it opens where the program's windows
// do; one over a window is centred on that window, as Qt puts it.
class Box : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent *e) override
    {
        const QSize placed = size();
        QMessageBox::showEvent(e); // gives the box its final size
        // Placed before it is shown: Qt 6.8 undoes a move made here, so only a
        // box whose size changed after all is moved again.
        if (!parentWidget() && size() != placed)
            placement::centreOnScreen(this);
    }
};
} // namespace

QMessageBox::StandardButton show(QWidget *parent, const QString &text, QMessageBox::Icon icon,
                                 QMessageBox::StandardButtons buttons, Qt::TextFormat format)
{
    accessibility::install();
    Box box(icon, kAppTitle, text, buttons, parent);
    box.setTextFormat(format);
    if (auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"))) {
        // Only a click could give the text the focus, never a key; newer readers
        // (Orca 51) leave a focusable text in a box to be read on focus, so it
        // would go unread.
        label->setFocusPolicy(Qt::NoFocus);
        // A carriage return alone breaks the line for the eye only: readers get
        // a line feed, so the two sentences are not run together.
        if (text.contains(u'\r'))
            label->setAccessibleName(QString(text)
                                         .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                         .replace(u'\r', u'\n'));
    }
    box.setObjectName(QStringLiteral("messageBox"));
    if (buttons & QMessageBox::Yes)
        box.setDefaultButton(QMessageBox::Yes);
    // Esc and the close box answer as the box's one button, or No.
    box.setEscapeButton(buttons & QMessageBox::No ? QMessageBox::No : QMessageBox::Ok);
    accessKeys::actAtOnce(&box);
    // QMessageBox sizes itself to its layout: a strut as wide as the title
    // bar needs keeps the title whole (Windows' own boxes widen the same way).
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(titleBarWidth(kAppTitle), 0, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    // A box with no window of ours to sit on (the second copy's) would open
    // under a window that stays on top, such as the running copy's farewell;
    // nor is it placed over one.
    if (!parent) {
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
        box.adjustSize();
        placement::centreOnScreen(&box);
    }
    qCInfo(lcMessages).noquote() << "message:" << text;
    return QMessageBox::StandardButton(box.exec());
}

} // namespace messages
