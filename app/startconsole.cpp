#include "app/startconsole.h"

void UseStartingConsole() {}
