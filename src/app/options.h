#pragma once
// What the command line asks for, decided from the arguments alone, so that
// the program and its console companion on Windows answer alike.
#include <QStringList>

#include <optional>

namespace options {

// Qt's own options (-platform, -style...) are still in argv until QApplication
// has taken them out, so before then an option we don't know is not yet wrong.
// Without a window system QApplication never gets that far, and the console
// companion starts none: the options Qt knows are then taken out here.
enum class Stage { BeforeQt, AfterQt, WithoutWindowSystem };

enum class Kind { Help, Version, Error };

struct Reply {
    Kind kind;
    QString text; // as printed on a console, ending in a line break
    int exitCode() const { return kind == Kind::Error ? 1 : 0; }
};

// The help, the version or the error these arguments (argv[0] first) ask for;
// nothing when the program should start as usual, or ask again after Qt.
std::optional<Reply> reply(const QStringList &arguments, Stage stage);

// The help for a box, where a proportional face cannot line up spaces: the
// options sit in a table.
QString helpAsRichText();

} // namespace options
