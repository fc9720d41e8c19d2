#pragma once
// The browser control's window: a child of its site's window that shows one PageView
// through a back buffer. Painting renders only the invalid rectangle into the buffer;
// scrolling moves the buffer's pixels, renders only the strip that scrolling uncovers
// (from bands of the page painted before, see PageTiles) and puts the result on the
// screen at once. A finger that goes down and up without
// moving is a tap: it runs the onclick of the element under it and follows the link
// there; one that moves, or under which the page scrolls, is a drag and taps nothing.
//
// The view and its window belong to the thread that creates the window. Other threads
// may only call Window, PostHandOff and HandOffDeletion, which reach the window's thread
// by a posted message. The owner is told of taps, of handed-off requests and of a
// deletion handed to it, always on the window's thread; it may delete itself (and the
// view) from those calls.

#include "platform/browser/OffscreenBitmap.h"
#include "platform/browser/PageTiles.h"
#include "platform/browser/PageView.h"
#include "platform/window/WindowTypes.h"

#include <memory>
#include <mutex>
#include <string>

namespace platform::browser {

class BrowserView {
public:
    class Owner {
    public:
        // A link of the page was tapped; `href` as the page writes it.
        virtual void OnLinkTapped(const std::wstring& href) = 0;
        // Requests wait for the view's thread (see PostHandOff).
        virtual void OnHandOff() = 0;
        // The owner's last reference went on another thread (see HandOffDeletion).
        virtual void OnDeletionHandedOff() = 0;

    protected:
        ~Owner() = default;
    };

    explicit BrowserView(Owner& owner);
    ~BrowserView();
    BrowserView(const BrowserView&) = delete;
    BrowserView& operator=(const BrowserView&) = delete;

    // Makes the window, visible, at `area` of `parent`'s client area.
    bool Create(HWND parent, const RECT& area);
    void Destroy();
    void Move(const RECT& area);
    // Null before Create and after the window is gone (its parent may take it along).
    HWND Window() const;

    // With a scroll bar, the page is narrower by its width; without pictures, the pages
    // loaded from now on neither load nor draw them.
    void SetAppearance(bool scrollBar, bool pictures);
    // A page at the view's width, or null when the file cannot be read.
    std::unique_ptr<PageView> LoadPage(const std::wstring& address) const;
    // A page at the view's width from its bytes (see PageView::LoadBytes).
    std::unique_ptr<PageView> MakePage(const std::string& bytes, const std::wstring& address, bool scripts) const;
    // Shows the page from its top.
    void ShowPage(std::unique_ptr<PageView> page);
    // Shows the page in place of the one shown, where the view is scrolled to.
    void ReplacePage(std::unique_ptr<PageView> page);
    const PageView* Page() const { return m_page.get(); }
    // Scrolls by `dy` pixels within the page (the page is as wide as the view).
    void ScrollBy(int dy);
    int ScrollPosition() const { return m_scrollY; }
    // Paints the whole view anew from the page, nothing kept from before.
    void Repaint();

    // From any thread: posts the owner an OnHandOff. False when there is no window.
    bool PostHandOff();
    // From any thread: the owner will be deleted on the window's thread, by OnDeletionHandedOff
    // (at the latest when the window goes). False when there is no window: delete it now.
    bool HandOffDeletion();

    static constexpr int ScrollBarWidth = 6;
    // How far a finger may wander and still tap.
    static constexpr int TapSlop = 6;

private:
    struct Touch {
        bool down = false;
        bool moved = false;
        int x = 0;
        int y = 0;
        int scrollY = 0;
    };

    static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Forget(HWND window);
    void Resized(HWND window);
    void Relayout();
    // Neither the buffer nor the bands show the page any more.
    void Discard();
    int PageWidth() const;
    int MaximumScroll() const;
    bool BufferReady();
    void Paint(HWND window);
    void Render(const RECT& area);
    void RenderScrollBar(const RECT& bar);
    void Present(HWND window);
    void TouchDown(HWND window, int x, int y);
    void TouchMove(int x, int y);
    void TouchUp(HWND window, int x, int y);

    Owner& m_owner;
    mutable std::mutex m_windowLock; // m_window and m_deletionHandedOff
    HWND m_window = nullptr;
    bool m_deletionHandedOff = false;

    int m_width = ScreenWidth;
    int m_height = ScreenHeight;
    bool m_scrollBar = true;
    bool m_pictures = true;
    std::unique_ptr<PageView> m_page;
    int m_scrollY = 0;
    OffscreenBitmap m_buffer;
    PageTiles m_tiles;
    bool m_bufferValid = false; // every pixel of the buffer shows the page as it is now
    Touch m_touch;
};

} // namespace platform::browser
