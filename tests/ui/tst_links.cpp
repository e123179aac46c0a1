#include "core/siteaddress.h"
#include "support/urlcatcher.h"
#include "ui/about/frmAbout.h"
#include "ui/common/linklabel.h"
#include "ui/common/look.h"
#include "ui/display/frmDisplay.h"
#include "ui/farewell/frmNagScreen2.h"
#include "ui/forms.h"
#include "ui/main/frmMain.h"
#include "ui/modHelp.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTextDocument>
#include <QWindow>
#include <QtTest>

namespace {
QWidget *window(const QString &name)
{
    if (name == u"frmMain")
        return Forms::Main();
    if (name == u"frmDisplay")
        return Forms::Display();
    return Forms::NagScreen2();
}

QString page(const char *key) { return siteAddress::pagePrefix() + QLatin1String(key); }

// Runs `step` once the About window is up, then presses `key` in it.
void whileAboutIsOpen(std::function<void(frmAbout *)> step, Qt::Key key)
{
    QTimer::singleShot(0, [=] {
        auto *about = qobject_cast<frmAbout *>(QApplication::activeModalWidget());
        QVERIFY(about);
        step(about);
        QTest::keyClick(about, key);
    });
}
} // namespace

class TestLinks : public QObject
{
    Q_OBJECT

private slots:
    void init() { modHelp::resetEndingForTesting(); }
    void cleanup() { Forms::destroyAll(); }

