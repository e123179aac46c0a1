#pragma once
// Each of the program's windows, shown as a user reaches it.
#include <QString>

class QWidget;
class frmDisplay;

// The result window for 19 December 1993: Sagittarius, the longest sign name.
frmDisplay *showResult();

// "frmMain", "frmDisplay", "frmAbout" (modeless here) or "frmNagScreen2", shown.
QWidget *showWindow(const QString &name);

// The windows every window test walks, by name.
inline const char *const kWindowNames[] = {"frmMain", "frmDisplay", "frmAbout", "frmNagScreen2"};
// A test's data: a column "window" and a row for each of them.
void addWindowRows();

// Closes any About window and puts the program back as at start.
void closeAllWindows();
