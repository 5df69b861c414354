#include "tests/control/host/DocumentStandIn.h"

#include <oleauto.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>
#include <wchar.h>

namespace host_test {

namespace {

// Every face is a C object: its table pointer, then the page it belongs to.
struct Face {
    void** vtbl;
    DocumentStandIn::State* state;
    int element;  // index into the page's elements; -1 for the document's faces
};

constexpr int kSlots = 160;
using Table = void* [kSlots];

template <int N>
void __stdcall Unexpected() {
    // The caller's arguments are unknown, so this call cannot return.
    fprintf(stderr, "DocumentStandIn: unexpected call through table slot %d\n", N);
    fflush(stderr);
    ExitProcess(97);
}

template <int... N>
void FillUnexpected(Table& table, std::integer_sequence<int, N...>) {
    ((table[N] = reinterpret_cast<void*>(&Unexpected<N>)), ...);
}

// The table slot of a virtual method (the compiler's member-pointer
// layout: one plus the byte offset into the table).
template <class M>
int SlotOf(M method) {
    struct {
        uintptr_t ptr;
        ptrdiff_t adjust;
    } raw;
    static_assert(sizeof raw == sizeof method, "member pointer layout");
    memcpy(&raw, &method, sizeof raw);
    return static_cast<int>((raw.ptr - 1) / sizeof(void*));
}

}  // namespace

struct DocumentStandIn::State {
    std::vector<PageElement> elements;
    long refs = 0;
    Face container{}, document{}, collection{};
    std::vector<Face> elementFaces, areaFaces, anchorFaces;
};

namespace {

DocumentStandIn::State* StateOf(Face* f) { return f->state; }

HRESULT Hand(Face* face, void** out) {
    *out = face;
    ++StateOf(face)->refs;
    return S_OK;
}

HRESULT __stdcall QueryFace(Face* self, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    DocumentStandIn::State* s = StateOf(self);
    bool unknown = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch);
    if (self->element < 0) {
        if (self == &s->collection)
            return unknown || IsEqualIID(iid, IID_IHTMLElementCollection) ? Hand(self, out) : E_NOINTERFACE;
        if (IsEqualIID(iid, IID_IOleContainer)) return Hand(&s->container, out);
        if (unknown || IsEqualIID(iid, IID_IHTMLDocument) || IsEqualIID(iid, IID_IHTMLDocument2))
            return Hand(&s->document, out);
        return E_NOINTERFACE;
    }
    size_t i = static_cast<size_t>(self->element);
    // An element is a text area or a link whatever case its page spelled the tag in.
    const wchar_t* tag = s->elements[i].tag.c_str();
    if (unknown || IsEqualIID(iid, IID_IHTMLElement)) return Hand(&s->elementFaces[i], out);
    if (IsEqualIID(iid, IID_IHTMLTextAreaElement) && _wcsicmp(tag, L"TEXTAREA") == 0) return Hand(&s->areaFaces[i], out);
    if (IsEqualIID(iid, IID_IHTMLAnchorElement) && _wcsicmp(tag, L"A") == 0) return Hand(&s->anchorFaces[i], out);
    return E_NOINTERFACE;
}

ULONG __stdcall AddRefFace(Face* self) { return static_cast<ULONG>(++StateOf(self)->refs); }
ULONG __stdcall ReleaseFace(Face* self) { return static_cast<ULONG>(--StateOf(self)->refs); }

HRESULT __stdcall DocGetAll(Face* self, IHTMLElementCollection** out) {
    return Hand(&StateOf(self)->collection, reinterpret_cast<void**>(out));
}

HRESULT __stdcall CollGetLength(Face* self, long* out) {
    *out = static_cast<long>(StateOf(self)->elements.size());
    return S_OK;
}

HRESULT __stdcall CollItem(Face* self, VARIANT name, VARIANT /*index*/, IDispatch** out) {
    *out = nullptr;
    DocumentStandIn::State* s = StateOf(self);
    if (name.vt != VT_I4 || name.lVal < 0 || static_cast<size_t>(name.lVal) >= s->elements.size()) return E_INVALIDARG;
    return Hand(&s->elementFaces[static_cast<size_t>(name.lVal)], reinterpret_cast<void**>(out));
}

PageElement& ElementOf(Face* self) { return StateOf(self)->elements[static_cast<size_t>(self->element)]; }

HRESULT __stdcall ElemGetTagName(Face* self, BSTR* out) {
    *out = SysAllocString(ElementOf(self).tag.c_str());
    return S_OK;
}

HRESULT __stdcall ElemPutOnclick(Face* self, VARIANT handler) {
    ElementOf(self).hasOnclick = handler.vt != VT_NULL && handler.vt != VT_EMPTY;
    return S_OK;
}

HRESULT __stdcall AreaGetValue(Face* self, BSTR* out) {
    *out = SysAllocString(ElementOf(self).value.c_str());
    return S_OK;
}

HRESULT __stdcall AreaPutValue(Face* self, BSTR value) {
    ElementOf(self).value = value ? value : L"";
    return S_OK;
}

HRESULT __stdcall AnchorPutTarget(Face* self, BSTR target) {
    ElementOf(self).target = target ? target : L"";
    return S_OK;
}

// One table per interface, every slot the test does not expect failing.
struct Tables {
    Table container, document, collection, element, area, anchor;
    Tables() {
        for (Table* t : {&container, &document, &collection, &element, &area, &anchor}) {
            FillUnexpected(*t, std::make_integer_sequence<int, kSlots>());
            (*t)[0] = reinterpret_cast<void*>(&QueryFace);
            (*t)[1] = reinterpret_cast<void*>(&AddRefFace);
            (*t)[2] = reinterpret_cast<void*>(&ReleaseFace);
        }
        document[SlotOf(&IHTMLDocument2::get_all)] = reinterpret_cast<void*>(&DocGetAll);
        collection[SlotOf(&IHTMLElementCollection::get_length)] = reinterpret_cast<void*>(&CollGetLength);
        collection[SlotOf(&IHTMLElementCollection::item)] = reinterpret_cast<void*>(&CollItem);
        element[SlotOf(&IHTMLElement::get_tagName)] = reinterpret_cast<void*>(&ElemGetTagName);
        element[SlotOf(&IHTMLElement::put_onclick)] = reinterpret_cast<void*>(&ElemPutOnclick);
        area[SlotOf(&IHTMLTextAreaElement::get_value)] = reinterpret_cast<void*>(&AreaGetValue);
        area[SlotOf(&IHTMLTextAreaElement::put_value)] = reinterpret_cast<void*>(&AreaPutValue);
        anchor[SlotOf(&IHTMLAnchorElement::put_target)] = reinterpret_cast<void*>(&AnchorPutTarget);
    }
};

Tables& TheTables() {
    static Tables tables;
    return tables;
}

}  // namespace

DocumentStandIn::DocumentStandIn(std::vector<PageElement> elements) : state_(new State) {
    Tables& t = TheTables();
    State& s = *state_;
    s.elements = std::move(elements);
    s.container = {t.container, &s, -1};
    s.document = {t.document, &s, -1};
    s.collection = {t.collection, &s, -1};
    for (size_t i = 0; i < s.elements.size(); ++i) {
        int index = static_cast<int>(i);
        s.elementFaces.push_back({t.element, &s, index});
        s.areaFaces.push_back({t.area, &s, index});
        s.anchorFaces.push_back({t.anchor, &s, index});
    }
}

DocumentStandIn::~DocumentStandIn() = default;

IHTMLDocument2* DocumentStandIn::Document() { return reinterpret_cast<IHTMLDocument2*>(&state_->document); }
IOleContainer* DocumentStandIn::Container() { return reinterpret_cast<IOleContainer*>(&state_->container); }
const std::vector<PageElement>& DocumentStandIn::Elements() const { return state_->elements; }
long DocumentStandIn::OutstandingRefs() const { return state_->refs; }

}  // namespace host_test
