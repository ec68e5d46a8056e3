#pragma once
// The dataset framework in one include.

#include "platform/db/blob_field.h"
#include "platform/db/boolean_field.h"
#include "platform/db/data_source.h"
#include "platform/db/dataset.h"
#include "platform/db/date_time_fields.h"
#include "platform/db/db_consts.h"
#include "platform/db/db_types.h"
#include "platform/db/field.h"
#include "platform/db/field_defs.h"
#include "platform/db/fields.h"
#include "platform/db/numeric_fields.h"
#include "platform/db/string_field.h"
#include "platform/db/time_stamp.h"
#include "platform/db/wide_string_field.h"
