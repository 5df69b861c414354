// IPin shared by input and output pins: connection state, connection media
// type, identity, media type enumeration and disconnection. A pin belongs to
// one filter; its reference count is the filter's.
#pragma once

#include <windows.h>
#include <dshow.h>

#include <string>

#include "filters/base/BaseFilter.h"
#include "filters/base/MediaType.h"

namespace filterbase {

class BaseFilter;

class BasePin : public IPin {
public:
    virtual ~BasePin();

    // IUnknown: the filter's count. Derived pins adding interfaces override
    // QueryInterface and fall back to this one.
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IPin. Connect and ReceiveConnection belong to one direction each;
    // here they answer E_UNEXPECTED, as do the stream calls on an output.
    STDMETHODIMP Connect(IPin* receiver, const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP Disconnect() override;
    STDMETHODIMP ConnectedTo(IPin** pin) override;
    STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP QueryPinInfo(PIN_INFO* info) override;
    STDMETHODIMP QueryDirection(PIN_DIRECTION* dir) override;
    STDMETHODIMP QueryId(LPWSTR* id) override;
    STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP EnumMediaTypes(IEnumMediaTypes** types) override;
    STDMETHODIMP QueryInternalConnections(IPin** pins, ULONG* count) override;
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;
    STDMETHODIMP NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    // Whether a type can be used on this pin (S_OK) or not (an error or S_FALSE).
    virtual HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) = 0;
    // The index-th preferred type: S_OK, or VFW_S_NO_MORE_ITEMS past the end.
    virtual HRESULT GetMediaType(int index, MediaType* out);

    // Called by the filter on Stop->Pause (Active) and on Stop (Inactive).
    virtual HRESULT Active() { return S_OK; }
    virtual HRESULT Inactive() { return S_OK; }

    bool IsConnected() const { return static_cast<bool>(connected_); }
    // The peer, without a reference (valid while connected).
    IPin* Peer() const { return connected_.Get(); }
    const MediaType& CurrentType() const { return mt_; }
    PIN_DIRECTION Direction() const { return dir_; }
    const std::wstring& Name() const { return name_; }
    BaseFilter* Filter() const { return filter_; }

protected:
    BasePin(BaseFilter* filter, PIN_DIRECTION dir, const wchar_t* name);

    // Takes the connection type (after CheckMediaType accepted it).
    virtual HRESULT SetMediaType(const AM_MEDIA_TYPE& mt);
    // The peer is known and the type set; a failure undoes the connection.
    virtual HRESULT CompleteConnect(IPin*) { return S_OK; }
    // The connection is going (the peer reference is dropped after this).
    virtual void BreakConnect() {}

    // Drops the peer and the type (no hooks).
    void ClearConnection();

    BaseFilter* filter_;
    PIN_DIRECTION dir_;
    std::wstring name_;
    ComPtr<IPin> connected_;
    MediaType mt_;
    REFERENCE_TIME segmentStart_ = 0;
    REFERENCE_TIME segmentStop_ = 0;
    double segmentRate_ = 1.0;
};

}  // namespace filterbase
