#include "web/weblog.h"

Q_LOGGING_CATEGORY(lcWeb, "tavrin.web")
