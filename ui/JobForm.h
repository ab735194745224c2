#pragma once
// The action editor.

#include "win32/Form.h"

class TJobForm : public TForm {
public:
    TJobForm();
    // A tried-out action has finished.
    void EndTest();
};

extern TJobForm* JobForm;
// True while the editor tries an action out; its workers then report to it.
extern bool JobTestRunning;
