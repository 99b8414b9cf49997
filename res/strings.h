#pragma once
// The string table.
#define IDS_FRAME_TITLE_TEXT "Harris RF-350"
#define IDS_APP_TITLE_TEXT "Harris RT-1446/URC"
