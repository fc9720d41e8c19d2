#include "platform/display/SdlDisplay.h"

#include "platform/base/Utf8.h"
#include "platform/display/Display.h"
#include "platform/display/OverlayLayer.h"
#include "platform/window/Clipboard.h"
#include "platform/window/Input.h"
#include "platform/window/RemoteWindows.h"
#include "platform/window/ShellStandIn.h"
#include "platform/window/WindowApi.h"

#include <SDL.h>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>

namespace platform {

struct SdlDisplay::State {
    int scale = 1;
    DWORD quitThread = 0;
    std::mutex lock;
    std::condition_variable changed;
    bool opened = false;
    bool failed = false;
    bool stop = false;
    bool readRequested = false;
    bool readDone = false;
    bool raiseRequested = false;
    std::vector<Pixel> readPixels;
    std::thread thread;
};

namespace {

// The display that is open now, for raises asked for from other threads. Never
// destroyed: a window's thread may raise while the process ends.
struct OpenDisplay {
    std::mutex lock;
    std::weak_ptr<SdlDisplay::State> state;
};

OpenDisplay& TheOpenDisplay() {
    static OpenDisplay& open = *new OpenDisplay;
    return open;
}

void Present(SDL_Renderer* renderer, SDL_Texture* texture, bool everything) {
    RECT dirty = TakeDirtyRect();
    std::shared_ptr<Surface> screen = ScreenSurface();
    if (everything)
        dirty = screen->Bounds();
    if (IsEmptyRect(dirty))
        return;
    SDL_Rect area{dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top};
    if (CurrentOverlayLayer()) {
        std::vector<Pixel> composed = ComposedArea(dirty);
        SDL_UpdateTexture(texture, &area, composed.data(), static_cast<int>(area.w * sizeof(Pixel)));
    } else {
        std::lock_guard guard(screen->Lock());
        SDL_UpdateTexture(texture, &area, screen->Row(dirty.top) + dirty.left,
                          static_cast<int>(screen->Width() * sizeof(Pixel)));
    }
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
}

// Whether the desktop lost the window's pixels (another window lay over it): the whole
// screen is shown again, also while the program's own thread is busy and draws nothing.
bool LostPixels(const SDL_Event& event) {
    if (event.type != SDL_WINDOWEVENT)
        return false;
    switch (event.window.event) {
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_SIZE_CHANGED: return true;
    default: return false;
    }
}

void HandleEvent(const SDL_Event& event, SdlDisplay::State& state) {
    auto at = [&](int x, int y) { return POINT{x / state.scale, y / state.scale}; };
    switch (event.type) {
    case SDL_QUIT: PostThreadMessageW(state.quitThread, WM_QUIT, 0, 0); break;
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button == SDL_BUTTON_LEFT)
            InjectTouch(TouchPhase::Down, at(event.button.x, event.button.y));
        break;
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT)
            InjectTouch(TouchPhase::Up, at(event.button.x, event.button.y));
        break;
    case SDL_MOUSEMOTION:
        if (event.motion.state & SDL_BUTTON_LMASK)
            InjectTouch(TouchPhase::Move, at(event.motion.x, event.motion.y));
        break;
    case SDL_TEXTINPUT:
        for (wchar_t c : WideFromUtf8(event.text.text))
            InjectCharacter(c);
        break;
    case SDL_KEYDOWN:
        if (event.key.keysym.sym == SDLK_BACKSPACE)
            InjectCharacter(L'\b');
        else if (event.key.keysym.sym == SDLK_RETURN)
            InjectCharacter(L'\r');
        else if (event.key.keysym.sym == SDLK_HOME)
            InjectHomeKey(); // the phone's home key
        else if (event.key.keysym.sym == SDLK_v && (event.key.keysym.mod & KMOD_CTRL)) {
            // The text box pastes on the Control key followed by "V" with lParam 1.
            if (char* text = SDL_GetClipboardText()) {
                SetClipboardText(WideFromUtf8(text));
                SDL_free(text);
            }
            InjectKey(WM_KEYDOWN, VK_CONTROL);
            InjectKey(WM_KEYDOWN, VK_V, 1);
        }
        break;
    default: break;
    }
}

