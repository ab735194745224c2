#include "ui/AccountForm.h"

TAccountForm* AccountForm = nullptr;

TAccountForm::TAccountForm()
{
    FormClassName = "TAccountForm";
    DesignCaption = "Account";
    DesignClientWidth = 320;
    DesignClientHeight = 150;
    Border = FormBorder::Dialog;
    Position = FormPosition::OwnerFormCenter;
}
