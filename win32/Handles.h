#pragma once
// RAII holders for handles, keys, GDI objects and COM pointers. Raw
// CloseHandle, RegCloseKey, DeleteObject and Release appear only here.

#include <windows.h>
#include <objbase.h>
#include <winsvc.h>

#include <utility>

template <class T, T Invalid, class Closer> class UniqueResource {
public:
    UniqueResource() = default;
    explicit UniqueResource(T value) : m_value(value) {}
    ~UniqueResource() { Reset(); }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : m_value(other.Release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }

    T Get() const { return m_value; }
    bool Valid() const { return m_value != Invalid; }
    explicit operator bool() const { return Valid(); }
    T* Put()
    {
        Reset();
        return &m_value;
    }
    T Release()
    {
        T value = m_value;
        m_value = Invalid;
        return value;
    }
    void Reset(T value = Invalid)
    {
        if (m_value != Invalid)
            Closer()(m_value);
        m_value = value;
    }

private:
    T m_value = Invalid;
};

struct HandleCloser {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
struct KeyCloser {
    void operator()(HKEY h) const { RegCloseKey(h); }
};
struct ServiceCloser {
    void operator()(SC_HANDLE h) const { CloseServiceHandle(h); }
};
struct GdiCloser {
    void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
struct IconCloser {
    void operator()(HICON h) const { DestroyIcon(h); }
};
struct MenuCloser {
    void operator()(HMENU h) const { DestroyMenu(h); }
};
struct LibraryCloser {
    void operator()(HMODULE h) const { FreeLibrary(h); }
};
struct WindowCloser {
    void operator()(HWND h) const { DestroyWindow(h); }
};

using UniqueHandle = UniqueResource<HANDLE, nullptr, HandleCloser>;
using UniqueKey = UniqueResource<HKEY, nullptr, KeyCloser>;
using UniqueService = UniqueResource<SC_HANDLE, nullptr, ServiceCloser>;
using UniqueFont = UniqueResource<HFONT, nullptr, GdiCloser>;
using UniqueBrush = UniqueResource<HBRUSH, nullptr, GdiCloser>;
using UniqueBitmap = UniqueResource<HBITMAP, nullptr, GdiCloser>;
using UniqueIcon = UniqueResource<HICON, nullptr, IconCloser>;
using UniqueMenu = UniqueResource<HMENU, nullptr, MenuCloser>;
using UniqueLibrary = UniqueResource<HMODULE, nullptr, LibraryCloser>;
using UniqueWindow = UniqueResource<HWND, nullptr, WindowCloser>;

// Owns one reference to a COM interface.
template <class T> class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : m_ptr(other.m_ptr) { other.m_ptr = nullptr; }

    T* Get() const { return m_ptr; }
    T* operator->() const { return m_ptr; }
    explicit operator bool() const { return m_ptr != nullptr; }
    T** Put()
    {
        Reset();
        return &m_ptr;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    IUnknown** PutUnknown() { return reinterpret_cast<IUnknown**>(Put()); }
    void Reset()
    {
        if (m_ptr) {
            m_ptr->Release();
            m_ptr = nullptr;
        }
    }

private:
    T* m_ptr = nullptr;
};

// Frees a COM task-memory block (strings and buffers COM hands out).
template <class T> class CoTaskMem {
public:
    CoTaskMem() = default;
    ~CoTaskMem() { CoTaskMemFree(m_ptr); }
    CoTaskMem(const CoTaskMem&) = delete;
    CoTaskMem& operator=(const CoTaskMem&) = delete;
    T* Get() const { return m_ptr; }
    T** Put()
    {
        CoTaskMemFree(m_ptr);
        m_ptr = nullptr;
        return &m_ptr;
    }

private:
    T* m_ptr = nullptr;
};
