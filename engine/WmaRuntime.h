// The Windows Media Format runtime, reached at run time: mingw has no import
// library for wmvcore.dll and lacks the file sink's interfaces, declared here.
#pragma once

#include <windows.h>
#include <wmsdkidl.h>

#ifndef __IWMWriterFileSink_INTERFACE_DEFINED__
#define __IWMWriterFileSink_INTERFACE_DEFINED__
struct IWMWriterFileSink : public IWMWriterSink {
    virtual HRESULT STDMETHODCALLTYPE Open(const WCHAR* filename) = 0;
};
__CRT_UUID_DECL(IWMWriterFileSink, 0x96406be5, 0x2b2b, 0x11d3, 0xb3, 0x6b, 0x00, 0xc0, 0x4f, 0x61,
                0x08, 0xff)
#endif

#ifndef __IWMWriterFileSink2_INTERFACE_DEFINED__
#define __IWMWriterFileSink2_INTERFACE_DEFINED__
struct IWMWriterFileSink2 : public IWMWriterFileSink {
    virtual HRESULT STDMETHODCALLTYPE Start(QWORD startTime) = 0;
    virtual HRESULT STDMETHODCALLTYPE Stop(QWORD stopTime) = 0;
    virtual HRESULT STDMETHODCALLTYPE IsStopped(BOOL* stopped) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFileDuration(QWORD* duration) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFileSize(QWORD* size) = 0;
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
    virtual HRESULT STDMETHODCALLTYPE IsClosed(BOOL* closed) = 0;
};
__CRT_UUID_DECL(IWMWriterFileSink2, 0x14282ba7, 0x4aef, 0x4205, 0x8c, 0xe5, 0xc2, 0x29, 0x03, 0x5a,
                0x05, 0xbc)
#endif

// The wave format block type and the audio major type of the runtime's media
// types (the same identifiers as DirectShow's).
static const GUID kWmFormatWaveFormatEx = {
    0x05589f81, 0xc356, 0x11ce, {0xbf, 0x01, 0x00, 0xaa, 0x00, 0x55, 0x59, 0x5a}};
static const GUID kWmMediaTypeAudio = {
    0x73647561, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
// The runtime's own code for "no input format fits".
static const HRESULT kWmaInvalidInputFormat = (HRESULT)0xC00D0BB8L;

// The four factory functions the program uses.
struct WmaRuntime {
    HRESULT(WINAPI* CreateWriter)(IUnknown* certificate, IWMWriter** writer) = nullptr;
    HRESULT(WINAPI* CreateWriterFileSink)(IWMWriterFileSink** sink) = nullptr;
    HRESULT(WINAPI* CreateProfileManager)(IWMProfileManager** manager) = nullptr;
    HRESULT(WINAPI* CreateEditor)(IWMMetadataEditor** editor) = nullptr;

    bool Complete() const {
        return CreateWriter && CreateWriterFileSink && CreateProfileManager && CreateEditor;
    }
};

// Loads wmvcore.dll once and resolves the factories. Wine's own runtime
// answers E_NOTIMPL to the writer and aborts the process in
// WMCreateWriterFileSink, so a builtin Wine module counts as no runtime: WMA
// is then unavailable, as on a Windows without the runtime.
const WmaRuntime& GetWmaRuntime();
// Replaces the runtime (tests hand in fakes; a default WmaRuntime disables WMA).
void SetWmaRuntime(const WmaRuntime& runtime);
// True when `module` is one of Wine's builtin DLLs rather than a real PE file.
bool IsWineBuiltinModule(HMODULE module);
