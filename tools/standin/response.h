// An answer of the stand-in and its wire form.
#pragma once

#include <string>

namespace tp::standin {

struct Response {
  int status = 200;
  std::string contentType;
  std::string body;
};

// The reason phrase for the status codes the stand-in uses.
const char* ReasonPhrase(int status);
// The status line and headers, ending with the empty line; Connection: close always.
std::string ResponseHead(const Response& response, bool withContentLength);
// A small HTML error page for `status`.
Response ErrorPage(int status);

}  // namespace tp::standin
