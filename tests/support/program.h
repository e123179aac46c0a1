#pragma once
// Puts the program back as at start between test functions.
#include "ui/forms.h"
#include "ui/modHelp.h"

#include <QCoreApplication>
#include <QEvent>

// Runs the deletions that unloading a window only schedules.
inline void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// Every window gone (without closing steps) and the program no longer ending.
inline void resetWindows()
{
    Forms::destroyAll();
    flushDeletes();
    modHelp::resetEndingForTesting();
}
