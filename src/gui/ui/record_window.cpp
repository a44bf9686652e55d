#include "ui/record_window.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

#include "data/error_reporter.h"
#include "data/table_access.h"
#include "ui/lookup_drop_list.h"
#include "ui/window_host.h"

namespace mvz {

RecordWindow::RecordWindow(Tables& tables, RecordWindowSpec decl, QWidget* parent)
    : ProcedureWindow(tables, parent), spec_(std::move(decl)) {}

bool RecordWindow::init() {
    if (!ProcedureWindow::init()) return false;
    const std::uint16_t refusal = request() == request::Insert && !spec_.allowsInsert   ? 20
                                  : request() == request::Change && !spec_.allowsChange ? 38
                                  : request() == request::Delete && !spec_.allowsDelete ? 12
                                                                                        : 0;
    if (refusal) {
        errors().raise(refusal);
        return false; // ends cancelled before anything is read or written
    }
    setPrimary(spec_.table);
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("row-%1").arg(QString::fromStdString(spec_.table)));
    switch (request()) {
    case request::Insert:
        setWindowTitle(spec_.insertTitle);
        break;
    case request::Change:
        setWindowTitle(spec_.changeTitle);
        break;
    case request::Delete:
        setWindowTitle(spec_.deleteTitle.isEmpty() ? spec_.changeTitle : spec_.deleteTitle);
        break;
    default:
        setWindowTitle(spec_.viewTitle.isEmpty() ? spec_.changeTitle : spec_.viewTitle);
        break;
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(addFormToolbar());
    auto* group = new QGroupBox(spec_.groupCaption, this);
    auto* groupLayout = new QVBoxLayout(group);
    auto* form = new RecordForm(primary(), errors(), group, &tables());
    form->addFields(spec_.fields);
    groupLayout->addWidget(form);
    layout->addWidget(group);

    auto* buttons = new QHBoxLayout;
    ok_ = new QPushButton(spec_.okCaption, this);
    cancel_ = new QPushButton(spec_.cancelCaption, this);
    help_ = new QPushButton(spec_.helpCaption, this);
    if (WindowHost* host = WindowHost::of(this)) help_->setIcon(host->icon("HELP"));
    ok_->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addWidget(help_);
    layout->addLayout(buttons);

    setHelpControl(help_);
    setForm(form);
    setOkControl(ok_);
    setCancelControl(cancel_);
    const bool view = request() == request::View || request() == request::Select;
    for (std::size_t i = 0; i < spec_.fields.size(); ++i) {
        QWidget* editor = form->editors()[i];
        if (spec_.fields[i].readOnly) continue;
        if (view) editor->setEnabled(false);
        if (!firstField()) setFirstField(editor);
        if (auto* drop = qobject_cast<LookupDropList*>(editor))
            addFileDrop(drop); // refilled with the window
        else
            addHistory(editor);
    }
    if (view) ok_->setEnabled(false);
    return true;
}

int RecordWindow::takeCompleted() {
    const bool saving = request() == request::Insert || request() == request::Change;
    if (saving && spec_.saveCheck) {
        form()->storeAll();
        if (std::optional<SaveRefusal> refusal = spec_.saveCheck(primary(), request())) {
            MessageBox box;
            box.text = messageBoxText(refusal->text);
            box.icon = MessageIcon::Exclamation;
            errors().reporter().show(box);
            QWidget* field = refusal->field.empty() ? firstField() : form()->editor(refusal->field);
            if (field) field->setFocus(Qt::OtherFocusReason);
            PendingNavigation = 0;
            return handled::Consumed;
        }
    }
    return ProcedureWindow::takeCompleted();
}

int RecordWindow::primeFields() {
    int r = ProcedureWindow::primeFields();
    if (r == 0 && spec_.primeFields) r = spec_.primeFields(primary().record());
    return r;
}

} // namespace mvz
