#include "ui/forms.h"

#include "ui/display/frmDisplay.h"
#include "ui/farewell/frmNagScreen2.h"
#include "ui/main/frmMain.h"

#include <QPointer>
#include <QWidget>

namespace Forms {

namespace {
QPointer<frmMain> g_main;
QPointer<frmDisplay> g_display;
QPointer<frmNagScreen2> g_nag;

template <class T> bool loaded(const QPointer<T> &p) { return p && !p->isUnloaded(); }

template <class T> T *touch(QPointer<T> &p)
{
    if (!loaded(p))
        p = new T; // an unloaded one is already on its way to deletion
    return p;
}

template <class T> void destroy(QPointer<T> &p) { delete p.data(); }
} // namespace

frmMain *Main() { return touch(g_main); }
frmDisplay *Display() { return touch(g_display); }
frmNagScreen2 *NagScreen2() { return touch(g_nag); }

bool isMainLoaded() { return loaded(g_main); }
bool isDisplayLoaded() { return loaded(g_display); }
bool isNagScreen2Loaded() { return loaded(g_nag); }

void hideNagScreen2()
{
    if (loaded(g_nag))
        g_nag->hide();
}

void showNagScreen2After(QWidget *leaving)
{
    // The old window goes first, as between the other windows: a window
    // manager that sees the focused window go while the new one is still on
    // its way may hand the keyboard to no one (xfwm4 did, now and then).
    leaving->hide();
    NagScreen2()->show();
}

void destroyAll()
{
    destroy(g_display);
    destroy(g_nag);
    destroy(g_main);
}

} // namespace Forms
