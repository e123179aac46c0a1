// Access keys act the moment they are pressed: Qt's own hold a button down for
// 100 ms first. Every check here looks right after the key event has been
// processed, with no event loop run in between.
#include "support/program.h"
#include "support/windows.h"
#include "ui/common/look.h"
#include "ui/common/messages.h"
#include "ui/display/frmDisplay.h"
#include "ui/forms.h"
#include "ui/main/frmMain.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

namespace {
// The active window's buttons that have an access key.
QList<QAbstractButton *> withAccessKeys(QWidget *window)
{
    QList<QAbstractButton *> found;
    for (QAbstractButton *b : window->findChildren<QAbstractButton *>())
        if (!b->shortcut().isEmpty() && b->isVisibleTo(window))
            found << b;
    return found;
}

Qt::Key accessKey(const QAbstractButton *b) { return b->shortcut()[0].key(); }
} // namespace

class TestAccessKeys : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        modHelp::setTerminator([] {});
    }
    void cleanup() { closeAllWindows(); }

    void altOFindsAtOnceAndOnce()
    {
        frmMain *main = Forms::Main();
        main->show();
        QVERIFY(QTest::qWaitForWindowActive(main));
        main->txtName->setText(QStringLiteral("ANN"));
        QSignalSpy clicked(main->cmdNext, &QPushButton::clicked);
        QTest::keyClick(main, Qt::Key_O, Qt::AltModifier);
        QCOMPARE(clicked.count(), 1);
        QVERIFY(!main->isVisible());
        QVERIFY(Forms::isDisplayLoaded() && Forms::Display()->isVisible());
        // Nothing is left pending that would run the command a second time.
        QTest::qWait(200);
        QCOMPARE(clicked.count(), 1);
    }

    void heldDownClicksOnce()
    {
        QWidget w;
        w.resize(200, 100);
        QPushButton *b =
            look::button(&w, "go", {10, 10, 80, 30}, QStringLiteral("&Go"), look::verdana(8.25));
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QSignalSpy clicked(b, &QPushButton::clicked);
        QTest::simulateEvent(&w, true, Qt::Key_G, Qt::AltModifier, QStringLiteral("g"), false);
        QCOMPARE(clicked.count(), 1);
        for (int repeat = 0; repeat < 3; ++repeat)
            QTest::simulateEvent(&w, true, Qt::Key_G, Qt::AltModifier, QStringLiteral("g"), true);
        QTest::simulateEvent(&w, false, Qt::Key_G, Qt::AltModifier, QStringLiteral("g"), false);
        QCOMPARE(clicked.count(), 1);
        QTest::keyClick(&w, Qt::Key_G, Qt::AltModifier);
        QCOMPARE(clicked.count(), 2);
        b->setEnabled(false);
        QTest::keyClick(&w, Qt::Key_G, Qt::AltModifier);
        QCOMPARE(clicked.count(), 2);
    }

    void everyWindowsButtons_data() { addWindowRows(); }

    void everyWindowsButtons()
    {
        QFETCH(QString, window);
        QWidget *w = showWindow(window);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        const QList<QAbstractButton *> buttons = withAccessKeys(w);
        QVERIFY(!buttons.isEmpty());
        for (QAbstractButton *b : buttons) {
            // Only the press is counted here: the buttons' own commands would close the window.
            disconnect(b, &QAbstractButton::clicked, nullptr, nullptr);
            QSignalSpy clicked(b, &QAbstractButton::clicked);
            QTest::keyClick(w, accessKey(b), Qt::AltModifier);
            QVERIFY2(clicked.count() == 1, qPrintable(b->objectName()));
            QVERIFY2(!b->isDown(), qPrintable(b->objectName()));
        }
    }

    void menuBarKeysStillOpenMenus()
    {
        frmMain *main = Forms::Main();
        main->show();
        QVERIFY(QTest::qWaitForWindowActive(main));
        QTest::keyClick(main, Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(main->mnuFile->isVisible());
        QTest::keyClick(main->mnuFile, Qt::Key_Escape);
        QTRY_VERIFY(!main->mnuFile->isVisible());
    }

    void messageBoxKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("answer");
        QTest::newRow("Y") << int(Qt::Key_Y) << int(Qt::NoModifier) << int(QMessageBox::Yes);
        QTest::newRow("N") << int(Qt::Key_N) << int(Qt::NoModifier) << int(QMessageBox::No);
        QTest::newRow("Alt+Y") << int(Qt::Key_Y) << int(Qt::AltModifier) << int(QMessageBox::Yes);
        QTest::newRow("Alt+N") << int(Qt::Key_N) << int(Qt::AltModifier) << int(QMessageBox::No);
    }

    void messageBoxKeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, answer);
        bool closedAtOnce = false;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            QVERIFY(QTest::qWaitForWindowActive(box));
            QTest::keyClick(box, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
            closedAtOnce = !box->isVisible();
            if (box->isVisible())
                box->reject(); // a box the key missed must not hang the test
        });
        const auto chosen =
            messages::show(nullptr, QStringLiteral("Yes or no?"), QMessageBox::Information,
                           QMessageBox::Yes | QMessageBox::No);
        QVERIFY(closedAtOnce);
        QCOMPARE(int(chosen), answer);
    }
};

QTEST_MAIN(TestAccessKeys)
#include "tst_accesskeys.moc"
