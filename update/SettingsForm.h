#pragma once

#include "win32/Form.h"

class TSettingsForm : public TForm {
public:
    TSettingsForm();
};

extern TSettingsForm* SettingsForm;
