// CSablet2: the control. One COM object (plain or aggregated) with the
// dual interface ISablet2 and the interfaces an OLE container and a page's
// script use, and the recorder panel: dialog 104, created as a child of the
// container's window when the control is activated in place. Every call
// comes on the container's thread (apartment model). Each instance holds a
// lock on the module.
//
// The object's code is split by concern: Sablet2.cpp (identity, the OLE
// object, class information, connection point container, quick
// activation), Sablet2View.cpp (in-place activation and drawing),
// Sablet2Props.cpp (the properties and IDispatch), Sablet2Persist.cpp
// (property bag, stream, storage), Sablet2Site.cpp (what the container
// tells: the page address, the hosting browser), Sablet2Panel.cpp (the
// panel window's messages).
#pragma once

#include <windows.h>
#include <exdisp.h>
#include <ocidl.h>
#include <olectl.h>

#include "control/AdHostInfo.h"
#include "control/AnimatedPicture.h"
#include "control/ConnectionPoint.h"
#include "control/PropertyRules.h"
#include "control/Sablet_h.h"
#include "control/TakeFile.h"
#include "control/TravelLogMenu.h"
#include "control/resource.h"
#include "framework/ComPtr.h"
#include "framework/Dialog.h"
#include "framework/Menu.h"

namespace sablet {
struct PersistedState;
struct PersistedProperty;
}

