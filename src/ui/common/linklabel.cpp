#include "ui/common/linklabel.h"

#include "ui/common/look.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
// A plain QLabel reads as static text; this one is a link that can be pressed.
class LinkLabelAccessible : public QAccessibleWidget
{
public:
    explicit LinkLabelAccessible(LinkLabel *l) : QAccessibleWidget(l, QAccessible::Link) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<const LinkLabel *>(widget())->text();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.linked = true;
        // Wholly covered by an opaque sibling: not there for the eye, so not for the ear.
        if (widget()->isVisible() && widget()->visibleRegion().isEmpty())
            s.invisible = true;
        return s;
    }

    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &action) override
    {
        if (action == pressAction())
            static_cast<LinkLabel *>(widget())->follow();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface *linkLabelFactory(const QString &key, QObject *object)
{
    if (key == QLatin1String("LinkLabel") && object->isWidgetType())
        return new LinkLabelAccessible(static_cast<LinkLabel *>(object));
    return nullptr;
}
} // namespace

LinkLabel::LinkLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    static const bool factoryInstalled = (QAccessible::installFactory(linkLabelFactory), true);
    Q_UNUSED(factoryInstalled);
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
