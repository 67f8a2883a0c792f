// Small owners for handles, GDI objects, heap blocks and COM references, so
// that every early return releases what it holds.
#pragma once

#include <windows.h>

namespace quorlix {

// Owns one raw handle and releases it with Close when it goes out of scope.
// Invalid is the value that means "nothing held".
template <typename T, typename Close, T Invalid = T{}>
class unique_any {
public:
    unique_any() noexcept = default;
    explicit unique_any(T value) noexcept : value_(value) {}
    ~unique_any() { reset(); }
    unique_any(const unique_any &) = delete;
    unique_any &operator=(const unique_any &) = delete;
    unique_any(unique_any &&other) noexcept : value_(other.release()) {}
    unique_any &operator=(unique_any &&other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    T get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Invalid; }
    T release() noexcept {
        T v = value_;
        value_ = Invalid;
        return v;
    }
    void reset(T value = Invalid) noexcept {
        if (value_ != Invalid) Close{}(value_);
        value_ = value;
    }
    T *put() noexcept {
        reset();
        return &value_;
    }

private:
    T value_ = Invalid;
};

struct CloseDc { void operator()(HDC h) const noexcept { DeleteDC(h); } };
struct CloseGdiObject { void operator()(HGDIOBJ h) const noexcept { DeleteObject(h); } };
struct CloseIcon { void operator()(HICON h) const noexcept { DestroyIcon(h); } };
struct CloseModule { void operator()(HMODULE h) const noexcept { FreeLibrary(h); } };
struct CloseHandleFn { void operator()(HANDLE h) const noexcept { CloseHandle(h); } };

using unique_hdc = unique_any<HDC, CloseDc>;
using unique_hbitmap = unique_any<HBITMAP, CloseGdiObject>;
using unique_hbrush = unique_any<HBRUSH, CloseGdiObject>;
using unique_hgdiobj = unique_any<HGDIOBJ, CloseGdiObject>;
using unique_hicon = unique_any<HICON, CloseIcon>;
using unique_hmodule = unique_any<HMODULE, CloseModule>;
using unique_handle = unique_any<HANDLE, CloseHandleFn>;

// A block on a given heap, freed with HeapFree on that heap.
template <typename T = void>
class unique_heap_ptr {
public:
    unique_heap_ptr() noexcept = default;
    unique_heap_ptr(HANDLE heap, T *p) noexcept : heap_(heap), p_(p) {}
    ~unique_heap_ptr() { reset(); }
    unique_heap_ptr(const unique_heap_ptr &) = delete;
    unique_heap_ptr &operator=(const unique_heap_ptr &) = delete;

    T *get() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    T *release() noexcept {
        T *p = p_;
        p_ = nullptr;
        return p;
    }
    void reset() noexcept {
        if (p_) HeapFree(heap_, 0, p_);
        p_ = nullptr;
    }

private:
    HANDLE heap_ = nullptr;
    T *p_ = nullptr;
};

// Selects an object into a DC and selects the previous one back on scope exit.
class unique_select {
public:
    unique_select(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), old_(SelectObject(dc, obj)) {}
    ~unique_select() {
        if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
    }
    unique_select(const unique_select &) = delete;
    unique_select &operator=(const unique_select &) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// One counted COM reference, released on scope exit.
template <typename I>
class com_ptr {
public:
    com_ptr() noexcept = default;
    explicit com_ptr(I *p) noexcept : p_(p) {}  // adopts a reference
    ~com_ptr() { reset(); }
    com_ptr(const com_ptr &) = delete;
    com_ptr &operator=(const com_ptr &) = delete;

    I *get() const noexcept { return p_; }
    I *operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    I *release() noexcept {
        I *p = p_;
        p_ = nullptr;
        return p;
    }
    void reset() noexcept {
        if (p_) p_->Release();
        p_ = nullptr;
    }
    I **put() noexcept {
        reset();
        return &p_;
    }
    void **put_void() noexcept { return reinterpret_cast<void **>(put()); }

private:
    I *p_ = nullptr;
};

// Runs a function when the scope ends, whatever path leaves it.
template <typename F>
class scope_exit_t {
public:
    explicit scope_exit_t(F f) noexcept : f_(f) {}
    ~scope_exit_t() {
        if (armed_) f_();
    }
    scope_exit_t(const scope_exit_t &) = delete;
    scope_exit_t &operator=(const scope_exit_t &) = delete;
    void dismiss() noexcept { armed_ = false; }

private:
    F f_;
    bool armed_ = true;
};

template <typename F>
scope_exit_t<F> scope_exit(F f) noexcept {
    return scope_exit_t<F>(f);
}

}  // namespace quorlix
