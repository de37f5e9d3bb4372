#pragma once
// What a tagging run needs of the window that started it. The run calls these from its worker
// thread; an implementation carries each call out on the window's own thread.

#include <string>

#include "engine/RunSummary.h"

class TaggingRunView {
public:
    virtual ~TaggingRunView() = default;
    // Replaces the status line's text.
    virtual void SetStatusText(const std::string& text) = 0;
    // Starts and stops the busy indicator's animation.
    virtual void StartBusyAnimation() = 0;
    virtual void StopBusyAnimation() = 0;
    // True when hot folder n (1..4) takes part in the run.
    virtual bool IsHotFolderEnabled(int n) = 0;
    // Marks the window idle again: the running flag is cleared.
    virtual void ClearRunningFlag() = 0;
    // Enables the controls that the start of the run disabled.
    virtual void EnableRunControls() = 0;
    // Hides the busy indicator.
    virtual void HideBusyIndicator() = 0;
    // The counts of the run so far: once before the GPX file is read, once the hot folders are
    // listed, and after every photo.
    virtual void ShowRunProgress(const RunSummary& counts) = 0;
    // The counts of the whole run, once after its last photo.
    virtual void ShowRunSummary(const RunSummary& counts) = 0;
};
