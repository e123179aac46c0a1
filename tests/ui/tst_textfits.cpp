// No text cut off: every label and button in every window shows all of its
// text with the fonts this machine has (Verdana is often missing, and the face
// that stands in for it is wider).
#include "support/windows.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

namespace {
QString plain(QString text)
{
    // An access key's "&" is not drawn; a doubled one shows one "&".
    return text.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
        .remove(u'&')
        .replace(u'\x01', u'&');
}

// Every control under `window` whose text does not fit in the room it has.
QStringList cutOff(QWidget *window)
{
    QStringList found;
    for (QLabel *l : window->findChildren<QLabel *>()) {
        if (!l->isVisibleTo(window) || l->text().isEmpty() || !l->pixmap().isNull())
            continue;
        const QRect room = l->contentsRect();
        const QFontMetrics fm(l->font());
        const bool fits = l->wordWrap()
                              ? l->heightForWidth(room.width()) <= room.height()
                                    || fm.boundingRect(room, Qt::TextWordWrap, l->text()).height()
                                           <= room.height()
                              : fm.horizontalAdvance(l->text()) <= room.width()
                                    && fm.height() <= room.height() + 2;
        if (!fits)
            found << l->objectName();
    }
    for (QAbstractButton *b : window->findChildren<QAbstractButton *>()) {
        if (!b->isVisibleTo(window) || b->text().isEmpty())
            continue;
        if (QFontMetrics(b->font()).horizontalAdvance(plain(b->text())) > b->width() - 4)
            found << b->objectName();
    }
    return found;
}
} // namespace

class TestTextFits : public QObject
{
    Q_OBJECT

private slots:
    // A desktop whose menu font is a setting of its own (KDE's), unlike the windows'.
    void initTestCase()
    {
        QApplication::setFont(QFont(QStringLiteral("DejaVu Serif"), 14), "QMenu");
    }
    void cleanup() { closeAllWindows(); }

    void checkerSeesCutText()
    {
        QWidget w;
        auto *l = new QLabel(QStringLiteral("A sentence far too long for its box"), &w);
        l->setObjectName(QStringLiteral("narrow"));
        l->setGeometry(0, 0, 40, 20);
        QCOMPARE(cutOff(&w), QStringList{QStringLiteral("narrow")});
    }

    void everyTextFits_data() { addWindowRows(); }

    void everyTextFits()
    {
        QFETCH(QString, window);
        QWidget *w = showWindow(window); // the result is Sagittarius, the longest sign name
        const QStringList cut = cutOff(w);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(u", ")));
        // A drop-down menu (File, Help) reads like the bar it drops from.
        for (const QMenuBar *bar : w->findChildren<QMenuBar *>())
            for (const QMenu *menu :
                 bar->findChildren<QMenu *>(QRegularExpression(QStringLiteral("^mnu"))))
                QVERIFY2(menu->font() == bar->font(),
                         qPrintable(menu->objectName() + u": " + menu->font().toString()));
        // Every face the program sets is found, or one of its sans stand-ins.
        const QList<QWidget *> widgets = w->findChildren<QWidget *>() << w;
        for (QWidget *c : widgets) {
            if (!c->testAttribute(Qt::WA_SetFont))
                continue;
            const QFont f = c->font();
            QCOMPARE(f.styleHint(), QFont::SansSerif);
            QVERIFY2(f.families().contains(QFontInfo(f).family()),
                     qPrintable(c->objectName() + u": " + QFontInfo(f).family()));
        }
    }
};

QTEST_MAIN(TestTextFits)
#include "tst_textfits.moc"
