#include "app/unattended_run.h"

