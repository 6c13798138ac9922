// Where a bulk transfer shows its progress besides its own dialog: the
// picture preview for pictures, the font preview for fonts.
#pragma once

#include <functional>

class CProgressTarget {
public:
    virtual ~CProgressTarget() = default;
    // After every piece, on the user-interface thread, while the worker waits.
    virtual void ShowSendProgress(int sent, int total) = 0;
    // The transfer's dialog is going: back to the idle display.
    virtual void EndSendProgress() = 0;
};

// Finds (creating and activating it if needed) the view that shows the
// progress of a transfer kind (BULK_TARGET_PICTURE, BULK_TARGET_FONT); null
// when there is none.
using ProgressTargetFn = std::function<CProgressTarget *(int target)>;
