// What a screen reader is given: every window walked through QAccessible.
#include "support/answerer.h"
#include "support/urlcatcher.h"
#include "support/windows.h"
#include "ui/about/frmAbout.h"
#include "ui/common/linklabel.h"
#include "ui/common/messages.h"
#include "ui/display/frmDisplay.h"
#include "ui/farewell/frmNagScreen2.h"
#include "ui/forms.h"
#include "ui/main/frmMain.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

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

// Ends the whole test with a failure when the guarded work has not finished in
// time: a question that never comes back cannot be failed from inside.
class Deadline
{
public:
    Deadline(const QString &what, std::chrono::seconds limit)
        : m_what(what.toStdString()), m_watch([this, limit] {
              std::unique_lock lock(m_mutex);
              if (!m_done.wait_for(lock, limit, [this] { return m_finished; })) {
                  std::fprintf(stderr, "FAIL!  : %s did not answer within %lld s\n", m_what.c_str(),
                               static_cast<long long>(limit.count()));
                  std::_Exit(1);
              }
          })
    {
    }
    ~Deadline()
    {
        {
            std::lock_guard lock(m_mutex);
            m_finished = true;
        }
        m_done.notify_one();
        m_watch.join();
    }

private:
    std::string m_what;
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_watch;
};

QAccessibleTextInterface *textOf(QWidget *w)
{
    QAccessibleInterface *i = QAccessible::queryAccessibleInterface(w);
    return i ? i->textInterface() : nullptr;
}

