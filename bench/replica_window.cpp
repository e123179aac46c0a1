// The floor for the program's start-up: its main window written the plainest
// way, in one function. The same widgets with the same texts, colours and
// fonts, and nothing else: no instance lock, no settings, no style class, no
// window icon, no window registry, no focus on the links, no handlers.
// The font family is the one the program ends up drawing with (the first
// argument; the benchmark asks fontconfig which face stands in for Verdana).
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QUrl>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString family =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("DejaVu Sans");
    const auto font = [&](qreal points, bool bold, bool underline) {
        QFont f(family);
        f.setPointSizeF(points);
        f.setBold(bold);
        f.setUnderline(underline);
        return f;
    };
    const QColor blue(0x00, 0x00, 0xFF), navy(0x00, 0x00, 0x80), pink(0xFF, 0xC0, 0xFF),
        magenta(0xFF, 0x80, 0xFF), rose(0xFF, 0xC0, 0xC0), face(0xE0, 0xE0, 0xE0);
    const auto colour = [](QWidget *w, std::initializer_list<QPalette::ColorRole> roles,
                           const QColor &c) {
        QPalette p = w->palette();
        for (auto role : roles)
            p.setColor(role, c);
        w->setPalette(p);
    };
    const auto background = [&](QWidget *w, const QColor &c) {
        colour(w, {QPalette::Window, QPalette::Base, QPalette::Button}, c);
        w->setAutoFillBackground(true);
    };
    const auto text = [&](QWidget *w, const QColor &c) {
        colour(w, {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}, c);
    };
    const auto panel = [&](QWidget *parent, QRect r) {
        auto *f = new QFrame(parent);
        f->setGeometry(r);
        background(f, magenta);
        return f;
    };
    const auto label = [&](QWidget *parent, QRect r, const QString &s, const QFont &f) {
        auto *l = new QLabel(s, parent);
        l->setGeometry(r);
        l->setFont(f);
        l->setTextFormat(Qt::PlainText);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        text(l, blue);
        return l;
    };
    const auto link = [&](QWidget *parent, QRect r, const QString &s, const QFont &f,
                          Qt::Alignment a) {
        QLabel *l = label(parent, r, s, f);
        text(l, navy);
        l->setWordWrap(true);
        l->setAlignment(a);
        l->setCursor(Qt::PointingHandCursor);
        return l;
    };
    const auto list = [&](QWidget *parent, QRect r, const QStringList &items) {
        auto *c = new QComboBox(parent);
        c->setGeometry(r);
        c->setFont(font(8.25, true, false));
        background(c, magenta);
        text(c, blue);
        c->addItems(items);
        return c;
    };
    const auto button = [&](QWidget *parent, QRect r, const QString &s, const QFont &f) {
        auto *b = new QPushButton(s, parent);
        b->setGeometry(r);
        b->setFont(f);
        QPalette p = b->palette();
        p.setColor(QPalette::Button, face);
        p.setColor(QPalette::ButtonText, Qt::black);
        b->setPalette(p);
        return b;
    };

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Xelt Ombrel Astrology v1.15"));
    window.setFont(font(8.25, false, false));
    QMenuBar *bar = window.menuBar();
    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("Find My &Ombrel Astrology Sign"));
    file->addAction(QStringLiteral("E&xit"));
    QMenu *help = bar->addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("&Online Help"));
    help->addAction(QStringLiteral("&Visit Us Online"));
    help->addSeparator();
    help->addAction(QStringLiteral("Check for Software &Update"));
    help->addSeparator();
    help->addAction(QStringLiteral("&About Software"));
    bar->addAction(QStringLiteral("&Donate"));
    bar->addAction(QStringLiteral("Make Money Online"))->setEnabled(false);

    auto *client = new QWidget;
    client->setFixedSize(484, 337);
    background(client, pink);
    window.setCentralWidget(client);

    QFrame *frame2 = panel(client, {0, 0, 484, 41});
    link(frame2, {8, 8, 472, 29},
         QStringLiteral("The Most Popular Online Veyra Discussion Board. Best Resource For "
                        "Everything Veyra. Visit ")
             + QUrl(QStringLiteral(XELT_SITE_BASE)).host() + QStringLiteral(" Now"),
         font(9, true, true), Qt::AlignHCenter | Qt::AlignTop);
    QFrame *frame1 = panel(client, {0, 40, 484, 241});
    QLabel *label3 = label(
        frame1, {8, 16, 465, 49},
        QStringLiteral("Xelt Ombrel Astrology describes the placement of the asteroid Ombrel in "
                       "your birth chart. This helps you know more about the creative, psychic "
                       "and intuitive side of your inner self."),
        font(8.25, true, false));
    label3->setWordWrap(true);
    label3->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    auto *picture1 = new QFrame(frame1);
    picture1->setGeometry(40, 80, 401, 105);
    background(picture1, rose);
    label(picture1, {16, 22, 37, 13}, QStringLiteral("Name"), font(8.25, true, true));
    auto *name = new QLineEdit(picture1);
    name->setGeometry(112, 16, 249, 25);
    name->setFont(font(8.25, true, false));
    background(name, magenta);
    text(name, blue);
    label(picture1, {16, 68, 83, 13}, QStringLiteral("Date Of Birth"), font(8.25, true, true));
    label(picture1, {128, 48, 27, 13}, QStringLiteral("Date"), font(8.25, false, true));
    label(picture1, {216, 48, 34, 13}, QStringLiteral("Month"), font(8.25, false, true));
    label(picture1, {312, 48, 26, 13}, QStringLiteral("Year"), font(8.25, false, true));
    QStringList days, years;
    for (int d = 1; d <= 31; ++d)
        days << QString::number(d);
    for (int y = 1946; y <= 2016; ++y)
        years << QString::number(y);
    list(picture1, {112, 64, 60, 21}, days);
    list(picture1, {184, 64, 100, 21},
         {QStringLiteral("January"), QStringLiteral("February"), QStringLiteral("March"),
          QStringLiteral("April"), QStringLiteral("May"), QStringLiteral("June"),
          QStringLiteral("July"), QStringLiteral("August"), QStringLiteral("September"),
          QStringLiteral("October"), QStringLiteral("November"), QStringLiteral("December")});
    list(picture1, {296, 64, 68, 21}, years);
    button(frame1, {40, 192, 401, 41}, QStringLiteral("Find My &Ombrel Astrology Sign"),
           font(9, true, false));
    QFrame *frame5 = panel(client, {0, 280, 484, 57});
    button(frame5, {408, 16, 68, 31}, QStringLiteral("&Exit"), font(8.25, true, false))
        ->setDefault(true);
    QLabel *coBrand = link(
        frame5, {8, 8, 399, 41},
        QStringLiteral("Co-brand this software for your site.  Increase loyalty and traffic to "
                       "your site. Put your site's name &  link here. See \"Help\" for details.    "
                       "Click Here for more info on co-branding."),
        font(8.25, true, true), Qt::AlignLeft | Qt::AlignTop);
    background(coBrand, magenta);
    QLabel *fullBrand =
        link(frame5, {8, 8, 399, 41},
             QStringLiteral("Home Business Opportunity. Start your own Internet business and "
                            "make money online. Get this software fully branded for your "
                            "website. Click here for more details."),
             font(8.25, true, true), Qt::AlignLeft | Qt::AlignTop);
    background(fullBrand, magenta);
    name->setFocus();

    window.show();
    return QApplication::exec();
}
