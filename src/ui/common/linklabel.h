#pragma once
#include <QLabel>

// A label that opens something when clicked, with the pointing-hand pointer.
// It is on the Tab path (Enter or Space follows it) and screen readers see it
// as a link whose press action follows it. Its text is set once, when it is
// made: it draws it as a plain label does, with no text document behind it.
class LinkLabel : public QLabel
{
    Q_OBJECT
public:
    explicit LinkLabel(const QString &text, QWidget *parent = nullptr);
    // A link at its place with its given name, font and colour, named for
    // screen readers by its text.
    static LinkLabel *create(QWidget *parent, const char *name, const QRect &rect,
                             const QString &text, const QFont &font, const QColor &colour);

    void follow();

signals:
    void clicked();

protected:
    bool event(QEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

private:
    bool m_pressed = false;
};
