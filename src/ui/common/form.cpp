#include "ui/common/form.h"

#include "platform/activation.h"
#include "ui/common/accessibility.h"
#include "ui/common/appicon.h"
#include "ui/common/look.h"
#include "ui/common/placement.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QPushButton>

Form::Form(const char *name, QSize clientSize, QWidget *parent)
    : QMainWindow(parent), m_client(new QWidget(this))
{
    accessibility::install();
    setObjectName(QString::fromLatin1(name));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(look::kWindowCaption);
    setWindowIcon(look::windowIcon());
    m_client->setObjectName(QStringLiteral("client"));
    m_client->setFixedSize(placement::px(clientSize));
    setCentralWidget(m_client);
    // The window takes the client size plus whatever the menu bar needs, and no more.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void Form::setDefaultAndCancel(QPushButton *button)
{
    m_default = button;
    button->setDefault(true);
}

void Form::keyPressEvent(QKeyEvent *e)
{
    // Keys no control took: Enter and Esc belong to the default button. An
    // open list or menu takes its Esc itself (a window shortcut would not let it).
    if (m_default
        && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter
            || (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier))
        && m_default->isEnabled()) {
        e->accept();
        m_default->click();
        return;
    }
    QMainWindow::keyPressEvent(e);
}

void Form::setVisible(bool visible)
{
    // Windows of the program follow one another: the one leaving hands its
    // claim to the keyboard to the next.
    if (!visible && isActiveWindow())
        platform::activation::handOver(windowHandle());
    const bool first = visible && !m_placed;
    if (first) {
        m_placed = true;
        look::fitOneLineLabels(this);
        adjustSize();
        placement::centreOnScreen(this);
    }
    QMainWindow::setVisible(visible);
    if (first)
        placement::centreAgainIfFramed(this);
}

void Form::closeEvent(QCloseEvent *e)
{
    e->accept();
    if (m_unloaded)
        return;
    m_unloaded = true;
    Form_Unload();
}
