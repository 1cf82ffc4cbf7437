#pragma once
// The PDH calls plix makes, as one table of function pointers: the counter
// query's six, and the raw counter array that lists the processors at start.
// addCounter is PdhAddEnglishCounterW: PdhAddCounterW takes only the counter
// names of the display language, so a German Windows refuses
// "\Processor(0)\% Processor Time" there and wants "\Prozessor(0)\...".

#include <windows.h>
#include <pdh.h>

struct PdhFunctions {
    PDH_STATUS (WINAPI* openQuery)(LPCWSTR dataSource, DWORD_PTR userData, PDH_HQUERY* query);
    PDH_STATUS (WINAPI* addCounter)(PDH_HQUERY query, LPCWSTR path, DWORD_PTR userData, PDH_HCOUNTER* counter);
    PDH_STATUS (WINAPI* collectQueryData)(PDH_HQUERY query);
    PDH_STATUS (WINAPI* getFormattedCounterValue)(PDH_HCOUNTER counter, DWORD format, LPDWORD type,
                                                  PPDH_FMT_COUNTERVALUE value);
    PDH_STATUS (WINAPI* closeQuery)(PDH_HQUERY query);
    PDH_STATUS (WINAPI* removeCounter)(PDH_HCOUNTER counter);
    PDH_STATUS (WINAPI* getRawCounterArray)(PDH_HCOUNTER counter, LPDWORD bufferBytes, LPDWORD itemCount,
                                            PPDH_RAW_COUNTER_ITEM_W items);
};

using ProcedureLookup = FARPROC (WINAPI*)(HMODULE module, LPCSTR name);

// The functions of a loaded pdh.dll, found with lookup. Without the module
// or any of the counter query's six, every call fails with
// PDH_FUNCTION_NOT_FOUND and writes no handle; a missing raw array alone
// fails alone.
PdhFunctions bindPdh(HMODULE pdhModule, ProcedureLookup lookup = GetProcAddress);

// The default table: pdh.dll from System32 and nowhere else, bound on first
// use and kept for the rest of the process.
const PdhFunctions& systemPdh();
