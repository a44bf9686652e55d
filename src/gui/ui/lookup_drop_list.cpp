#include "ui/lookup_drop_list.h"

#include "data/table_access.h"
#include "ui_model/field_text.h"

namespace mvz {

LookupDropList::LookupDropList(TableAccess& table, QWidget* parent)
    : QComboBox(parent), table_(table) {
    opened_ = table_.open() == result::Ok;
    connect(this, &QComboBox::activated, this, [this] { take(); });
}

LookupDropList::~LookupDropList() {
    if (opened_) table_.close();
}

void LookupDropList::setOrder(std::string_view key) {
    key_ = key.empty() ? -1 : table_.def().keyIndex(key);
    if (!key.empty() && key_ < 0) throw std::invalid_argument("unknown key " + std::string(key));
}

void LookupDropList::addDisplayField(std::string_view field, std::string picture) {
    const int f = table_.def().fieldIndex(field);
    if (f < 0) throw std::invalid_argument("unknown field " + std::string(field));
    display_.push_back({f, std::move(picture)});
}

void LookupDropList::addUpdateField(std::string_view field, Record& target,
                                    std::string_view targetField) {
    const int t = target.def().fieldIndex(targetField);
    if (t < 0) throw std::invalid_argument("unknown field " + std::string(targetField));
    addUpdateField(field, [&target, t](const std::string& v) { target.setFromDisplay(t, v); });
}

void LookupDropList::addUpdateField(std::string_view field,
                                    std::function<void(const std::string&)> target) {
    const int f = table_.def().fieldIndex(field);
    if (f < 0) throw std::invalid_argument("unknown field " + std::string(field));
    update_.push_back({f, std::move(target)});
}

std::string LookupDropList::entryValue(int index, std::string_view field) const {
    if (index < 0 || index >= static_cast<int>(images_.size())) return {};
    const int f = table_.def().fieldIndex(field);
    Record r(table_.def());
    r.assign(images_[static_cast<std::size_t>(index)]);
    return f < 0 ? std::string() : r.display(f);
}

void LookupDropList::refill() {
    // The entry shown stays shown: found again by its first update field, or
    // without one by the whole record.
    std::string keep, keepImage;
    if (!update_.empty() && currentIndex() >= 0)
        keep = entryValue(currentIndex(), table_.def().qualified(update_.front().field));
    else if (currentIndex() >= 0 && currentIndex() < static_cast<int>(images_.size()))
        keepImage = images_[static_cast<std::size_t>(currentIndex())];
    const bool blocked = blockSignals(true);
    clear();
    images_.clear();
    if (opened_) {
        table_.savePosition();
        table_.setOrder(key_);
        table_.setStart();
        while (table_.next() == result::Ok) {
            QStringList parts;
            for (const Display& d : display_) {
                std::optional<Picture> p =
                    d.picture.empty() ? std::nullopt : Picture::parse(d.picture);
                parts << QString::fromStdString(formatField(table_.record(), d.field, p)).trimmed();
            }
            addItem(parts.join(QStringLiteral("  ")));
            images_.emplace_back(table_.record().bytes());
        }
        table_.restorePosition();
    }
    int again = -1;
    for (std::size_t i = 0; !keepImage.empty() && i < images_.size() && again < 0; ++i)
        if (images_[i] == keepImage) again = static_cast<int>(i);
    setCurrentIndex(again);
    blockSignals(blocked);
    if (!keep.empty()) showValue(table_.def().qualified(update_.front().field), keep);
}

int LookupDropList::showValue(std::string_view field, const std::string& utf8) {
    int found = -1;
    for (int i = 0; i < static_cast<int>(images_.size()) && found < 0; ++i)
        if (entryValue(i, field) == utf8) found = i;
    const bool blocked = blockSignals(true);
    setCurrentIndex(found);
    blockSignals(blocked);
    return found;
}

void LookupDropList::take() {
    const int index = currentIndex();
    if (index < 0 || index >= static_cast<int>(images_.size())) return;
    Record r(table_.def());
    r.assign(images_[static_cast<std::size_t>(index)]);
    for (const Update& u : update_)
        u.target(r.display(u.field));
    emit taken();
}

} // namespace mvz
