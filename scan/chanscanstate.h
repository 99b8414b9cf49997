#pragma once
// The channel the scan reached last; a new scan starts just before Lower.
extern int g_nScanPos;
