#include "grid/vx_filter_dialog.h"

bool ShowCustomFilterDialog(TvxDBTreeListColumn*, TvxDBGridCriteria*) {
    return false;
}
