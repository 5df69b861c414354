// The control's one connection point, for _ISablet2Events. It takes and
// drops advises and lists them; the control fires no event. It lives inside
// the control and counts its references on the control's.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <vector>

class EventConnectionPoint : public IConnectionPoint {
public:
    EventConnectionPoint(IConnectionPointContainer* container, REFIID events);
    ~EventConnectionPoint();
    EventConnectionPoint(const EventConnectionPoint&) = delete;
    EventConnectionPoint& operator=(const EventConnectionPoint&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

    // Drops every advise (the control is going).
    void Clear();

private:
    IConnectionPointContainer* container_;
    IID events_;
    std::vector<IUnknown*> sinks_;  // index + 1 is the cookie; null once unadvised
};

// An enumerator over the given points (each AddRef'd while listed).
HRESULT CreatePointEnumerator(IConnectionPoint* const* points, size_t count,
                              IEnumConnectionPoints** out);
