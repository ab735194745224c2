#pragma once

#include "win32/Form.h"

class TMakeParamForm : public TForm {
public:
    TMakeParamForm();
};

extern TMakeParamForm* MakeParamForm;
