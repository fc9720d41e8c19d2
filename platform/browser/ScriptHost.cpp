#include "platform/browser/ScriptHost.h"

#include "platform/base/DebugOutput.h"
#include "platform/base/Utf8.h"

#include <el_text.h>

#include <duktape.h>

#include <algorithm>
#include <cctype>

namespace platform::browser {
namespace {

constexpr const char* IndexKey = "\xFF"
                                 "index";

// What every page gets before its own scripts: window is the global object, and load
// handlers are kept to be called once the page's scripts have run.
constexpr const char* Prelude = R"js(
var window = this;
var __loadHandlers = [];
window.addEventListener = function (type, handler) { if (type == 'load') __loadHandlers.push(handler); };
window.attachEvent = function (type, handler) { if (type == 'onload') __loadHandlers.push(handler); };
function __fireLoad() {
    for (var i = 0; i < __loadHandlers.length; i++) {
        try { __loadHandlers[i].call(window); } catch (e) { __report(e); }
    }
    if (typeof window.onload == 'function') { try { window.onload(); } catch (e) { __report(e); } }
}
)js";

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string Trim(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t\r\n"), last = text.find_last_not_of(" \t\r\n");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

ScriptHost& Host(duk_context* context) {
    duk_memory_functions functions;
    duk_get_memory_functions(context, &functions);
    return *static_cast<ScriptHost*>(functions.udata);
}

void Walk(const litehtml::element::ptr& element, const std::function<void(const litehtml::element::ptr&)>& visit) {
    if (!element)
        return;
    visit(element);
    for (std::size_t i = 0; i < element->get_children_count(); ++i)
        Walk(element->get_child(static_cast<int>(i)), visit);
}

std::string TagOf(const litehtml::element::ptr& element) {
    const char* tag = element->get_tagName();
    return tag ? Lower(tag) : std::string();
}

// The element behind `this` of a call, or null.
litehtml::element::ptr ThisElement(duk_context* context) {
    duk_push_this(context);
    duk_get_prop_string(context, -1, IndexKey);
    litehtml::element::ptr element;
    if (duk_is_number(context, -1))
        element = Host(context).ElementAt(static_cast<std::size_t>(duk_get_uint(context, -1)));
    duk_pop_2(context);
    return element;
}

void PushElement(duk_context* context, const litehtml::element::ptr& element);

// style.display and style.top: accessors on the style object, which carries the index.
template <int Property> duk_ret_t StyleGet(duk_context* context) {
    litehtml::element::ptr element = ThisElement(context);
    const char* name = Property == 0 ? "display" : "top";
    std::string value = element ? Host(context).GetStyle(element, name) : std::string();
    duk_push_string(context, value.c_str());
    return 1;
}

template <int Property> duk_ret_t StyleSet(duk_context* context) {
    std::string value = duk_safe_to_string(context, 0);
    if (litehtml::element::ptr element = ThisElement(context))
        Host(context).SetStyle(element, Property == 0 ? "display" : "top", value);
    return 0;
}

void DefineAccessor(duk_context* context, const char* name, duk_c_function getter, duk_c_function setter) {
    duk_push_string(context, name);
    duk_push_c_function(context, getter, 0);
    duk_uint_t flags = DUK_DEFPROP_HAVE_GETTER;
    if (setter) {
        duk_push_c_function(context, setter, 1);
        flags |= DUK_DEFPROP_HAVE_SETTER;
    }
    duk_def_prop(context, -2 - (setter ? 2 : 1), flags);
}

duk_ret_t GetStyleObject(duk_context* context) {
    litehtml::element::ptr element = ThisElement(context);
    duk_push_object(context);
    duk_push_uint(context, static_cast<duk_uint_t>(element ? Host(context).IndexOf(element) : 0));
    duk_put_prop_string(context, -2, IndexKey);
    DefineAccessor(context, "display", &StyleGet<0>, &StyleSet<0>);
    DefineAccessor(context, "top", &StyleGet<1>, &StyleSet<1>);
    return 1;
}

duk_ret_t GetInnerHtml(duk_context* context) {
    litehtml::tstring text;
    if (litehtml::element::ptr element = ThisElement(context))
        element->get_text(text);
    duk_push_string(context, text.c_str());
    return 1;
}

duk_ret_t SetInnerHtml(duk_context* context) {
    std::string text = duk_safe_to_string(context, 0);
    if (litehtml::element::ptr element = ThisElement(context))
        Host(context).SetText(element, text);
    return 0;
}

template <bool Top> duk_ret_t GetOffset(duk_context* context) {
    litehtml::element::ptr element = ThisElement(context);
    litehtml::position place = element ? element->get_placement() : litehtml::position();
    duk_push_int(context, Top ? place.y : place.height);
    return 1;
}

duk_ret_t GetNaturalWidth(duk_context* context) {
    litehtml::element::ptr element = ThisElement(context);
    duk_push_int(context, element ? Host(context).PictureWidth(element) : 0);
    return 1;
}

duk_ret_t GetComplete(duk_context* context) {
    duk_push_true(context); // pictures are read at once, whether they load or not
    return 1;
}

duk_ret_t GetTagName(duk_context* context) {
    litehtml::element::ptr element = ThisElement(context);
    std::string tag = element ? TagOf(element) : std::string();
    std::transform(tag.begin(), tag.end(), tag.begin(), [](unsigned char c) { return std::toupper(c); });
    duk_push_string(context, tag.c_str());
    return 1;
}

// One wrapper per element, kept in the stash so that a page's scripts see the same
// object (and the handlers they set on it) each time.
void PushElement(duk_context* context, const litehtml::element::ptr& element) {
    if (!element) {
        duk_push_null(context);
        return;
    }
    std::size_t index = Host(context).IndexOf(element);
    duk_push_global_stash(context);
    std::string key = "element" + std::to_string(index);
    if (duk_get_prop_string(context, -1, key.c_str())) {
        duk_remove(context, -2);
        return;
    }
    duk_pop(context);
    duk_push_object(context);
    duk_push_uint(context, static_cast<duk_uint_t>(index));
    duk_put_prop_string(context, -2, IndexKey);
    DefineAccessor(context, "style", &GetStyleObject, nullptr);
    DefineAccessor(context, "innerHTML", &GetInnerHtml, &SetInnerHtml);
    DefineAccessor(context, "offsetTop", &GetOffset<true>, nullptr);
    DefineAccessor(context, "offsetHeight", &GetOffset<false>, nullptr);
    DefineAccessor(context, "naturalWidth", &GetNaturalWidth, nullptr);
    DefineAccessor(context, "complete", &GetComplete, nullptr);
    DefineAccessor(context, "tagName", &GetTagName, nullptr);
    duk_dup(context, -1);
    duk_put_prop_string(context, -3, key.c_str());
    duk_remove(context, -2);
}

duk_ret_t GetElementById(duk_context* context) {
    std::string id = duk_safe_to_string(context, 0);
    litehtml::element::ptr found;
    Walk(Host(context).Document()->root(), [&](const litehtml::element::ptr& element) {
        const char* value = element->get_attr("id");
        if (!found && value && id == value)
            found = element;
    });
    PushElement(context, found);
    return 1;
}

duk_ret_t GetElementsByTagName(duk_context* context) {
    std::string tag = Lower(duk_safe_to_string(context, 0));
    duk_idx_t array = duk_push_array(context);
    duk_uarridx_t count = 0;
    Walk(Host(context).Document()->root(), [&](const litehtml::element::ptr& element) {
        if (tag == "*" || TagOf(element) == tag) {
            PushElement(context, element);
            duk_put_prop_index(context, array, count++);
        }
    });
    return 1;
}

duk_ret_t Report(duk_context* context) {
    NKDbgPrintfW(L"page script error: %ls\n", WideFromUtf8(duk_safe_to_string(context, 0)).c_str());
    return 0;
}

void Fatal(void*, const char* message) {
    // The engine cannot go on; the process must not either, rather than run on corrupted.
    NKDbgPrintfW(L"page script engine failed: %hs\n", message ? message : "");
    std::abort();
}

} // namespace

ScriptHost::ScriptHost(litehtml::document::ptr document, std::function<void()> relayout,
                       std::function<int(const litehtml::element::ptr&)> pictureWidth,
                       std::function<std::string(const std::string&)> readScript)
    : m_document(std::move(document)), m_relayout(std::move(relayout)), m_pictureWidth(std::move(pictureWidth)),
      m_readScript(std::move(readScript)) {
    m_engine = duk_create_heap(nullptr, nullptr, nullptr, this, &Fatal);
    if (!m_engine)
        return;
    duk_push_global_object(m_engine);
    duk_push_c_function(m_engine, &Report, 1);
    duk_put_prop_string(m_engine, -2, "__report");
    duk_push_object(m_engine);
    duk_push_c_function(m_engine, &GetElementById, 1);
    duk_put_prop_string(m_engine, -2, "getElementById");
    duk_push_c_function(m_engine, &GetElementsByTagName, 1);
    duk_put_prop_string(m_engine, -2, "getElementsByTagName");
    duk_put_prop_string(m_engine, -2, "document");
    duk_pop(m_engine);
    Run(Prelude, "prelude");
}

ScriptHost::~ScriptHost() {
    if (m_engine)
        duk_destroy_heap(m_engine);
}

void ScriptHost::Run(const std::string& source, const char* name) {
    if (!m_engine)
        return;
    duk_push_string(m_engine, name);
    if (duk_pcompile_lstring_filename(m_engine, 0, source.data(), source.size()) != 0 ||
        duk_pcall(m_engine, 0) != DUK_EXEC_SUCCESS) {
        NKDbgPrintfW(L"page script error in %hs: %ls\n", name, WideFromUtf8(duk_safe_to_string(m_engine, -1)).c_str());
    }
    duk_pop(m_engine);
}

void ScriptHost::RunPage() {
    std::vector<litehtml::element::ptr> scripts, pictures;
    Walk(m_document->root(), [&](const litehtml::element::ptr& element) {
        std::string tag = TagOf(element);
        if (tag == "script")
            scripts.push_back(element);
        else if (tag == "img")
            pictures.push_back(element);
    });
    for (const litehtml::element::ptr& script : scripts) {
        const char* src = script->get_attr("src");
        litehtml::tstring text;
        if (src)
            text = m_readScript(src);
        else
            script->get_text(text);
        Run(text, src ? src : "inline script");
    }
    Run("__fireLoad();", "load");
    // Pictures that could not be loaded tell their error handlers.
    for (const litehtml::element::ptr& picture : pictures) {
        if (!m_engine || m_pictureWidth(picture) > 0)
            continue;
        PushElement(m_engine, picture);
        duk_get_prop_string(m_engine, -1, "onerror");
        if (duk_is_function(m_engine, -1)) {
            duk_dup(m_engine, -2);
            if (duk_pcall_method(m_engine, 0) != DUK_EXEC_SUCCESS)
                NKDbgPrintfW(L"page script error: %ls\n", WideFromUtf8(duk_safe_to_string(m_engine, -1)).c_str());
        }
        duk_pop_2(m_engine);
    }
}

bool ScriptHost::Click(const litehtml::element::ptr& hit) {
    litehtml::element::ptr element = hit;
    while (element && !element->get_attr("onclick"))
        element = element->parent();
    if (!element || !m_engine)
        return false;
    std::string source = std::string("(function () {") + element->get_attr("onclick") + "\n})";
    duk_push_string(m_engine, "onclick");
    if (duk_pcompile_lstring_filename(m_engine, DUK_COMPILE_EVAL, source.data(), source.size()) == 0 &&
        duk_pcall(m_engine, 0) == DUK_EXEC_SUCCESS) {
        PushElement(m_engine, element);
        if (duk_pcall_method(m_engine, 0) != DUK_EXEC_SUCCESS)
            NKDbgPrintfW(L"page script error: %ls\n", WideFromUtf8(duk_safe_to_string(m_engine, -1)).c_str());
    } else {
        NKDbgPrintfW(L"page script error: %ls\n", WideFromUtf8(duk_safe_to_string(m_engine, -1)).c_str());
    }
    duk_pop(m_engine);
    return true;
}

bool ScriptHost::TakeChanged() {
    bool changed = m_changed;
    m_changed = false;
    return changed;
}

litehtml::element::ptr ScriptHost::ElementAt(std::size_t index) const {
    return index < m_elements.size() ? m_elements[index] : nullptr;
}

std::size_t ScriptHost::IndexOf(const litehtml::element::ptr& element) {
    auto found = std::find(m_elements.begin(), m_elements.end(), element);
    if (found != m_elements.end())
        return static_cast<std::size_t>(found - m_elements.begin());
    m_elements.push_back(element);
    return m_elements.size() - 1;
}

namespace {

// An inline style as (name, value) pairs in order.
std::vector<std::pair<std::string, std::string>> Declarations(const char* style) {
    std::vector<std::pair<std::string, std::string>> declarations;
    std::string text = style ? style : "";
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(';', start);
        if (end == std::string::npos)
            end = text.size();
        std::string part = text.substr(start, end - start);
        std::size_t colon = part.find(':');
        if (colon != std::string::npos)
            declarations.emplace_back(Lower(Trim(part.substr(0, colon))), Trim(part.substr(colon + 1)));
        start = end + 1;
    }
    return declarations;
}

} // namespace

std::string ScriptHost::GetStyle(const litehtml::element::ptr& element, const std::string& property) const {
    for (const auto& [name, value] : Declarations(element->get_attr("style")))
        if (name == property)
            return value;
    return {};
}

void ScriptHost::SetStyle(const litehtml::element::ptr& element, const std::string& property,
                          const std::string& value) {
    auto declarations = Declarations(element->get_attr("style"));
    declarations.erase(std::remove_if(declarations.begin(), declarations.end(),
                                      [&](const auto& declaration) { return declaration.first == property; }),
                       declarations.end());
    if (!Trim(value).empty())
        declarations.emplace_back(property, Trim(value));
    std::string style;
    for (const auto& [name, text] : declarations)
        style += name + ":" + text + ";";
    element->set_attr("style", style.c_str());
    element->refresh_styles();
    element->parse_styles(true);
    Relayout();
}

void ScriptHost::SetText(const litehtml::element::ptr& element, const std::string& text) {
    element->clearRecursive();
    element->appendChild(std::make_shared<litehtml::el_text>(text.c_str(), m_document));
    element->parse_styles(true);
    Relayout();
}

void ScriptHost::Relayout() {
    m_changed = true;
    m_relayout();
}

} // namespace platform::browser
