#include "control/ConnectionPoint.h"

#include <olectl.h>

#include <new>

#include "filters/base/Module.h"

namespace {

void Hold(IConnectionPoint* point) { point->AddRef(); }
void Drop(IConnectionPoint* point) { point->Release(); }
void Hold(CONNECTDATA& data) { data.pUnk->AddRef(); }
void Drop(CONNECTDATA& data) { data.pUnk->Release(); }

// A snapshot enumerator; it holds the module, as it runs the DLL's code.
template <class Base, class Item>
class Enumerator final : public Base {
public:
    Enumerator(const IID& iid, std::vector<Item> items, size_t at = 0)
        : iid_(iid), items_(std::move(items)), at_(at) {
        for (Item& item : items_) Hold(item);
        filterbase::LockModule();
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, iid_)) {
            *out = static_cast<Base*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return left;
    }
    STDMETHODIMP Next(ULONG count, Item* out, ULONG* fetched) override {
        if (!out || (count > 1 && !fetched)) return E_POINTER;
        ULONG n = 0;
        for (; n < count && at_ < items_.size(); ++n, ++at_) {
            out[n] = items_[at_];
            Hold(out[n]);
        }
        if (fetched) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override {
        size_t left = items_.size() - at_;
        at_ += count < left ? count : left;
        return count <= left ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override {
        at_ = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(Base** out) override {
        if (!out) return E_POINTER;
        *out = new (std::nothrow) Enumerator(iid_, items_, at_);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

private:
    ~Enumerator() {
        for (Item& item : items_) Drop(item);
        filterbase::UnlockModule();
    }
    LONG refs_ = 1;
    IID iid_;
    std::vector<Item> items_;
    size_t at_;
};

}  // namespace

EventConnectionPoint::EventConnectionPoint(IConnectionPointContainer* container, REFIID events)
    : container_(container), events_(events) {}

EventConnectionPoint::~EventConnectionPoint() { Clear(); }

void EventConnectionPoint::Clear() {
    std::vector<IUnknown*> sinks;
    sinks.swap(sinks_);
    for (IUnknown* sink : sinks)
        if (sink) sink->Release();
}

STDMETHODIMP EventConnectionPoint::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
        *out = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) EventConnectionPoint::AddRef() { return container_->AddRef(); }
STDMETHODIMP_(ULONG) EventConnectionPoint::Release() { return container_->Release(); }

STDMETHODIMP EventConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = events_;
    return S_OK;
}

STDMETHODIMP EventConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (!out) return E_POINTER;
    *out = container_;
    container_->AddRef();
    return S_OK;
}

STDMETHODIMP EventConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!sink) return E_POINTER;
    // A dispinterface sink may answer only IDispatch.
    IUnknown* held = nullptr;
    if (FAILED(sink->QueryInterface(events_, reinterpret_cast<void**>(&held))) &&
        FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&held))))
        return CONNECT_E_CANNOTCONNECT;
    for (size_t i = 0; i < sinks_.size(); ++i) {
        if (!sinks_[i]) {
            sinks_[i] = held;
            *cookie = static_cast<DWORD>(i + 1);
            return S_OK;
        }
    }
    sinks_.push_back(held);
    *cookie = static_cast<DWORD>(sinks_.size());
    return S_OK;
}

STDMETHODIMP EventConnectionPoint::Unadvise(DWORD cookie) {
    if (cookie == 0 || cookie > sinks_.size() || !sinks_[cookie - 1]) return CONNECT_E_NOCONNECTION;
    IUnknown* sink = sinks_[cookie - 1];
    sinks_[cookie - 1] = nullptr;
    sink->Release();
    return S_OK;
}

STDMETHODIMP EventConnectionPoint::EnumConnections(IEnumConnections** out) {
    if (!out) return E_POINTER;
    std::vector<CONNECTDATA> items;
    for (size_t i = 0; i < sinks_.size(); ++i)
        if (sinks_[i]) items.push_back(CONNECTDATA{sinks_[i], static_cast<DWORD>(i + 1)});
    *out = new (std::nothrow)
        Enumerator<IEnumConnections, CONNECTDATA>(IID_IEnumConnections, std::move(items));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT CreatePointEnumerator(IConnectionPoint* const* points, size_t count,
                              IEnumConnectionPoints** out) {
    if (!out) return E_POINTER;
    *out = new (std::nothrow) Enumerator<IEnumConnectionPoints, IConnectionPoint*>(
        IID_IEnumConnectionPoints, std::vector<IConnectionPoint*>(points, points + count));
    return *out ? S_OK : E_OUTOFMEMORY;
}
