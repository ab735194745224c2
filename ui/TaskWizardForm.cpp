#include "ui/TaskWizardForm.h"

TTaskWizardForm* TaskWizardForm = nullptr;

TTaskWizardForm::TTaskWizardForm()
{
    FormClassName = "TTaskWizardForm";
    DesignCaption = "New task wizard";
    DesignClientWidth = 480;
    DesignClientHeight = 380;
    Border = FormBorder::Dialog;
    Position = FormPosition::OwnerFormCenter;
}
