#include "control/CtlLines.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "framework/SafeString.h"

namespace {

class Mixer {
public:
    explicit Mixer(uint32_t id) {
        if (id == static_cast<uint32_t>(-1) ||
            mixerOpen(&mixer_, id, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR)
            mixer_ = nullptr;
    }
    ~Mixer() {
        if (mixer_) mixerClose(mixer_);
    }
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;
    HMIXEROBJ Object() const { return reinterpret_cast<HMIXEROBJ>(mixer_); }
    explicit operator bool() const { return mixer_ != nullptr; }

private:
    HMIXER mixer_ = nullptr;
};

bool FindWaveInDestination(const Mixer& mixer, MIXERLINEA* dst) {
    MIXERCAPSA caps{};
    if (mixerGetDevCapsA(reinterpret_cast<UINT_PTR>(mixer.Object()), &caps, sizeof caps) !=
        MMSYSERR_NOERROR)
        return false;
    for (DWORD d = 0; d < caps.cDestinations; ++d) {
        memset(dst, 0, sizeof *dst);
        dst->cbStruct = sizeof *dst;
        dst->dwDestination = d;
        if (mixerGetLineInfoA(mixer.Object(), dst, MIXER_OBJECTF_HMIXER |
                                                       MIXER_GETLINEINFOF_DESTINATION) ==
                MMSYSERR_NOERROR &&
            dst->dwComponentType == MIXERLINE_COMPONENTTYPE_DST_WAVEIN)
            return true;
    }
    return false;
}

std::vector<MIXERCONTROLA> LineControls(const Mixer& mixer, const MIXERLINEA& line) {
    std::vector<MIXERCONTROLA> controls(line.cControls);
    if (controls.empty()) return controls;
    MIXERLINECONTROLSA lc{};
    lc.cbStruct = sizeof lc;
    lc.dwLineID = line.dwLineID;
    lc.cControls = line.cControls;
    lc.cbmxctrl = sizeof(MIXERCONTROLA);
    lc.pamxctrl = controls.data();
    if (mixerGetLineControlsA(mixer.Object(), &lc,
                              MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ALL) !=
        MMSYSERR_NOERROR)
        controls.clear();
    return controls;
}

// The destination's first control with more than one item (a source
// multiplexer or mixer list), when it has one.
bool FindListControl(const Mixer& mixer, const MIXERLINEA& dst, MIXERCONTROLA* list) {
    for (const MIXERCONTROLA& c : LineControls(mixer, dst)) {
        if (c.cMultipleItems > 1) {
            *list = c;
            return true;
        }
    }
    return false;
}

// The list control's values, channel by channel (a uniform control has one).
struct ListValues {
    DWORD channels = 0, items = 0;
    std::vector<MIXERCONTROLDETAILS_BOOLEAN> values;
};

MIXERCONTROLDETAILS ListDetails(const MIXERCONTROLA& list, ListValues* v) {
    MIXERCONTROLDETAILS d{};
    d.cbStruct = sizeof d;
    d.dwControlID = list.dwControlID;
    d.cChannels = v->channels;
    d.cMultipleItems = v->items;
    d.cbDetails = sizeof(MIXERCONTROLDETAILS_BOOLEAN);
    d.paDetails = v->values.data();
    return d;
}

bool ReadListValues(const Mixer& mixer, const MIXERLINEA& dst, const MIXERCONTROLA& list,
                    ListValues* v) {
    v->channels = (list.fdwControl & MIXERCONTROL_CONTROLF_UNIFORM) ? 1 : dst.cChannels;
    if (v->channels == 0) v->channels = 1;
    v->items = list.cMultipleItems;
    v->values.assign(static_cast<size_t>(v->channels) * v->items, MIXERCONTROLDETAILS_BOOLEAN{});
    MIXERCONTROLDETAILS d = ListDetails(list, v);
    return mixerGetControlDetailsA(mixer.Object(), &d,
                                   MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) ==
           MMSYSERR_NOERROR;
}

bool ReadSource(const Mixer& mixer, const MIXERLINEA& dst, DWORD source, MIXERLINEA* src) {
    memset(src, 0, sizeof *src);
    src->cbStruct = sizeof *src;
    src->dwDestination = dst.dwDestination;
    src->dwSource = source;
    return mixerGetLineInfoA(mixer.Object(), src,
                             MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_SOURCE) ==
           MMSYSERR_NOERROR;
}

bool IsUniformMute(const MIXERCONTROLA& c) {
    return c.dwControlType == MIXERCONTROL_CONTROLTYPE_MUTE &&
           (c.fdwControl & MIXERCONTROL_CONTROLF_UNIFORM);
}

bool MuteDetails(const Mixer& mixer, const MIXERCONTROLA& c, MIXERCONTROLDETAILS_BOOLEAN* value,
                 bool write) {
    MIXERCONTROLDETAILS d{};
    d.cbStruct = sizeof d;
    d.dwControlID = c.dwControlID;
    d.cChannels = 1;
    d.cbDetails = sizeof *value;
    d.paDetails = value;
    DWORD flags = MIXER_OBJECTF_HMIXER;
    return (write ? mixerSetControlDetails(mixer.Object(), &d,
                                           flags | MIXER_SETCONTROLDETAILSF_VALUE)
                  : mixerGetControlDetailsA(mixer.Object(), &d,
                                            flags | MIXER_GETCONTROLDETAILSF_VALUE)) ==
           MMSYSERR_NOERROR;
}

// In mute mode the recorded source is the one left unmuted.
bool SourceIsUnmuted(const Mixer& mixer, const MIXERLINEA& src) {
    for (const MIXERCONTROLA& c : LineControls(mixer, src)) {
        if (!IsUniformMute(c)) continue;
        MIXERCONTROLDETAILS_BOOLEAN v{};
        return MuteDetails(mixer, c, &v, false) && v.fValue == 0;
    }
    return false;
}

}  // namespace

int32_t ProbeWaveInDevice() {
    UINT mixers = mixerGetNumDevs();
    if (mixers == 0) return -1;
    if (mixers == 1) return 0;
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = 2;
    f.nSamplesPerSec = 22050;
    f.wBitsPerSample = 8;
    f.nBlockAlign = 2;
    f.nAvgBytesPerSec = 44100;
    HWAVEIN wave = nullptr;
    if (waveInOpen(&wave, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) return 0;
    HMIXER mixer = nullptr;
    UINT id = 0;
    if (mixerOpen(&mixer, reinterpret_cast<UINT_PTR>(wave), 0, 0, MIXER_OBJECTF_HWAVEIN) ==
        MMSYSERR_NOERROR) {
        if (mixerGetID(reinterpret_cast<HMIXEROBJ>(mixer), &id, MIXER_OBJECTF_HMIXER) !=
            MMSYSERR_NOERROR)
            id = 0;
        mixerClose(mixer);
    }
    waveInClose(wave);
    return static_cast<int32_t>(id);
}

int CountCaptureLines(uint32_t mixerId) {
    Mixer mixer(mixerId);
    MIXERLINEA dst;
    if (!mixer || !FindWaveInDestination(mixer, &dst)) return 0;
    MIXERCONTROLA list;
    if (FindListControl(mixer, dst, &list)) return static_cast<int>(list.cMultipleItems);
    return static_cast<int>(dst.cConnections);
}

int SelectCaptureLine(int32_t line, uint32_t mixerId) {
    Mixer mixer(mixerId);
    MIXERLINEA dst;
    if (!mixer || !FindWaveInDestination(mixer, &dst)) return 1;
    MIXERCONTROLA list;
    bool listMode = FindListControl(mixer, dst, &list);
    DWORD lines = listMode ? list.cMultipleItems : dst.cConnections;
    if (lines < 2) return 1;
    // The box gives -1 when nothing is chosen; the stored choice may be
    // from another card.
    if (line < 0 || static_cast<DWORD>(line) >= lines) return 0;

    if (listMode) {
        ListValues v;
        if (!ReadListValues(mixer, dst, list, &v)) return 0;
        for (DWORD c = 0; c < v.channels; ++c)
            for (DWORD i = 0; i < v.items; ++i)
                v.values[c * v.items + i].fValue = i == static_cast<DWORD>(line) ? 1 : 0;
        MIXERCONTROLDETAILS d = ListDetails(list, &v);
        return mixerSetControlDetails(mixer.Object(), &d,
                                      MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE) ==
                       MMSYSERR_NOERROR
                   ? 1
                   : 0;
    }
    for (DWORD s = 0; s < dst.cConnections; ++s) {
        MIXERLINEA src;
        if (!ReadSource(mixer, dst, s, &src)) return 0;
        for (const MIXERCONTROLA& c : LineControls(mixer, src)) {
            if (!IsUniformMute(c)) continue;
            MIXERCONTROLDETAILS_BOOLEAN v{};
            if (!MuteDetails(mixer, c, &v, false)) return 0;
            // The chosen source is heard, every other one muted.
            v.fValue = s == static_cast<DWORD>(line) ? 0 : 1;
            if (!MuteDetails(mixer, c, &v, true)) return 0;
        }
    }
    return 1;
}

void ListWaveInLines(char* out, size_t outSize, int index, uint32_t mixerId) {
    if (!out || outSize == 0) return;
    SafeCopy(out, outSize, "Unknown");
    Mixer mixer(mixerId);
    MIXERLINEA dst;
    if (!mixer || !FindWaveInDestination(mixer, &dst) || index < 0) return;
    MIXERCONTROLA list;
    if (FindListControl(mixer, dst, &list)) {
        if (static_cast<DWORD>(index) >= list.cMultipleItems) return;
        ListValues v;
        if (!ReadListValues(mixer, dst, list, &v)) return;
        std::vector<MIXERCONTROLDETAILS_LISTTEXTA> texts(v.values.size());
        MIXERCONTROLDETAILS d = ListDetails(list, &v);
        d.cbDetails = sizeof(MIXERCONTROLDETAILS_LISTTEXTA);
        d.paDetails = texts.data();
        if (mixerGetControlDetailsA(mixer.Object(), &d,
                                    MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_LISTTEXT) !=
            MMSYSERR_NOERROR)
            return;
        char name[MIXER_LONG_NAME_CHARS + 1];
        // The mixer's name field need not be terminated.
        size_t n = strnlen(texts[index].szName, MIXER_LONG_NAME_CHARS);
        memcpy(name, texts[index].szName, n);
        name[n] = '\0';
        SafeCopy(out, outSize, name);
        if (v.values[index].fValue) SafeAppend(out, outSize, "__");
        return;
    }
    MIXERLINEA src;
    if (static_cast<DWORD>(index) >= dst.cConnections || !ReadSource(mixer, dst, index, &src))
        return;
    SafeCopy(out, outSize, MixerLineTypeName(src.dwComponentType));
    if (SourceIsUnmuted(mixer, src)) SafeAppend(out, outSize, "__");
}

const char* MixerLineTypeName(DWORD componentType) {
    switch (componentType) {
    case 0x1: case 0x1001: return "Digital ";
    case 0x2: return "Line Level ";
    case 0x3: return "Monitor ";
    case 0x4: return "Speaker ";
    case 0x5: return "Headphone ";
    case 0x6: case 0x1006: return "Telephone ";
    case 0x7: return "Wave input ";
    case 0x8: return "Voice input ";
    case 0x1002: return "Line ";
    case 0x1003: return "Microphone ";
    case 0x1004: return "Synthesizer ";
    case 0x1005: return "Audio CD ";
    case 0x1007: return "PC speaker ";
    case 0x1008: return "Wave out ";
    case 0x1009: return "Auxiliary ";
    case 0x100A: return "Analog ";
    default: return " ";
    }
}

int FillAudioSourceCombo(HWND dialog, uint32_t mixerId) {
    HWND combo = GetDlgItem(dialog, CtlAudioSourceCombo);
    if (!combo) return -1;
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    int count = CountCaptureLines(mixerId);
    int selected = -1;
    for (int i = 0; i < count; ++i) {
        char name[ListWaveInLineChars];
        ListWaveInLines(name, sizeof name, i, mixerId);
        if (char* mark = strstr(name, "__")) {
            *mark = '\0';
            selected = i;
        }
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    // A card without selectable lines records from its default input: an
    // empty box to drop down would only puzzle.
    EnableWindow(combo, count > 0);
    if (count <= 0) return -1;
    if (selected < 0) selected = 0;
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    return selected;
}
