#pragma once
// The two questions every program answers on its command line, --help and
// --version; other arguments (a file dropped on the program) are let be.
#include <QStringList>

#include <optional>

namespace commandline {

// Qt's own options (-platform, -style...) are still in argv until QApplication
// has taken them out, so before then an option we don't know is not yet wrong.
// Without a window system QApplication never gets that far: the options Qt
// knows are then taken out here.
enum class Stage { BeforeQt, AfterQt, WithoutWindowSystem };

// Prints the help, the version or the error for these arguments (argv[0]
// first), or shows it in a box where there is no terminal (Windows, once Qt
// is up). Returns the exit code when the program must end here, or nothing
// when it should start as usual or ask again after Qt.
std::optional<int> answer(const QStringList &arguments, Stage stage);

} // namespace commandline
