#pragma once
// One object per window per run: created (with its load step) on first touch,
// kept while hidden, gone once unloaded; the next touch creates it afresh.
class frmMain;
class frmDisplay;
class frmNagScreen2;
class QWidget;

namespace Forms {

frmMain *Main();
frmDisplay *Display();
frmNagScreen2 *NagScreen2();

bool isMainLoaded();
bool isDisplayLoaded();
bool isNagScreen2Loaded();

// Hides the farewell window if it exists. One not yet created stays so: its
// load step (the appeal drawn, the random generator re-seeded) runs wherever
// it is first created, and building a window only to hide it is wasted work.
void hideNagScreen2();

// Hides the window the user is leaving, then shows the farewell window.
void showNagScreen2After(QWidget *leaving);

// Destroys every window at once, without closing steps: for the end of main() and for tests.
void destroyAll();

} // namespace Forms
