#pragma once
// What screen readers are told beyond Qt's own answers. Installing it once
// gives every text box a text interface that answers every question (Qt
// 6.4's own loops for ever on a word or sentence at the end of a line edit),
// reads pick-only lists as their label with the picked text as the value,
// and reads plain panels as groupings rather than windows. The marks below
// must be set before a screen reader first asks about the control.
#include <QString>

#include <functional>

class QComboBox;
class QLabel;
class QWidget;

namespace accessibility {

// Installs the program's answers; every window calls it, the first call counts.
void install();

// A window read as a dialog: its text is read with its title when it opens.
void readAsDialog(QWidget *window);
// A label whose text is read line by line, as it is drawn.
void readAsText(QLabel *label);
// A checkable push button that never stays down: a plain button to the ear.
void readAsButton(QWidget *button);
// Drawn only for the eye (a rule, an icon beside a message): not read.
void hideFromReader(QWidget *widget);
// A pick-only list named by its label, its popup list too.
void nameList(QComboBox *list, const QString &name);
// Runs `change` without telling readers: for what a control does to itself
// as it takes the focus (emptying a placeholder), which readers would take for
// the news and then drop the focus itself. They read the control as it is then.
void unannounced(const std::function<void()> &change);

} // namespace accessibility
