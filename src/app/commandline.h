#pragma once
// The two questions every program answers on its command line, --help and
// --version; other arguments (a file dropped on the program) are let be.
#include "app/options.h"

#include <QStringList>

#include <optional>

namespace commandline {

using options::Stage;

// Prints the help, the version or the error for these arguments (argv[0]
// first), or shows it in a box where there is no terminal (Windows, once Qt
// is up). Returns the exit code when the program must end here, or nothing
// when it should start as usual or ask again after Qt.
std::optional<int> answer(const QStringList &arguments, Stage stage);

} // namespace commandline
