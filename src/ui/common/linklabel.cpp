#include "ui/common/linklabel.h"

#include "ui/common/accessibility.h"
#include "ui/common/look.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

LinkLabel::LinkLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    accessibility::install(); // read as a link that can be pressed
    setCursor(Qt::PointingHandCursor);
    setTextFormat(Qt::PlainText);
    // Reached by Tab after the window's own controls; a click leaves the focus
    // where the user was typing.
    setFocusPolicy(Qt::TabFocus);
}

LinkLabel *LinkLabel::create(QWidget *parent, const char *name, const QRect &rect,
                             const QString &text, const QFont &font, const QColor &colour)
{
    auto *l = new LinkLabel(text, parent);
    look::place(l, name, rect);
    l->setFont(font);
    look::setTextColour(l, colour);
    l->setAccessibleName(text);
    return l;
}

void LinkLabel::follow() { emit clicked(); }

// A QLabel that can take the focus builds a whole text document, when it is
// polished and when it gets the focus, to edit or select text; a link does
// neither, so it skips QLabel's steps for both and stays a plain label.
bool LinkLabel::event(QEvent *e)
{
    if (e->type() == QEvent::Polish)
        return QFrame::event(e);
    return QLabel::event(e);
}

void LinkLabel::focusInEvent(QFocusEvent *e) { QFrame::focusInEvent(e); }

void LinkLabel::mousePressEvent(QMouseEvent *e)
{
    m_pressed = e->button() == Qt::LeftButton;
    e->accept();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *e)
{
    const bool click =
        m_pressed && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    m_pressed = false;
    e->accept();
    if (click)
        follow();
}

void LinkLabel::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Space) {
        e->accept();
        follow();
        return;
    }
    QLabel::keyPressEvent(e);
}

void LinkLabel::paintEvent(QPaintEvent *e)
{
    QLabel::paintEvent(e);
    if (!hasFocus())
        return;
    // A dotted frame in the link's own colour: the style's faint one is lost on
    // the program's coloured panels.
    QPainter p(this);
    p.setPen(QPen(palette().color(foregroundRole()), 1, Qt::DotLine));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
