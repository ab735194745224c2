#pragma once
// The full-screen window of the picture actions.

#include "win32/Form.h"

class TImageForm : public TForm {
public:
    TImageForm();
};

extern TImageForm* ImageForm;
