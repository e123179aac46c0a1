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
        QVERIFY(
            !(main->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
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

    void nameFilter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("refused");
        // Which keys pass is the rule's (tests/core); here, that typing goes through it.
        QTest::newRow("letters raised, digit dropped") << "ab1"
                                                       << "AB" << 1;
        QTest::newRow("letters outside A-Z") << QString::fromUtf8("\u00e9l\u00e8ve") << "LVE" << 2;
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

    // Alt and Super make commands, not characters; Windows sends AltGr as
    // Ctrl+Alt, and what it types is a character like any other.
    void keysWithModifiers_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("keyText");
        QTest::addColumn<int>("refused");
        const int alt = Qt::AltModifier, shift = Qt::ShiftModifier, super = Qt::MetaModifier,
                  altGr = Qt::ControlModifier | Qt::AltModifier;
        QTest::newRow("Alt+Q") << int(Qt::Key_Q) << alt << "q" << 0;
        QTest::newRow("Alt+1") << int(Qt::Key_1) << alt << "1" << 0;
        QTest::newRow("Alt+Shift+M") << int(Qt::Key_M) << (alt | shift) << "M" << 0;
        QTest::newRow("Super+Q") << int(Qt::Key_Q) << super << "q" << 0;
        QTest::newRow("Super+Alt+Z") << int(Qt::Key_Z) << (alt | super) << "z" << 0;
        QTest::newRow("AltGr+E: euro") << int(Qt::Key_E) << altGr << QStringLiteral("\u20ac") << 1;
        QTest::newRow("AltGr+Q: at sign") << int(Qt::Key_Q) << altGr << "@" << 1;
        QTest::newRow("AltGr+A: a ogonek")
            << int(Qt::Key_A) << altGr << QStringLiteral("\u0105") << 1;
    }

    void keysWithModifiers()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, keyText);
        QFETCH(int, refused);
        main->txtName->setText(QStringLiteral("ANN"));
        BoxAnswerer answers;
        QTest::sendKeyEvent(QTest::Click, main->txtName, Qt::Key(key), keyText,
                            Qt::KeyboardModifiers(modifiers));
        QCOMPARE(main->txtName->text(), QStringLiteral("ANN"));
        QCOMPARE(answers.texts(),
                 QStringList(refused, QStringLiteral("Please Enter only Letters")));
        QVERIFY(main->isVisible()); // no command of the window ran either
    }

    // Dead keys, Compose and input methods hand over whole strings: the same
    // rule, and one message for a string that had something refused.
    void inputMethodText_data()
    {
        QTest::addColumn<QString>("commit");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("refused");
        QTest::newRow("lower case") << "ann"
                                    << "ANNANN" << 0;
        QTest::newRow("letters and space") << "bee cee"
                                           << "ANNBEE CEE" << 0;
        QTest::newRow("dead key: e acute") << QStringLiteral("\u00e9") << "ANN" << 1;
        QTest::newRow("Cyrillic") << QStringLiteral("\u0418\u0432\u0430\u043d") << "ANN" << 1;
        QTest::newRow("CJK") << QStringLiteral("\u738b\u5c0f\u660e") << "ANN" << 1;
        QTest::newRow("digits") << "1993"
                                << "ANN" << 1;
        QTest::newRow("mixed") << QStringLiteral("bo1 \u00e9d") << "ANNBO D" << 1;
    }

    void inputMethodText()
    {
        QFETCH(QString, commit);
        QFETCH(QString, text);
        QFETCH(int, refused);
        main->txtName->setText(QStringLiteral("ANN"));
        BoxAnswerer answers;
        QInputMethodEvent e;
        e.setCommitString(commit);
        QCoreApplication::sendEvent(main->txtName, &e);
        QCOMPARE(main->txtName->text(), text);
        QCOMPARE(answers.texts(),
                 QStringList(refused, QStringLiteral("Please Enter only Letters")));
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

    // Which number brings up which offer is the rule's (tests/core); here, that
    // the drawn one is the offer seen and clicked.
    void coBrandStacking_data()
    {
        QTest::addColumn<float>("r");
        QTest::addColumn<bool>("coBrandInFront");
        QTest::newRow("n = 1: co-branding") << 0.0f << true;
        QTest::newRow("n = 2: fully branded") << 0.25f << false;
        QTest::newRow("n = 7: as laid out") << 0.95f << false;
    }

    void coBrandStacking()
    {
        QFETCH(float, r);
        QFETCH(bool, coBrandInFront);
        main->CoBrand_Randomize(r);
        // The label drawn last among the two is the one in front.
        const QObjectList kids = main->lblCobrand->parentWidget()->children();
        const bool coBrandAbove = kids.indexOf(main->lblCobrand) > kids.indexOf(main->lblFullBrand);
        QCOMPARE(coBrandAbove, coBrandInFront);
        const QPoint middle = main->lblCobrand->geometry().center();
        QCOMPARE(main->lblCobrand->parentWidget()->childAt(middle),
                 coBrandInFront ? static_cast<QWidget *>(main->lblCobrand) : main->lblFullBrand);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
