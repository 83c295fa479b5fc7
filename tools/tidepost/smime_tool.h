// The S/MIME side of the tool: the message crypto a run trusts (the platform's trust plus the
// PEM files given with --trust), and a message's signature described in one line.
#pragma once

#include <memory>
#include <string>

#include "arguments.h"
#include "host/crypto.h"
#include "host/mapi.h"

namespace tp::tool {

// The platform's message crypto trusting, beside the platform's own trust (the system's CA
// bundle on posix, the user's certificate stores on Windows), every --trust file. False with
// the reason on stderr when a file cannot be used.
bool MakeTrustingCrypto(const Options& options, std::unique_ptr<host::MessageCrypto>* crypto);

// "0 signature valid, chain trusted; signer CN=..., O=...; addresses a@b.example", or "none"
// when the message has no signature part.
std::string DescribeMessageSignature(host::MapiMessage& message);

}  // namespace tp::tool
