#pragma once

#include "win32/Form.h"

class TTaskOptionForm : public TForm {
public:
    TTaskOptionForm();
};

extern TTaskOptionForm* TaskOptionForm;