// The lines a text interface gives, one after the other from the start.
QStringList linesOf(QAccessibleTextInterface *t)
{
    QStringList lines;
    int start = 0, end = 0;
    for (int offset = 0; offset < t->characterCount() && lines.size() < 100; offset = end) {
        lines << t->textAtOffset(offset, QAccessible::LineBoundary, &start, &end);
        if (end <= offset)
            break;
    }
    return lines;
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

    void everyFocusableControlHasName_data() { addWindowRows(); }

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
        QCOMPARE(QAccessible::queryAccessibleInterface(m->txtName)->text(QAccessible::Name),
                 QStringLiteral("Name"));
    }

    // A list is named by its label and valued by its pick, which is also its
    // text (where readers look for a list's value); its popup list shares the name.
    void listsReadLabelAndValue_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("value");
        QTest::newRow("cboDate") << "cboDate"
                                 << "Date" << 2 << "3";
        QTest::newRow("cboMonth") << "cboMonth"
                                  << "Month" << 11 << "December";
        QTest::newRow("cboYear") << "cboYear"
                                 << "Year" << 70 << "2016";
    }

    void listsReadLabelAndValue()
    {
        QFETCH(QString, list);
        QFETCH(QString, name);
        QFETCH(int, index);
        QFETCH(QString, value);
        frmMain *m = Forms::Main();
        m->show();
        auto *combo = m->findChild<QComboBox *>(list);
        QAccessibleInterface *i = QAccessible::queryAccessibleInterface(combo);
        QCOMPARE(i->role(), QAccessible::ComboBox);
        QCOMPARE(i->text(QAccessible::Name), name);
        QCOMPARE(i->text(QAccessible::Value), combo->itemText(0));
        combo->setCurrentIndex(index);
        QCOMPARE(i->text(QAccessible::Value), value);
        QVERIFY(i->textInterface());
        QCOMPARE(i->textInterface()->text(0, i->textInterface()->characterCount()), value);
        QCOMPARE(i->childCount(), 1);
        QCOMPARE(i->child(0)->object(), combo->view());
        QCOMPARE(i->child(0)->text(QAccessible::Name), name);
        QVERIFY(i->state().expandable);
        QVERIFY(i->actionInterface()->actionNames().contains(
            QAccessibleActionInterface::showMenuAction()));
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
        // Newer readers take a new pick from the list's one selected item.
        QAccessibleSelectionInterface *selection = i->selectionInterface();
        QVERIFY(selection);
        QCOMPARE(selection->selectedItemCount(), 1);
        QCOMPARE(selection->selectedItem(0)->text(QAccessible::Name), value);
        QCOMPARE(selection->selectedItem(0)->parent(), i);
        QVERIFY(selection->selectedItem(0)->state().selected);
#endif
    }

    // Every question about the text of every text box comes back: each boundary,
    // before, at and after each offset from 0 to the end (Qt 6.4's own answer
    // for a word or sentence at the end of a line edit never comes).
    void everyBoundaryAnswers_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::newRow("frmMain txtName") << "frmMain"
                                         << "txtName"
                                         << "ANN BEE";
        QTest::newRow("frmNagScreen2 txtName") << "frmNagScreen2"
                                               << "txtName"
                                               << "Your Name";
        QTest::newRow("frmNagScreen2 txtEmail") << "frmNagScreen2"
                                                << "txtEmail"
                                                << "ann@bee.example";
        QTest::newRow("frmNagScreen2 txtFriendName") << "frmNagScreen2"
                                                     << "txtFriendName"
                                                     << "Friend's Name";
        QTest::newRow("frmNagScreen2 txtFriendEmail") << "frmNagScreen2"
                                                      << "txtFriendEmail"
                                                      << "Hi. Bye.";
        QTest::newRow("frmNagScreen2 txtMessage") << "frmNagScreen2"
                                                  << "txtMessage"
                                                  << "Your Message\r\nSee you. ";
    }

    void everyBoundaryAnswers()
    {
        QFETCH(QString, window);
        QFETCH(QString, box);
        QFETCH(QString, text);
        QWidget *w = showWindow(window)->findChild<QWidget *>(box);
        QVERIFY(w);
        if (auto *line = qobject_cast<QLineEdit *>(w))
            line->setText(text);
        else
            static_cast<QPlainTextEdit *>(w)->setPlainText(text);
        QAccessibleTextInterface *t = textOf(w);
        QVERIFY(t);
        const int length = t->characterCount();
        const QString all = t->text(0, length);
        const QAccessible::TextBoundaryType types[] = {
            QAccessible::CharBoundary,     QAccessible::WordBoundary,
            QAccessible::SentenceBoundary, QAccessible::ParagraphBoundary,
            QAccessible::LineBoundary,     QAccessible::NoBoundary};
        Deadline deadline(window + u' ' + box, std::chrono::seconds(10));
        for (QAccessible::TextBoundaryType type : types) {
            for (int offset = -2; offset <= length; ++offset) {
                int start = -1, end = -1;
                for (int which = -1; which <= 1; ++which) {
                    const QString got = which < 0 ? t->textBeforeOffset(offset, type, &start, &end)
                                        : which > 0 ? t->textAfterOffset(offset, type, &start, &end)
                                                    : t->textAtOffset(offset, type, &start, &end);
                    const QString where = QStringLiteral("type %1, offset %2, which %3")
                                              .arg(type)
                                              .arg(offset)
                                              .arg(which);
                    if (start == -1 && end == -1) {
                        QVERIFY2(got.isEmpty(), qPrintable(where));
                        continue;
                    }
                    QVERIFY2(0 <= start && start <= end && end <= length, qPrintable(where));
                    QCOMPARE(got, all.mid(start, end - start));
                }
            }
        }
        int start = -1, end = -1;
        QCOMPARE(t->textAtOffset(0, QAccessible::WordBoundary, &start, &end),
                 all.left(all.indexOf(QRegularExpression(QStringLiteral("[ .@\r]")))));
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

    // Panels are groupings inside their window, named by their caption where
    // they have one; the farewell window's link button is a button.
    void panelsAreGroupings_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("panels");
        QTest::newRow("frmMain") << "frmMain" << 4;
        QTest::newRow("frmDisplay") << "frmDisplay" << 3;
        QTest::newRow("frmNagScreen2") << "frmNagScreen2" << 2;
    }

    void panelsAreGroupings()
    {
        QFETCH(QString, window);
        QFETCH(int, panels);
        QWidget *w = showWindow(window);
        int seen = 0;
        for (QWidget *f : w->findChildren<QWidget *>()) {
            auto *group = qobject_cast<QGroupBox *>(f);
            if ((f->metaObject() != &QFrame::staticMetaObject && !group) || f->isWindow())
                continue;
            ++seen;
            QAccessibleInterface *i = QAccessible::queryAccessibleInterface(f);
            QVERIFY2(i->role() == QAccessible::Grouping, qPrintable(f->objectName()));
            if (group)
                QCOMPARE(i->text(QAccessible::Name), group->title());
        }
        QCOMPARE(seen, panels);
        if (auto *nag = qobject_cast<frmNagScreen2 *>(w)) {
            QAccessibleInterface *i = QAccessible::queryAccessibleInterface(nag->Check1);
            QCOMPARE(i->role(), QAccessible::Button);
            QVERIFY(!i->state().checkable);
            QCOMPARE(i->text(QAccessible::Name), nag->Check1->text());
            QVERIFY(i->actionInterface()->actionNames().contains(
                QAccessibleActionInterface::pressAction()));
        }
    }

    // What is drawn only for the eye is not read: the About window's rule, a
    // message box's icon. The update question reads as its two lines.
    void decorationsAreHidden()
    {
        auto *about = static_cast<frmAbout *>(showWindow(QStringLiteral("frmAbout")));
        QVERIFY(QAccessible::queryAccessibleInterface(about->Line2)->state().invisible);
        BoxAnswerer answers{QMessageBox::No};
        bool iconHidden = false, textFocusable = true;
        QString read;
        answers.whileShown = [&] {
            QWidget *box = QApplication::activeModalWidget();
            auto *icon = box->findChild<QLabel *>(QStringLiteral("qt_msgboxex_icon_label"));
            auto *text = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
            iconHidden = icon && QAccessible::queryAccessibleInterface(icon)->state().invisible;
            read = text ? QAccessible::queryAccessibleInterface(text)->text(QAccessible::Name)
                        : QString();
            textFocusable = !text || QAccessible::queryAccessibleInterface(text)->state().focusable;
        };
        messages::show(nullptr, QStringLiteral("There maybe an update\rDo you?"),
                       QMessageBox::Information, QMessageBox::Yes | QMessageBox::No);
        QVERIFY(iconHidden);
        QCOMPARE(read, QStringLiteral("There maybe an update\nDo you?"));
        // A focusable text is left to be read on focus, which no key gives it.
        QVERIFY(!textFocusable);
    }

    // The result window reads as a dialog: its sentence, sign included, and the
    // interpretation are read as it opens, and line by line as they are drawn.
    void resultReadsAsDialog()
    {
        frmDisplay *d = showResult();
        QVERIFY(QTest::qWaitForWindowExposed(d));
        QCOMPARE(QAccessible::queryAccessibleInterface(d)->role(), QAccessible::Dialog);
        QCOMPARE(QAccessible::queryAccessibleInterface(d->Label12)->text(QAccessible::Name),
                 QStringLiteral("Ombrel in your Chart is Placed in Sagittarius"));
        QAccessibleTextInterface *desc = textOf(d->lblSignDesc);
        QVERIFY(desc);
        const QStringList lines = linesOf(desc);
        QVERIFY2(lines.size() >= 2, qPrintable(lines.join(u'|')));
        QCOMPARE(lines.join(QString()), d->lblSignDesc->text());
        // Each line lies below the one before it.
        int start = 0, end = 0, top = -1;
        for (const QString &line : lines) {
            const QRect r = desc->characterRect(start);
            QVERIFY2(
                r.top() > top
                    && d->lblSignDesc->rect().contains(d->lblSignDesc->mapFromGlobal(r.center())),
                qPrintable(line));
            top = r.top();
            desc->textAtOffset(start, QAccessible::LineBoundary, &start, &end);
            start = end;
        }
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
