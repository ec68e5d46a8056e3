#include "app/common/unattended_run.h"
