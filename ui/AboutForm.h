#pragma once

#include "win32/Form.h"

class TAboutForm : public TForm {
public:
    TAboutForm();
};

extern TAboutForm* AboutForm;
