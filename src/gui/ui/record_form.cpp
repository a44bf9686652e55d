#include "ui/record_form.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QTextCursor>

#include "base/cp1250.h"
#include "data/error_reporter.h"
#include "data/table_access.h"
#include "data/tables.h"
#include "ui/lookup_drop_list.h"
#include "ui_model/field_text.h"

namespace mvz {

namespace {

// The characters an entry accepts as a pattern, or nullptr for any.
const char* allowedCharacters(const FormField& decl, const std::optional<Picture>& picture) {
    if (decl.digitsOnly) return "[0-9]*";
    if (!picture) return nullptr;
    switch (picture->kind()) {
    case Picture::Kind::Number:
        return "[-+]?[0-9.,]*";
    case Picture::Kind::Date:
    case Picture::Kind::Time:
        return "[0-9.:/-]*";
    case Picture::Kind::Text:
        break;
    }
    return nullptr;
}

} // namespace

FormField lineField(const char* field, const char* prompt, const char* picture, const char* tip) {
    return {field, QString::fromUtf8(prompt), picture, QString::fromUtf8(tip)};
}

RecordForm::RecordForm(TableAccess& table, ErrorReporter& errors, QWidget* parent, Tables* lookups)
    : QWidget(parent), table_(table), errors_(errors), lookups_(lookups),
      columns_(new QHBoxLayout(this)), layout_(new QFormLayout) {
    columns_->setContentsMargins(0, 0, 0, 0);
    columns_->addLayout(layout_);
}

void RecordForm::addCaption(const QString& caption) {
    auto* label = new QLabel(caption, this);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    layout_->addRow(label);
}

void RecordForm::newColumn() {
    columns_->addSpacing(fontMetrics().averageCharWidth() * 3);
    layout_ = new QFormLayout;
    columns_->addLayout(layout_);
}

QWidget* RecordForm::addField(const FormField& decl) {
    Entry e;
    e.decl = decl;
    e.field = table_.def().fieldIndex(decl.field);
    if (e.field < 0) throw std::invalid_argument("unknown field " + decl.field);
    if (!decl.picture.empty()) e.picture = Picture::parse(decl.picture);
    const FieldDef& f = table_.def().fields[e.field];
    QWidget* editor = nullptr;
    switch (decl.kind) {
    case FormField::Kind::Line: {
        auto* line = new QLineEdit(this);
        int width = e.picture ? e.picture->width() : (f.isText() ? f.size : 12);
        if (f.isText() && (!e.picture || e.picture->kind() == Picture::Kind::Text))
            width = e.picture ? std::min(width, static_cast<int>(f.size)) : f.size;
        line->setMaxLength(width);
        if (const char* allowed = allowedCharacters(decl, e.picture))
            line->setValidator(new QRegularExpressionValidator(
                QRegularExpression(QString::fromLatin1(allowed)), line));
        line->setMinimumWidth(line->fontMetrics().averageCharWidth() * std::min(width + 2, 60));
        line->setReadOnly(decl.readOnly);
        if (e.picture && e.picture->kind() == Picture::Kind::Number)
            line->setAlignment(Qt::AlignRight);
        // Checked when the user leaves it after changing it (and on saving).
        connect(line, &QLineEdit::editingFinished, this, [this, line] {
            if (line->isModified()) leave(line);
        });
        editor = line;
        break;
    }
    case FormField::Kind::Text: {
        auto* text = new QPlainTextEdit(this);
        text->setReadOnly(decl.readOnly);
        text->setTabChangesFocus(true);
        text->setFixedHeight(text->fontMetrics().lineSpacing() * 4 + 12);
        // At most what the field holds: what goes beyond is not taken.
        const int limit = f.isText() ? f.size : 0;
        if (limit > 0)
            connect(text, &QPlainTextEdit::textChanged, text, [text, limit] {
                const QString value = text->toPlainText();
                if (value.size() <= limit) return;
                const QSignalBlocker block(text);
                text->setPlainText(value.left(limit));
                text->moveCursor(QTextCursor::End);
                QApplication::beep();
            });
        editor = text;
        break;
    }
    case FormField::Kind::Lookup: {
        if (!lookups_) throw std::logic_error("lookup field " + decl.field + " without tables");
        auto* drop = new LookupDropList(lookups_->access(decl.lookup.table), this);
        drop->setOrder(decl.lookup.key);
        drop->addDisplayField(decl.lookup.display);
        drop->setEnabled(!decl.readOnly);
        drop->refill();
        connect(drop, &QComboBox::activated, this, [this, drop] { leave(drop); });
        editor = drop;
        break;
    }
    case FormField::Kind::Choice: {
        auto* combo = new QComboBox(this);
        combo->addItems(decl.choices);
        combo->setEnabled(!decl.readOnly);
        connect(combo, &QComboBox::activated, this, [this, combo] { leave(combo); });
        editor = combo;
        break;
    }
    }
    editor->setToolTip(decl.tip);
    editor->setStatusTip(decl.tip);
    editor->setObjectName(QString::fromStdString(table_.def().qualified(e.field)));
    e.editor = editor;
    layout_->addRow(decl.prompt, editor);
    entries_.push_back(std::move(e));
    editors_.push_back(editor);
    return editor;
}

void RecordForm::addFields(const std::vector<FormField>& fields) {
    for (const FormField& f : fields)
        addField(f);
}

void RecordForm::addRow(const QString& prompt, QWidget* control) {
    control->setParent(this);
    layout_->addRow(prompt, control);
}

void RecordForm::addBeside(QWidget* editor, QWidget* control) {
    for (QFormLayout* form : findChildren<QFormLayout*>()) {
        int row = -1;
        QFormLayout::ItemRole role;
        form->getWidgetPosition(editor, &row, &role);
        if (row < 0) {
            // Already on a row with companions: the editor's parent layout holds them.
            continue;
        }
        auto* pair = new QHBoxLayout;
        pair->setContentsMargins(0, 0, 0, 0);
        form->removeWidget(editor);
        pair->addWidget(editor);
        pair->addWidget(control, 1);
        form->setLayout(row, role, pair);
        return;
    }
    // A row that has companions already: append to it.
    for (QHBoxLayout* pair : findChildren<QHBoxLayout*>())
        if (pair != columns_ && pair->indexOf(editor) >= 0) {
            control->setParent(this);
            pair->addWidget(control, 1);
            return;
        }
}

const RecordForm::Entry* RecordForm::entryOf(const QWidget* editor) const {
    for (const Entry& e : entries_)
        if (e.editor == editor) return &e;
    return nullptr;
}

bool RecordForm::isField(const QWidget* control) const {
    return entryOf(control) != nullptr;
}

QWidget* RecordForm::editor(std::string_view field) const {
    const int f = table_.def().fieldIndex(field);
    for (const Entry& e : entries_)
        if (e.field == f) return e.editor;
    return nullptr;
}

QString RecordForm::editorText(const QWidget* editor) const {
    if (auto* line = qobject_cast<const QLineEdit*>(editor)) return line->text();
    if (auto* text = qobject_cast<const QPlainTextEdit*>(editor)) return text->toPlainText();
    if (auto* combo = qobject_cast<const QComboBox*>(editor)) return combo->currentText();
    return {};
}

void RecordForm::setEditorText(QWidget* editor, const QString& value) {
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setText(value);
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(editor)) {
        text->setPlainText(value);
    } else if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        int i = value.isEmpty() ? -1 : combo->findText(value);
        if (i < 0 && !value.isEmpty()) {
            combo->addItem(value);
            i = combo->count() - 1;
        }
        combo->setCurrentIndex(i);
    }
}

