#pragma once
// Resource numbers shared by the resource script and the code.
#define kToolboxBitmap 30000
#define kToolboxBitmapAlternate 30001
