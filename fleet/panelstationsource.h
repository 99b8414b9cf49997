#pragma once
// The station as the fleet sees it: the panel's read side, with the
// transmitter's holder and whether the radio is heard, the web panel's
// pages and address, and the station's record as it writes. The one place
// that knows those pieces; the rest of fleet/ goes through CStationSource.
#include <QStringList>

#include "fleet/stationsource.h"
#include "reading/panelreader.h"

class CSilenceWatch;
class CStationRecord;
class CTavrinView;
class CTransmitHolder;
class CWebService;
struct ReportChanges;

class CPanelStationSource : public CStationSource {
    Q_OBJECT
public:
    // `web` may be null: no web panel.
    CPanelStationSource(CTavrinView& view, CSilenceWatch& silence, CTransmitHolder& holder, CStationRecord& record,
                        CWebService* web, QObject* parent = nullptr);

    StationState Now() const override;

private:
    void WatchPanel(CTavrinView& view, CSilenceWatch& silence, CTransmitHolder& holder);
    void WatchRecord(CStationRecord& record);
    void OnReport(const ReportChanges& changes);

    CPanelReader m_reader;
    QString m_webPanel;
    QStringList m_operators;
};
