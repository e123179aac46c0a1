#pragma once
// Qt's access key on a button holds the button down for 100 ms before it acts;
// the program's buttons act the moment the key is pressed, as on Windows.
class QAbstractButton;
class QMessageBox;

namespace accessKeys {

// Alt with the button's underlined letter clicks it at once.
void actAtOnce(QAbstractButton *button);
// The same for every button of a message box, and for their letters without
// Alt, which a message box also takes.
void actAtOnce(QMessageBox *box);

} // namespace accessKeys
