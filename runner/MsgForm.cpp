#include "runner/MsgForm.h"

TMsgForm* MsgForm = nullptr;

TMsgForm::TMsgForm()
{
    FormClassName = "TMsgForm";
    DesignCaption = "Scheduler";
    DesignClientWidth = 400;
    DesignClientHeight = 200;
    Border = FormBorder::Dialog;
    MinimizeBox = false;
    MaximizeBox = false;
}
