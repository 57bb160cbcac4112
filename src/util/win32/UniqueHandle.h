#pragma once
#include <windows.h>

#include <utility>

namespace orv {

// Owner of one Win32 handle, released on scope exit. Named after the vocabulary
// Win32 readers know (unique_hkey, unique_hdc, ...). Traits give the handle type,
// its invalid value and how it is released.
template <typename Traits>
class unique_handle {
public:
    using Handle = typename Traits::Handle;

    unique_handle() = default;
    explicit unique_handle(Handle handle) : handle(handle) {}
    ~unique_handle() { reset(); }
    unique_handle(unique_handle&& other) noexcept : handle(other.release()) {}
    unique_handle& operator=(unique_handle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    unique_handle(const unique_handle&) = delete;
    unique_handle& operator=(const unique_handle&) = delete;

    Handle get() const { return handle; }
    explicit operator bool() const { return handle != Traits::Invalid(); }
    Handle release() { return std::exchange(handle, Traits::Invalid()); }
    void reset(Handle replacement = Traits::Invalid())
    {
        if (handle != Traits::Invalid())
            Traits::Close(handle);
        handle = replacement;
    }
    // For out parameters: releases what is held and hands out the slot.
    Handle* put()
    {
        reset();
        return &handle;
    }

private:
    Handle handle = Traits::Invalid();
};

template <typename H, auto Release>
struct NullInvalid {
    using Handle = H;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { Release(h); }
};

struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { CloseHandle(h); }
};

struct ScreenDcTraits {
    using Handle = HDC;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ReleaseDC(nullptr, h); }
};

using unique_hfile = unique_handle<FileHandleTraits>;
// The screen's device context, from GetDC(nullptr).
using unique_screen_dc = unique_handle<ScreenDcTraits>;
using unique_hkey = unique_handle<NullInvalid<HKEY, RegCloseKey>>;
using unique_hdc = unique_handle<NullInvalid<HDC, DeleteDC>>;
using unique_hbitmap = unique_handle<NullInvalid<HBITMAP, DeleteObject>>;
using unique_hpalette = unique_handle<NullInvalid<HPALETTE, DeleteObject>>;
using unique_henhmetafile = unique_handle<NullInvalid<HENHMETAFILE, DeleteEnhMetaFile>>;
using unique_hicon = unique_handle<NullInvalid<HICON, DestroyIcon>>;

// A window's device context, from GetDC(window), released to that window.
class unique_window_dc {
public:
    explicit unique_window_dc(HWND window) : window(window), dc(GetDC(window)) {}
    ~unique_window_dc()
    {
        if (dc != nullptr)
            ReleaseDC(window, dc);
    }
    unique_window_dc(const unique_window_dc&) = delete;
    unique_window_dc& operator=(const unique_window_dc&) = delete;

    HDC get() const { return dc; }
    explicit operator bool() const { return dc != nullptr; }

private:
    HWND window;
    HDC dc;
};

// Selects an object into a device context now and the previous one back on scope
// exit.
class unique_select_object {
public:
    unique_select_object(HDC dc, HGDIOBJ object) : dc(dc), previous(SelectObject(dc, object)) {}
    ~unique_select_object()
    {
        if (*this)
            SelectObject(dc, previous);
    }
    unique_select_object(const unique_select_object&) = delete;
    unique_select_object& operator=(const unique_select_object&) = delete;

    explicit operator bool() const { return previous != nullptr && previous != HGDI_ERROR; }

private:
    HDC dc;
    HGDIOBJ previous;
};

}  // namespace orv
