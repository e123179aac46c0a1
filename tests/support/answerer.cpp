#include "support/answerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QTest>

BoxAnswerer::BoxAnswerer(QMessageBox::StandardButton answer) : m_answer(answer)
{
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &BoxAnswerer::poll);
    m_timer.start();
}

QStringList BoxAnswerer::texts() const
{
    QStringList t;
    for (const ShownBox &b : boxes)
        t << b.text;
    return t;
}

void BoxAnswerer::poll()
{
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    // What the box does to the window behind it shows once it is active.
    if (whileShown && QApplication::activeWindow() != box)
        return;
    boxes.append({box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                  box->defaultButton() ? box->defaultButton()->text() : QString()});
    // Wide enough for its title in a bold title bar, beside the bar's buttons.
    QFont bold = box->font();
    bold.setBold(true);
    const int titleNeeds = QFontMetrics(bold).horizontalAdvance(box->windowTitle()) + 100;
    QTest::qVerify(box->width() >= titleNeeds, "box->width() >= titleNeeds",
                   qPrintable(QStringLiteral("the box '%1' is %2 pixels wide, its title needs %3")
                                  .arg(box->text())
                                  .arg(box->width())
                                  .arg(titleNeeds)),
                   __FILE__, __LINE__);
    if (whileShown)
        whileShown();
    if (m_key != Qt::Key_unknown)
        QTest::keyClick(box, m_key);
    else if (QAbstractButton *b = box->button(m_answer))
        b->click();
    else
        box->reject();
}
