// Self-registration of our filter DLLs: per class HKCR\CLSID\{clsid} with
// its name, InprocServer32 = this DLL with ThreadingModel "Both", and, for a
// class with a category, an entry in that filter category (through
// IFilterMapper2) whose FriendlyName is the class name.
#pragma once

#include <windows.h>

#include <cstddef>

#include "filters/base/FilterClass.h"
#include "filters/base/Module.h"

namespace filterbase {

HRESULT RegisterFilterClasses(const FilterClass* table, size_t count);
HRESULT UnregisterFilterClasses(const FilterClass* table, size_t count);

}  // namespace filterbase

// Defines the four exports of a COM DLL over a FilterClass table. Link the
// DLL with filters/base/ComDll.def (brindle_com_dll does) for plain names.
#define FILTERBASE_COM_DLL(table)                                                          \
    STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {                     \
        return filterbase::GetFilterClassObject(table, sizeof(table) / sizeof(table[0]),   \
                                                clsid, iid, out);                          \
    }                                                                                      \
    STDAPI DllCanUnloadNow() { return filterbase::ModuleInUse() ? S_FALSE : S_OK; }        \
    STDAPI DllRegisterServer() {                                                           \
        return filterbase::RegisterFilterClasses(table, sizeof(table) / sizeof(table[0])); \
    }                                                                                      \
    STDAPI DllUnregisterServer() {                                                         \
        return filterbase::UnregisterFilterClasses(table, sizeof(table) / sizeof(table[0])); \
    }
