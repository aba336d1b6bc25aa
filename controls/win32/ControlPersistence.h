#pragma once
// Saving and loading a control's properties through a property bag, entry by
// entry from its table, each read or written through the control's own
// dispatch interface. The first failure ends the load or save with its error.
#include <span>

#include "controls/TextColorProperties.h"
#include "common/win32/WindowsApi.h"
#include <ocidl.h>

namespace controls::win {

// Missing entries take their defaults; the font's default is `ambientFont`.
// An entry that cannot be read as its type ends the load with the bag's
// error, a value the control refuses with the control's error.
HRESULT LoadSavedProperties(IDispatch* control, IPropertyBag* bag, IErrorLog* log, std::span<const SavedProperty> table,
                            IFont* ambientFont);

// Values equal to their defaults are not written.
HRESULT SaveSavedProperties(IDispatch* control, IPropertyBag* bag, std::span<const SavedProperty> table,
                            IFont* ambientFont);

}  // namespace controls::win
