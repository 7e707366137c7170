// A control of a dialog, bound to its window once the dialog exists.
//
// Dialog::Bind attaches the control's window; until then, and after the
// window is gone, Handle() is null and SetText does nothing.
// A control that must see its own messages (EntryListBox) calls Subclass
// after binding and overrides WindowProcedure; the subclass is removed when
// the window is destroyed.
//
//   Subclass   false when the window could not be subclassed
#pragma once

#include <windows.h>

#include <string>

class Control {
public:
    Control() = default;
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    void Attach(HWND window);
    HWND Handle() const { return window; }

    void SetText(const std::string& text);
    bool Subclass();

protected:
    // Messages of the subclassed window; DefaultProcedure passes them on.
    virtual LRESULT WindowProcedure(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProcedure(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK SubclassProcedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam, UINT_PTR id, DWORD_PTR self);
    void RemoveSubclass();

    HWND window = nullptr;
    bool subclassed = false;
};
