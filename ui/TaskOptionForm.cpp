#include "ui/TaskOptionForm.h"

TTaskOptionForm* TaskOptionForm = nullptr;

TTaskOptionForm::TTaskOptionForm()
{
    FormClassName = "TTaskOptionForm";
    DesignCaption = "Task options";
    DesignClientWidth = 480;
    DesignClientHeight = 400;
    Border = FormBorder::Dialog;
    Position = FormPosition::OwnerFormCenter;
}
