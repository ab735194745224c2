#pragma once
// The window that shows a message action's text.

#include "win32/Form.h"

class TMsgForm : public TForm {
public:
    TMsgForm();
};

extern TMsgForm* MsgForm;
