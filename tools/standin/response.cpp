// Writing answers.
#include "standin/response.h"

namespace tp::standin {

const char* ReasonPhrase(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 400:
      return "Bad Request";
    case 404:
      return "Not Found";
    case 405:
      return "Method Not Allowed";
    case 413:
      return "Content Too Large";
    case 431:
      return "Request Header Fields Too Large";
    case 500:
      return "Internal Server Error";
    case 501:
      return "Not Implemented";
    default:
      return "Unknown";
  }
}

std::string ResponseHead(const Response& response, bool withContentLength) {
  std::string head =
      "HTTP/1.1 " + std::to_string(response.status) + " " + ReasonPhrase(response.status) + "\r\n";
  if (!response.contentType.empty())
    head += "Content-Type: " + response.contentType + "\r\n";
  if (withContentLength)
    head += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
  head += "Connection: close\r\n\r\n";
  return head;
}

Response ErrorPage(int status) {
  const std::string title = std::to_string(status) + " " + ReasonPhrase(status);
  return Response{status, "text/html",
                  "<html><head><title>" + title + "</title></head><body><h1>" + title +
                      "</h1></body></html>\r\n"};
}

}  // namespace tp::standin
