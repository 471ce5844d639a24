#include "analysis/UpdateProgress.h"

#include "analysis/frmProgress.h"
#include "platform/Events.h"

int32_t ProgressStep = 0;

void UpdateProgress(int32_t step) {
    ProgressStep = step;
    progressWindow().drawStep(step);
    // The window's only chance to repaint and to take a Cancel click.
    platform::processPendingEvents();
}
