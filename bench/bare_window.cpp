// The baseline for the start-up benchmark: an empty Qt Widgets window the size
// of the program's main window (menu bar included), and nothing else.
// With --text it shows one line of text too, which is where a window's first
// font lookup and glyph rendering are paid: a reference, not the baseline.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(484, 355);
    window.setWindowTitle(QStringLiteral("Bare window"));
    if (QApplication::arguments().contains(QStringLiteral("--text"))) {
        auto *line = new QLabel(QStringLiteral("Xelt Ombrel Astrology"), &window);
        line->move(16, 16);
    }
    window.show();
    return QApplication::exec();
}
