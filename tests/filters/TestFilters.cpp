#include "TestFilters.h"

#include <uuids.h>

#include <cstring>

using filterbase::Lock;
using filterbase::MediaType;

namespace testfilters {

int RampValue(long long frame, int channel, int channels, int bits) {
    long long n = frame * channels + channel;
    if (bits == 8) return static_cast<int>(n & 0xFF);
    return static_cast<int>(static_cast<short>(n & 0xFFFF));
}

// ---- RampSource ----

class RampSource::Pin : public filterbase::SourceStreamPin {
public:
    Pin(RampSource* filter, WORD channels, DWORD rate, WORD bits, long long total,
        std::vector<int> chunks, double speed)
        : SourceStreamPin(filter, L"Output"),
          type_(MediaType::Pcm(channels, rate, bits)),
          total_(total),
          chunks_(std::move(chunks)),
          speed_(speed) {}
    ~Pin() override { StopThread(); }

    HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override {
        return MediaType::MatchesPartial(type_.Get(), mt) && MediaType::IsComplete(mt) &&
                       mt.cbFormat == type_->cbFormat &&
                       memcmp(mt.pbFormat, type_->pbFormat, mt.cbFormat) == 0
                   ? S_OK
                   : S_FALSE;
    }
    HRESULT GetMediaType(int index, MediaType* out) override {
        if (index != 0) return VFW_S_NO_MORE_ITEMS;
        return out->Set(type_.Get());
    }
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override {
        int largest = 1;
        for (int c : chunks_) largest = c > largest ? c : largest;
        return SetAllocatorSize(allocator, *request, 4, largest * type_.Wave()->nBlockAlign);
    }
    HRESULT OnThreadStart() override {
        sent_ = 0;
        next_ = 0;
        return S_OK;
    }
    HRESULT FillBuffer(IMediaSample* sample) override {
        const WAVEFORMATEX* wf = type_.Wave();
        if (sent_ >= total_) return S_FALSE;
        long long frames = chunks_[next_++ % chunks_.size()];
        if (frames > total_ - sent_) frames = total_ - sent_;
        BYTE* p = nullptr;
        sample->GetPointer(&p);
        for (long long f = 0; f < frames; ++f) {
            for (int c = 0; c < wf->nChannels; ++c) {
                int v = RampValue(sent_ + f, c, wf->nChannels, wf->wBitsPerSample);
                if (wf->wBitsPerSample == 8) {
                    *p++ = static_cast<BYTE>(v);
                } else {
                    short s = static_cast<short>(v);
                    memcpy(p, &s, 2);
                    p += 2;
                }
            }
        }
        sample->SetActualDataLength(static_cast<long>(frames * wf->nBlockAlign));
        REFERENCE_TIME start = sent_ * 10000000LL / wf->nSamplesPerSec;
        REFERENCE_TIME stop = (sent_ + frames) * 10000000LL / wf->nSamplesPerSec;
        sample->SetTime(&start, &stop);
        sample->SetSyncPoint(TRUE);
        sample->SetDiscontinuity(sent_ == 0);
        InterlockedExchangeAdd64(&sent_, frames);
        if (speed_ > 0) {
            DWORD ms = static_cast<DWORD>(frames * 1000 / wf->nSamplesPerSec / speed_);
            if (WaitForSingleObject(StopEvent(), ms) == WAIT_OBJECT_0) return S_FALSE;
        }
        return S_OK;
    }
    long long Sent() const { return sent_; }

private:
    MediaType type_;
    long long total_;
    std::vector<int> chunks_;
    double speed_;
    volatile LONGLONG sent_ = 0;
    size_t next_ = 0;
};

static const CLSID kRampSourceClass = {0x5b0e1a11, 0x2f6d, 0x4c1e, {1, 2, 3, 4, 5, 6, 7, 8}};
static const CLSID kCollectSinkClass = {0x5b0e1a12, 0x2f6d, 0x4c1e, {1, 2, 3, 4, 5, 6, 7, 8}};

RampSource::RampSource(WORD channels, DWORD rate, WORD bits, long long totalFrames,
                       std::vector<int> chunkFrames, double speed)
    : BaseFilter(kRampSourceClass, AM_FILTER_MISC_FLAGS_IS_SOURCE),
      pin_(new Pin(this, channels, rate, bits, totalFrames, std::move(chunkFrames), speed)) {}

filterbase::BasePin* RampSource::PinAt(int index) { return index == 0 ? pin_.get() : nullptr; }

long long RampSource::FramesSent() const { return pin_->Sent(); }

// ---- CollectSink ----

class CollectSink::Pin : public filterbase::InputPin {
public:
    Pin(CollectSink* filter, const AM_MEDIA_TYPE* only)
        : InputPin(filter, L"Input"), owner_(filter), arrived_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
        if (only) only_.Set(*only);
    }
    ~Pin() override { CloseHandle(arrived_); }

    HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override {
        if (!only_.Empty())
            return MediaType::IsComplete(mt) && MediaType::MatchesPartial(mt, only_.Get()) ? S_OK : S_FALSE;
        return MediaType::IsPcm(mt) ? S_OK : S_FALSE;
    }
    HRESULT GetMediaType(int index, MediaType* out) override {
        if (only_.Empty() || index != 0) return VFW_S_NO_MORE_ITEMS;
        return out->Set(only_.Get());
    }
    HRESULT OnReceive(IMediaSample* sample) override {
        if (stalls_) {
            while (owner_->State() != State_Stopped && !Flushing()) Sleep(5);
            return S_FALSE;
        }
        if (prerolls_ && owner_->State() == State_Paused) {
            prerolled_ = true;
            while (owner_->State() == State_Paused && !Flushing()) Sleep(5);
            if (owner_->State() == State_Stopped) return VFW_E_WRONG_STATE;
        }
        BYTE* p = nullptr;
        sample->GetPointer(&p);
        long n = sample->GetActualDataLength();
        {
            Lock lock(dataLock_);
            bytes_.insert(bytes_.end(), p, p + n);
            ++samples_;
        }
        SetEvent(arrived_);
        return S_OK;
    }
    HRESULT Active() override {
        prerolled_ = false;
        return InputPin::Active();
    }
    HRESULT OnEndOfStream() override {
        prerolled_ = true;
        eos_ = true;
        if (owner_->State() == State_Running)
            owner_->NotifyEvent(EC_COMPLETE, S_OK, reinterpret_cast<LONG_PTR>(owner_));
        SetEvent(arrived_);
        return S_OK;
    }

    CollectSink* owner_;
    MediaType only_;
    filterbase::CriticalSection dataLock_;
    std::vector<BYTE> bytes_;
    int samples_ = 0;
    volatile bool eos_ = false;
    bool prerolls_ = false;
    bool stalls_ = false;
    volatile bool prerolled_ = false;
    HANDLE arrived_;
};

CollectSink::CollectSink()
    : BaseFilter(kCollectSinkClass, AM_FILTER_MISC_FLAGS_IS_RENDERER), pin_(new Pin(this, nullptr)) {}

CollectSink::CollectSink(const AM_MEDIA_TYPE& only)
    : BaseFilter(kCollectSinkClass, AM_FILTER_MISC_FLAGS_IS_RENDERER), pin_(new Pin(this, &only)) {}

filterbase::BasePin* CollectSink::PinAt(int index) { return index == 0 ? pin_.get() : nullptr; }

CollectSink* CollectSink::Prerolling() {
    auto* sink = new CollectSink();
    sink->pin_->prerolls_ = true;
    return sink;
}

CollectSink* CollectSink::Stalling() {
    auto* sink = new CollectSink();
    sink->pin_->stalls_ = true;
    return sink;
}

STDMETHODIMP CollectSink::GetState(DWORD timeoutMs, FILTER_STATE* state) {
    HRESULT hr = BaseFilter::GetState(timeoutMs, state);
    if (SUCCEEDED(hr) && pin_->prerolls_ && *state == State_Paused && !pin_->prerolled_ &&
        pin_->IsConnected())
        return VFW_S_STATE_INTERMEDIATE;
    return hr;
}

std::vector<BYTE> CollectSink::Bytes() {
    Lock lock(pin_->dataLock_);
    return pin_->bytes_;
}

int CollectSink::Samples() {
    Lock lock(pin_->dataLock_);
    return pin_->samples_;
}

bool CollectSink::EndOfStreamSeen() { return pin_->eos_; }

const MediaType& CollectSink::Type() { return pin_->CurrentType(); }

bool CollectSink::WaitForBytes(size_t bytes, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        {
            Lock lock(pin_->dataLock_);
            if (pin_->bytes_.size() >= bytes) return true;
        }
        DWORD spent = GetTickCount() - start;
        if (spent >= timeoutMs) return false;
        WaitForSingleObject(pin_->arrived_, timeoutMs - spent);
    }
}

// ---- Graph ----

Graph::Graph() {
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                filterbase::OutVoid(builder))))
        return;
    builder->QueryInterface(IID_IMediaControl, filterbase::OutVoid(control));
    builder->QueryInterface(IID_IMediaEvent, filterbase::OutVoid(events));
}

Graph::~Graph() {
    if (control) control->Stop();
}

ComPtr<IBaseFilter> Create(const CLSID& clsid) {
    ComPtr<IBaseFilter> filter;
    CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, filterbase::OutVoid(filter));
    return filter;
}

HRESULT Graph::Add(IBaseFilter* filter, const wchar_t* name) { return builder->AddFilter(filter, name); }

ComPtr<IPin> FindPin(IBaseFilter* filter, PIN_DIRECTION dir, int index) {
    ComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins.GetAddressOf()))) return {};
    for (;;) {
        ComPtr<IPin> pin;
        if (pins->Next(1, pin.GetAddressOf(), nullptr) != S_OK) return {};
        PIN_DIRECTION d;
        pin->QueryDirection(&d);
        if (d == dir && index-- == 0) return pin;
    }
}

HRESULT Graph::Connect(IBaseFilter* from, IBaseFilter* to, const AM_MEDIA_TYPE* mt, int outIndex,
                       int inIndex) {
    ComPtr<IPin> out = FindPin(from, PINDIR_OUTPUT, outIndex);
    ComPtr<IPin> in = FindPin(to, PINDIR_INPUT, inIndex);
    return (out && in) ? builder->ConnectDirect(out.Get(), in.Get(), mt) : E_FAIL;
}

bool Graph::NextEvent(DWORD timeoutMs, long* code, LONG_PTR* p1, LONG_PTR* p2) {
    // Wine's GetEvent can answer E_ABORT at once with an empty queue rather
    // than wait, so poll until the time is up.
    DWORD start = GetTickCount();
    for (;;) {
        if (SUCCEEDED(events->GetEvent(code, p1, p2, 0))) {
            events->FreeEventParams(*code, *p1, *p2);
            return true;
        }
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(5);
    }
}

}  // namespace testfilters
