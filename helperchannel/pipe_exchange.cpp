#include "helperchannel/pipe_exchange.h"

#include <windows.h>

#include <algorithm>

#include "base/diag.h"
#include "base/win32_handles.h"
#include "vendor/halvane_pipe.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

// Whole milliseconds until the deadline, rounded up; 0 once it has passed.
DWORD MillisecondsLeft(SteadyClock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return static_cast<DWORD>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

// The pipe opened for overlapped I/O, so that every wait on it can be bounded. A pipe whose every
// instance is busy is waited for until the deadline; one that does not exist is not.
UniqueFileHandle OpenPipe(char request, SteadyClock::time_point deadline) {
    for (;;) {
        UniqueFileHandle pipe(CreateFileA(halvane::kPipeName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_OVERLAPPED, nullptr));
        if (pipe) return pipe;
        const DWORD error = GetLastError();
        if (error != ERROR_PIPE_BUSY) {
            DebugPrint(L"Helper pipe: cannot open it for '%lc' (error %lu)\n", static_cast<wint_t>(request), error);
            return pipe;
        }
        // A zero wait would mean the pipe's default time-out, not none.
        const DWORD left = MillisecondsLeft(deadline);
        if (left == 0 || !WaitNamedPipeA(halvane::kPipeName, left)) {
            DebugPrint(L"Helper pipe: still busy after %lld ms, '%lc' not sent\n",
                       static_cast<long long>(kExchangeLimit.count()), static_cast<wint_t>(request));
            return UniqueFileHandle();
        }
    }
}

// Waits for an overlapped operation that `started` began, at most until the deadline, and cancels
// it then. The bytes it moved (a failed operation, such as a read from a pipe whose other end was
// closed, moved none), or -1 when it was cancelled. Each exchange has one operation at a time on
// its own handle, so the handle itself signals the completion and no event is needed.
long long Complete(HANDLE pipe, OVERLAPPED& operation, BOOL started, SteadyClock::time_point deadline) {
    DWORD bytes = 0;
    if (!started) {
        const DWORD error = GetLastError();
        // A message longer than the buffer fills the buffer and reports more data.
        if (error != ERROR_IO_PENDING && error != ERROR_MORE_DATA) return 0;
        if (error == ERROR_IO_PENDING && WaitForSingleObject(pipe, MillisecondsLeft(deadline)) != WAIT_OBJECT_0) {
            CancelIo(pipe);
            // The buffer and the OVERLAPPED must outlive the operation, so wait until it is over;
            // it may also have completed meanwhile.
            if (!GetOverlappedResult(pipe, &operation, &bytes, TRUE) && GetLastError() == ERROR_OPERATION_ABORTED)
                return -1;
            return bytes;
        }
    }
    GetOverlappedResult(pipe, &operation, &bytes, FALSE);
    return bytes;
}

}  // namespace

std::string PipeTransact(char request) {
    const SteadyClock::time_point deadline = SteadyClock::now() + kExchangeLimit;
    const UniqueFileHandle pipe = OpenPipe(request, deadline);
    if (!pipe) return kNoAnswer;

    OVERLAPPED write{};
    if (Complete(pipe.get(), write, WriteFile(pipe.get(), &request, 1, nullptr, &write), deadline) < 0) {
        DebugPrint(L"Helper pipe: '%lc' not taken within %lld ms\n", static_cast<wint_t>(request),
                   static_cast<long long>(kExchangeLimit.count()));
        return kNoAnswer;
    }

    char answer[halvane::kLargestAnswer + 1] = {};
    OVERLAPPED read{};
    const BOOL started = ReadFile(pipe.get(), answer, static_cast<DWORD>(halvane::kLargestAnswer), nullptr, &read);
    if (Complete(pipe.get(), read, started, deadline) < 0) {
        DebugPrint(L"Helper pipe: no answer to '%lc' within %lld ms\n", static_cast<wint_t>(request),
                   static_cast<long long>(kExchangeLimit.count()));
        return kNoAnswer;
    }
    // The buffer was zero-filled and the read left its last byte alone: the answer is the text up
    // to its first zero byte.
    return answer;
}
