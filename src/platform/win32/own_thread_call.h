#pragma once
// A blocking call that Windows gives no way to cut short (a name look-up, a WinINet
// exchange) runs on a thread of its own, so that the worker that asked for it can give
// it up when it is ended: the program's end joins its workers, and must not wait for
// a name server or a site that does not answer.

#include <functional>
#include <string>
#include <string_view>

namespace lumora::platform::win32 {

// Runs call on a thread of its own and answers what it returns. While it runs,
// keepGoing is asked every 20 ms; once it answers false, giveUp (if any) runs on the
// caller's thread, to cut the call short where the platform can, and the empty text is
// answered while the call finishes alone. An exception that leaves call is reported
// under where and gives the empty text too.
std::string CallOnOwnThread(std::string_view where, std::function<std::string()> call,
                            const std::function<bool()>& keepGoing,
                            const std::function<void()>& giveUp = {});

}  // namespace lumora::platform::win32
