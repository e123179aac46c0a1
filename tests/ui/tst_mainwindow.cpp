#include "core/cobrand.h"
#include "support/answerer.h"
#include "ui/common/linklabel.h"
#include "ui/farewell/frmNagScreen2.h"
#include "ui/forms.h"
#include "ui/main/frmMain.h"
#include "ui/modHelp.h"

#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {
// Types text as a keyboard would, one key press per character (also for
// characters QTest cannot map to a key).
void type(QWidget *w, const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClicks(w, QString(c));
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
    frmMain *main = nullptr;

private slots:
    void init()
    {
        modHelp::resetEndingForTesting();
        main = Forms::Main();
        main->show();
        QVERIFY(QTest::qWaitForWindowActive(main));
    }
    void cleanup() { Forms::destroyAll(); }

    void window()
    {
        QCOMPARE(main->objectName(), QStringLiteral("frmMain"));
        QCOMPARE(main->windowTitle(), QStringLiteral("Xelt Ombrel Astrology v1.15"));
        QVERIFY(
            !(main->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(main->cmdNext->text(), QStringLiteral("Find My &Ombrel Astrology Sign"));
        QCOMPARE(QApplication::focusWidget(), main->txtName);
    }

    void lists()
    {
        QCOMPARE(main->cboDate->count(), 31);
        QCOMPARE(main->cboDate->itemText(0), QStringLiteral("1"));
        QCOMPARE(main->cboDate->itemText(8), QStringLiteral("9"));
        QCOMPARE(main->cboDate->itemText(30), QStringLiteral("31"));
        QStringList months;
        for (int i = 0; i < main->cboMonth->count(); ++i)
            months << main->cboMonth->itemText(i);
        QCOMPARE(months.join(u','), QStringLiteral("January,February,March,April,May,June,July,"
                                                   "August,September,October,November,December"));
        QCOMPARE(main->cboYear->count(), 71);
        QCOMPARE(main->cboYear->itemText(0), QStringLiteral("1946"));
        QCOMPARE(main->cboYear->itemText(70), QStringLiteral("2016"));
        for (QComboBox *c : {main->cboDate, main->cboMonth, main->cboYear}) {
            QVERIFY(!c->isEditable());
            QCOMPARE(c->currentIndex(), 0);
        }
        QVERIFY(main->txtName->text().isEmpty());
    }

    void tabOrder()
    {
        QList<QWidget *> order;
        QWidget *w = main->txtName;
        for (int i = 0; i < 6; ++i, w = w->nextInFocusChain()) {
            while (!(w->focusPolicy() & Qt::TabFocus))
                w = w->nextInFocusChain();
            order << w;
        }
        QCOMPARE(order, (QList<QWidget *>{main->txtName, main->cboDate, main->cboMonth,
                                          main->cboYear, main->cmdNext, main->cmdExit}));
    }

    void nameFilter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("refused");
        QTest::newRow("lower case raised") << "ab"
                                           << "AB" << 0;
        QTest::newRow("upper case kept") << "XyZ"
                                         << "XYZ" << 0;
        QTest::newRow("digit dropped") << "ab1"
                                       << "AB" << 1;
        QTest::newRow("space passes") << "a b"
                                      << "A B" << 0;
        QTest::newRow("punctuation") << "o'n-e."
                                     << "ONE" << 3;
        QTest::newRow("letters outside A-Z") << QString::fromUtf8("\u00e9l\u00e8ve") << "LVE" << 2;
        QTest::newRow("brackets next to letters") << "[`{@"
                                                  << "" << 4;
    }

    void nameFilter()
    {
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(int, refused);
        BoxAnswerer answers;
        type(main->txtName, typed);
        QCOMPARE(main->txtName->text(), text);
        QCOMPARE(answers.boxes.size(), refused);
        for (const ShownBox &b : answers.boxes) {
            QCOMPARE(b.text, QStringLiteral("Please Enter only Letters"));
            QCOMPARE(b.title, QStringLiteral("Xelt Ombrel Astrology"));
            QCOMPARE(b.icon, QMessageBox::Information);
            QCOMPARE(b.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        }
    }

    void backspaceAndControlCodes()
    {
        BoxAnswerer answers;
        QTest::keyClicks(main->txtName, QStringLiteral("abc"));
        QTest::keyClick(main->txtName, Qt::Key_Backspace);
        QCOMPARE(main->txtName->text(), QStringLiteral("AB"));
        QVERIFY(answers.boxes.isEmpty());
        // Ctrl+V types code 22: refused like any other code, and nothing is pasted.
        QGuiApplication::clipboard()->setText(QStringLiteral("x1"));
        QTest::keyClick(main->txtName, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(main->txtName->text(), QStringLiteral("AB"));
        QCOMPARE(answers.texts(), QStringList{QStringLiteral("Please Enter only Letters")});
        // Keys that type nothing are no characters at all: no message.
        QTest::keyClick(main->txtName, Qt::Key_Left);
        QTest::keyClick(main->txtName, Qt::Key_Delete);
        QCOMPARE(main->txtName->text(), QStringLiteral("A"));
        QCOMPARE(answers.boxes.size(), 1);
    }

    void enterAndEscPressExit_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Esc") << int(Qt::Key_Escape);
    }

    void enterAndEscPressExit()
    {
        QFETCH(int, key);
        QSignalSpy exit(main->cmdExit, &QPushButton::clicked);
        QTest::keyClick(main->txtName, Qt::Key(key));
        QCOMPARE(exit.size(), 1);
        QVERIFY(!Forms::isMainLoaded());
        QVERIFY(Forms::NagScreen2()->isVisible());
    }

    void enterOnFindButtonPressesIt()
    {
        BoxAnswerer answers;
        main->cmdNext->setFocus();
        QTest::keyClick(main->cmdNext, Qt::Key_Return);
        QCOMPARE(answers.texts(), QStringList{QStringLiteral("Please Enter Your Name")});
        QVERIFY(main->isVisible());
    }

    void coBrandRounding_data()
    {
        QTest::addColumn<float>("r");
        QTest::addColumn<int>("n");
        QTest::addColumn<bool>("coBrandInFront");
        // r * 6 + 1 lands exactly on these halves in single precision.
        QTest::newRow("0 -> 1") << 0.0f << 1 << true;
        QTest::newRow("just under 1/12 -> 1") << 0.0833f << 1 << true;
        QTest::newRow("1.5 -> 2") << 0.25f / 3.0f << 2 << false;
        QTest::newRow("2.5 -> 2") << 0.25f << 2 << false;
        QTest::newRow("3.0 -> 3") << 1.0f / 3.0f << 3 << true;
        QTest::newRow("3.5 -> 4") << 0.41666666f << 4 << false;
        QTest::newRow("4.5 -> 4") << 0.58333333f << 4 << false;
        QTest::newRow("5.0 -> 5") << 0.6666667f << 5 << true;
        QTest::newRow("5.5 -> 6") << 0.75f << 6 << false;
        QTest::newRow("6.5 -> 6") << 0.9166666f << 6 << false;
        QTest::newRow("above 11/12 -> 7") << 0.95f << 7 << false;
        QTest::newRow("largest draw -> 7") << 0.99999994f << 7 << false;
    }

    void coBrandRounding()
    {
        QFETCH(float, r);
        QFETCH(int, n);
        QFETCH(bool, coBrandInFront);
        main->CoBrand_Randomize(r);
        QCOMPARE(int(intCoBrandRandomNumber), n);
        // The label drawn last among the two is the one in front.
        const QObjectList kids = main->lblCobrand->parentWidget()->children();
        const bool coBrandAbove = kids.indexOf(main->lblCobrand) > kids.indexOf(main->lblFullBrand);
        QCOMPARE(coBrandAbove, coBrandInFront);
        const QPoint middle = main->lblCobrand->geometry().center();
        QCOMPARE(main->lblCobrand->parentWidget()->childAt(middle),
                 coBrandInFront ? static_cast<QWidget *>(main->lblCobrand) : main->lblFullBrand);
    }

    void halvesGoToEven()
    {
        const QList<QPair<float, int>> halves{{1.5f, 2}, {2.5f, 2}, {3.5f, 4},
                                              {4.5f, 4}, {5.5f, 6}, {6.5f, 6}};
        for (const auto &[value, n] : halves)
            QCOMPARE(int(coBrand::drawNumber((value - 1.0f) / 6.0f)), n);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
