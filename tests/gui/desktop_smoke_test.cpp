#include <QMainWindow>
#include <QtTest>

// The desktop program's toolkit runs without a display (offscreen).
class DesktopSmokeTest : public QObject {
    Q_OBJECT
  private slots:
    void windowShowsWithoutADisplay() {
        QMainWindow w;
        w.setWindowTitle(QStringLiteral("Šifarnik - Općine i gradovi"));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.windowTitle(), QStringLiteral("Šifarnik - Općine i gradovi"));
    }
};

QTEST_MAIN(DesktopSmokeTest)
#include "desktop_smoke_test.moc"
