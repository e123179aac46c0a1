#include "ui/common/look.h"

#include "ui/common/accesskeys.h"
#include "ui/common/placement.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace look {

namespace {
QFont styled(QFont f, qreal points, int style)
{
    f.setPointSizeF(points);
    f.setBold(style & Bold);
    f.setUnderline(style & Underline);
    return f;
}

// A new control placed, with its font and its colours.
template <typename Control>
Control *coloured(Control *c, const char *name, const QRect &rect, const QFont &font,
                  const QColor &background, const QColor &text)
{
    place(c, name, rect);
    c->setFont(font);
    setBackground(c, background);
    setTextColour(c, text);
    return c;
}
} // namespace

// Where a face is missing, the next one named stands in, and after them any
// sans face: left to itself, Windows (Wine too) may pick a serif one.
// DejaVu Sans shares Verdana's wide proportions; Tahoma is the face that
// took over from MS Sans Serif, and Wine brings one of its own.
QFont verdana(qreal points, int style)
{
    QFont f;
    f.setFamilies(
        {QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"), QStringLiteral("Tahoma")});
    f.setStyleHint(QFont::SansSerif);
    return styled(f, points, style);
}

QFont msSansSerif(qreal points, int style)
{
    QFont f;
    f.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                   QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
    f.setStyleHint(QFont::SansSerif);
    return styled(f, points, style);
}

QFont withSansStandIns(QFont font)
{
    font.setFamilies({font.family(), QStringLiteral("DejaVu Sans"), QStringLiteral("Tahoma")});
    font.setStyleHint(QFont::SansSerif);
    return font;
}

void setBackground(QWidget *w, const QColor &colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    p.setColor(QPalette::Base, colour);
    p.setColor(QPalette::Button, colour);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void setTextColour(QWidget *w, const QColor &colour)
{
    QPalette p = w->palette();
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(role, colour);
    w->setPalette(p);
}

void place(QWidget *w, const char *name, const QRect &rect)
{
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(placement::px(rect));
}

QFrame *panel(QWidget *parent, const char *name, const QRect &rect, const QColor &colour)
{
    auto *f = new QFrame(parent);
    place(f, name, rect);
    f->setFrameShape(QFrame::NoFrame);
    setBackground(f, colour);
    return f;
}

QLineEdit *textBox(QWidget *parent, const char *name, const QRect &rect, const QFont &font,
                   const QColor &background, const QColor &text)
{
    return coloured(new QLineEdit(parent), name, rect, font, background, text);
}

QComboBox *dropDown(QWidget *parent, const char *name, const QRect &rect, const QFont &font,
                    const QColor &background, const QColor &text)
{
    return coloured(new QComboBox(parent), name, rect, font, background, text);
}

QLabel *picture(QWidget *parent, const char *name, const QRect &rect)
{
    auto *l = new QLabel(parent);
    place(l, name, rect);
    l->setAlignment(Qt::AlignCenter);
    l->setAccessibleName(QStringLiteral("Program icon"));
    return l;
}

QGroupBox *captionedPanel(QWidget *parent, const char *name, const QRect &rect,
                          const QString &caption, const QColor &background, const QColor &text,
                          const QFont &font)
{
    return coloured(new QGroupBox(caption, parent), name, rect, font, background, text);
}

QLabel *label(QWidget *parent, const char *name, const QRect &rect, const QString &text,
              const QFont &font, const QColor &colour)
{
    auto *l = new QLabel(text, parent);
    place(l, name, rect);
    l->setFont(font);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColour(l, colour);
    return l;
}

QPushButton *button(QWidget *parent, const char *name, const QRect &rect, const QString &text,
                    const QFont &font)
{
    auto *b = new QPushButton(text, parent);
    place(b, name, rect);
    b->setFont(font);
    QPalette p = b->palette();
    p.setColor(QPalette::Button, kButtonFace);
    p.setColor(QPalette::ButtonText, kBlack);
    b->setPalette(p);
    // Enter on a focused button presses that button, as in any dialog.
    b->setAutoDefault(true);
    accessKeys::actAtOnce(b);
    return b;
}

void widenToText(QLabel *label, Qt::Edge edge)
{
    const QRect r = label->geometry();
    const int width = std::max(r.width(), label->sizeHint().width());
    label->setGeometry(edge == Qt::RightEdge ? r.right() + 1 - width : r.x(), r.y(), width,
                       r.height());
}

void fitOneLineLabels(QWidget *window)
{
    for (QLabel *l : window->findChildren<QLabel *>()) {
        if (!l->wordWrap() && !l->text().isEmpty())
            widenToText(l);
    }
}

} // namespace look