void Run(std::shared_ptr<SdlDisplay::State> state) {
    auto finish = [&](bool opened) {
        std::lock_guard guard(state->lock);
        state->opened = opened;
        state->failed = !opened;
        state->changed.notify_all();
    };
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        finish(false);
        return;
    }
    SDL_Window* window = SDL_CreateWindow("Quillora", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          ScreenWidth * state->scale, ScreenHeight * state->scale, 0);
    SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE) : nullptr;
    SDL_Texture* texture = renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                                        ScreenWidth, ScreenHeight)
                                    : nullptr;
    if (!texture) {
        if (window)
            SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        finish(false);
        return;
    }
    SDL_StartTextInput();
    finish(true);
    Present(renderer, texture, true);
    for (;;) {
        SDL_Event event;
        bool lost = false;
        if (SDL_WaitEventTimeout(&event, 16)) {
            do {
                lost = lost || LostPixels(event);
                HandleEvent(event, *state);
            } while (SDL_PollEvent(&event));
        }
        std::unique_lock guard(state->lock);
        if (state->stop)
            break;
        bool read = state->readRequested;
        bool raise = std::exchange(state->raiseRequested, false);
        guard.unlock();
        if (raise)
            SDL_RaiseWindow(window);
        Present(renderer, texture, read || lost);
        if (read) {
            std::vector<Pixel> pixels(ScreenWidth * ScreenHeight);
            SDL_Rect whole{0, 0, ScreenWidth, ScreenHeight};
            bool ok = SDL_RenderReadPixels(renderer, state->scale == 1 ? &whole : nullptr, SDL_PIXELFORMAT_ARGB8888,
                                           pixels.data(), ScreenWidth * sizeof(Pixel)) == 0;
            guard.lock();
            state->readPixels = ok ? std::move(pixels) : std::vector<Pixel>();
            state->readRequested = false;
            state->readDone = true;
            state->changed.notify_all();
        }
    }
    SDL_DestroyTexture(texture);
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

} // namespace

SdlDisplay::SdlDisplay(std::shared_ptr<State> state) : m_state(std::move(state)) {}

std::unique_ptr<SdlDisplay> SdlDisplay::Open(int scale) {
    auto state = std::make_shared<State>();
    state->scale = std::max(scale, 1);
    state->quitThread = GetCurrentThreadId();
    state->thread = std::thread(Run, state);
    std::unique_lock guard(state->lock);
    state->changed.wait(guard, [&] { return state->opened || state->failed; });
    if (state->failed) {
        guard.unlock();
        state->thread.join();
        return nullptr;
    }
    guard.unlock();
    {
        OpenDisplay& open = TheOpenDisplay();
        std::lock_guard openGuard(open.lock);
        open.state = state;
    }
    SetDesktopRaiser(&RaiseDesktopWindow);
    return std::unique_ptr<SdlDisplay>(new SdlDisplay(state));
}

SdlDisplay::~SdlDisplay() {
    {
        OpenDisplay& open = TheOpenDisplay();
        std::lock_guard guard(open.lock);
        if (open.state.lock() == m_state)
            open.state.reset();
    }
    {
        std::lock_guard guard(m_state->lock);
        m_state->stop = true;
    }
    m_state->thread.join();
}

bool SdlDisplay::ReadBack(Surface& out) {
    std::unique_lock guard(m_state->lock);
    m_state->readDone = false;
    m_state->readRequested = true;
    m_state->changed.wait(guard, [&] { return m_state->readDone; });
    if (m_state->readPixels.empty() || out.Width() != ScreenWidth || out.Height() != ScreenHeight)
        return false;
    for (int y = 0; y < ScreenHeight; ++y)
        std::memcpy(out.Row(y), m_state->readPixels.data() + static_cast<std::size_t>(y) * ScreenWidth,
                    ScreenWidth * sizeof(Pixel));
    return true;
}

void RaiseDesktopWindow() {
    std::shared_ptr<SdlDisplay::State> state;
    {
        OpenDisplay& open = TheOpenDisplay();
        std::lock_guard guard(open.lock);
        state = open.state.lock();
    }
    if (!state)
        return;
    // The window belongs to the display's thread: SDL wants it raised there.
    std::lock_guard guard(state->lock);
    state->raiseRequested = true;
}

} // namespace platform
