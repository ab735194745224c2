#include "update/SettingsForm.h"

TSettingsForm* SettingsForm = nullptr;

TSettingsForm::TSettingsForm()
{
    FormClassName = "TSettingsForm";
    DesignCaption = "Settings";
    DesignClientWidth = 360;
    DesignClientHeight = 220;
    Border = FormBorder::Dialog;
    Position = FormPosition::OwnerFormCenter;
}
