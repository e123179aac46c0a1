#include "core/modPlanetSign.h"
#include "support/answerer.h"
#include "support/program.h"
#include "ui/common/linklabel.h"
#include "ui/display/frmDisplay.h"
#include "ui/farewell/frmNagScreen2.h"
#include "ui/forms.h"
#include "ui/main/frmMain.h"
#include "ui/modHelp.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

namespace {
void pick(frmMain *m, const QString &day, const QString &month, const QString &year)
{
    m->cboDate->setCurrentText(day);
    m->cboMonth->setCurrentText(month);
    m->cboYear->setCurrentText(year);
    QCOMPARE(m->cboYear->currentText(), year);
}

// A click that waits in the queue, as it does while the program is busy.
void queueClick(QWidget *button)
{
    const QPointF at = QRectF(button->rect()).center();
    const QPointF global = button->mapToGlobal(at);
    QCoreApplication::postEvent(button,
                                new QMouseEvent(QEvent::MouseButtonPress, at, global,
                                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(button,
                                new QMouseEvent(QEvent::MouseButtonRelease, at, global,
                                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
}

} // namespace

class TestFindSign : public QObject
{
    Q_OBJECT
    frmMain *main = nullptr;

private slots:
    void init()
    {
        modHelp::resetEndingForTesting();
        modPlanetSign::strPlanetSign.clear();
        main = Forms::Main();
        main->show();
        QVERIFY(QTest::qWaitForWindowActive(main));
    }
    void cleanup() { resetWindows(); }

    void rules_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("message"); // empty: accepted
        // Every rule and its message is in tests/core; here, what the command does
        // with an answer of each kind.
        QTest::newRow("no name, impossible date") << ""
                                                  << "31"
                                                  << "February"
                                                  << "1947"
                                                  << "Please Enter Your Name";
        QTest::newRow("initial selection") << "ANN"
                                           << "1"
                                           << "January"
                                           << "1946"
                                           << "";
        QTest::newRow("29 Feb 1947") << "ANN"
                                     << "29"
                                     << "February"
                                     << "1947"
                                     << "Please Enter Correct Date Or Month!";
        QTest::newRow("31 Apr") << "ANN"
                                << "31"
                                << "April"
                                << "1950"
                                << "Please Enter Correct Date Or Month !";
    }

    void rules()
    {
        QFETCH(QString, name);
        QFETCH(QString, day);
        QFETCH(QString, month);
        QFETCH(QString, year);
        QFETCH(QString, message);
        main->txtName->setText(name);
        pick(main, day, month, year);
        main->cmdNext->setFocus();
        BoxAnswerer answers;
        main->cmdNext_Click();
        if (message.isEmpty()) {
            QVERIFY(answers.boxes.isEmpty());
            QVERIFY(!main->isVisible());
            QVERIFY(Forms::isDisplayLoaded() && Forms::Display()->isVisible());
            return;
        }
        QCOMPARE(answers.texts(), QStringList{message});
        QCOMPARE(answers.boxes[0].icon, QMessageBox::Information);
        QCOMPARE(answers.boxes[0].title, QStringLiteral("Xelt Ombrel Astrology"));
        QVERIFY(main->isVisible());
        QVERIFY(!Forms::isDisplayLoaded());
        QCOMPARE(main->txtName->text(), name);
        QCOMPARE(main->cboDate->currentText(), day);
        // Only a missing name moves the focus, into the name field.
        QCOMPARE(main->focusWidget(),
                 name.isEmpty() ? static_cast<QWidget *>(main->txtName) : main->cmdNext);
    }

    void menuEntryIsTheSameCommand()
    {
        BoxAnswerer answers;
        main->mnuFindSexualitySign->trigger();
        QCOMPARE(answers.texts(), QStringList{QStringLiteral("Please Enter Your Name")});
        main->txtName->setText(QStringLiteral("ANN"));
        main->mnuFindSexualitySign->trigger();
        QVERIFY(Forms::isDisplayLoaded() && Forms::Display()->isVisible());
    }

    void resultThenBack()
    {
        main->txtName->setText(QStringLiteral("ANN BEE"));
        pick(main, QStringLiteral("19"), QStringLiteral("December"), QStringLiteral("1993"));
        main->cmdNext_Click();

        QPointer<frmDisplay> display = Forms::Display();
        QVERIFY(display->isVisible());
        QVERIFY(!main->isVisible());
        // No farewell window in sight, and none built only to be hidden.
        QVERIFY(!Forms::isNagScreen2Loaded());
        QCOMPARE(display->lblOmbrelSign->text(), QStringLiteral("Sagittarius"));
        QVERIFY(display->lblSignDesc->text().startsWith(
            QStringLiteral("You will have strong intuitive powers.")));
        QTRY_COMPARE(QApplication::focusWidget(), display->cmdExit);

        display->cmdBack_Click();
        flushDeletes();
        QVERIFY(display.isNull());
        QVERIFY(!Forms::isDisplayLoaded());
        QVERIFY(main->isVisible());
        // Back has no farewell window to hide, and builds none for it.
        QVERIFY(!Forms::isNagScreen2Loaded());
        QCOMPARE(main->txtName->text(), QStringLiteral("ANN BEE"));
        QCOMPARE(main->cboDate->currentText(), QStringLiteral("19"));
        QCOMPARE(main->cboMonth->currentText(), QStringLiteral("December"));
        QCOMPARE(main->cboYear->currentText(), QStringLiteral("1993"));
    }

    // Exit, then Find before the program has caught up: the Exit stands.
    void exitThenFindKeepsTheExit_data()
    {
        QTest::addColumn<QString>("exit");
        QTest::addColumn<QString>("find");
        QTest::newRow("Exit button, Find button") << "cmdExit"
                                                  << "cmdNext";
        QTest::newRow("E&xit entry, Find entry") << "mnuExit"
                                                 << "mnuFindSexualitySign";
        QTest::newRow("close box, Find button") << "close"
                                                << "cmdNext";
    }

    void exitThenFindKeepsTheExit()
    {
        QFETCH(QString, exit);
        QFETCH(QString, find);
        main->txtName->setText(QStringLiteral("ANN"));
        QPointer<frmMain> m = main;
        for (const QString &step : {exit, find}) {
            if (step == u"close")
                QMetaObject::invokeMethod(main, &QWidget::close, Qt::QueuedConnection);
            else if (auto *button = main->findChild<QPushButton *>(step))
                queueClick(button);
            else
                QMetaObject::invokeMethod(main->findChild<QAction *>(step), &QAction::trigger,
                                          Qt::QueuedConnection);
        }
        BoxAnswerer answers;
        QCoreApplication::processEvents();
        flushDeletes();
        QVERIFY(m.isNull());
        QVERIFY(!Forms::isDisplayLoaded());
        QVERIFY(Forms::isNagScreen2Loaded() && Forms::NagScreen2()->isVisible());
        QVERIFY(answers.boxes.isEmpty());
    }

    void interpretations_data()
    {
        QTest::addColumn<QString>("dates"); // find-sign for each "day month year", Back between
        QTest::addColumn<QString>("sign");
        QTest::addColumn<QString>("textStart");
        QTest::newRow("Libra") << "1 January 1946"
                               << "Libra"
                               << "You are quiet and reserved.";
        QTest::newRow("Scorpio") << "1 January 1980"
                                 << "Scorpio"
                                 << "This era gave rise to Indigo";
        QTest::newRow("Sagittarius") << "13 December 2016"
                                     << "Sagittarius"
                                     << "You will have strong";
        QTest::newRow("Libra, Back, Scorpio") << "1 January 1946|31 December 1968"
                                              << "Scorpio"
                                              << "This era gave rise";
        QTest::newRow("Scorpio, Back, Libra") << "9 March 1969|10 March 1969"
                                              << "Libra"
                                              << "You are quiet";
        // Years the lists do not offer, typed into an editable year list.
        QTest::newRow("Libra, Back, Leo") << "1 January 1946|1 June 1910"
                                          << "Leo"
                                          << "This is an idealistic combination";
        QTest::newRow("Virgo") << "1 June 1930"
                               << "Virgo"
                               << "This is an idealistic combination";
        QTest::newRow("Sagittarius, Back, Capricorn") << "1 June 2010|1 June 2020"
                                                      << "Capricorn"
                                                      << "This is an idealistic combination";
    }

    void interpretations()
    {
        QFETCH(QString, dates);
        QFETCH(QString, sign);
        QFETCH(QString, textStart);
        main->txtName->setText(QStringLiteral("ANN"));
        main->cboYear->setEditable(true);
        for (const QString &date : dates.split(u'|')) {
            if (Forms::isDisplayLoaded())
                Forms::Display()->cmdBack_Click();
            const QStringList dmy = date.split(u' ');
            main->cboDate->setCurrentText(dmy[0]);
            main->cboMonth->setCurrentText(dmy[1]);
            main->cboYear->setEditText(dmy[2]);
            main->cmdNext_Click();
        }
        QCOMPARE(Forms::Display()->lblOmbrelSign->text(), sign);
        QVERIFY2(Forms::Display()->lblSignDesc->text().startsWith(textStart),
                 qPrintable(Forms::Display()->lblSignDesc->text()));
    }

    void noMatchAfterScorpioShowsScorpioAgain()
    {
        main->txtName->setText(QStringLiteral("ANN"));
        pick(main, QStringLiteral("1"), QStringLiteral("January"), QStringLiteral("1975"));
        main->cmdNext_Click();
        Forms::Display()->cmdBack_Click();
        main->cboYear->setEditable(true);
        main->cboYear->setEditText(QStringLiteral("1918.5"));
        main->cmdNext_Click();
        QCOMPARE(Forms::Display()->lblOmbrelSign->text(), QStringLiteral("Scorpio"));
        QVERIFY(
            Forms::Display()->lblSignDesc->text().startsWith(QStringLiteral("This era gave rise")));
    }

    void noMatchAtStartShowsEmptySignAndDefault()
    {
        main->txtName->setText(QStringLiteral("ANN"));
        main->cboYear->setEditable(true);
        main->cboYear->setEditText(QStringLiteral("1899"));
        main->cmdNext_Click();
        QCOMPARE(Forms::Display()->lblOmbrelSign->text(), QString());
        QVERIFY(Forms::Display()->lblSignDesc->text().startsWith(
            QStringLiteral("This is an idealistic combination")));
    }

    void resultWindow()
    {
        frmDisplay *d = Forms::Display();
        // The co-branding offer is the one in front on this window.
        QCOMPARE(d->Frame5->childAt(d->lblCobrand->geometry().center()), d->lblCobrand);
    }

    // The two offers of the result window share one place and one look.
    void resultOffersAreCentred_data()
    {
        QTest::addColumn<QString>("offer");
        QTest::newRow("co-branding") << "lblCobrand";
        QTest::newRow("fully branded") << "lblFullBrand";
    }

    void resultOffersAreCentred()
    {
        QFETCH(QString, offer);
        const auto *label = Forms::Display()->findChild<LinkLabel *>(offer);
        QVERIFY(label);
        QCOMPARE(label->alignment(), Qt::AlignHCenter | Qt::AlignTop);
    }
};

QTEST_MAIN(TestFindSign)
#include "tst_findsign.moc"
