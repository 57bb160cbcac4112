#pragma once
#include "preview/ScreenResolution.h"

namespace orv {

// The screen's metrics from its device context, asked afresh each time, since the
// display can change while the module stays loaded.
class Win32ScreenResolution : public ScreenResolution {
public:
    bool Query(ScreenMetrics& metrics) const override;
};

}  // namespace orv
