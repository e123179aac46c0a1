#include "platform/platform.h"
#include "support/program.h"
#include "ui/display/frmDisplay.h"
#include "ui/farewell/frmNagScreen2.h"
#include "ui/forms.h"
#include "ui/main/frmMain.h"
#include "ui/modHelp.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QtTest>

namespace {
// Counts the events of one type that reach the objects it watches.
class EventCounter : public QObject
{
public:
    EventCounter(QEvent::Type type, int *count) : m_type(type), m_count(count) {}
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == m_type)
            ++*m_count;
        return false;
    }

private:
    QEvent::Type m_type;
    int *m_count;
};

// Which of the four appeals a text is, by its opening (-1: none); the
// texts themselves are checked whole in tst_texts.
int appealNumber(const QString &text)
{
    const QStringList openings{QStringLiteral("Veyra Softwares, such as this"),
                               QStringLiteral("Visit VeyraBoard regularly. Support"),
                               QStringLiteral("VeyraBoard is a FREE online"),
                               QStringLiteral("VeyraBoard needs your help.")};
    for (int k = 0; k < 4; ++k)
        if (text.startsWith(openings[k]))
            return k;
    return -1;
}
} // namespace

class TestFarewell : public QObject
{
    Q_OBJECT
    int terminated = 0;

private slots:
    void init()
    {
        terminated = 0;
        modHelp::resetEndingForTesting();
        modHelp::setTerminator([this] { ++terminated; });
    }
    void cleanup() { resetWindows(); }

    void leavingShowsOnlyTheFarewell_data()
    {
        QTest::addColumn<bool>("fromResult");
        QTest::addColumn<QString>("how");
        for (bool fromResult : {false, true})
            for (const char *how : {"Exit", "E&xit", "Esc", "close box"})
                QTest::addRow("%s, %s", fromResult ? "result" : "main", how) << fromResult << how;
    }

    void leavingShowsOnlyTheFarewell()
    {
        QFETCH(bool, fromResult);
        QFETCH(QString, how);
        frmMain *main = Forms::Main();
        main->show();
        Form *w = main;
        if (fromResult) {
            main->txtName->setText(QStringLiteral("ANN"));
            main->cmdNext_Click();
            w = Forms::Display();
        }
        QPointer<Form> leaving = w;
        QVERIFY(QTest::qWaitForWindowActive(w));
        if (how == u"Exit")
            w->findChild<QPushButton *>(QStringLiteral("cmdExit"))->click();
        else if (how == u"E&xit")
            w->findChild<QAction *>(QStringLiteral("mnuExit"))->trigger();
        else if (how == u"Esc")
            QTest::keyClick(w, Qt::Key_Escape);
        else
            w->close();
        flushDeletes();
        QVERIFY(leaving.isNull());
        QVERIFY(Forms::isNagScreen2Loaded());
        QVERIFY(Forms::NagScreen2()->isVisible());
        QCOMPARE(Forms::isMainLoaded() && Forms::Main()->isVisible(), false);
        QVERIFY(!Forms::isDisplayLoaded());
        QCOMPARE(terminated, 0);
    }

    // Back hides the farewell window; it must not be shown on the way, for a
    // window manager may hand it the keyboard and lose track of it.
    void backNeverShowsTheFarewell()
    {
        frmMain *main = Forms::Main();
        main->txtName->setText(QStringLiteral("ANN"));
        main->show();
        main->cmdNext_Click();
        frmNagScreen2 *nag = Forms::NagScreen2();
        int shown = 0;
        EventCounter counter(QEvent::Show, &shown);
        nag->installEventFilter(&counter);
        Forms::Display()->cmdBack_Click();
        QCOMPARE(shown, 0);
        QVERIFY(!nag->isVisible());
        QVERIFY(main->isVisible());
    }

