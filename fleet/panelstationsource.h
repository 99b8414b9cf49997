#pragma once
// The station as the fleet sees it, read off what the panel has today: the
// radio's last-reported values, the silence watch, the transmitter's
// holder, the web panel's pages and address, and the station's record as
// it writes. The one place that knows those pieces; the rest of fleet/
// goes through CStationSource.
#include <QStringList>
#include <memory>

#include "fleet/stationsource.h"

class CSilenceWatch;
class CStationRecord;
class CTavrinView;
class CTransmitHolder;
class CViewRigSeam;
class CWebService;

class CPanelStationSource : public CStationSource {
    Q_OBJECT
public:
    // `web` may be null: no web panel.
    CPanelStationSource(CTavrinView& view, const CSilenceWatch& silence, CTransmitHolder& holder,
                        CStationRecord& record, CWebService* web, QObject* parent = nullptr);
    ~CPanelStationSource() override;

    StationState Now() const override;

private:
    void WatchReports(CTavrinView& view);

    std::unique_ptr<CViewRigSeam> m_rig;
    CTransmitHolder& m_holder;
    QString m_webPanel;
    QStringList m_operators;
    unsigned m_reportsSeen = 0;
};
