#pragma once

// Marks a build as running for its whole extent, however it ends, so that
// what must not change under a build (the start screen's kind buttons) can
// follow TForm1::BuildInProgress.

#include "builder/wizard/WizardForm.h"

class TBuildInProgress {
public:
    explicit TBuildInProgress(TForm1& wizard) : FWizard(wizard) { FWizard.SetBuildsRunning(FWizard.FBuildsRunning + 1); }
    ~TBuildInProgress() { FWizard.SetBuildsRunning(FWizard.FBuildsRunning - 1); }
    TBuildInProgress(const TBuildInProgress&) = delete;
    TBuildInProgress& operator=(const TBuildInProgress&) = delete;

private:
    TForm1& FWizard;
};
