#include "standins/graphfilters/InfTee.h"

#include <uuids.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "filters/base/TransformFilter.h"
#include "filters/base/OutputQueue.h"

using filterbase::Lock;
using filterbase::MediaType;

class InfTee::Input : public filterbase::InputPin {
public:
    explicit Input(InfTee* tee) : InputPin(tee, L"Input"), tee_(tee) {}
    HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override { return tee_->CheckInputType(mt); }

protected:
    HRESULT OnReceive(IMediaSample* sample) override { return tee_->Deliver(sample); }
    HRESULT OnEndOfStream() override { return tee_->EndOfStreamAll(); }
    HRESULT OnBeginFlush() override { return tee_->BeginFlushAll(); }
    HRESULT OnEndFlush() override { return tee_->EndFlushAll(); }
    HRESULT OnNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override {
        return tee_->NewSegmentAll(start, stop, rate);
    }

private:
    InfTee* tee_;
};

class InfTee::Output : public filterbase::OutputPin {
public:
    Output(InfTee* tee, const wchar_t* name) : OutputPin(tee, name), tee_(tee), queue_(this) {}

    filterbase::OutputQueue& Queue() { return queue_; }

    HRESULT Active() override {
        HRESULT hr = OutputPin::Active();
        if (SUCCEEDED(hr) && IsConnected()) queue_.Start();
        return hr;
    }
    HRESULT Inactive() override {
        queue_.Stop();
        return OutputPin::Inactive();
    }

    HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override {
        const MediaType* in = tee_->InputType();
        if (!in) return VFW_E_NOT_CONNECTED;
        return MediaType::IsComplete(mt) && MediaType::MatchesPartial(mt, in->Get()) ? S_OK
                                                                                     : S_FALSE;
    }
    HRESULT GetMediaType(int index, MediaType* out) override {
        const MediaType* in = tee_->InputType();
        if (index != 0 || !in) return VFW_S_NO_MORE_ITEMS;
        return out->Set(in->Get());
    }

protected:
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override {
        long size = 64 * 1024;
        ALLOCATOR_PROPERTIES props = {};
        IMemAllocator* upstream = tee_->input_->Allocator();
        if (upstream && SUCCEEDED(upstream->GetProperties(&props)) && props.cbBuffer > 0)
            size = props.cbBuffer;
        return SetAllocatorSize(allocator, *request, 4, size);
    }
    HRESULT CompleteConnect(IPin*) override {
        tee_->OutputConnected();
        return S_OK;
    }

private:
    InfTee* tee_;
    filterbase::OutputQueue queue_;
};

// {F8388A40-D5BB-11d0-BE5A-0080C706568E} is the system tee's class; this
// filter is registered under it in the test prefix only.
InfTee::InfTee() : BaseFilter(CLSID_InfTee), input_(new Input(this)) { AddOutput(); }

void InfTee::AddOutput() {
    wchar_t name[32];
    swprintf(name, 32, L"Output%u", static_cast<unsigned>(outputs_.size() + 1));
    outputs_.emplace_back(new Output(this, name));
    if (outputs_.size() == 1) outputs_.front()->PassSeekingFrom(input_.get());
}

int InfTee::PinCount() {
    Lock lock(FilterLock());
    return 1 + static_cast<int>(outputs_.size());
}

filterbase::BasePin* InfTee::PinAt(int index) {
    Lock lock(FilterLock());
    if (index == 0) return input_.get();
    if (index < 1 || index > static_cast<int>(outputs_.size())) return nullptr;
    return outputs_[index - 1].get();
}

HRESULT InfTee::CheckInputType(const AM_MEDIA_TYPE& mt) {
    if (!MediaType::IsComplete(mt)) return S_FALSE;
    // Outputs already connected keep their type: a new input must match it.
    for (auto& out : outputs_)
        if (out->IsConnected() && !MediaType::MatchesPartial(mt, out->CurrentType().Get()))
            return S_FALSE;
    return S_OK;
}

const MediaType* InfTee::InputType() { return input_->IsConnected() ? &input_->CurrentType() : nullptr; }

void InfTee::OutputConnected() {
    // Called within Connect, under the filter lock.
    for (auto& out : outputs_)
        if (!out->IsConnected()) return;
    AddOutput();
}

HRESULT InfTee::Deliver(IMediaSample* in) {
    Lock lock(streamLock_);
    if (State() == State_Stopped) return VFW_E_WRONG_STATE;
    BYTE* data = nullptr;
    HRESULT hr = in->GetPointer(&data);
    if (FAILED(hr)) return hr;
    long bytes = in->GetActualDataLength();
    // The vector does not change while streaming (pins connect only when stopped).
    for (auto& out : outputs_) {
        if (!out->IsConnected()) continue;
        for (long done = 0; done < bytes || (bytes == 0 && done == 0);) {
            // Waits while this branch has all its samples queued or held.
            ComPtr<IMediaSample> copy;
            if (FAILED(out->GetDeliveryBuffer(copy.GetAddressOf()))) break;
            BYTE* dst = nullptr;
            copy->GetPointer(&dst);
            long n = std::min(bytes - done, copy->GetSize());
            memcpy(dst, data + done, n);
            copy->SetActualDataLength(n);
            if (done == 0) filterbase::TransformFilter::CopySampleProperties(in, copy.Get());
            else copy->SetTime(nullptr, nullptr);
            out->Queue().Sample(copy.Get());
            done += n;
            if (bytes == 0) break;
        }
    }
    return S_OK;
}

HRESULT InfTee::EndOfStreamAll() {
    Lock lock(streamLock_);
    for (auto& out : outputs_)
        if (out->IsConnected()) out->Queue().EndOfStream();
    return S_OK;
}

HRESULT InfTee::BeginFlushAll() {
    for (auto& out : outputs_)
        if (out->IsConnected()) out->Queue().BeginFlush();
    return S_OK;
}

HRESULT InfTee::EndFlushAll() {
    for (auto& out : outputs_)
        if (out->IsConnected()) out->Queue().EndFlush();
    return S_OK;
}

HRESULT InfTee::NewSegmentAll(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    for (auto& out : outputs_)
        if (out->IsConnected()) out->Queue().NewSegment(start, stop, rate);
    return S_OK;
}

HRESULT InfTee::OnStop() {
    Lock lock(streamLock_);
    return S_OK;
}
