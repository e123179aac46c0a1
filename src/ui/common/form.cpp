#include "ui/common/form.h"

#include "ui/common/accessibility.h"
#include "ui/common/appicon.h"
#include "ui/common/look.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QPushButton>
#include <QShortcut>

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
    m_client->setFixedSize(clientSize);
    setCentralWidget(m_client);
    // The window takes the client size plus whatever the menu bar needs, and no more.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void Form::setDefaultAndCancel(QPushButton *button)
{
    m_default = button;
    button->setDefault(true);
    auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, button, &QPushButton::click);
}

void Form::keyPressEvent(QKeyEvent *e)
{
    // Keys no control took: Enter belongs to the default button.
    if (m_default && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        && m_default->isEnabled()) {
        e->accept();
        m_default->click();
        return;
    }
    QMainWindow::keyPressEvent(e);
}

void Form::setVisible(bool visible)
{
    const bool first = visible && !m_placed;
    if (first) {
        m_placed = true;
        adjustSize();
        look::centreOnScreen(this);
    }
    QMainWindow::setVisible(visible);
    // Windows knows the title bar's size only once the native window exists:
    // centre again with it, before anything is drawn.
    if (first && frameGeometry().size() != size())
        look::centreOnScreen(this);
}

void Form::closeEvent(QCloseEvent *e)
{
    e->accept();
    if (m_unloaded)
        return;
    m_unloaded = true;
    Form_Unload();
}
