// The control-table tree and its rule window, hosted without the main frame:
// a rule added under a calculation type appears as a basis node and the tree
// stands on it; change and delete act on a basis only; a deleted rule takes
// its basis node with it; printing rewrites TEXTSIF.TXT.
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <functional>
#include <memory>

#include "codes/control_rule_window.h"
#include "codes/control_table_window.h"
#include "data/error_reporter.h"
#include "data/message_table.h"
#include "data/tables.h"
#include "gui/support/modal_steps.h"
#include "gui/support/test_host.h"
#include "setup/initialize.h"
#include "support/recording_reporter.h"
#include "support/temp_dir.h"
#include "ui/lookup_drop_list.h"

using namespace mvz;

namespace {

QTreeWidgetItem* childWithCode(QTreeWidgetItem* parent, const QString& code) {
    for (int i = 0; i < parent->childCount(); ++i)
        if (parent->child(i)->text(0).startsWith(code + QLatin1Char(' '))) return parent->child(i);
    return nullptr;
}

} // namespace

class ControlTableWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<RecordingReporter> reporter_;
    std::unique_ptr<ErrorReporter> errors_;
    std::unique_ptr<TestHost> host_;

  private slots:
    void init() {
        dir_ = std::make_unique<test::TempDir>();
        reporter_ = std::make_unique<RecordingReporter>();
        errors_ = std::make_unique<ErrorReporter>(*reporter_);
        errors_->addMessages(standardMessages());
        QVERIFY(initializeDataDirectory(dir_->str(), *errors_).ok);
        host_ = std::make_unique<TestHost>();
    }
    void cleanup() {
        host_.reset();
        errors_.reset();
        reporter_.reset();
        dir_.reset();
    }

    void aRuleAddedAndDeletedThroughTheTree() {
        PendingRequest = request::View;
        auto* w = new ControlTableWindow(std::make_unique<Tables>(dir_->str(), *errors_));
        QVERIFY(w->start());
        host_->openChild(w);
        QTreeWidget* tree = w->tree();
        QCOMPARE(tree->topLevelItemCount(), 2); // payer types 30 and 31
        QTreeWidgetItem* payer = tree->topLevelItem(0);
        QVERIFY(payer->childCount() > 0);
        // On a payer type, change and delete do nothing.
        tree->setCurrentItem(payer);
        QCOMPARE(int(w->openRule(request::Change)), 0);
        QCOMPARE(int(w->openRule(request::Delete)), 0);

        // A new rule for 30 / 01 / 20 (a basis without a rule there).
        QTreeWidgetItem* type = childWithCode(payer, QStringLiteral("01"));
        QVERIFY(type);
        QVERIFY(!childWithCode(type, QStringLiteral("20")));
        tree->setCurrentItem(type);
        whenModalShows<ControlRuleWindow>([](ControlRuleWindow& rule) {
            QCOMPARE(QString::fromStdString(rule.codeList(0)->entryValue(
                         rule.codeList(0)->currentIndex(), "VOB:SIFRA")),
                     QStringLiteral("30"));
            LookupDropList* basis = rule.codeList(2);
            basis->showValue("TBO:SIFRA", "20");
            for (int f = 0; f < kRuleFieldCount; ++f)
                rule.ruleList(static_cast<RuleField>(f))->setCurrentIndex(1); // ">=0"
            rule.saveButton()->click();
        });
        QCOMPARE(int(w->openRule(request::Insert)), int(response::Completed));
        QTreeWidgetItem* added = tree->currentItem();
        QVERIFY(added && added->text(0).startsWith(QStringLiteral("20 ")));
        QCOMPARE(added->parent()->text(0).left(2), QStringLiteral("01"));

        // Deleting it asks, then the basis node goes.
        whenModalShows<ControlRuleWindow>(
            [](ControlRuleWindow& rule) { rule.saveButton()->click(); });
        QCOMPARE(int(w->openRule(request::Delete)), int(response::Completed));
        QCOMPARE(reporter_->lastBox().title, std::string("Confirm Delete"));
        type = childWithCode(tree->topLevelItem(0), QStringLiteral("01"));
        QVERIFY(type); // the calculation type's label stays
        QVERIFY(!childWithCode(type, QStringLiteral("20")));
        w->endWindow();
    }

    void aRuleWithAnOpenFieldIsNotSaved() {
        PendingRequest = request::View;
        auto* w = new ControlTableWindow(std::make_unique<Tables>(dir_->str(), *errors_));
        QVERIFY(w->start());
        host_->openChild(w);
        w->tree()->setCurrentItem(w->tree()->topLevelItem(1));
        whenModalShows<ControlRuleWindow>([](ControlRuleWindow& rule) {
            rule.codeList(1)->showValue("VUP:SIFRA", "01");
            rule.codeList(2)->showValue("TBO:SIFRA", "01");
            rule.saveButton()->click();
            rule.cancelButton()->click();
        });
        QCOMPARE(int(w->openRule(request::Insert)), int(response::Cancelled));
        QCOMPARE(reporter_->lastBox().text,
                 std::string("Odaberite pravilo (= 0, >=0 ili >0) za svaki podatak."));
        w->endWindow();
    }

    void printingRewritesTheTextFile() {
        PendingRequest = request::View;
        auto* w = new ControlTableWindow(std::make_unique<Tables>(dir_->str(), *errors_));
        QVERIFY(w->start());
        host_->openChild(w);
        w->button("print")->click();
        QTRY_COMPARE(host_->children.size(), std::size_t(2));
        QVERIFY(QFileInfo(QString::fromStdString(dir_->file("TEXTSIF.TXT"))).size() > 0);
        w->endWindow();
    }
};

QTEST_MAIN(ControlTableWindowTest)
#include "control_table_window_test.moc"