class CSablet2 : public CDialog,
                 public ISablet2,
                 public IViewObjectEx,
                 public IOleInPlaceObjectWindowless,
                 public IOleInPlaceActiveObject,
                 public IOleControl,
                 public IOleObject,
                 public IPersistStreamInit,
                 public ISupportErrorInfo,
                 public IConnectionPointContainer,
                 public ISpecifyPropertyPages,
                 public IQuickActivate,
                 public IPersistStorage,
                 public IDataObject,
                 public IProvideClassInfo2,
                 public IPersistPropertyBag {
public:
    // The class table's creator: with an outer unknown the control is
    // aggregated and *object is its inner unknown.
    static HRESULT CreateInstance(IUnknown* outer, IUnknown** object);

    // IUnknown (delegating to the outer unknown when aggregated)
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                               DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* excep, UINT* argError) override;

    // ISablet2
    STDMETHODIMP get_FileName(BSTR* value) override;
    STDMETHODIMP put_FileName(BSTR value) override;
    STDMETHODIMP get_Location(BSTR* value) override;
    STDMETHODIMP put_Location(BSTR value) override;
    STDMETHODIMP get_UseMP3(LONG* value) override;
    STDMETHODIMP put_UseMP3(LONG value) override;
    STDMETHODIMP get_Frequency(short* value) override;
    STDMETHODIMP put_Frequency(short value) override;
    STDMETHODIMP get_SampleBit(short* value) override;
    STDMETHODIMP put_SampleBit(short value) override;
    STDMETHODIMP get_Channel(short* value) override;
    STDMETHODIMP put_Channel(short value) override;
    STDMETHODIMP get_MP3Bitrate(short* value) override;
    STDMETHODIMP put_MP3Bitrate(short value) override;
    STDMETHODIMP get_SampleRate(LONG* value) override;
    STDMETHODIMP put_SampleRate(LONG value) override;
    STDMETHODIMP get_UploadURL(BSTR* value) override;
    STDMETHODIMP put_UploadURL(BSTR value) override;
    STDMETHODIMP get_SampleFrequency(LONG* value) override;
    STDMETHODIMP put_SampleFrequency(LONG value) override;
    STDMETHODIMP get_PubID(LONG* value) override;
    STDMETHODIMP put_PubID(LONG value) override;
    STDMETHODIMP get_AllowParaChange(short* value) override;
    STDMETHODIMP put_AllowParaChange(short value) override;
    STDMETHODIMP get_AdChannelID(short* value) override;
    STDMETHODIMP put_AdChannelID(short value) override;
    STDMETHODIMP get_Domain(BSTR* value) override;
    STDMETHODIMP put_Domain(BSTR value) override;
    STDMETHODIMP get_Resize(short* value) override;
    STDMETHODIMP put_Resize(short value) override;
    STDMETHODIMP get_MenuBar(short* value) override;
    STDMETHODIMP put_MenuBar(short value) override;
    STDMETHODIMP get_AddressBar(short* value) override;
    STDMETHODIMP put_AddressBar(short value) override;
    STDMETHODIMP get_ToolBar(short* value) override;
    STDMETHODIMP put_ToolBar(short value) override;
    STDMETHODIMP get_Align(short* value) override;
    STDMETHODIMP put_Align(short value) override;
    STDMETHODIMP get_NewWindow(short* value) override;
    STDMETHODIMP put_NewWindow(short value) override;
    STDMETHODIMP get_TopOffset(short* value) override;
    STDMETHODIMP put_TopOffset(short value) override;
    STDMETHODIMP get_EmbedTag(BSTR* value) override;
    STDMETHODIMP put_EmbedTag(BSTR value) override;

    // IViewObject, IViewObject2, IViewObjectEx
    STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device,
                      HDC targetDc, HDC drawDc, LPCRECTL bounds, LPCRECTL wBounds,
                      BOOL(STDMETHODCALLTYPE* cont)(ULONG_PTR), ULONG_PTR contArg) override;
    STDMETHODIMP GetColorSet(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device,
                             HDC targetDc, LOGPALETTE** colors) override;
    STDMETHODIMP Freeze(DWORD aspect, LONG index, void* aspectInfo, DWORD* freeze) override;
    STDMETHODIMP Unfreeze(DWORD freeze) override;
    STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    STDMETHODIMP GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, LPSIZEL size) override;
    STDMETHODIMP GetRect(DWORD aspect, LPRECTL rect) override;
    STDMETHODIMP GetViewStatus(DWORD* status) override;
    STDMETHODIMP QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT location, LONG closeHint,
                               DWORD* hitResult) override;
    STDMETHODIMP QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT location, LONG closeHint,
                              DWORD* hitResult) override;
    STDMETHODIMP GetNaturalExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, HDC targetDc,
                                  DVEXTENTINFO* info, LPSIZEL size) override;

    // IOleWindow, IOleInPlaceObject, IOleInPlaceObjectWindowless
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override;
    STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
    STDMETHODIMP ReactivateAndUndo() override;
    STDMETHODIMP OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                 LRESULT* result) override;
    STDMETHODIMP GetDropTarget(IDropTarget** target) override;

    // IOleInPlaceActiveObject
    STDMETHODIMP TranslateAccelerator(LPMSG msg) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
    STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
    STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frame) override;
    STDMETHODIMP EnableModeless(BOOL enable) override;

    // IOleControl
    STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
    STDMETHODIMP OnMnemonic(MSG* msg) override;
    STDMETHODIMP OnAmbientPropertyChange(DISPID id) override;
    STDMETHODIMP FreezeEvents(BOOL freeze) override;

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** site) override;
    STDMETHODIMP SetHostNames(LPCOLESTR app, LPCOLESTR object) override;
    STDMETHODIMP Close(DWORD saveOption) override;
    STDMETHODIMP SetMoniker(DWORD which, IMoniker* moniker) override;
    STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    STDMETHODIMP InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
    STDMETHODIMP GetClipboardData(DWORD reserved, IDataObject** data) override;
    STDMETHODIMP DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent,
                        LPCRECT position) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
    STDMETHODIMP Update() override;
    STDMETHODIMP IsUpToDate() override;
    STDMETHODIMP GetUserClassID(CLSID* clsid) override;
    STDMETHODIMP GetUserType(DWORD form, LPOLESTR* type) override;
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP Advise(IAdviseSink* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** advises) override;
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE* palette) override;

    // IPersist, IPersistStreamInit, IPersistStorage, IPersistPropertyBag
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    STDMETHODIMP IsDirty() override;
    STDMETHODIMP Load(LPSTREAM stream) override;
    STDMETHODIMP Save(LPSTREAM stream, BOOL clearDirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
    STDMETHODIMP InitNew() override;
    STDMETHODIMP InitNew(IStorage* storage) override;
    STDMETHODIMP Load(IStorage* storage) override;
    STDMETHODIMP Save(IStorage* storage, BOOL sameAsLoad) override;
    STDMETHODIMP SaveCompleted(IStorage* storage) override;
    STDMETHODIMP HandsOffStorage() override;
    STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
    STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

    // ISupportErrorInfo
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

    // ISpecifyPropertyPages
    STDMETHODIMP GetPages(CAUUID* pages) override;

    // IQuickActivate
    STDMETHODIMP QuickActivate(QACONTAINER* container, QACONTROL* control) override;
    STDMETHODIMP SetContentExtent(LPSIZEL size) override;
    STDMETHODIMP GetContentExtent(LPSIZEL size) override;

    // IDataObject (nothing is offered)
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHODIMP GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHODIMP QueryGetData(FORMATETC* format) override;
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    STDMETHODIMP SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
    STDMETHODIMP DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* cookie) override;
    STDMETHODIMP DUnadvise(DWORD cookie) override;
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA** advises) override;

    // IProvideClassInfo, IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo** info) override;
    STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

    // What the container told: the page's address and its host part.
    char PageUrl[sablet::PageUrlSize] = "";
    char PageHost[sablet::PageHostSize] = "";

    // The hosting browser (from the client site), kept for the object's
    // life; null when the container is no browser.
    void GetHostBrowser();
    void ApplyHostBrowserBars();
    ComPtr<IWebBrowser2> HostBrowser;

    // The Config button: the recording parameters dialog.
    void OnConfig();

    // The recorder panel's transport (Sablet2Transport.cpp).
    void OnRecord();
    void OnPlay();
    void OnPause();
    void OnStop();
    void StopRecording();
    void PlayFile(const char* path);
    void OnTimer(UINT_PTR id);
    void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    void OnDestroy();
    void OnAudioSourceChange();
    LRESULT OnWaveInData(WPARAM wParam, LPARAM lParam);
    LRESULT OnRecordingFinished(WPARAM wParam, LPARAM lParam);
    void InitTransport();
    void DrawElapsedTime();
    void DrawPlayTime();
    void DrawStatusText(HDC dc);
    void EnableItem(int id, bool enable);
    void RepaintItem(int id);
    void MeasureRecording();
    // Shows why Record, Play or Export did not happen in the time box, in
    // place of the format and size, until the next of them: a page must
    // not be blocked by a box of the control's own.
    void ReportTransportFailure(const char* title, const char* reason);
    void ClearTransportFailure();
    const char* FailureTitle = nullptr;
    const char* FailureReason = nullptr;

    LONG TransportState = 0;  // 0 idle, 1 playing, 2 recording
    BYTE Recording = 0, Playing = 0, Paused = 0;
    time_t ReferenceTime = 0;
    LONG AccumulatedSeconds = 0, ElapsedSeconds = 0;
    // %TEMP% + "Sablet" (+ this control's number when another live
    // control, of any process, has a take there); empty while this control
    // has no take (Record then says why).
    char RecordingBase[MAX_PATH + 16] = "";
    sablet::TakeClaim Take;
    bool ClaimTake();
    // The format the time box names: the take's own while it is recorded
    // and finished, otherwise the one the properties give the next take.
    // For MP3 it is what the encoder writes, which may differ from what
    // the page asked (the properties keep the page's values).
    struct PanelFormat {
        bool mp3 = false;
        long rate = 0;
        int kbps = 0;
    };
    PanelFormat NextTakeFormat() const;
    PanelFormat RecordedFormat;
    // Size of this panel's last take: the recorder's count belongs to
    // whichever control of the process records.
    LONG TakeBytes = 0;
    // Extension of the last recording that finished, for Play and Export.
    char LastExtension[8] = "";
    bool RecordingFinishPending = false;
    HWND MciWindow = nullptr;
    LONG PlayEnd = 0, PlayLength = 0, PlayPosition = 0;
    int PositionValue = 0;
    int32_t MixerId = -1;
    int SelectedLine = 0;
    CAnimatedPicture AdPicture;

    // The panel's face (Sablet2Face.cpp).
    void LoadSkin();
    void FreeSkin();
    void PlaceAtDesignScale();
    void LayoutTransportButtons();
    void OnPaint();
    void OnDrawItem(int id, LPDRAWITEMSTRUCT item);
    void OnExportRecording();
    void OnUploadButton();
    // UP, DOWN and DISABLED faces of the transport, Config, Upload and
    // browser buttons, in the order of FaceButtons (Sablet2Face.cpp).
    HBITMAP Faces[12][3] = {};
    HBITMAP Background = nullptr;
    // Channel, the part left of the thumb, and the thumb; [1] when disabled.
    HBITMAP SliderPieces[2][3] = {};
    void SubclassSkinSlider(int id);
    void OnSize(UINT type, int cx, int cy);
    LRESULT OnCtlColorStatic(WPARAM wParam, LPARAM lParam);
    LRESULT OnSwallowed(WPARAM, LPARAM) { return 0; }
    HBRUSH BackgroundBrush = nullptr;  // pattern of IDR_BACKGROUND, under static texts
    // The resizable panel is filled with the background's plain body colour:
    // stretched, the picture's readout window and name would smear into the
    // strip between the controls, and its tiled pattern would put pieces of
    // them under the sliders and texts.
    HBRUSH BodyBrush = nullptr;
    HBRUSH UnderControls() const { return Resize && BodyBrush ? BodyBrush : BackgroundBrush; }
    // Where the clock and status texts go: fixed, or kept at the bottom
    // right corner when the panel resizes.
    RECT TimeBoxRect = {333, 89, 469, 115};
    // The page's host name, shown in its box (fixed, or from the bottom
    // right corner when the panel resizes).
    RECT PageHostRect = {236, 63, 469, 77};
    void DrawPageHost();
    POINT UploadMenuPoint = {0, 0};

    // The service's advertisement and host information, the upload of the
    // last recording and the embedded browser (Sablet2Web.cpp).
    void StartHostInfo();
    LRESULT OnHostInfoReady(WPARAM wParam, LPARAM lParam);
    void OnUploadMenuCommand();
    void InsertEmbedTag(const char* text);
    void CreateEmbeddedBrowser();
    void ReleaseWeb();
    sablet::ControlAdInfo AdInfo;
    sablet::ControlHostInfo HostInfo;
    // The running exchange (UI thread); the worker holds its own reference.
    sablet::HostInfoRequest* HostRequest = nullptr;
    HANDLE HostThread = nullptr;
    HWND BrowserWindow = nullptr;
    CTravelLogMenu TravelLog;
    // The embedded browser's events come through a sink that holds no
    // reference on the control, so the connection cannot keep it alive.
    void AdviseBrowserEvents();
    void UnadviseBrowserEvents();
    IDispatch* BrowserEvents = nullptr;
    DWORD BrowserEventsCookie = 0;
    // The resizable layout's browser controls (Sablet2Browser.cpp).
    void NavigateTo(const char* address);
    void NavigateToAddressText(HWND from);
    void FillAddressHistory();
    void OnGo();
    void OnBrowserButton(UINT id);
    void OnAddressSelChange();
    void OnAddressSetFocus();
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    HRESULT PreTranslateAccelerator(MSG* msg);
    void OnHistoryButton();
    void AttachTravelLog();
    void OnTravelLogCommand(UINT id);
    void LayoutBrowserButtons();
    HWND AddressEdit = nullptr;  // the address box's edit part, once focused
    POINT HistoryMenuPoint = {0, 0};
    // Menus 207 and 208, loaded with the panel; the Upload and History
    // buttons open their first pop-ups.
    void LoadPanelMenus();
    CMenu UploadMenu, HistoryMenu;
    HMENU UploadPopup = nullptr, HistoryPopup = nullptr;
    // Makes the hosting browser lay its page out again around the panel.
    void NudgeHostBrowser();
    // The service's links on the panel (Sablet2Links.cpp): drawn with the
    // face, their hit rectangles kept from the last drawing.
    void DrawLinks(HDC dc);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonDown(UINT flags, CPoint point);
    RECT DisplayLinkRect = {0, 0, 0, 0};
    RECT HomeLinkRect = {0, 0, 0, 0};
    RECT Ad1LinkRect = {0, 0, 0, 0};
    RECT Ad2LinkRect = {0, 0, 0, 0};
    // Top of the Home, Ad1 and Ad2 row: the panel's top, or with Align in
    // the resizable layout just under the browser (OnSize).
    int LinkRowTop = 2;
    // Resizable layout: where the recorder's part of the strip begins (its
    // etched line). The browser controls and the links left of it show only
    // where they fit there whole (OnSize).
    int StripLeft = 0;

