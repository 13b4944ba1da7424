// Numbers from text through OLE Automation's conversion.
#include <windows.h>
#include <oleauto.h>

#include "platform/NumberText.h"

namespace tessaly::platform {

HResult UnsignedFromText(const wchar_t* text, std::uint32_t& value) {
    ULONG number = 0;
    // mingw's declaration takes a non-const pointer; the text is only read.
    const HRESULT result = ::VarUI4FromStr(const_cast<OLECHAR*>(text), 0, 0, &number);
    if (SUCCEEDED(result)) value = number;
    return result;
}

}  // namespace tessaly::platform
