// The windows' icon and the icon theme's come from one drawing.
#include "ui/common/appicon.h"
#include "ui/common/look.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QtTest>

#include <algorithm>
#include <cmath>

namespace {
// The first pixel where the window's drawing and the theme's differ, with both
// values; empty where they are the same.
QString difference(const QImage &window, const QImage &theme)
{
    if (window.size() != theme.size())
        return QStringLiteral("window %1 px wide, theme %2").arg(window.width()).arg(theme.width());
    for (int y = 0; y < window.height(); ++y)
        for (int x = 0; x < window.width(); ++x)
            if (window.pixel(x, y) != theme.pixel(x, y))
                return QStringLiteral("pixel (%1, %2): window #%3, theme #%4")
                    .arg(x)
                    .arg(y)
                    .arg(window.pixel(x, y), 8, 16, QChar(u'0'))
                    .arg(theme.pixel(x, y), 8, 16, QChar(u'0'));
    return {};
}
} // namespace

class TestIcon : public QObject
{
    Q_OBJECT

private slots:
    // The picture boxes' icon at each size it holds, and at double scale the
    // drawing of twice the pixels, never an enlargement.
    void sameAsThemeIcon_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<qreal>("scale");
        for (int size : {16, 22, 24, 32, 48, 64})
            QTest::addRow("%d", size) << size << 1.0;
        QTest::newRow("32 at scale 2") << 32 << 2.0;
    }

    void sameAsThemeIcon()
    {
        QFETCH(int, size);
        QFETCH(qreal, scale);
        const int pixels = int(size * scale);
        const QIcon icon = look::appIcon();
        QVERIFY(icon.availableSizes().contains(QSize(pixels, pixels)));
        QImage window = icon.pixmap(QSize(size, size), scale)
                            .toImage()
                            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        window.setDevicePixelRatio(1.0);
        const QImage theme = QImage(QStringLiteral(XELT_ICON_DIR "/%1.png").arg(pixels))
                                 .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(theme.size(), QSize(pixels, pixels));
        QCOMPARE(difference(window, theme), QString());
        // Not an empty square: the disc covers the middle.
        QCOMPARE(qAlpha(window.pixel(pixels / 2, pixels / 2)), 255);
        QCOMPARE(qAlpha(window.pixel(0, 0)), 0);
    }

    void windowIconHoldsOnlyWhatTheScaleNeeds_data()
    {
        QTest::addColumn<qreal>("scale");
        QTest::addColumn<QList<int>>("sizes");
        QTest::newRow("1") << 1.0 << QList<int>{16, 32};
        QTest::newRow("1.5") << 1.5 << QList<int>{16, 24, 32, 48};
        QTest::newRow("2") << 2.0 << QList<int>{16, 32, 64};
    }

    void windowIconHoldsOnlyWhatTheScaleNeeds()
    {
        QFETCH(qreal, scale);
        QFETCH(QList<int>, sizes);
        const QIcon icon = look::windowIcon(scale);
        QList<int> held;
        for (const QSize &s : icon.availableSizes())
            held << s.width();
        std::sort(held.begin(), held.end());
        QCOMPARE(held, sizes);
        // The title bar's 16 points and the switcher's 32, at this scale: the
        // theme's drawing at that many pixels, never an enlargement.
        for (int points : {16, 32}) {
            const int pixels = std::min(64, int(std::ceil(points * scale)));
            QImage drawn = icon.pixmap(QSize(points, points), scale)
                               .toImage()
                               .convertToFormat(QImage::Format_ARGB32_Premultiplied);
            drawn.setDevicePixelRatio(1.0);
            const QImage theme = QImage(QStringLiteral(XELT_ICON_DIR "/%1.png").arg(pixels))
                                     .convertToFormat(QImage::Format_ARGB32_Premultiplied);
            QCOMPARE(drawn.size(), QSize(pixels, pixels));
            QCOMPARE(difference(drawn, theme), QString());
        }
    }
};

QTEST_MAIN(TestIcon)
#include "tst_icon.moc"
