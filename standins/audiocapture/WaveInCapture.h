// The wave-in side of the stand-in capture device: one open wave-in device
// recording into a ring of buffers, handed out in the order the device
// filled them. Used from the filter's streaming thread only.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <string>
#include <vector>

class WaveInCapture {
public:
    WaveInCapture() = default;
    ~WaveInCapture() { Close(); }
    WaveInCapture(const WaveInCapture&) = delete;
    WaveInCapture& operator=(const WaveInCapture&) = delete;

    // Opens the device and starts recording into `count` buffers of
    // `bufferBytes` each (cut to whole frames of the format).
    MMRESULT Open(UINT deviceId, const WAVEFORMATEX& format, DWORD bufferBytes, int count);
    // Stops recording, returns every buffer and closes the device.
    void Close();
    bool IsOpen() const { return device_ != nullptr; }
    UINT DeviceId() const { return deviceId_; }

    // The next filled buffer, in order, or null when none arrived within
    // `timeoutMs`. It stays the caller's until Requeue.
    WAVEHDR* Next(DWORD timeoutMs);
    // Hands a buffer back to the device for filling.
    void Requeue(WAVEHDR* header);

private:
    HWAVEIN device_ = nullptr;
    UINT deviceId_ = 0;
    HANDLE filled_ = nullptr;  // set by the driver whenever a buffer is done
    std::vector<WAVEHDR> headers_;
    std::vector<std::vector<char>> data_;
    size_t next_ = 0;
};

// Names of the system's wave-in devices, by device id.
std::vector<std::string> WaveInDeviceNames();
