#include "gui/support/modal_steps.h"

#include <QApplication>
#include <QTimer>

namespace mvz {

std::uint8_t runWith(ProcedureWindow& w, std::function<void()> steps) {
    QTimer::singleShot(0, &w, [&w, steps] {
        QApplication::setActiveWindow(&w);
        steps();
        QTimer::singleShot(0, &w, [&w] {
            if (!w.isDead()) w.endWindow();
        });
    });
    return w.run();
}

} // namespace mvz
