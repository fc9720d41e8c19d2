#pragma once
// The small scripts of the local pages, run by an embedded engine over a minimal DOM:
// document.getElementById and getElementsByTagName; an element's style.display and
// style.top (written into its inline style, the page laid out again), innerHTML (as
// text), offsetTop and offsetHeight, onclick attributes; an image's complete,
// naturalWidth and onerror; window's load handlers. Nothing else of the web platform.
// A script error goes to the debug channel and never stops the page.
//
// Belongs to the thread of its page.

#ifndef LITEHTML_UTF8
#define LITEHTML_UTF8
#endif
#include <litehtml.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct duk_hthread;

namespace platform::browser {

class ScriptHost {
public:
    // `relayout` lays the page out again after a script changed it; `pictureWidth` tells
    // an image's natural width (0 when it could not be loaded); `readScript` reads a
    // script's src (empty when missing).
    ScriptHost(litehtml::document::ptr document, std::function<void()> relayout,
               std::function<int(const litehtml::element::ptr&)> pictureWidth,
               std::function<std::string(const std::string&)> readScript);
    ~ScriptHost();
    ScriptHost(const ScriptHost&) = delete;
    ScriptHost& operator=(const ScriptHost&) = delete;

    // Runs the page's scripts in order, then its load handlers and the error handlers of
    // the pictures that could not be loaded.
    void RunPage();
    // Runs the onclick of the element or the nearest one above it that has one; false
    // when there is none.
    bool Click(const litehtml::element::ptr& element);
    // Whether a script changed the page since the last call.
    bool TakeChanged();

    // For the engine's calls: the element behind a wrapper, and a wrapper for an element.
    litehtml::element::ptr ElementAt(std::size_t index) const;
    std::size_t IndexOf(const litehtml::element::ptr& element);
    void SetStyle(const litehtml::element::ptr& element, const std::string& property, const std::string& value);
    std::string GetStyle(const litehtml::element::ptr& element, const std::string& property) const;
    void SetText(const litehtml::element::ptr& element, const std::string& text);
    int PictureWidth(const litehtml::element::ptr& element) const { return m_pictureWidth(element); }
    litehtml::document::ptr Document() const { return m_document; }

private:
    void Run(const std::string& source, const char* name);
    void Relayout();

    litehtml::document::ptr m_document;
    std::function<void()> m_relayout;
    std::function<int(const litehtml::element::ptr&)> m_pictureWidth;
    std::function<std::string(const std::string&)> m_readScript;
    std::vector<litehtml::element::ptr> m_elements; // index → element, for the wrappers
    duk_hthread* m_engine = nullptr;
    bool m_changed = false;
};

} // namespace platform::browser
