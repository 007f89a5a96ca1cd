// Resource numbers of DeZIVero.DLL.
#pragma once

#define IDS_PROJNAME 100
#define IDR_DEZIVERO 101
