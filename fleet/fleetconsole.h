#pragma once
// tavrin --fleet-console: no radio and no window. It reads every station
// from the broker (tavrin/+/#) and serves the operations page over the web
// panel's own HTTPS, logins and origin checks, to operators with the watch
// role. It only reads: nothing it does reaches a station.
struct FleetCommandLine;
struct WebCommandLine;

// The program's exit status: 2 when it cannot start (no watcher, a bad
// certificate, a port in use, a broker it cannot use).
int RunFleetConsole(int argc, char* argv[], const FleetCommandLine& fleetNamed, const WebCommandLine& web);
