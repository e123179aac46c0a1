// The caret blinks while the user works and rests once input stops.
#include "ui/common/caretrest.h"

#include <QApplication>
#include <QLineEdit>
#include <QtTest>

class TestCaretRest : public QObject
{
    Q_OBJECT

private slots:
    void init() { QApplication::setCursorFlashTime(1000); }

    void restsThenWakes_data()
    {
        QTest::addColumn<QString>("input");
        QTest::newRow("key") << "key";
        QTest::newRow("click") << "click";
        QTest::newRow("focus") << "focus";
    }

    void restsThenWakes()
    {
        QFETCH(QString, input);
        QWidget window;
        auto *a = new QLineEdit(&window);
        auto *b = new QLineEdit(&window);
        b->move(0, 40);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        CaretRest caret(30);
        QCOMPARE(QApplication::cursorFlashTime(), 1000);
        QTRY_VERIFY(caret.isResting());
        QCOMPARE(QApplication::cursorFlashTime(), 0);

        if (input == u"key")
            QTest::keyClick(a, Qt::Key_A);
        else if (input == u"click")
            QTest::mouseClick(b, Qt::LeftButton);
        else
            b->setFocus(Qt::TabFocusReason);
        QVERIFY(!caret.isResting());
        QCOMPARE(QApplication::cursorFlashTime(), 1000);
        // And it rests again afterwards.
        QTRY_VERIFY(caret.isResting());
        QCOMPARE(QApplication::cursorFlashTime(), 0);
    }

    void steadyDesktopLeftSteady()
    {
        QApplication::setCursorFlashTime(0);
        QLineEdit edit;
        edit.show();
        CaretRest caret(10);
        QTest::keyClick(&edit, Qt::Key_A);
        QTest::qWait(40);
        QCOMPARE(QApplication::cursorFlashTime(), 0);
        QVERIFY(!caret.isResting());
    }

    void leavingRestoresTheDesktopSetting()
    {
        {
            CaretRest caret(10);
            QTRY_VERIFY(caret.isResting());
        }
        QCOMPARE(QApplication::cursorFlashTime(), 1000);
    }
};

QTEST_MAIN(TestCaretRest)
#include "tst_caretrest.moc"