protected:
    explicit CSablet2(IUnknown* outer);
    ~CSablet2() override;

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The panel is part of the page: Enter and Escape close nothing.
    void OnOK() override {}
    void OnCancel() override {}
    DECLARE_MESSAGE_MAP()

private:
    // The non-delegating unknown: the object's identity, and what an
    // aggregating outer object holds.
    class Inner : public IUnknown {
    public:
        explicit Inner(CSablet2* owner) : owner_(owner) {}
        STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;

    private:
        CSablet2* owner_;
        LONG refs_ = 1;
    };
    HRESULT InnerQueryInterface(REFIID iid, void** out);

    // In-place activation (Sablet2View.cpp).
    static SIZEL DefaultExtent();
    HRESULT InPlaceActivate(LONG verb, HWND parent, LPCRECT position);
    HRESULT CreatePanel(HWND parent, const RECT& position);
    void SendViewChange();

    // Properties through the type information (Sablet2Props.cpp).
    HRESULT LoadTypeInfo();
    HRESULT InvokeProperty(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                           EXCEPINFO* excep, UINT* argError);
    HRESULT OnBrowserEvent(DISPID id, DISPPARAMS* params);
    HRESULT GetProperty(DISPID id, VARIANT* value);
    HRESULT PutProperty(DISPID id, VARIANT* value);
    static bool Mp3Available();

    // Persistence (Sablet2Persist.cpp).
    HRESULT SaveState(sablet::PersistedState* state);
    HRESULT PutLoaded(const sablet::PersistedProperty& p, VARIANT* value);
    static constexpr DISPID kSampleRateId = 8, kSampleFrequencyId = 10;
    HRESULT ApplyState(const sablet::PersistedState& state);
    void SetDirty(bool dirty);
    void FormatChanged();

    // The page address from the container's moniker (Sablet2Site.cpp).
    void TakePageAddress(IOleClientSite* site);

    Inner inner_{this};
    IUnknown* outer_;
    ComPtr<ITypeInfo> typeInfo_;    // ISablet2 as script sees it
    ComPtr<ITypeInfo> invokeInfo_;  // its vtable description, for Invoke
    ComPtr<IOleClientSite> site_;
    ComPtr<IOleInPlaceSite> inPlaceSite_;
    ComPtr<IOleInPlaceFrame> frame_;
    ComPtr<IOleInPlaceUIWindow> uiWindow_;
    ComPtr<IOleAdviseHolder> oleAdvise_;
    ComPtr<IAdviseSink> viewSink_;
    DWORD viewAspects_ = 0;
    DWORD viewAdviseFlags_ = 0;
    EventConnectionPoint events_;
    SIZEL extent_;  // HIMETRIC
    RECT position_ = {0, 0, 0, 0};
    bool inPlaceActive_ = false;
    bool uiActive_ = false;
    bool dirty_ = false;

public:
    // The properties, in their storage (see the type library for the
    // rules each put applies).
    char FileName[sablet::FileNameSize] = "";
    char Location[sablet::LocationSize] = "";
    BYTE UseMP3 = 1;
    // One rate behind Frequency, SampleRate and SampleFrequency.
    LONG SampleRate = 12000;
    short SampleBit = 16;
    short Channel = 2;
    short MP3Bitrate = 32;
    BSTR UploadURL = nullptr;
    LONG PubID = 0;
    short AllowParaChange = 1;
    short AdChannelID = 0;
    BSTR Domain = nullptr;
    short Resize = 0;
    short MenuBar = 1;
    short AddressBar = 1;
    short ToolBar = 1;
    short Align = 0;
    short NewWindow = 1;
    short TopOffset = 0;
    char EmbedTag[sablet::EmbedTagSize] = "";
};
