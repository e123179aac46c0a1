#pragma once
#include <QLabel>

// A label that opens something when clicked, with the pointing-hand pointer.
// It is on the Tab path (Enter or Space follows it) and screen readers see it
// as a link whose press action follows it.
class LinkLabel : public QLabel
{
    Q_OBJECT
public:
    explicit LinkLabel(const QString &text, QWidget *parent = nullptr);

    void follow();

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

private:
    bool m_pressed = false;
};
