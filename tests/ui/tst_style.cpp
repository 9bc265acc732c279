#include "ui/style.h"

#include <QApplication>
#include <QTest>

using namespace Qt::StringLiterals;

// The pictures: drawn for the device pixel ratio they are shown at, and drawn once.
class StyleTest : public QObject
{
    Q_OBJECT

private slots:
    void iconIsSharpAtEveryRatio_data();
    void iconIsSharpAtEveryRatio();
    void picturesAreDrawnOnce();
    void disabledIconIsFaded();
};

void StyleTest::iconIsSharpAtEveryRatio_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("1") << 1.0;
    QTest::newRow("1.5") << 1.5;
    QTest::newRow("2") << 2.0;
}

void StyleTest::iconIsSharpAtEveryRatio()
{
    QFETCH(qreal, ratio);
    const QIcon icon = Style::icon(u"send"_s, Qt::black, {24, 24});
    const QPixmap pixmap = icon.pixmap(QSize(24, 24), ratio);
    QCOMPARE(pixmap.devicePixelRatio(), ratio);
    QCOMPARE(pixmap.size(), QSize(24, 24) * ratio);
    // Drawn, not an empty square: some pixel carries the colour.
    const QImage image = pixmap.toImage();
    bool drawn = false;
    for (int y = 0; y < image.height() && !drawn; ++y) {
        for (int x = 0; x < image.width() && !drawn; ++x)
            drawn = qAlpha(image.pixel(x, y)) == 255;
    }
    QVERIFY(drawn);
}

void StyleTest::picturesAreDrawnOnce()
{
    const QPixmap first = Style::picture(u"device-dimmer"_s, Qt::black, {120, 152});
    const QPixmap second = Style::picture(u"device-dimmer"_s, Qt::black, {120, 152});
    QCOMPARE(second.cacheKey(), first.cacheKey());
}

void StyleTest::disabledIconIsFaded()
{
    const QIcon icon = Style::icon(u"exit"_s, Qt::black, {24, 24});
    const QImage normal = icon.pixmap(QSize(24, 24), 1.0, QIcon::Normal).toImage();
    const QImage disabled = icon.pixmap(QSize(24, 24), 1.0, QIcon::Disabled).toImage();
    int strongest = 0;
    int strongestDisabled = 0;
    for (int y = 0; y < normal.height(); ++y) {
        for (int x = 0; x < normal.width(); ++x) {
            strongest = std::max(strongest, qAlpha(normal.pixel(x, y)));
            strongestDisabled = std::max(strongestDisabled, qAlpha(disabled.pixel(x, y)));
        }
    }
    QCOMPARE(strongest, 255);
    QVERIFY2(strongestDisabled > 0 && strongestDisabled < 160,
             qPrintable(QString::number(strongestDisabled)));
}

QTEST_MAIN(StyleTest)
#include "tst_style.moc"
