#include "ui/common/caretrest.h"

#include <QApplication>
#include <QEvent>

CaretRest::CaretRest(int restAfterMs, QObject *parent)
    : QObject(parent), m_flashTime(QApplication::cursorFlashTime())
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(restAfterMs);
    connect(&m_timer, &QTimer::timeout, this, &CaretRest::rest);
    // A desktop that wants a steady caret already has one.
    if (m_flashTime <= 0)
        return;
    qApp->installEventFilter(this);
    m_timer.start();
}

CaretRest::~CaretRest()
{
    if (m_resting)
        QApplication::setCursorFlashTime(m_flashTime);
}

bool CaretRest::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
    case QEvent::InputMethod:
    case QEvent::FocusIn: wake(); break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

void CaretRest::wake()
{
    if (m_resting) {
        m_resting = false;
        QApplication::setCursorFlashTime(m_flashTime);
    }
    m_timer.start();
}

void CaretRest::rest()
{
    m_resting = true;
    QApplication::setCursorFlashTime(0);
}
