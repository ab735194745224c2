#include "ui/AboutForm.h"

TAboutForm* AboutForm = nullptr;

TAboutForm::TAboutForm()
{
    FormClassName = "TAboutForm";
    DesignCaption = "About Scheduler";
    DesignClientWidth = 360;
    DesignClientHeight = 200;
    Border = FormBorder::Dialog;
    Position = FormPosition::OwnerFormCenter;
}
