#pragma once
// Everything of the drawing layer in one include: handles and objects, device contexts,
// drawing and text calls, metrics, and the class library's canvas, pictures and image lists.

#include "platform/gdi/bitmap.h"
#include "platform/gdi/canvas.h"
#include "platform/gdi/color.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/geometry.h"
#include "platform/gdi/graphics_objects.h"
#include "platform/gdi/image_codec.h"
#include "platform/gdi/image_list.h"
#include "platform/gdi/region.h"
#include "platform/gdi/system_metrics.h"
#include "platform/gdi/text.h"
