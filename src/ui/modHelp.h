#pragma once
// The publisher's pages, the update question, and the one way the program ends.
#include <functional>

namespace modHelp {

void OpenHomePage();
void OpenHelpWebPage();
void OpenDownloadWebPage();
void OpenDonatePage();
void OpenCoBrandPage();
void OpenFullyBrandedPage();
void OpenSoftwaresPage();

// At most once in updateCheck::kDaysBetweenQuestions days, asks whether to look for an update.
void CheckForUpdatePrompt();

// Closes every window and ends the process with exit code 0.
void EndApplication();

// True once EndApplication has begun: closing steps then hand over to nothing.
bool isEnding();

// What EndApplication finally calls; tests put something harmless here.
void setTerminator(std::function<void()> terminator);
void resetEndingForTesting();

} // namespace modHelp
