#include "ui/window_button.h"

#include <QPushButton>

namespace mvz {

QPushButton* windowButton(const char* caption, const char* tip, QWidget* parent) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    if (tip && *tip) {
        b->setToolTip(QString::fromUtf8(tip));
        b->setStatusTip(QString::fromUtf8(tip));
    }
    return b;
}

} // namespace mvz