void RecordForm::display() {
    for (Entry& e : entries_)
        displayEntry(e);
}

void RecordForm::displayField(std::string_view field) {
    const int f = table_.def().fieldIndex(field);
    for (Entry& e : entries_)
        if (e.field == f) displayEntry(e);
}

void RecordForm::displayEntry(Entry& e) {
    if (auto* drop = qobject_cast<LookupDropList*>(e.editor)) {
        drop->showValue(e.decl.lookup.value, table_.record().display(e.field));
        return;
    }
    // Text pictures pad and number pictures align: editors show the bare value.
    QString text = QString::fromStdString(formatField(table_.record(), e.field, e.picture));
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    if (e.picture && e.picture->kind() != Picture::Kind::Text) text = text.trimmed();
    setEditorText(e.editor, text);
    if (auto* line = qobject_cast<QLineEdit*>(e.editor)) line->setModified(false);
}

bool RecordForm::store(QWidget* editor, QString* why) {
    const Entry* e = entryOf(editor);
    if (!e || e->decl.readOnly) return true;
    QString text = editorText(editor);
    if (auto* drop = qobject_cast<LookupDropList*>(editor)) {
        const int index = drop->currentIndex();
        text = index < 0 ? QString()
                         : QString::fromStdString(drop->entryValue(index, e->decl.lookup.value));
    }
    if (e->decl.kind == FormField::Kind::Text) text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::string refusal = readField(table_.record(), e->field, e->picture, text.toStdString());
    if (refusal.empty()) return true;
    if (why) *why = QString::fromStdString(refusal);
    return false;
}

bool RecordForm::storeAll() {
    bool ok = true;
    for (const Entry& e : entries_)
        ok = store(e.editor) && ok;
    return ok;
}

bool RecordForm::validate(QWidget* editor) {
    const Entry* e = entryOf(editor);
    if (!e) return true;
    QString why;
    std::optional<FieldRefusal> refusal;
    if (!store(editor, &why)) {
        refusal = FieldRefusal{why.toStdString(), "", true};
    } else if (e->decl.check) {
        refusal = e->decl.check(table_.record());
    }
    if (!refusal) {
        if (auto* line = qobject_cast<QLineEdit*>(editor)) line->setModified(false);
        emit accepted(editor);
        return true;
    }
    checking_ = true;
    if (refusal->errorSound) QApplication::beep();
    MessageBox box;
    box.title = refusal->title;
    box.text = messageBoxText(refusal->text);
    box.icon = MessageIcon::Exclamation;
    errors_.reporter().show(box);
    editor->setFocus(Qt::OtherFocusReason);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) line->selectAll();
    checking_ = false;
    emit rejected(editor);
    return false;
}

bool RecordForm::validateAll() {
    for (const Entry& e : entries_)
        if (!e.decl.readOnly && !validate(e.editor)) return false;
    return true;
}

void RecordForm::leave(QWidget* editor) {
    // A message box taking the focus ends the editing again: check once.
    if (checking_) return;
    if (validate(editor)) emit left(editor);
}

} // namespace mvz
