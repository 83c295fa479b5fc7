// Reading and parsing requests.
#include "standin/http_request.h"

#include <sys/socket.h>

#include <cerrno>

#include "base/text.h"
#include "standin/socket_io.h"

namespace tp::standin {
namespace {

char LowerAscii(char ch) {
  return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch + 32) : ch;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i]))
      return false;
  }
  return true;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

bool IsTokenChar(char ch) {
  const auto byte = static_cast<unsigned char>(ch);
  return byte > 0x20 && byte < 0x7F && ch != ':' && ch != '(' && ch != ')' && ch != ',' &&
         ch != '/' && ch != ';' && ch != '<' && ch != '=' && ch != '>' && ch != '?' && ch != '@' &&
         ch != '[' && ch != '\\' && ch != ']' && ch != '{' && ch != '}' && ch != '"';
}

bool IsToken(std::string_view text) {
  if (text.empty())
    return false;
  for (const char ch : text) {
    if (!IsTokenChar(ch))
      return false;
  }
  return true;
}

bool HasControlBytes(std::string_view text) {
  for (const char ch : text) {
    const auto byte = static_cast<unsigned char>(ch);
    if ((byte < 0x20 && ch != '\t') || byte == 0x7F)
      return true;
  }
  return false;
}

ReadResult ParseRequestLine(std::string_view line, Request* request) {
  const size_t first = line.find(' ');
  const size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
  if (second == std::string_view::npos)
    return ReadResult::kMalformed;
  const std::string_view method = line.substr(0, first);
  const std::string_view target = line.substr(first + 1, second - first - 1);
  const std::string_view version = line.substr(second + 1);
  if (!IsToken(method) || target.empty() || target.front() != '/' ||
      target.find_first_of(" \t") != std::string_view::npos || HasControlBytes(target) ||
      (version != "HTTP/1.1" && version != "HTTP/1.0")) {
    return ReadResult::kMalformed;
  }
  request->method = method;
  request->target = target;
  const size_t question = target.find('?');
  request->path = target.substr(0, question);
  request->query = question == std::string_view::npos ? "" : target.substr(question + 1);
  return ReadResult::kOk;
}

// Parses digits only: no sign, no spaces inside, no overflow past the body limit.
bool ParseLength(std::string_view text, size_t* length) {
  if (text.empty() || text.size() > 12)
    return false;
  size_t value = 0;
  for (const char ch : text) {
    if (ch < '0' || ch > '9')
      return false;
    value = value * 10 + static_cast<size_t>(ch - '0');
  }
  *length = value;
  return true;
}

}  // namespace

std::optional<std::string> QueryParameter(std::string_view query, std::string_view name) {
  const auto decode = [](std::string_view text) {
    std::string spaced(text);
    for (char& ch : spaced) {
      if (ch == '+')
        ch = ' ';
    }
    return PercentDecode(spaced);
  };
  while (!query.empty()) {
    const size_t amp = query.find('&');
    const std::string_view pair = query.substr(0, amp);
    query = amp == std::string_view::npos ? "" : query.substr(amp + 1);
    const size_t equals = pair.find('=');
    if (decode(pair.substr(0, equals)) != name)
      continue;
    return equals == std::string_view::npos ? "" : decode(pair.substr(equals + 1));
  }
  return std::nullopt;
}

std::string Request::Header(std::string_view name) const {
  for (const auto& [headerName, value] : headers) {
    if (EqualsNoCase(headerName, name))
      return value;
  }
  return {};
}

bool Request::HasHeader(std::string_view name) const {
  for (const auto& header : headers) {
    if (EqualsNoCase(header.first, name))
      return true;
  }
  return false;
}

ReadResult ParseHead(std::string_view head, Request* request, size_t* bodyLength) {
  size_t end = head.find("\r\n");
  ReadResult result = ParseRequestLine(head.substr(0, end), request);
  if (result != ReadResult::kOk)
    return result;
  while (end != std::string_view::npos) {
    const size_t start = end + 2;
    end = head.find("\r\n", start);
    const std::string_view line = head.substr(start, end - start);
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos || !IsToken(line.substr(0, colon)) ||
        HasControlBytes(line)) {
      return ReadResult::kMalformed;
    }
    request->headers.emplace_back(std::string(line.substr(0, colon)),
                                  std::string(Trim(line.substr(colon + 1))));
  }
  if (request->HasHeader("Transfer-Encoding"))
    return ReadResult::kNotImplemented;
  *bodyLength = 0;
  std::string announced;
  for (const auto& [name, value] : request->headers) {
    if (!EqualsNoCase(name, "Content-Length"))
      continue;
    size_t length = 0;
    // Two different lengths leave the body's end in doubt.
    if (!ParseLength(value, &length) || (!announced.empty() && announced != value)) {
      return ReadResult::kMalformed;
    }
    announced = value;
    *bodyLength = length;
  }
  return *bodyLength > kMaxBodyBytes ? ReadResult::kBodyTooLarge : ReadResult::kOk;
}

ReadResult ReadRequest(int fd, int wakeFd, int idleTimeoutMs, Request* request) {
  std::string data;
  size_t headEnd = std::string::npos;
  size_t bodyLength = 0;
  char buffer[8192];
  for (;;) {
    if (headEnd == std::string::npos) {
      headEnd = data.find("\r\n\r\n");
      if (headEnd == std::string::npos && data.size() > kMaxHeadBytes) {
        return ReadResult::kHeadTooLarge;
      }
      if (headEnd != std::string::npos) {
        if (headEnd > kMaxHeadBytes)
          return ReadResult::kHeadTooLarge;
        const ReadResult parsed =
            ParseHead(std::string_view(data).substr(0, headEnd), request, &bodyLength);
        if (parsed != ReadResult::kOk)
          return parsed;
      }
    }
    if (headEnd != std::string::npos && data.size() >= headEnd + 4 + bodyLength) {
      request->body = data.substr(headEnd + 4, bodyLength);
      return ReadResult::kOk;
    }
    switch (WaitReadable(fd, wakeFd, idleTimeoutMs)) {
      case Wait::kStopped:
        return ReadResult::kStopped;
      case Wait::kTimedOut:
        return ReadResult::kTimedOut;
      case Wait::kReady:
        break;
    }
    const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
    if (got == 0)
      return ReadResult::kClosed;
    if (got < 0) {
      if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)
        continue;
      return ReadResult::kClosed;
    }
    data.append(buffer, static_cast<size_t>(got));
  }
}

}  // namespace tp::standin
