// What the control writes into a page's document, on the document stand-in:
// the embed tag at the end of every text area, and links taken from their
// onclick handlers and pointed at the chosen window.
#include <gtest/gtest.h>

#include <windows.h>

#include "control/PageDocument.h"
#include "tests/control/host/DocumentStandIn.h"

using host_test::DocumentStandIn;
using host_test::PageElement;

namespace {

PageElement Element(const wchar_t* tag, const wchar_t* value = L"", bool onclick = false) {
    PageElement e;
    e.tag = tag;
    e.value = value;
    e.hasOnclick = onclick;
    return e;
}

}  // namespace

TEST(PageDocument, EmbedTagLandsAtTheEndOfEveryTextArea) {
    DocumentStandIn page({Element(L"DIV", L"keep"), Element(L"TEXTAREA", L"My post: "), Element(L"A"),
                          Element(L"textarea"), Element(L"TEXTAREAX", L"keep")});
    // The host page hands out its document through the container.
    IHTMLDocument2* document = nullptr;
    ASSERT_EQ(S_OK, page.Container()->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&document)));
    ASSERT_EQ(page.Document(), document);
    document->Release();

    const char tag[] = "<embed src=\"http://x.test/p?id=7\">";
    EXPECT_EQ(2, AppendToTextAreas(page.Document(), tag));
    // "Insert into post" after the automatic insertion appends it again.
    EXPECT_EQ(2, AppendToTextAreas(page.Document(), tag));
    const auto& e = page.Elements();
    std::wstring wide = L"<embed src=\"http://x.test/p?id=7\">";
    EXPECT_EQ(L"My post: " + wide + wide, e[1].value);
    EXPECT_EQ(wide + wide, e[3].value);
    EXPECT_EQ(L"keep", e[0].value);
    EXPECT_EQ(L"keep", e[4].value);
    EXPECT_EQ(0, page.OutstandingRefs());

    DocumentStandIn empty({Element(L"DIV")});
    EXPECT_EQ(0, AppendToTextAreas(empty.Document(), tag));
    EXPECT_EQ(0, AppendToTextAreas(nullptr, tag));
}

TEST(PageDocument, LinksLoseOnclickAndOpenWhereAsked) {
    for (bool newWindow : {true, false}) {
        SCOPED_TRACE(newWindow);
        DocumentStandIn page({Element(L"A", L"", true), Element(L"DIV", L"", true), Element(L"a", L"", true)});
        EXPECT_EQ(2, RewriteAnchors(page.Document(), newWindow));
        const auto& e = page.Elements();
        const wchar_t* target = newWindow ? L"_blank" : L"_self";
        EXPECT_FALSE(e[0].hasOnclick);
        EXPECT_EQ(target, e[0].target);
        EXPECT_TRUE(e[1].hasOnclick);  // not a link
        EXPECT_TRUE(e[1].target.empty());
        EXPECT_EQ(target, e[2].target);
        EXPECT_EQ(0, page.OutstandingRefs());
    }
}
