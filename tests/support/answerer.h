#pragma once
// Answers the program's modal message boxes from inside a test, and keeps
// what each one showed.
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QTimer>

#include <functional>

struct ShownBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QString defaultButton; // its text, as Enter would press it
};

class BoxAnswerer : public QObject
{
    Q_OBJECT
public:
    // Every box that opens while this lives is answered with `answer`.
    explicit BoxAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok);
    void setAnswer(QMessageBox::StandardButton answer) { m_answer = answer; }
    // Answers with a key press instead, as a keyboard user would (Esc, Enter).
    void answerWithKey(Qt::Key key) { m_key = key; }
    QList<ShownBox> boxes;
    QStringList texts() const;
    // Runs while each box is up and active, before it is answered.
    std::function<void()> whileShown;

private:
    void poll();
    QTimer m_timer;
    QMessageBox::StandardButton m_answer;
    Qt::Key m_key = Qt::Key_unknown;
};
