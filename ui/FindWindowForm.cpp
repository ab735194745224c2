#include "ui/FindWindowForm.h"

TFindWindowForm* FindWindowForm = nullptr;

TFindWindowForm::TFindWindowForm()
{
    FormClassName = "TFindWindowForm";
    DesignCaption = "Find Window";
    DesignClientWidth = 400;
    DesignClientHeight = 300;
    Border = FormBorder::Dialog;
    Position = FormPosition::OwnerFormCenter;
}

void TFindWindowForm::OnCommandCaptured(const void*) {}
