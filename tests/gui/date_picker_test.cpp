#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "base/day_number.h"
#include "ui/date_picker.h"

using namespace mvz;

namespace {

std::vector<int> shownCells(const DatePicker& p) {
    std::vector<int> out;
    for (int n = 1; n <= kCalendarCells; ++n)
        if (!p.cell(n)->isHidden()) out.push_back(n);
    return out;
}

std::vector<int> markedCells(const DatePicker& p) {
    std::vector<int> out;
    for (int n = 1; n <= kCalendarCells; ++n)
        if (p.cellMarked(n)) out.push_back(n);
    return out;
}

} // namespace

class DatePickerTest : public QObject {
    Q_OBJECT
  private slots:
    void controlsAndTips() {
        DatePicker p(dayNumber(2010, 3, 15));
        QCOMPARE(p.previousYearButton()->text(), QStringLiteral(" <<"));
        QCOMPARE(p.previousYearButton()->toolTip(), QStringLiteral("Previous Year"));
        QCOMPARE(p.previousMonthButton()->text(), QStringLiteral("<"));
        QCOMPARE(p.previousMonthButton()->toolTip(), QStringLiteral("Previous Month"));
        QCOMPARE(p.nextMonthButton()->text(), QStringLiteral(">"));
        QCOMPARE(p.nextMonthButton()->toolTip(), QStringLiteral("Next Month"));
        QCOMPARE(p.nextYearButton()->text(), QStringLiteral(" >>"));
        QCOMPARE(p.nextYearButton()->toolTip(), QStringLiteral("Next Year"));
        QCOMPARE(p.cancelButton()->text(), QStringLiteral("Cancel"));
        QStringList weekdays;
        for (QLabel* l : p.findChildren<QLabel*>())
            if (l != p.heading()) weekdays << l->text();
        QCOMPARE(weekdays, (QStringList{"Ne", "Po", "Ut", "Sr", "Čt", "Pe", "Su"}));
        QVERIFY(p.cell(37));
        QVERIFY(!p.cell(38));
    }

    void march2010() {
        DatePicker p(dayNumber(2010, 3, 15));
        QCOMPARE(p.heading()->text(), QStringLiteral("Ožujak - 2010"));
        QCOMPARE(p.cell(2)->text(), QStringLiteral("1"));
        QCOMPARE(p.cell(32)->text(), QStringLiteral("31"));
        for (int n : {1, 33, 34, 35, 36, 37})
            QVERIFY2(p.cell(n)->isHidden(), qPrintable(QString::number(n)));
        QCOMPARE(shownCells(p).size(), std::size_t(31));
        QCOMPARE(markedCells(p), std::vector<int>{16});
        QCOMPARE(p.cell(16)->palette().color(QPalette::ButtonText), QColor(255, 0, 0));
        QCOMPARE(p.cell(17)->palette().color(QPalette::ButtonText), QColor(0, 0, 0));
    }

    void februaryLengths() {
        struct Case {
            int year;
            int days;
        };
        for (Case c : {Case{1900, 28}, Case{2000, 29}, Case{2010, 28}}) {
            DatePicker p(dayNumber(c.year, 2, 10));
            QCOMPARE(p.heading()->text(), QStringLiteral("Veljača - %1").arg(c.year));
            QCOMPARE(shownCells(p).size(), std::size_t(c.days));
            QCOMPARE(p.cell(shownCells(p).back())->text(), QString::number(c.days));
        }
    }

    void the31stVanishesInFebruaryAndReturnsInMarch() {
        DatePicker p(dayNumber(2010, 1, 31));
        QCOMPARE(markedCells(p).size(), std::size_t(1));
        QTest::mouseClick(p.nextMonthButton(), Qt::LeftButton);
        QCOMPARE(p.heading()->text(), QStringLiteral("Veljača - 2010"));
        QVERIFY(markedCells(p).empty());
        QTest::mouseClick(p.nextMonthButton(), Qt::LeftButton);
        QCOMPARE(p.heading()->text(), QStringLiteral("Ožujak - 2010"));
        QCOMPARE(markedCells(p), std::vector<int>{32});
        QCOMPARE(p.cell(32)->text(), QStringLiteral("31"));
        // The cell marked in January (cell 36) went back to black.
        QCOMPARE(p.cell(36)->palette().color(QPalette::ButtonText), QColor(0, 0, 0));
    }

    void yearEdgesStop() {
        DatePicker first(dayNumber(1801, 1, 5));
        QTest::mouseClick(first.previousYearButton(), Qt::LeftButton);
        QTest::mouseClick(first.previousMonthButton(), Qt::LeftButton);
        QCOMPARE(first.heading()->text(), QStringLiteral("Siječanj - 1801"));
        DatePicker last(dayNumber(2099, 12, 5));
        QTest::mouseClick(last.nextYearButton(), Qt::LeftButton);
        QTest::mouseClick(last.nextMonthButton(), Qt::LeftButton);
        QCOMPARE(last.heading()->text(), QStringLiteral("Prosinac - 2099"));
        QTest::mouseClick(last.previousYearButton(), Qt::LeftButton);
        QCOMPARE(last.heading()->text(), QStringLiteral("Prosinac - 2098"));
    }

    void todayWhenOpenedWithZero() {
        const CivilDate today = civilDate(todayDayNumber());
        DatePicker p(0);
        QVERIFY(p.heading()->text().endsWith(QString::number(today.year)));
        const std::vector<int> marked = markedCells(p);
        QCOMPARE(marked.size(), std::size_t(1));
        QCOMPARE(p.cell(marked[0])->text(), QString::number(today.day));
    }

    void pickingACellReturnsItsDateAndCancelReturnsNothing() {
        QTimer::singleShot(0, [] {
            auto* p = qobject_cast<DatePicker*>(QApplication::activeModalWidget());
            QVERIFY(p);
            QTest::mouseClick(p->nextMonthButton(), Qt::LeftButton); // April 2010
            p->cell(p->grid().firstCell() + 9)->click();             // the 10th
        });
        QCOMPARE(pickDate(nullptr, dayNumber(2010, 3, 15)), dayNumber(2010, 4, 10));

        QTimer::singleShot(0, [] {
            auto* p = qobject_cast<DatePicker*>(QApplication::activeModalWidget());
            QVERIFY(p);
            p->cancelButton()->click();
        });
        QCOMPARE(pickDate(nullptr, dayNumber(2010, 3, 15)), std::nullopt);

        QTimer::singleShot(0, [] {
            auto* p = qobject_cast<DatePicker*>(QApplication::activeModalWidget());
            QVERIFY(p);
            p->close();
        });
        QCOMPARE(pickDate(nullptr, dayNumber(2010, 3, 15)), std::nullopt);
    }
};

QTEST_MAIN(DatePickerTest)
#include "date_picker_test.moc"
