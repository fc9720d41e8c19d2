#pragma once
// The browser control's one connection point, DWebBrowserEvents2: the sinks advised to
// it, and each event delivered to every sink by IDispatch::Invoke with its arguments laid
// out as WebBrowserTypes.h describes. The connection point is part of the control and
// shares its reference count; it holds each sink until the control goes.
//
// Advise may be called from any thread. Events are fired by the control on its own
// thread; a sink may advise another sink, or release the control, from inside an event.

#include "platform/com/WebBrowserTypes.h"

#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace platform::browser {

class EventConnection final : public IConnectionPoint {
public:
    // `owner` is the control, whose references this object's are.
    explicit EventConnection(IUnknown& owner) : m_owner(owner) {}
    ~EventConnection();
    EventConnection(const EventConnection&) = delete;
    EventConnection& operator=(const EventConnection&) = delete;

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override { return m_owner.AddRef(); }
    ULONG Release() override { return m_owner.Release(); }
    HRESULT Advise(IUnknown* sink, DWORD* cookie) override;

    // The events with a cancel flag return whether a sink set it.
    bool BeforeNavigate2(IDispatch* browser, const std::wstring& address);
    bool FileDownload(bool activeDocument);
    bool NavigateError(IDispatch* browser, const std::wstring& address, HRESULT status);
    void DocumentComplete(IDispatch* browser, const std::wstring& address);
    void ProgressChange(LONG progress, LONG maximum);
    void TitleChange(const std::wstring& text);
    void StatusTextChange(const std::wstring& text);
    void DownloadBegin();
    void DownloadComplete();
    void Quit();

private:
    void Fire(DISPID event, VARIANTARG* arguments, UINT count);

    IUnknown& m_owner;
    std::mutex m_lock;
    std::vector<std::pair<DWORD, IDispatch*>> m_sinks;
    DWORD m_nextCookie = 1;
};

} // namespace platform::browser
