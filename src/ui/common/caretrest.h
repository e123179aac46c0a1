#pragma once
// Lets the text caret rest: it blinks while the user is at work and holds
// still a few seconds after the last input, so an idle window wakes nothing
// (as GNOME's blink time-out does). Any key, click or focus change wakes it.
#include <QObject>
#include <QTimer>

class CaretRest : public QObject
{
    Q_OBJECT
public:
    explicit CaretRest(int restAfterMs, QObject *parent = nullptr);
    ~CaretRest() override;

    bool isResting() const { return m_resting; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void wake();
    void rest();

    int m_flashTime;
    bool m_resting = false;
    QTimer m_timer;
};
