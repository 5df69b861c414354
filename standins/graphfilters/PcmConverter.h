// Test-prefix stand-in for the system's "PCM" audio converter, which Wine
// lacks: any PCM in, PCM out in the shape set through IAMStreamConfig on
// the output pin (channels, rate, 8/16 bits). Listed in the audio
// compressor category as "PCM".
#pragma once

#include <windows.h>
#include <dshow.h>

#include <vector>

#include "filters/base/TransformFilter.h"
#include "standins/graphfilters/PcmConvert.h"

// {58DE49C6-192E-4E7E-BB20-B63FD585B858}
inline constexpr CLSID CLSID_PcmConverterStandin = {
    0x58de49c6, 0x192e, 0x4e7e, {0xbb, 0x20, 0xb6, 0x3f, 0xd5, 0x85, 0xb8, 0x58}};

class PcmConverter : public filterbase::TransformFilter {
public:
    PcmConverter();

    HRESULT CheckInputType(const AM_MEDIA_TYPE& mt) override;
    HRESULT CheckOutputType(const AM_MEDIA_TYPE& in, const AM_MEDIA_TYPE& out) override;
    HRESULT GetOutputType(int index, filterbase::MediaType* out) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    HRESULT Receive(IMediaSample* in) override;
    HRESULT OnEndOfStream() override;
    HRESULT OnBeginFlush() override;
    HRESULT OnInputConnected() override;
    HRESULT OnOutputConnected() override;

    // The shape asked for through IAMStreamConfig (empty: follow the input).
    filterbase::MediaType& RequestedType() { return requested_; }

protected:
    HRESULT OnStop() override;

private:
    class OutputPin;
    HRESULT DeliverBytes(const std::vector<BYTE>& bytes, REFERENCE_TIME* start);

    filterbase::MediaType requested_;
    PcmConvert convert_;
    REFERENCE_TIME nextStart_ = 0;
};
