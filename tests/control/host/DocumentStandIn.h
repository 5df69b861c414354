// A web page's document for the tests, in place of the browser's HTML
// engine (disabled on the bench): IOleContainer and IHTMLDocument2 whose
// `all` collection holds elements with a tag name, text areas with a value
// and anchors with a target and an onclick handler. Only the members the
// control calls are there; every other member of those interfaces ends the
// test program with the slot it was called through.
#pragma once

#include <windows.h>

#include <mshtml.h>

#include <memory>
#include <string>
#include <vector>

namespace host_test {

struct PageElement {
    std::wstring tag;        // "TEXTAREA", "A", "DIV", ...
    std::wstring value;      // a text area's value
    std::wstring target;     // an anchor's target
    bool hasOnclick = false; // an onclick handler is set
};

class DocumentStandIn {
public:
    explicit DocumentStandIn(std::vector<PageElement> elements);
    ~DocumentStandIn();
    DocumentStandIn(const DocumentStandIn&) = delete;
    DocumentStandIn& operator=(const DocumentStandIn&) = delete;

    // Borrowed pointers (no reference is handed out).
    IHTMLDocument2* Document();
    IOleContainer* Container();

    const std::vector<PageElement>& Elements() const;
    // References the code under test still holds on the stand-in's objects.
    long OutstandingRefs() const;

    struct State;  // the page and its objects' faces

private:
    std::unique_ptr<State> state_;
};

}  // namespace host_test
