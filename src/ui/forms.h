#pragma once
// One object per window per run: created (with its load step) on first touch,
// kept while hidden, gone once unloaded; the next touch creates it afresh.
class frmMain;
class frmDisplay;
class frmNagScreen2;

namespace Forms {

frmMain *Main();
frmDisplay *Display();
frmNagScreen2 *NagScreen2();

bool isMainLoaded();
bool isDisplayLoaded();
bool isNagScreen2Loaded();

// Destroys every window at once, without closing steps: for the end of main() and for tests.
void destroyAll();

} // namespace Forms
