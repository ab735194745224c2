#pragma once
// The Find Window tool: picks a target window and, while capturing, the
// command identifiers that the hook library reports.

#include "win32/Form.h"

class TFindWindowForm : public TForm {
public:
    TFindWindowForm();
    bool Capturing() const { return m_capturing; }
    void OnCommandCaptured(const void* data);

private:
    bool m_capturing = false;
};

extern TFindWindowForm* FindWindowForm;
