#include "standins/audiocapture/WaveInCapture.h"

#include <string>

MMRESULT WaveInCapture::Open(UINT deviceId, const WAVEFORMATEX& format, DWORD bufferBytes,
                             int count) {
    Close();
    const DWORD align = format.nBlockAlign ? format.nBlockAlign : 1;
    bufferBytes -= bufferBytes % align;
    if (!bufferBytes || count < 2) return MMSYSERR_INVALPARAM;
    filled_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!filled_) return MMSYSERR_NOMEM;
    WAVEFORMATEX wf = format;
    wf.cbSize = 0;
    MMRESULT r = waveInOpen(&device_, deviceId, &wf, reinterpret_cast<DWORD_PTR>(filled_), 0,
                            CALLBACK_EVENT);
    if (r != MMSYSERR_NOERROR) {
        device_ = nullptr;
        Close();
        return r;
    }
    deviceId_ = deviceId;
    headers_.assign(static_cast<size_t>(count), WAVEHDR{});
    data_.assign(static_cast<size_t>(count), std::vector<char>(bufferBytes));
    for (size_t i = 0; i < headers_.size(); ++i) {
        WAVEHDR& h = headers_[i];
        h.lpData = data_[i].data();
        h.dwBufferLength = bufferBytes;
        r = waveInPrepareHeader(device_, &h, sizeof h);
        if (r == MMSYSERR_NOERROR) r = waveInAddBuffer(device_, &h, sizeof h);
        if (r != MMSYSERR_NOERROR) {
            Close();
            return r;
        }
    }
    next_ = 0;
    r = waveInStart(device_);
    if (r != MMSYSERR_NOERROR) Close();
    return r;
}

void WaveInCapture::Close() {
    if (device_) {
        waveInReset(device_);
        for (WAVEHDR& h : headers_) {
            if (h.dwFlags & WHDR_PREPARED) waveInUnprepareHeader(device_, &h, sizeof h);
        }
        waveInClose(device_);
        device_ = nullptr;
    }
    headers_.clear();
    data_.clear();
    if (filled_) {
        CloseHandle(filled_);
        filled_ = nullptr;
    }
}

WAVEHDR* WaveInCapture::Next(DWORD timeoutMs) {
    if (!device_ || headers_.empty()) return nullptr;
    WAVEHDR* h = &headers_[next_];
    // The event is auto-reset and may stand for several buffers: the done
    // flag of the next one in order is what counts.
    if (!(h->dwFlags & WHDR_DONE)) {
        DWORD start = GetTickCount();
        while (!(h->dwFlags & WHDR_DONE)) {
            DWORD waited = GetTickCount() - start;
            if (waited >= timeoutMs) return nullptr;
            WaitForSingleObject(filled_, timeoutMs - waited);
        }
    }
    next_ = (next_ + 1) % headers_.size();
    return h;
}

void WaveInCapture::Requeue(WAVEHDR* header) {
    if (!device_ || !header) return;
    header->dwFlags &= ~WHDR_DONE;
    header->dwBytesRecorded = 0;
    waveInAddBuffer(device_, header, sizeof *header);
}

std::vector<std::string> WaveInDeviceNames() {
    std::vector<std::string> names;
    const UINT n = waveInGetNumDevs();
    for (UINT id = 0; id < n; ++id) {
        WAVEINCAPSA caps = {};
        if (waveInGetDevCapsA(id, &caps, sizeof caps) == MMSYSERR_NOERROR)
            names.emplace_back(caps.szPname);
        else
            names.emplace_back();
    }
    return names;
}
