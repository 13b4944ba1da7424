#pragma once
// The Explorer command class as the server's class map sees it. No registry
// script registers it: the package that Windows 11 installs declares it.
#include <objbase.h>

extern const CLSID CLSID_TessalyCommand;  // {31947C44-8420-40FE-B315-A367ABAE0D74}

// A new command: the plain form when outer is null, the aggregated form
// otherwise; then QueryInterface(riid), as CreateTessalyShExt does.
HRESULT CreateTessalyCommand(IUnknown* outer, REFIID riid, void** object) noexcept;