    void opensItsPage_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("address");
        for (const char *form : {"frmMain", "frmDisplay"}) {
            const auto row = [&](const char *control, const char *key) {
                QTest::addRow("%s.%s", form, control) << form << control << page(key);
            };
            row("mnuOnline", "help-web-page");
            row("mnuVisit", "home-page");
            row("mnuUpdate", "download-web-page");
            row("mnuDonate", "donate");
            row("Label61", "home-page");
            row("lblCobrand", "co-brand");
            row("lblFullBrand", "fully-branded");
        }
        QTest::addRow("frmNagScreen2.Check1") << "frmNagScreen2"
                                              << "Check1" << page("home-page");
        QTest::addRow("frmNagScreen2.lblGoToHome") << "frmNagScreen2"
                                                   << "lblGoToHome" << page("veyrasoftwares");
    }

    void opensItsPage()
    {
        QFETCH(QString, form);
        QFETCH(QString, control);
        QFETCH(QString, address);
        QVERIFY(address.startsWith(siteAddress::base()
                                   + QStringLiteral("/xelt-free-ombrel-astrology/ssd.php?page=")));
        QWidget *w = window(form);
        w->show();
        const QRect before = w->geometry();
        UrlCatcher caught;
        for (int click = 1; click <= 2; ++click) {
            if (auto *a = w->findChild<QAction *>(control)) {
                a->trigger();
            } else {
                auto *c = w->findChild<QWidget *>(control);
                QVERIFY(c);
                c->raise(); // an offer label is clicked where it is in front
                QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(5, 5));
            }
            QCOMPARE(caught.urls.size(), click);
            QCOMPARE(caught.urls.last().toString(QUrl::FullyEncoded), address);
        }
        QVERIFY(w->isVisible());
        QCOMPARE(w->geometry(), before);
        if (auto *check = qobject_cast<QPushButton *>(w->findChild<QWidget *>(control)))
            QVERIFY(!check->isChecked()); // the link button never stays down
    }

    // A click is a press and a release on the label; pressing and then
    // letting go elsewhere (a user changing their mind) opens nothing.
    void releasedOutsideOpensNothing_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("control");
        QTest::newRow("main banner") << "frmMain"
                                     << "Label61";
        QTest::newRow("result offer") << "frmDisplay"
                                      << "lblCobrand";
        QTest::newRow("farewell link") << "frmNagScreen2"
                                       << "lblGoToHome";
    }

    void releasedOutsideOpensNothing()
    {
        QFETCH(QString, form);
        QFETCH(QString, control);
        QWidget *w = window(form);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        auto *link = w->findChild<LinkLabel *>(control);
        QVERIFY(link);
        UrlCatcher caught;
        const QPoint inside(5, 5), outside(link->width() + 20, link->height() + 20);
        QTest::mousePress(link, Qt::LeftButton, {}, inside);
        QTest::mouseMove(link, outside);
        QTest::mouseRelease(link, Qt::LeftButton, {}, outside);
        QVERIFY(caught.urls.isEmpty());
        QTest::mousePress(link, Qt::LeftButton, {}, inside);
        QTest::mouseRelease(link, Qt::LeftButton, {}, inside);
        QCOMPARE(caught.urls.size(), 1);
    }

    void makeMoneyOnlineCannotBeChosen()
    {
        for (const char *form : {"frmMain", "frmDisplay"}) {
            UrlCatcher caught;
            auto *a = window(QLatin1String(form))
                          ->findChild<QAction *>(QStringLiteral("mnuMakeMoneyOnline"));
            QVERIFY(a);
            QVERIFY(!a->isEnabled());
            a->trigger();
            QVERIFY(caught.urls.isEmpty());
        }
    }

    void focusedLinkDrawsItsFrameWithoutTextDocument()
    {
        frmMain *m = Forms::Main();
        m->show();
        QVERIFY(QTest::qWaitForWindowActive(m));
        LinkLabel *link = m->Label61; // centred: nothing of its text touches its edges
        // The pixels of its right edge drawn in the link's own colour.
        const auto edgeDots = [link] {
            const QImage image = link->grab().toImage();
            int dots = 0;
            for (int y = 0; y < image.height(); ++y)
                dots += QColor(image.pixel(image.width() - 1, y)) == look::kNavy;
            return dots;
        };
        QCOMPARE(edgeDots(), 0);
        link->setFocus(Qt::TabFocusReason);
        QVERIFY(link->hasFocus());
        QVERIFY(edgeDots() >= link->height() / 4);
        QVERIFY(link->findChildren<QTextDocument *>().isEmpty());
        UrlCatcher caught;
        QTest::keyClick(link, Qt::Key_Space);
        QCOMPARE(caught.urls.size(), 1);
        QVERIFY(link->findChildren<QTextDocument *>().isEmpty());
    }

    void menuBars_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("help");
        QTest::newRow("main")
            << "frmMain"
            << "Find My &Ombrel Astrology Sign|E&xit"
            << "&Online Help|&Visit Us Online|-mnuHelp1|Check for Software &Update|"
               "-mnuHelp2|&About Software";
        QTest::newRow("result") << "frmDisplay"
                                << "&Back|E&xit"
                                << "&Online Help|&Visit Us Online|-mnuFileSep1|&Check for Software "
                                   "Update|-mnuFileSep2|&About Software";
    }

    void menuBars()
    {
        QFETCH(QString, form);
        QFETCH(QString, file);
        QFETCH(QString, help);
        auto *w = qobject_cast<LinkedForm *>(window(form));
        QStringList bar;
        for (QAction *a : w->menuBar()->actions())
            bar << a->text();
        QCOMPARE(bar.join(u'|'), QStringLiteral("&File|&Help|&Donate|Make Money Online"));
        const auto entries = [](QMenu *m) {
            QStringList e;
            for (QAction *a : m->actions())
                e << (a->isSeparator() ? u'-' + a->objectName() : a->text());
            return e.join(u'|');
        };
        QCOMPARE(entries(w->mnuFile), file);
        QCOMPARE(entries(w->mnuHelp), help);
    }

    void fileMenuRunsTheButtons()
    {
        frmMain *main = Forms::Main();
        main->txtName->setText(QStringLiteral("ANN"));
        main->show();
        main->mnuFindSexualitySign->trigger();
        frmDisplay *d = Forms::Display();
        QVERIFY(d->isVisible() && !main->isVisible());
        d->mnuFileBack->trigger();
        QVERIFY(main->isVisible() && !Forms::isDisplayLoaded());
        main->mnuExit->trigger();
        QVERIFY(!Forms::isMainLoaded());
        QVERIFY(Forms::NagScreen2()->isVisible());
    }

    void aboutIsModal_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<int>("key");
        QTest::newRow("main, Enter") << "frmMain" << int(Qt::Key_Return);
        QTest::newRow("main, Esc") << "frmMain" << int(Qt::Key_Escape);
        QTest::newRow("result, Enter") << "frmDisplay" << int(Qt::Key_Return);
        QTest::newRow("result, Esc") << "frmDisplay" << int(Qt::Key_Escape);
    }

    void aboutIsModal()
    {
        QFETCH(QString, form);
        QFETCH(int, key);
        auto *w = qobject_cast<LinkedForm *>(window(form));
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
        UrlCatcher caught;
        bool checked = false;
        whileAboutIsOpen(
            [&](frmAbout *about) {
                QCOMPARE(about->objectName(), QStringLiteral("frmAbout"));
                QVERIFY(about->isModal());
                // Owned by its window: no taskbar button of its own, kept above it.
                QCOMPARE(about->windowHandle()->transientParent(), w->windowHandle());
                QVERIFY(w->isVisible());
                QVERIFY(QTest::qWaitForWindowActive(about));
                QTRY_COMPARE(QApplication::focusWidget(), about->cmdOK);
                QTest::mouseClick(about->lblHomePage, Qt::LeftButton);
                QTest::mouseClick(about->Label5, Qt::LeftButton);
                QVERIFY(about->isVisible()); // the links leave it open
                checked = true;
            },
            Qt::Key(key));
        w->mnuAbout->trigger(); // returns once the About window is closed
        QVERIFY(checked);
        QCOMPARE(caught.urls.size(), 2);
        QCOMPARE(caught.urls[0].toString(), page("home-page"));
        QCOMPARE(caught.urls[1].toString(), page("fully-branded"));
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(w->isVisible() && w->isEnabled());
        w->mnuVisit->trigger(); // usable again
        QCOMPARE(caught.urls.size(), 3);
    }
};

QTEST_MAIN(TestLinks)
#include "tst_links.moc"
