#pragma once

// The process-wide table of GDI handles behind DeviceContext.h. Internal to
// the graphics layer: canvases register their contexts here.

#include "platform/graphics/DeviceContext.h"

// Registers an object that its owner keeps alive (a canvas's context) until
// it unregisters it.
void RegisterBorrowedHandle(TGdiObject* object);
void UnregisterBorrowedHandle(TGdiObject* object);

// Coordinates of a context: logical to device and back (GDI rounding).
TPoint LogicalToDevice(const TDeviceContext& dc, TPoint p);
TPoint DeviceToLogical(const TDeviceContext& dc, TPoint p);
