// Test-only stand-in for the system's audio capture filter, which Wine has
// without pins. It takes that filter's class, so the audio capture
// category's monikers bind to it; the moniker's "WaveInID" names the
// wave-in device it records.
//
// Pins: the output "Capture" (PCM in the format set through
// IAMStreamConfig, buffers as suggested through IAMBufferNegotiation), and
// one input pin per recording line, each with IAMAudioInputMixer. The
// lines are the system's wave-in sources, the filter's own device first:
// enabling a line records from that source, at the line's level and pan.
#pragma once

#include <windows.h>
#include <dshow.h>

#include <memory>
#include <string>
#include <vector>

#include "filters/base/BaseFilter.h"
#include "filters/base/BasePin.h"
#include "filters/base/SourceStreamPin.h"
#include "standins/audiocapture/WaveInCapture.h"
#include "standins/audiocapture/LineGain.h"

class AudioCaptureFilter;

class CaptureOutputPin : public filterbase::SourceStreamPin,
                         public IAMStreamConfig,
                         public IAMBufferNegotiation {
public:
    explicit CaptureOutputPin(AudioCaptureFilter* filter);
    ~CaptureOutputPin() override;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    FILTERBASE_FORWARD_ADDREF_RELEASE(filterbase::SourceStreamPin)

    HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override;
    HRESULT GetMediaType(int index, filterbase::MediaType* out) override;
    HRESULT Active() override;

    // IAMStreamConfig
    STDMETHODIMP SetFormat(AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP GetFormat(AM_MEDIA_TYPE** mt) override;
    STDMETHODIMP GetNumberOfCapabilities(int* count, int* size) override;
    STDMETHODIMP GetStreamCaps(int index, AM_MEDIA_TYPE** mt, BYTE* caps) override;

    // IAMBufferNegotiation
    STDMETHODIMP SuggestAllocatorProperties(const ALLOCATOR_PROPERTIES* props) override;
    STDMETHODIMP GetAllocatorProperties(ALLOCATOR_PROPERTIES* props) override;

protected:
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    // Streaming thread: the wave-in device of the enabled line is opened
    // (again after a line switch) and each of its buffers becomes a sample.
    HRESULT OnThreadStart() override;
    void OnThreadStop() override;
    HRESULT FillBuffer(IMediaSample* sample) override;

private:
    AudioCaptureFilter* owner_;
    filterbase::MediaType format_;
    ALLOCATOR_PROPERTIES suggested_ = {-1, -1, -1, -1};
    // Set as the filter becomes active; then the streaming thread's alone.
    WAVEFORMATEX streamFormat_ = {};
    DWORD deviceBufferBytes_ = 0;
    int deviceBufferCount_ = 0;
    WaveInCapture device_;
    WAVEHDR* pending_ = nullptr;  // filled buffer not yet wholly delivered
    DWORD pendingOffset_ = 0;
    LONGLONG frames_ = 0;
    REFERENCE_TIME timeBase_ = 0;  // stream time of the first frame
};

class LinePin : public filterbase::BasePin, public IAMAudioInputMixer {
public:
    LinePin(AudioCaptureFilter* filter, int line, const std::wstring& name);

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    FILTERBASE_FORWARD_ADDREF_RELEASE(filterbase::BasePin)

    // A line is fed by the device, never through a connection.
    HRESULT CheckMediaType(const AM_MEDIA_TYPE&) override { return VFW_E_TYPE_NOT_ACCEPTED; }

    // IAMAudioInputMixer
    STDMETHODIMP put_Enable(BOOL enable) override;
    STDMETHODIMP get_Enable(BOOL* enable) override;
    STDMETHODIMP put_Mono(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP get_Mono(BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_MixLevel(double level) override;
    STDMETHODIMP get_MixLevel(double* level) override;
    STDMETHODIMP put_Pan(double pan) override;
    STDMETHODIMP get_Pan(double* pan) override;
    STDMETHODIMP put_Loudness(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP get_Loudness(BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_Treble(double) override { return E_NOTIMPL; }
    STDMETHODIMP get_Treble(double*) override { return E_NOTIMPL; }
    STDMETHODIMP get_TrebleRange(double*) override { return E_NOTIMPL; }
    STDMETHODIMP put_Bass(double) override { return E_NOTIMPL; }
    STDMETHODIMP get_Bass(double*) override { return E_NOTIMPL; }
    STDMETHODIMP get_BassRange(double*) override { return E_NOTIMPL; }

private:
    AudioCaptureFilter* owner_;
    int line_;
};

class AudioCaptureFilter : public filterbase::BaseFilter, public IPersistPropertyBag {
public:
    AudioCaptureFilter();

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    FILTERBASE_FORWARD_ADDREF_RELEASE(filterbase::BaseFilter)
    STDMETHODIMP GetClassID(CLSID* clsid) override { return BaseFilter::GetClassID(clsid); }

    // IPersistPropertyBag
    STDMETHODIMP InitNew() override { return S_OK; }
    STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
    STDMETHODIMP Save(IPropertyBag*, BOOL, BOOL) override { return E_NOTIMPL; }

    int PinCount() override;
    filterbase::BasePin* PinAt(int index) override;

    // Recording lines, used by their pins (any thread).
    void EnableLine(int line, bool enable);
    bool LineEnabled(int line);
    HRESULT SetLineGain(int line, double level, double pan);
    LineGain GetLineGain(int line);
    // The wave-in device of the enabled line and its gain.
    UINT CurrentSource(LineGain* gain);

protected:
    ~AudioCaptureFilter() override = default;
    bool IsLiveSource() const override { return true; }

private:
    struct Line {
        UINT waveInId;
        LineGain gain;
        std::unique_ptr<LinePin> pin;
    };

    UINT ownDevice_ = 0;
    bool loaded_ = false;
    CaptureOutputPin output_;
    std::vector<Line> lines_;
    int enabledLine_ = 0;
    // Guards the lines; the streaming thread takes it only for a moment.
    filterbase::CriticalSection lineLock_;
};
