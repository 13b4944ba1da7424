#pragma once
// The handler class as the server's class map sees it.
#include <objbase.h>

extern const CLSID CLSID_TessalyShExt;  // {B922807E-EF82-4915-A30C-4C892F724740}

// A new handler: the plain form when outer is null, the aggregated form
// otherwise; then QueryInterface(riid). On failure the object is destroyed at
// once and the failure returned; E_OUTOFMEMORY when it cannot be allocated.
// The aggregation rule is the class factory's to check.
HRESULT CreateTessalyShExt(IUnknown* outer, REFIID riid, void** object) noexcept;
