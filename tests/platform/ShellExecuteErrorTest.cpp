// The reason a failed ShellExecuteExW gives when the shell has cleared the
// thread's last error: every code the shell leaves in hInstApp.
#include <gtest/gtest.h>

#include "platform/win/ShellExecuteError.h"

namespace tessaly {
namespace {

TEST(ShellExecuteErrorTest, TheLastErrorFirstElseTheShellsCodeInSystemTerms) {
    struct Case {
        DWORD lastError;
        INT_PTR instApp;
        DWORD reason;
    };
    const Case cases[] = {
        {ERROR_ACCESS_DENIED, SE_ERR_NOASSOC, ERROR_ACCESS_DENIED}, {0, 0, ERROR_NOT_ENOUGH_MEMORY},
        {0, SE_ERR_SHARE, ERROR_SHARING_VIOLATION},                 {0, SE_ERR_ASSOCINCOMPLETE, ERROR_NO_ASSOCIATION},
        {0, SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION},                  {0, SE_ERR_DDETIMEOUT, ERROR_DDE_FAIL},
        {0, SE_ERR_DDEFAIL, ERROR_DDE_FAIL},                        {0, SE_ERR_DDEBUSY, ERROR_DDE_FAIL},
        {0, SE_ERR_DLLNOTFOUND, ERROR_DLL_NOT_FOUND},               {0, SE_ERR_FNF, ERROR_FILE_NOT_FOUND},
        {0, ERROR_BAD_FORMAT, ERROR_BAD_FORMAT},
    };
    for (const Case& c : cases) {
        SHELLEXECUTEINFOW execute = {};
        execute.hInstApp = reinterpret_cast<HINSTANCE>(c.instApp);
        ::SetLastError(c.lastError);
        EXPECT_EQ(platform::ShellExecuteError(execute), c.reason) << "hInstApp " << c.instApp;
    }
}

}  // namespace
}  // namespace tessaly
