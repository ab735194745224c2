#include "ui/JobForm.h"

TJobForm* JobForm = nullptr;
bool JobTestRunning = false;

TJobForm::TJobForm()
{
    FormClassName = "TJobForm";
    DesignCaption = "Action";
    DesignClientWidth = 480;
    DesignClientHeight = 400;
    Border = FormBorder::Dialog;
    Position = FormPosition::OwnerFormCenter;
}

void TJobForm::EndTest() { JobTestRunning = false; }
