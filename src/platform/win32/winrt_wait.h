#pragma once
// The wait for an asynchronous operation of the Windows Runtime, on a worker.

#include <string_view>

#include "platform/mobile_hotspot_port.h"
#include "platform/win32/winrt_tethering.h"

namespace lumora::platform::win32 {

enum class WaitOutcome { Completed, Failed, TimedOut, GivenUp };

// Polls the operation's status until it completes, fails, the wait's limit runs out or
// its keepGoing answers false. A completed operation is left open for its results;
// every other one is closed, and one still running is cancelled first. A failure and a
// limit that ran out are reported under where; a wait given up is not a failure.
WaitOutcome AwaitOperation(winrt::IAsyncInfo& operation, const AsyncWait& wait,
                           std::string_view where);

}  // namespace lumora::platform::win32
