#pragma once

#include "win32/Form.h"

class TTaskWizardForm : public TForm {
public:
    TTaskWizardForm();
};

extern TTaskWizardForm* TaskWizardForm;
