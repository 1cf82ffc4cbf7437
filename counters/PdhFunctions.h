#pragma once
// The five PDH calls the counter query makes, as one table of function
// pointers. The default table calls the system's pdh.dll; tests hand the
// counter query a table of their own to script every status.

#include <windows.h>
#include <pdh.h>

struct PdhFunctions {
    PDH_STATUS (WINAPI* openQuery)(LPCWSTR dataSource, DWORD_PTR userData, PDH_HQUERY* query);
    PDH_STATUS (WINAPI* addCounter)(PDH_HQUERY query, LPCWSTR path, DWORD_PTR userData, PDH_HCOUNTER* counter);
    PDH_STATUS (WINAPI* collectQueryData)(PDH_HQUERY query);
    PDH_STATUS (WINAPI* getFormattedCounterValue)(PDH_HCOUNTER counter, DWORD format, LPDWORD type,
                                                  PPDH_FMT_COUNTERVALUE value);
    PDH_STATUS (WINAPI* closeQuery)(PDH_HQUERY query);
};

const PdhFunctions& systemPdh();
