#include "runner/ImageForm.h"

TImageForm* ImageForm = nullptr;

TImageForm::TImageForm()
{
    FormClassName = "TImageForm";
    DesignCaption = "Scheduler";
    Position = FormPosition::Designed;
    Border = FormBorder::Dialog;
}
