// The contribution-rate windows, hosted without the main frame: the list in
// key order, the row window whose codes come from drop lists of the code
// tables, a changed rate saved, a duplicate of the five codes refused, and
// the printed list.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

#include "codes/rate_windows.h"
#include "data/error_reporter.h"
#include "data/message_table.h"
#include "data/tables.h"
#include "gui/support/modal_steps.h"
#include "gui/support/test_host.h"
#include "print/rate_list.h"
#include "setup/initialize.h"
#include "support/recording_reporter.h"
#include "support/temp_dir.h"
#include "ui/lookup_drop_list.h"

using namespace mvz;

namespace {} // namespace

class RateWindowsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<RecordingReporter> reporter_;
    std::unique_ptr<ErrorReporter> errors_;
    std::unique_ptr<Tables> tables_;
    std::unique_ptr<TestHost> host_;

    TableAccess& rates() { return tables_->access("STO1"); }
    // The first rate row in key order, read afresh.
    std::string firstRate(const char* field) {
        Tables other(dir_->str(), *errors_);
        TableAccess& t = other.access("STO1");
        if (t.open() != 0) return "?";
        t.setOrder(t.def().keyIndex("KEYOSNOV"));
        t.setStart();
        std::string value = t.next() == 0 ? t.record().display(t.def().fieldIndex(field)) : "";
        t.close();
        return value;
    }

  private slots:
    void init() {
        dir_ = std::make_unique<test::TempDir>();
        reporter_ = std::make_unique<RecordingReporter>();
        errors_ = std::make_unique<ErrorReporter>(*reporter_);
        errors_->addMessages(standardMessages());
        QVERIFY(initializeDataDirectory(dir_->str(), *errors_).ok);
        tables_ = std::make_unique<Tables>(dir_->str(), *errors_);
        host_ = std::make_unique<TestHost>();
        QCOMPARE(rates().open(), 0);
    }
    void cleanup() {
        host_.reset();
        rates().close();
        tables_.reset();
        errors_.reset();
        reporter_.reset();
        dir_.reset();
    }

    void rowWindowShowsTheCodesAndSavesAChangedRate() {
        rates().setOrder(rates().def().keyIndex("KEYOSNOV"));
        rates().setStart();
        QCOMPARE(rates().next(), 0);
        PendingRequest = request::Change;
        RecordWindow form(*tables_, rateRowSpec());
        QString type;
        const std::uint8_t r = runWith(form, [&] {
            auto* drop = qobject_cast<LookupDropList*>(form.form()->editor("STO1:VRSTOBRACUNA"));
            QVERIFY(drop);
            QVERIFY(drop->currentIndex() >= 0);
            type = QString::fromStdString(drop->entryValue(drop->currentIndex(), "VUP:SIFRA"));
            auto* rate = qobject_cast<QLineEdit*>(form.form()->editor("STO1:PRVISTUP1"));
            rate->setFocus();
            rate->selectAll();
            QTest::keyClicks(rate, QStringLiteral("14,5"));
            form.okButton()->click();
        });
        QCOMPARE(int(r), int(response::Completed));
        QCOMPARE(type, QString::fromStdString(firstRate("VRSTOBRACUNA")));
        QCOMPARE(firstRate("PRVISTUP1"), std::string("14.50"));
    }

    void aSecondRowWithTheSameCodesIsRefused() {
        rates().setOrder(rates().def().keyIndex("KEYOSNOV"));
        rates().setStart();
        QCOMPARE(rates().next(), 0);
        const long long before = rates().count();
        // The first row's codes stay in the buffer: a new row with all five the same.
        PendingRequest = request::Insert;
        RecordWindow form(*tables_, rateRowSpec());
        runWith(form, [&] { form.okButton()->click(); });
        QCOMPARE(reporter_->lastBox().title, std::string("Duplicate Key Error"));
        QCOMPARE(rates().count(), before);
    }

    void printsTheRatesInKeyOrder() {
        RecordingReporter rep;
        ReportResult r = printRates(*tables_, rep);
        QCOMPARE(int(r.status), int(ReportStatus::Done));
        QCOMPARE(r.pages.title, std::string("OBRAČUNSKI KEFICIJENTI"));
        QCOMPARE(r.records, rates().count());
        // The first row (01 30 01 0 D): pillar I 15,00 and 0,00, each "N5`2".
        bool found = false;
        for (const PageItem& item : r.pages.pages.front().items)
            if (const auto* t = std::get_if<TextItem>(&item); t && t->text == "15,00   0,00")
                found = true;
        QVERIFY(found);
    }
};

QTEST_MAIN(RateWindowsTest)
#include "rate_windows_test.moc"
