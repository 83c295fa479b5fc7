// The message table behind SystemMessageText: Windows' English wording of each code.
#include "host/posix/posix_messages.h"

namespace tp::host::posix {
namespace {

struct Message {
  uint32_t code;
  const wchar_t* text;
};

// Every code that the posix adapters can leave as a last error, and that the HTTP client
// reports itself, in ascending order.
constexpr Message kMessages[] = {
    {2, L"The system cannot find the file specified."},
    {3, L"The system cannot find the path specified."},
    {5, L"Access is denied."},
    {8, L"Not enough memory resources are available to process this command."},
    {31, L"A device attached to the system is not functioning."},
    {32, L"The process cannot access the file because it is being used by another process."},
    {87, L"The parameter is incorrect."},
    {112, L"There is not enough space on the disk."},
    {122, L"The data area passed to a system call is too small."},
    {145, L"The directory is not empty."},
    {183, L"Cannot create a file when that file already exists."},
    {206, L"The filename or extension is too long."},
    {12002, L"The operation timed out"},
    {12004, L"An internal error occurred in the Microsoft Internet extensions"},
    {12005, L"The URL is invalid"},
    {12007, L"The server name or address could not be resolved"},
    {12017, L"The operation was canceled"},
    {12019, L"The handle is in the wrong state for the requested operation"},
    {12029, L"A connection with the server could not be established"},
    {12030, L"The connection with the server was terminated abnormally"},
    {12031, L"The connection with the server was reset"},
    {12150, L"The requested header was not found"},
    {12152, L"The server returned an invalid or unrecognized response"},
};

}  // namespace

std::optional<std::wstring> SystemMessageText(uint32_t code) {
  for (const Message& message : kMessages) {
    if (message.code == code)
      return std::wstring(message.text) + L"\r\n";
  }
  return std::nullopt;
}

}  // namespace tp::host::posix
