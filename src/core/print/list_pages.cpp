#include "print/list_pages.h"

#include <utility>

namespace mvz {

namespace {

const PageFont kHeadingFont{"Arial", 12, true};
const PageFont kStampFont{"Arial", 8, false};
const PageFont kCaptionFont{"Arial", 9, true};
const PageFont kRowFont{"Arial", 9, false};
const PageFont kFooterFont{"Arial", 8, false};
const PageFont kFixedCaptionFont{kFixedPitchFont, 9, true};
const PageFont kFixedRowFont{kFixedPitchFont, 9, false};

constexpr int kHeadingY = ListPages::kMargin;
constexpr int kCaptionY = kHeadingY + 110;
constexpr int kFirstRowY = kCaptionY + 70;
constexpr int kFooterY = kA4Height - ListPages::kMargin;
constexpr int kLastRowBottom = kFooterY - 50;

} // namespace

ListPages::ListPages(std::string heading, std::vector<ListColumn> columns, std::string stamp)
    : heading_(std::move(heading)), columns_(std::move(columns)), stamp_(std::move(stamp)) {
    model_.title = heading_;
}

int ListPages::rowsPerPage() const {
    return (kLastRowBottom - kFirstRowY) / kRowHeight;
}

void ListPages::startPage() {
    Page& page = model_.pages.emplace_back();
    const int right = page.width - kMargin;
    page.text(kMargin, kHeadingY, heading_, kHeadingFont);
    if (!stamp_.empty())
        page.text(kMargin, kHeadingY + 10, stamp_, kStampFont, TextAlign::Right, right - kMargin);
    page.line(kMargin, kCaptionY - 15, right, kCaptionY - 15, 3);
    for (const ListColumn& c : columns_)
        page.text(c.x, kCaptionY, c.caption, c.fixedPitch ? kFixedCaptionFont : kCaptionFont,
                  c.align, c.width);
    page.line(kMargin, kFirstRowY - 15, right, kFirstRowY - 15, 2);
    y_ = kFirstRowY;
}

void ListPages::addRow(const std::vector<std::string>& cells) {
    if (model_.pages.empty() || y_ + kRowHeight > kLastRowBottom) startPage();
    Page& page = model_.pages.back();
    for (std::size_t i = 0; i < columns_.size() && i < cells.size(); ++i) {
        const ListColumn& c = columns_[i];
        if (!cells[i].empty())
            page.text(c.x, y_, cells[i], c.fixedPitch ? kFixedRowFont : kRowFont, c.align, c.width);
    }
    y_ += kRowHeight;
    ++rows_;
}

PageModel ListPages::finish() {
    const std::string total = std::to_string(model_.pages.size());
    for (std::size_t i = 0; i < model_.pages.size(); ++i) {
        Page& page = model_.pages[i];
        page.line(kMargin, kFooterY - 15, page.width - kMargin, kFooterY - 15, 1);
        page.text(kMargin, kFooterY, "Stranica " + std::to_string(i + 1) + " od " + total,
                  kFooterFont, TextAlign::Center, page.width - 2 * kMargin);
    }
    return std::move(model_);
}

} // namespace mvz
