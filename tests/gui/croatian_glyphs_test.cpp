#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QtTest>

// The installed fonts draw the Croatian letters of the program's texts.
class CroatianGlyphsTest : public QObject {
    Q_OBJECT
  private slots:
    void lettersHaveGlyphs() {
        const QString letters = QStringLiteral("čćđšžČĆĐŠŽ");
        const QFont font = QApplication::font();
        const QFontMetrics metrics(font);
        for (QChar c : letters)
            QVERIFY2(
                metrics.inFont(c),
                qPrintable(
                    QStringLiteral("no glyph for %1 in %2").arg(c).arg(QFontInfo(font).family())));
        // Each letter draws something of its own, not an empty box shared by all.
        QList<QImage> drawn;
        for (QChar c : QStringLiteral("čćđšž")) {
            QImage image(40, 40, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter p(&image);
            QFont big = font;
            big.setPixelSize(28);
            p.setFont(big);
            p.setPen(Qt::black);
            p.drawText(image.rect(), Qt::AlignCenter, QString(c));
            p.end();
            int dark = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qGray(image.pixel(x, y)) < 128) ++dark;
            QVERIFY2(dark > 10, qPrintable(QString(c)));
            for (const QImage& other : drawn)
                QVERIFY2(other != image, qPrintable(QString(c)));
            drawn << image;
        }
    }
};

QTEST_MAIN(CroatianGlyphsTest)
#include "croatian_glyphs_test.moc"