    void hiddenBeforeShownKeepsItsText()
    {
        QVERIFY(!Forms::isNagScreen2Loaded());
        Forms::NagScreen2()->hide();
        QVERIFY(Forms::isNagScreen2Loaded());
        frmNagScreen2 *nag = Forms::NagScreen2();
        QVERIFY(!nag->isVisible());
        const QString text = nag->Label2->text();
        QVERIFY2(appealNumber(text) >= 0, qPrintable(text));
        nag->show();
        nag->hide();
        nag->show();
        QCOMPARE(nag->Label2->text(), text);
    }

    void farewellFirstBuiltOnLeavingAfterFind()
    {
        frmMain *main = Forms::Main();
        main->txtName->setText(QStringLiteral("ANN"));
        main->show();
        main->cmdNext_Click();
        QVERIFY(!Forms::isNagScreen2Loaded());
        // Leaving creates it now, with its load step: one of the four appeals,
        // drawn once for this creation.
        Forms::Display()->cmdExit_Click();
        QVERIFY(Forms::isNagScreen2Loaded());
        frmNagScreen2 *nag = Forms::NagScreen2();
        QVERIFY(nag->isVisible());
        QCOMPARE(nag->windowTitle(), QStringLiteral("Xelt Ombrel Astrology v1.15"));
        const QString text = nag->Label2->text();
        QVERIFY2(appealNumber(text) >= 0, qPrintable(text));
        for (int i = 0; i < 5; ++i) {
            nag->hide();
            nag->show();
            QCOMPARE(nag->Label2->text(), text);
        }
    }

    void findHidesAFarewellAlreadyBuilt()
    {
        frmNagScreen2 *nag = Forms::NagScreen2();
        nag->show();
        frmMain *main = Forms::Main();
        main->txtName->setText(QStringLiteral("ANN"));
        main->show();
        main->cmdNext_Click();
        QVERIFY(!nag->isVisible());
        nag->show();
        Forms::Display()->cmdBack_Click();
        QVERIFY(!nag->isVisible());
    }

    void everyAppealTurnsUp()
    {
        // The text is drawn from a clock-seeded generator: here, forty moments.
        const auto restore = qScopeGuard([] { platform::setClockSeedForTesting({}); });
        // A list, not a QSet: Qt 6.4's QHash trips GCC 12's allocation-size warning under LTO.
        QStringList seen;
        for (quint32 moment = 0; moment < 40; ++moment) {
            Forms::destroyAll();
            platform::setClockSeedForTesting(moment);
            const QString text = Forms::NagScreen2()->Label2->text();
            QVERIFY2(appealNumber(text) >= 0, qPrintable(text));
            if (!seen.contains(text))
                seen << text;
        }
        QCOMPARE(seen.size(), 4);
    }

    void window()
    {
        frmNagScreen2 *nag = Forms::NagScreen2();
        nag->show();
        QVERIFY(nag->windowFlags() & Qt::WindowStaysOnTopHint);
        // The message box lies below its panel's edge: out of sight (on the Tab
        // path all the same, as tst_layout shows).
        QVERIFY(!nag->Frame2->rect().intersects(nag->txtMessage->geometry()));
    }

    void endingCloseEverythingOnce_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Exit button") << "Exit";
        QTest::newRow("closing the window") << "close";
    }

    void endingCloseEverythingOnce()
    {
        QFETCH(QString, how);
        frmMain *main = Forms::Main();
        main->txtName->setText(QStringLiteral("ANN"));
        main->show();
        main->cmdNext_Click(); // main hidden, result shown
        QPointer<frmMain> m = main;
        QPointer<frmDisplay> d = Forms::Display();
        QPointer<frmNagScreen2> nag = Forms::NagScreen2();
        nag->show();
        if (how == u"Exit")
            nag->cmdClose->click();
        else
            nag->close();
        QCOMPARE(terminated, 1);
        flushDeletes();
        QVERIFY(m.isNull() && d.isNull() && nag.isNull());
        // The result window's closing step must not bring the farewell back.
        QVERIFY(!Forms::isNagScreen2Loaded());
        modHelp::EndApplication(); // nothing runs after the end
        QCOMPARE(terminated, 1);
    }
};

QTEST_MAIN(TestFarewell)
#include "tst_farewell.moc"
