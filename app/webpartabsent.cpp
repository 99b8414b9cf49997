// A build without the web panel and its sound (Windows: Qt's HTTP server,
// WebSockets and Multimedia are not there). Nothing of the part is offered.
#include "app/webpart.h"

#include "app/commandline.h"

struct CWebPartOptions::Given {};

CWebPartOptions::CWebPartOptions(QCommandLineParser&) {}

CWebPartOptions::~CWebPartOptions() = default;

bool CWebPartOptions::Take(const QCommandLineParser&, StartOptions&, QString&) const { return true; }

int CWebPartOptions::Commands(const StartOptions&) { return 0; }

std::optional<int> RunWebPartCommand(const StartOptions&, int, char*[]) { return std::nullopt; }

std::unique_ptr<CWebPart> CWebPart::Start(const StartOptions&, QString&) { return nullptr; }

void CWebPart::AddMenuEntries(QMenu*, QWidget*, std::function<CWebPart*()>) {}
