// The S/MIME side of the tool: the message crypto a run trusts (the system's CAs plus the
// PEM files given with --trust), and a message's signature described in one line.
#pragma once

#include <memory>
#include <string>

#include "arguments.h"
#include "host/mapi.h"
#include "host/posix/posix_crypto.h"

namespace tp::tool {

// OpenSSL's message crypto trusting the system's CAs and every --trust file. False with the
// reason on stderr when a file cannot be used.
bool MakeTrustingCrypto(const Options& options,
                        std::unique_ptr<host::posix::PosixMessageCrypto>* crypto);

// "0 signature valid, chain trusted; signer CN=..., O=...; addresses a@b.example", or "none"
// when the message has no signature part.
std::string DescribeMessageSignature(host::MapiMessage& message);

}  // namespace tp::tool
