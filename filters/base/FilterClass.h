// The filter classes of one of our DirectShow DLLs: a class table entry
// with what the filter category wants besides the creator.
#pragma once

#include <windows.h>
#include <dshow.h>

#include <cstddef>
#include <new>

#include "filters/base/ClassFactory.h"

namespace filterbase {

struct FilterClass {
    const CLSID* clsid;
    // Registry name of the class and, with a category, its FriendlyName.
    const wchar_t* name;
    CreateInstanceFn create;
    // Filter category to list the filter in (IFilterMapper2), or nullptr.
    const CLSID* category;
    DWORD merit;
};

// DllGetClassObject over a table.
HRESULT GetFilterClassObject(const FilterClass* table, size_t count, REFCLSID clsid, REFIID iid,
                             void** out);

// FilterClass::create for a filter class T with a default constructor;
// filters are never aggregated.
template <class T>
HRESULT CreateFilter(IUnknown* outer, IUnknown** object) {
    if (outer) return CLASS_E_NOAGGREGATION;
    T* created = new (std::nothrow) T();
    if (!created) return E_OUTOFMEMORY;
    *object = static_cast<IBaseFilter*>(created);
    return S_OK;
}

}  // namespace filterbase
