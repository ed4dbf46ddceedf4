// The test executable's application object: a fixed application name so the
// tests know where the profile lives.
#pragma once

#include "framework/Framework.h"

constexpr const char* kTestAppName = "OrvaneTests";
constexpr const char* kTestConfigKey = "Software\\Tolvaine\\OrvaneTests\\Config";

CWinApp& TestApp();

// Removes the test application's whole profile.
void ClearTestProfile();

// Pumps this thread's messages for the given time.
void PumpMessages(DWORD milliseconds);
