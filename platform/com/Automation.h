#pragma once
// Automation's data types as the browser control and its host pass them to each other:
// length-prefixed wide strings (BSTR), the VARIANT kinds that the control's events carry,
// and IDispatch, through which the events arrive by number. Only Invoke does anything
// here; the type-information methods answer E_NOTIMPL unless an object says otherwise.
//
// A BSTR is allocated by SysAllocString(Len) and freed by SysFreeString; the DWORD just
// before its first character holds its length in bytes, so SysStringLen counts embedded
// null characters. Any thread may allocate or free one.

#include "platform/com/Com.h"

using OLECHAR = WCHAR;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using BSTR = OLECHAR*;
using DISPID = LONG;
using LCID = DWORD;
using VARTYPE = WORD;
using VARIANT_BOOL = short;

constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

constexpr VARTYPE VT_EMPTY = 0;
constexpr VARTYPE VT_I4 = 3;
constexpr VARTYPE VT_BSTR = 8;
constexpr VARTYPE VT_DISPATCH = 9;
constexpr VARTYPE VT_BOOL = 11;
constexpr VARTYPE VT_VARIANT = 12;
constexpr VARTYPE VT_UNKNOWN = 13;
constexpr VARTYPE VT_BYREF = 0x4000;

constexpr WORD DISPATCH_METHOD = 0x1;
constexpr WORD DISPATCH_PROPERTYGET = 0x2;
constexpr LCID LOCALE_USER_DEFAULT = 0x0400;

constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003);

struct IDispatch;
struct ITypeInfo;
// Never filled in by the platform: a caller passes null or a buffer it ignores.
struct EXCEPINFO;

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONG lVal;
        VARIANT_BOOL boolVal;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        LONG* plVal;            // VT_BYREF | VT_I4
        VARIANT_BOOL* pboolVal; // VT_BYREF | VT_BOOL
        BSTR* pbstrVal;         // VT_BYREF | VT_BSTR
        VARIANT* pvarVal;       // VT_BYREF | VT_VARIANT
        void* byref;
    };
};
using VARIANTARG = VARIANT;

struct DISPPARAMS {
    VARIANTARG* rgvarg; // the arguments from the last to the first
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

// Null for a null text; otherwise a copy up to its terminating null character.
BSTR SysAllocString(LPCOLESTR text);
// `length` characters of `text`, or that many null characters when `text` is null.
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);

void VariantInit(VARIANTARG* variant);
// Frees what the variant owns (a BSTR, a reference to an interface; nothing for VT_BYREF)
// and leaves it VT_EMPTY.
HRESULT VariantClear(VARIANTARG* variant);

struct IDispatch : IUnknown {
    static constexpr IID Iid = {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    virtual HRESULT GetTypeInfoCount(UINT* /*count*/) { return E_NOTIMPL; }
    virtual HRESULT GetTypeInfo(UINT /*index*/, LCID /*locale*/, ITypeInfo** /*info*/) { return E_NOTIMPL; }
    virtual HRESULT GetIDsOfNames(REFIID /*iid*/, LPOLESTR* /*names*/, UINT /*count*/, LCID /*locale*/,
                                  DISPID* /*ids*/) {
        return E_NOTIMPL;
    }
    virtual HRESULT Invoke(DISPID member, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                           EXCEPINFO* exception, UINT* argumentError) = 0;
};

constexpr IID IID_IDispatch = IDispatch::Iid;
