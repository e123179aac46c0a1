#pragma once
// Fusion, the style that honours the program's colours on every platform,
// with the menu bar's overflow chevron drawn rather than loaded: loading it
// from an image file pulls in every image-format plug-in at start-up.
#include <QProxyStyle>

class ProgramStyle : public QProxyStyle
{
    Q_OBJECT
public:
    ProgramStyle();
    QIcon standardIcon(StandardPixmap which, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};
