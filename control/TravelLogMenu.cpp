#include "control/TravelLogMenu.h"

#include <string>

namespace {

// {7EBFDD80-AD18-11D3-A4C5-00C04F72D6B8}: service and interface of the
// browser's travel log.
const IID kIidTravelLogStg = {0x7EBFDD80, 0xAD18, 0x11D3, {0xA4, 0xC5, 0x00, 0xC0, 0x4F, 0x72, 0xD6, 0xB8}};

constexpr int kMaxEntries = 10;

std::string EntryTitle(ITravelLogEntry* entry, const char* fallback) {
    LPOLESTR title = nullptr;
    std::string text;
    if (SUCCEEDED(entry->GetTitle(&title)) && title) {
        int size = WideCharToMultiByte(CP_ACP, 0, title, -1, nullptr, 0, nullptr, nullptr);
        if (size > 1) {
            text.resize(static_cast<size_t>(size));
            WideCharToMultiByte(CP_ACP, 0, title, -1, &text[0], size, nullptr, nullptr);
            text.resize(static_cast<size_t>(size - 1));
        }
    }
    CoTaskMemFree(title);
    return text.empty() && fallback ? fallback : text;
}

}  // namespace

void CTravelLogMenu::SetBrowser(IWebBrowser2* browser) {
    if (browser && browser == browser_.Get()) {
        // The same browser: only a travel log it refused before is asked again.
        if (!storage_) QueryTravelLog();
        return;
    }
    storage_.Reset();
    browser_.Reset();
    if (!browser) return;
    browser->AddRef();
    *browser_.GetAddressOf() = browser;
    QueryTravelLog();
}

void CTravelLogMenu::QueryTravelLog() {
    ComPtr<IServiceProvider> services;
    if (browser_ &&
        SUCCEEDED(browser_->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(services.GetAddressOf()))) &&
        FAILED(services->QueryService(kIidTravelLogStg, kIidTravelLogStg,
                                      reinterpret_cast<void**>(storage_.GetAddressOf()))))
        storage_.Reset();
}

void CTravelLogMenu::Clear() {
    storage_.Reset();
    browser_.Reset();
}

void CTravelLogMenu::Fill(HMENU menu) {
    if (!storage_ || !menu) return;
    // Enumerators and entries live only for this call.
    ComPtr<IEnumTravelLogEntry> entries;
    if (SUCCEEDED(storage_->EnumEntries(TLEF_RELATIVE_FORE, entries.GetAddressOf())) && entries) {
        for (int k = 1; k <= kMaxEntries; ++k) {
            ComPtr<ITravelLogEntry> entry;
            ULONG got = 0;
            if (entries->Next(1, entry.GetAddressOf(), &got) != S_OK || !got || !entry) break;
            std::string title = EntryTitle(entry.Get(), nullptr);
            InsertMenuA(menu, 0, MF_BYPOSITION | MF_STRING, kTravelLogCurrentId + k, title.c_str());
        }
    }
    if (SUCCEEDED(storage_->EnumEntries(TLEF_RELATIVE_INCLUDE_CURRENT, entries.GetAddressOf())) && entries) {
        ComPtr<ITravelLogEntry> entry;
        ULONG got = 0;
        if (entries->Next(1, entry.GetAddressOf(), &got) == S_OK && got && entry) {
            std::string title = EntryTitle(entry.Get(), "Current Page");
            AppendMenuA(menu, MF_STRING | MF_CHECKED, kTravelLogCurrentId, title.c_str());
        }
    }
    if (SUCCEEDED(storage_->EnumEntries(TLEF_RELATIVE_BACK, entries.GetAddressOf())) && entries) {
        for (int k = 1; k <= kMaxEntries; ++k) {
            ComPtr<ITravelLogEntry> entry;
            ULONG got = 0;
            if (entries->Next(1, entry.GetAddressOf(), &got) != S_OK || !got || !entry) break;
            std::string title = EntryTitle(entry.Get(), nullptr);
            AppendMenuA(menu, MF_STRING, kTravelLogCurrentId - k, title.c_str());
        }
    }
}

void CTravelLogMenu::GoTo(int offset) {
    if (!storage_) return;
    ComPtr<ITravelLogEntry> entry;
    if (SUCCEEDED(storage_->GetRelativeEntry(offset, entry.GetAddressOf())) && entry) storage_->TravelTo(entry.Get());
}
