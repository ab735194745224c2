#pragma once
// The background check for a newer version.

#include "win32/Thread.h"

class TCheckUpdateThd : public TThread {
public:
    TCheckUpdateThd() : TThread(true) {}
    // Started by the user rather than by the interval.
    bool Manual = false;

protected:
    void Execute() override;
};

extern TCheckUpdateThd* CheckUpdateThd;
extern double OwnVersion;
extern double ServerVersion;
