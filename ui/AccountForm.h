#pragma once

#include "win32/Form.h"

class TAccountForm : public TForm {
public:
    TAccountForm();
};

extern TAccountForm* AccountForm;
