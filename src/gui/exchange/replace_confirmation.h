#pragma once
// "Upozorenje": asks before the data are replaced (import, takeover), with
// the buttons "DA" and "Odustani"; only "DA" goes on.

class QWidget;

namespace mvz {

bool confirmReplacingData(QWidget* parent);

} // namespace mvz
