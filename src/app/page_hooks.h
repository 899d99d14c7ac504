// How a tab page joins the main window's hooks (refresh after an open, enabling, storing
// its state): each page chains its part after what was there, for as long as it exists.
#pragma once
#include <wx/weakref.h>

#include <functional>

namespace zorvane {

template <class Page>
void chainHook(std::function<void()>& hook, wxWeakRef<Page> page, void (Page::*run)()) {
    std::function<void()> previous = hook;
    hook = [previous, page, run] {
        if (previous) previous();
        if (page) (page.get()->*run)();
    };
}

}  // namespace zorvane
