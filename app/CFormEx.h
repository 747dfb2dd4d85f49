#pragma once

#include <cstdint>

class QWidget;

namespace lentaro {

// Window-manager operations a form needs beyond what it has itself: staying above all other
// windows, a new parent window, and its style bits (platform/forms/windowstyles.h). It wraps
// one window handle (platform/forms/windowhandles.h) and is not traced. Errors are RuntimeErrors
// with the source "<executable>.CFormEx":
//   0x80044485 "Object not properly initialized" - the handle names no live window
//   0x80044486 "Invalid window handle"
//   0x80044487 "Invalid parent window"
class CFormEx
{
public:
    static constexpr std::int32_t errNotInitialized = std::int32_t(0x80040000u + 17541);
    static constexpr std::int32_t errInvalidHandle = std::int32_t(0x80040000u + 17542);
    static constexpr std::int32_t errInvalidParent = std::int32_t(0x80040000u + 17543);

    // Takes the handle; a positive one that names no window is refused (the stored one stays).
    // 0 and negative handles are taken unchecked and leave the instance not initialised.
    void Init(std::int32_t handle);

    std::int32_t hWnd() const { return hWnd_; }
    // Takes the handle only when it names a live window.
    void sethWnd(std::int32_t handle);

    // Keeps the window above all others or not. The flag is taken even when the window has gone.
    void setOnTop(bool onTop);
    // The value last given to setOnTop (the window is not asked).
    bool OnTop() const { return onTop_; }

    // Makes the window a child of `parentHandle`; the parent is not stored.
    void setParent(std::int32_t parentHandle);
    // The handle of the window's parent; 0 when it has none.
    std::int32_t Parent() const;

    std::int32_t Style() const;
    std::int32_t ExStyle() const;

    // Sets the mask's bits; true when they are all set afterwards.
    bool AddStyle(std::int32_t mask);
    bool AddExStyle(std::int32_t mask);
    // True when every bit of the mask is set.
    bool HasStyle(std::int32_t mask) const;
    bool HasExStyle(std::int32_t mask) const;
    // Clears the mask's bits; true when they are all clear afterwards.
    bool RemoveStyle(std::int32_t mask);
    bool RemoveExStyle(std::int32_t mask);

private:
    enum class Word { Style, ExStyle };

    // The wrapped window; raises errNotInitialized when there is none.
    QWidget& window() const;
    std::uint32_t read(Word word) const;
    void write(Word word, std::uint32_t value);
    bool add(Word word, std::int32_t mask);
    bool remove(Word word, std::int32_t mask);

    std::int32_t hWnd_ = 0;
    bool onTop_ = false;
};

} // namespace lentaro
