#include "ui/MakeParamForm.h"

TMakeParamForm* MakeParamForm = nullptr;

TMakeParamForm::TMakeParamForm()
{
    FormClassName = "TMakeParamForm";
    DesignCaption = "Make parameter";
    DesignClientWidth = 320;
    DesignClientHeight = 200;
    Border = FormBorder::Dialog;
    Position = FormPosition::OwnerFormCenter;
}
