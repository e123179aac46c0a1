#include "ui/common/accesskeys.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>

namespace {

void press(QAbstractButton *button)
{
    // As Qt's own access key does: a checkable button takes the focus first.
    if (button->isCheckable() && (button->focusPolicy() & Qt::ClickFocus))
        button->setFocus(Qt::ShortcutFocusReason);
    button->click();
}

bool isAccessKey(QAbstractButton *button, int key)
{
    const QKeySequence shortcut = button->shortcut();
    return !shortcut.isEmpty() && shortcut[0].key() == key;
}

class ActAtOnce : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() == QEvent::Shortcut)
            return shortcut(qobject_cast<QAbstractButton *>(watched),
                            static_cast<QShortcutEvent *>(e));
        if (e->type() == QEvent::KeyPress)
            return letter(qobject_cast<QMessageBox *>(watched), static_cast<QKeyEvent *>(e));
        return false;
    }

private:
    static bool shortcut(QAbstractButton *button, QShortcutEvent *e)
    {
        // An ambiguous key only moves the focus between its buttons: Qt does that.
        if (!button || e->isAmbiguous() || e->key() != button->shortcut())
            return false;
        // Held down, the keys click once, as Qt's held-down button did.
        button->setShortcutAutoRepeat(e->shortcutId(), false);
        press(button);
        return true;
    }

    static bool letter(QMessageBox *box, QKeyEvent *e)
    {
        if (!box || (e->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier)))
            return false;
        for (QAbstractButton *button : box->buttons()) {
            if (isAccessKey(button, e->key())) {
                if (!e->isAutoRepeat())
                    press(button);
                return true;
            }
        }
        return false;
    }
};

QObject *filter()
{
    static QPointer<ActAtOnce> f;
    if (!f)
        f = new ActAtOnce(QCoreApplication::instance());
    return f;
}

} // namespace

namespace accessKeys {

void actAtOnce(QAbstractButton *button) { button->installEventFilter(filter()); }

void actAtOnce(QMessageBox *box)
{
    box->installEventFilter(filter());
    for (QAbstractButton *button : box->buttons())
        actAtOnce(button);
}

} // namespace accessKeys
