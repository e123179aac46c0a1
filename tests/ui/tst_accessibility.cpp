// What a screen reader is given: every window walked through QAccessible.
#include "support/urlcatcher.h"
#include "support/windows.h"
#include "ui/common/linklabel.h"
#include "ui/display/frmDisplay.h"
#include "ui/forms.h"
#include "ui/main/frmMain.h"

#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

namespace {
QString describe(QAccessibleInterface *i)
{
    const QObject *o = i->object();
    return o && !o->objectName().isEmpty() ? o->objectName()
                                           : QStringLiteral("a role %1 control").arg(i->role());
}

// Every focusable control under `root` that a screen reader would announce without a name.
QStringList unnamedFocusable(QAccessibleInterface *root)
{
    QStringList found;
    for (int c = 0; c < root->childCount(); ++c) {
        QAccessibleInterface *child = root->child(c);
        if (!child)
            continue;
        const QAccessible::State s = child->state();
        if (s.focusable && !s.invisible && child->text(QAccessible::Name).trimmed().isEmpty())
            found << describe(child);
        found << unnamedFocusable(child);
    }
    return found;
}

QStringList unnamedFocusable(QWidget *window)
{
    return unnamedFocusable(QAccessible::queryAccessibleInterface(window));
}

QList<QWidget *> onTabPath(QWidget *window)
{
    QList<QWidget *> path;
    for (QWidget *f = window->nextInFocusChain(); f != window; f = f->nextInFocusChain())
        if ((f->focusPolicy() & Qt::TabFocus) && f->isVisibleTo(window))
            path << f;
    return path;
}
} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { closeAllWindows(); }

    void walkerFindsUnnamedControl()
    {
        QWidget w;
        auto *named = new QLineEdit(&w);
        named->setAccessibleName(QStringLiteral("Named"));
        auto *bare = new QLineEdit(&w);
        bare->setObjectName(QStringLiteral("bare"));
        w.show();
        QCOMPARE(unnamedFocusable(&w), QStringList{QStringLiteral("bare")});
    }

    void everyFocusableControlHasName_data()
    {
        QTest::addColumn<QString>("window");
        for (const char *w : kWindowNames)
            QTest::newRow(w) << QString::fromLatin1(w);
    }

    void everyFocusableControlHasName()
    {
        QFETCH(QString, window);
        QWidget *w = showWindow(window);
        QCOMPARE(w->objectName(), window);
        QVERIFY(!QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name).isEmpty());
        const QStringList unnamed = unnamedFocusable(w);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u", ")));
    }

    void datesReadAsDayMonthYear()
    {
        frmMain *m = Forms::Main();
        m->show();
        // Labelled by the words above them (what AT-SPI readers announce), and named
        // for the platforms whose readers use the name.
        const auto labelOf = [](QWidget *w) {
            const auto labels =
                QAccessible::queryAccessibleInterface(w)->relations(QAccessible::Label);
            return labels.size() == 1 ? labels.first().first->text(QAccessible::Name) : QString();
        };
        QCOMPARE(labelOf(m->cboDate), QStringLiteral("Date"));
        QCOMPARE(labelOf(m->cboMonth), QStringLiteral("Month"));
        QCOMPARE(labelOf(m->cboYear), QStringLiteral("Year"));
        QCOMPARE(labelOf(m->txtName), QStringLiteral("Name"));
        QVERIFY(m->cboDate->accessibleName().startsWith(u"Day"));
        QVERIFY(m->cboMonth->accessibleName().startsWith(u"Month"));
        QVERIFY(m->cboYear->accessibleName().startsWith(u"Year"));
        QCOMPARE(QAccessible::queryAccessibleInterface(m->txtName)->text(QAccessible::Name),
                 QStringLiteral("Name"));
    }

    // Links are announced as links and pressing one through its action follows
    // it; Tab reaches each link that can be seen, and a link wholly covered by
    // the other offer is neither on the Tab path nor shown to a screen reader.
    void linksAreLinks_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("covered");
        QTest::newRow("frmMain") << "frmMain" << 1;
        QTest::newRow("frmDisplay") << "frmDisplay" << 1;
        QTest::newRow("frmAbout") << "frmAbout" << 0;
        QTest::newRow("frmNagScreen2") << "frmNagScreen2" << 0;
    }

    void linksAreLinks()
    {
        QFETCH(QString, window);
        QFETCH(int, covered);
        QWidget *w = showWindow(window);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const QList<LinkLabel *> links = w->findChildren<LinkLabel *>();
        QVERIFY(!links.isEmpty());
        int coveredSeen = 0;
        for (LinkLabel *link : links) {
            QAccessibleInterface *i = QAccessible::queryAccessibleInterface(link);
            QCOMPARE(i->role(), QAccessible::Link);
            QVERIFY(i->state().linked);
            QCOMPARE(i->text(QAccessible::Name), link->text());
            QVERIFY(i->actionInterface());
            QVERIFY(i->actionInterface()->actionNames().contains(
                QAccessibleActionInterface::pressAction()));
            QSignalSpy followed(link, &LinkLabel::clicked);
            UrlCatcher urls;
            i->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            QCOMPARE(followed.size(), 1);

            const QPoint middle = link->geometry().center();
            const bool seen = link->parentWidget()->childAt(middle) == link;
            coveredSeen += seen ? 0 : 1;
            QCOMPARE(onTabPath(w).contains(link), seen);
            QCOMPARE(i->state().invisible, !seen);
        }
        QCOMPARE(coveredSeen, covered);
    }

    void onlyTheOfferInFrontIsReachable_data()
    {
        QTest::addColumn<float>("r");
        QTest::addColumn<bool>("coBrandInFront");
        QTest::newRow("n=1 co-brand") << 0.0f << true;
        QTest::newRow("n=2 fully branded") << 0.2f << false;
        QTest::newRow("n=7 as laid out") << 0.99f << false;
    }

    void onlyTheOfferInFrontIsReachable()
    {
        QFETCH(float, r);
        QFETCH(bool, coBrandInFront);
        frmMain *m = Forms::Main();
        m->show();
        QVERIFY(QTest::qWaitForWindowExposed(m));
        m->CoBrand_Randomize(r);
        LinkLabel *front = coBrandInFront ? m->lblCobrand : m->lblFullBrand;
        LinkLabel *behind = coBrandInFront ? m->lblFullBrand : m->lblCobrand;
        QCOMPARE(m->Frame5->childAt(front->geometry().center()), front);
        const QList<QWidget *> path = onTabPath(m);
        QVERIFY(path.contains(front));
        QVERIFY(!path.contains(behind));
        QVERIFY(!QAccessible::queryAccessibleInterface(front)->state().invisible);
        QVERIFY(QAccessible::queryAccessibleInterface(behind)->state().invisible);
    }

    void linkFollowsOnEnterAndSpace()
    {
        frmMain *m = Forms::Main();
        m->show();
        QVERIFY(QTest::qWaitForWindowActive(m));
        QSignalSpy followed(m->lblFullBrand, &LinkLabel::clicked);
        UrlCatcher urls;
        m->lblFullBrand->setFocus(Qt::TabFocusReason);
        QTest::keyClick(m->lblFullBrand, Qt::Key_Return);
        QTest::keyClick(m->lblFullBrand, Qt::Key_Space);
        QCOMPARE(followed.size(), 2);
        // Enter on a focused link follows it rather than pressing the window's default button.
        QVERIFY(m->isVisible());
        QVERIFY(!Forms::isDisplayLoaded());
    }

    void signIsReadable()
    {
        frmDisplay *d = showResult();
        QAccessibleInterface *sign = QAccessible::queryAccessibleInterface(d->lblOmbrelSign);
        QCOMPARE(sign->text(QAccessible::Name), QStringLiteral("Sagittarius"));
        QVERIFY(!sign->state().invisible);
        QAccessibleInterface *desc = QAccessible::queryAccessibleInterface(d->lblSignDesc);
        QCOMPARE(desc->text(QAccessible::Name), d->lblSignDesc->text());
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
