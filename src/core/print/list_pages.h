#pragma once
// The pages of a plain list: on every page the heading with the print stamp
// at its right, the column captions between two rules, then one line per
// row, and "Stranica N od M" at the foot. A4 portrait.

#include <cstddef>
#include <string>
#include <vector>

#include "print/page_model.h"

namespace mvz {

struct ListColumn {
    std::string caption;
    int x = 0; // left edge, tenths of a millimetre
    int width = 0;
    TextAlign align = TextAlign::Left;
    bool fixedPitch = false; // caption and cells in the fixed-pitch font
};

class ListPages {
  public:
    static constexpr int kMargin = 150;
    static constexpr int kRowHeight = 42;

    ListPages(std::string heading, std::vector<ListColumn> columns, std::string stamp = {});

    // One line; cells beyond the columns are ignored, missing ones are blank.
    void addRow(const std::vector<std::string>& cells);
    std::size_t rowCount() const { return rows_; }
    // Rows that fit on one page.
    int rowsPerPage() const;

    // The pages made, with their page numbers. The builder is spent.
    PageModel finish();

  private:
    void startPage();

    std::string heading_;
    std::vector<ListColumn> columns_;
    std::string stamp_;
    PageModel model_;
    int y_ = 0;
    std::size_t rows_ = 0;
};

} // namespace mvz
