#pragma once
// The program's look: its colours, fonts, and helpers that place a control at
// its 96-dpi rectangle with its given object name.
#include "core/product.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QFrame;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace look {

inline const QColor kBlue{0x00, 0x00, 0xFF};
inline const QColor kNavy{0x00, 0x00, 0x80};
inline const QColor kDarkBlue{0x00, 0x00, 0xC0};
inline const QColor kPink{0xFF, 0xC0, 0xFF};
inline const QColor kMagenta{0xFF, 0x80, 0xFF};
inline const QColor kRose{0xFF, 0xC0, 0xC0};
inline const QColor kButtonFace{0xE0, 0xE0, 0xE0};
inline const QColor kWhite{0xFF, 0xFF, 0xFF};
inline const QColor kYellow{0xFF, 0xFF, 0x00};
inline const QColor kBlack{0x00, 0x00, 0x00};

inline const QString kWindowCaption = product::caption();

enum FontStyle { Regular = 0, Bold = 1, Underline = 2 };
QFont verdana(qreal points, int style = Regular);
QFont msSansSerif(qreal points, int style = Regular);
// The same font with sans-serif stand-ins for where its face is missing: for
// the system's own font, which the message boxes use.
QFont withSansStandIns(QFont font);

void setBackground(QWidget *w, const QColor &colour);
void setTextColour(QWidget *w, const QColor &colour);

// Gives a new control its name and rectangle (in 96-dpi pixels, see placement.h).
void place(QWidget *w, const char *name, const QRect &rect);

// A borderless frame used only as a coloured background.
QFrame *panel(QWidget *parent, const char *name, const QRect &rect, const QColor &colour);
// A picture box: the program's icon, centred, named for screen readers.
QLabel *picture(QWidget *parent, const char *name, const QRect &rect);
// A frame with a caption, coloured, with the caption in `text`.
QGroupBox *captionedPanel(QWidget *parent, const char *name, const QRect &rect,
                          const QString &caption, const QColor &background, const QColor &text,
                          const QFont &font);
QLabel *label(QWidget *parent, const char *name, const QRect &rect, const QString &text,
              const QFont &font, const QColor &colour);
// A one-line text box and a pick-only drop-down list, in the given colours.
QLineEdit *textBox(QWidget *parent, const char *name, const QRect &rect, const QFont &font,
                   const QColor &background, const QColor &text);
QComboBox *dropDown(QWidget *parent, const char *name, const QRect &rect, const QFont &font,
                    const QColor &background, const QColor &text);
// A push button whose face is drawn in the program's grey, not the system's.
QPushButton *button(QWidget *parent, const char *name, const QRect &rect, const QString &text,
                    const QFont &font);

// Widens a one-line label that its text overruns (fonts wider than the
// designed ones, a DPI that does not scale them evenly), keeping `edge` in place.
void widenToText(QLabel *label, Qt::Edge edge = Qt::LeftEdge);
// widenToText() for each one-line label of `window`.
void fitOneLineLabels(QWidget *window);

} // namespace look
