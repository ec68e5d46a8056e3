#include "app/unattended_run.h"

bool UnattendedRun = false;
int JobExitStatus = jeDone;
