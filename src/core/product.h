#pragma once
// The program's name and version. The build sets them from CMakeLists.txt,
// the one place that also feeds the packages and the Windows resources.
#include <QString>

#if !defined(XELT_PRODUCT_NAME) || !defined(XELT_PROGRAM_NAME) || !defined(XELT_VERSION)
#error "XELT_PRODUCT_NAME, XELT_PROGRAM_NAME and XELT_VERSION must be defined by the build"
#endif

namespace product {

// The title of every message box.
inline const QString kName = QStringLiteral(XELT_PRODUCT_NAME);
// The executable's name; also names the settings file and the lock.
inline const QString kProgram = QStringLiteral(XELT_PROGRAM_NAME);
inline const QString kVersion = QStringLiteral(XELT_VERSION);

// Every window's caption.
inline QString caption() { return kName + QStringLiteral(" v") + kVersion; }

} // namespace product
