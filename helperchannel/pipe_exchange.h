// One request and its answer over the helper's pipe.
#pragma once

#include <chrono>
#include <string>

// The longest one exchange may take: opening a pipe whose every instance is busy, writing the
// request and waiting for the answer all come out of it.
constexpr std::chrono::milliseconds kExchangeLimit{1000};

// What an exchange answers when the pipe cannot be opened or the helper does not answer in time.
constexpr char kNoAnswer[] = "ERROR";

// Opens the helper's pipe, writes the one-byte request and reads the answer with one read of at
// most 511 bytes; the answer is the text up to its first zero byte. A pipe that does not exist is
// not waited for. Never fails and never takes longer than kExchangeLimit (plus the time to cancel
// the read): a pipe that cannot be opened, stays busy or gives no answer in time gives kNoAnswer;
// a helper that closes its end without answering gives the empty text.
std::string PipeTransact(char request);
