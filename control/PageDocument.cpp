#include "control/PageDocument.h"

#include <oleauto.h>
#include <wchar.h>

#include <string>

#include "framework/ComPtr.h"

namespace {

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const wchar_t* text) : b_(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(b_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR* Out() {
        SysFreeString(b_);
        b_ = nullptr;
        return &b_;
    }
    BSTR Get() const { return b_; }
    const wchar_t* Text() const { return b_ ? b_ : L""; }

private:
    BSTR b_ = nullptr;
};

std::wstring Widen(const char* text) {
    int size = MultiByteToWideChar(CP_ACP, 0, text ? text : "", -1, nullptr, 0);
    if (size <= 1) return L"";
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], size);
    wide.resize(static_cast<size_t>(size - 1));
    return wide;
}

// Calls visit(element) for every element of the document whose tag name is
// `tag` (in any case); returns how many visits answered true.
template <class Visit>
int ForEachTag(IHTMLDocument2* document, const wchar_t* tag, Visit visit) {
    if (!document) return 0;
    ComPtr<IHTMLElementCollection> all;
    if (FAILED(document->get_all(all.GetAddressOf())) || !all) return 0;
    long length = 0;
    if (FAILED(all->get_length(&length))) return 0;
    int done = 0;
    for (long i = 0; i < length; ++i) {
        VARIANT name, index;
        VariantInit(&name);
        name.vt = VT_I4;
        name.lVal = i;
        VariantInit(&index);
        index.vt = VT_I4;
        index.lVal = 0;
        ComPtr<IDispatch> item;
        if (FAILED(all->item(name, index, item.GetAddressOf())) || !item) continue;
        ComPtr<IHTMLElement> element;
        if (FAILED(item->QueryInterface(IID_IHTMLElement, reinterpret_cast<void**>(element.GetAddressOf()))) ||
            !element)
            continue;
        Bstr tagName;
        if (FAILED(element->get_tagName(tagName.Out())) || _wcsicmp(tagName.Text(), tag) != 0) continue;
        if (visit(element.Get())) ++done;
    }
    return done;
}

}  // namespace

int AppendToTextAreas(IHTMLDocument2* document, const char* text) {
    std::wstring tail = Widen(text);
    return ForEachTag(document, L"TEXTAREA", [&](IHTMLElement* element) {
        ComPtr<IHTMLTextAreaElement> area;
        if (FAILED(element->QueryInterface(IID_IHTMLTextAreaElement, reinterpret_cast<void**>(area.GetAddressOf()))) ||
            !area)
            return false;
        Bstr value;
        if (FAILED(area->get_value(value.Out()))) return false;
        Bstr joined((std::wstring(value.Text()) + tail).c_str());
        return joined.Get() && SUCCEEDED(area->put_value(joined.Get()));
    });
}

int RewriteAnchors(IHTMLDocument2* document, bool newWindow) {
    return ForEachTag(document, L"A", [&](IHTMLElement* element) {
        VARIANT none;
        VariantInit(&none);
        none.vt = VT_NULL;
        element->put_onclick(none);
        ComPtr<IHTMLAnchorElement> anchor;
        if (FAILED(element->QueryInterface(IID_IHTMLAnchorElement, reinterpret_cast<void**>(anchor.GetAddressOf()))) ||
            !anchor)
            return false;
        Bstr target(newWindow ? L"_blank" : L"_self");
        return SUCCEEDED(anchor->put_target(target.Get()));
    });
}
