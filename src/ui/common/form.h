#pragma once
// A top-level window of the program: fixed client size, no minimise or
// maximise, centred when first shown (see placement.h), destroyed when unloaded (closed).
#include <QMainWindow>

class QPushButton;

class Form : public QMainWindow
{
    Q_OBJECT
public:
    Form(const char *name, QSize clientSize, QWidget *parent = nullptr);

    // The area below the menu bar that holds the controls.
    QWidget *client() const { return m_client; }

    // Unloading has begun: the window no longer counts as loaded.
    bool isUnloaded() const { return m_unloaded; }

    // Enter (unless a button has the focus) and Esc press this button.
    void setDefaultAndCancel(QPushButton *button);

    void setVisible(bool visible) override;

protected:
    // The window's closing step, run once whichever way it is closed.
    virtual void Form_Unload() {}

    void closeEvent(QCloseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    QWidget *m_client;
    QPushButton *m_default = nullptr;
    bool m_unloaded = false;
    bool m_placed = false;
};
