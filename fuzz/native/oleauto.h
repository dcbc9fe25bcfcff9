// Native stand-in for the automation-string functions; see windows.h beside this file.
#pragma once

#include "windows.h"

BSTR SysAllocStringLen(const wchar_t* text, UINT units);
UINT SysStringLen(BSTR text);
void SysFreeString(BSTR text);
